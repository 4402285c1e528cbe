// The main form: it owns every component of the game and the shared state, and is the host
// the screens and the race reach.
#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/dx_draw.h"
#include "engine/dx_sound.h"
#include "engine/frame_timer.h"
#include "engine/input_states.h"
#include "engine/picture_collection.h"
#include "engine/random.h"
#include "engine/sprite_context.h"
#include "engine/sprite_engine.h"
#include "engine/wave_collection.h"
#include "game/game_host.h"
#include "game/game_state.h"
#include "game/race_state.h"
#include "game/replay.h"
#include "game/screen.h"
#include "platform/catalogue.h"
#include "save/atomic_write.h"
#include "shell/dialogs.h"
#include "shell/event_keyboard.h"
#include "shell/pad_controls.h"
#include "shell/platform_bundle.h"
#include "shell/replay_player.h"
#include "shell/result_uploads.h"

namespace vrumbal {

class GameRecorder;
class HighScoresScreen;
class MainMenuScreen;
class OptionsScreen;
class RaceScreen;

// How a main form is set up beyond its platform.
// What the game does with the save files.
enum class SaveUse : std::uint8_t {
    ReadWrite,  // read at start, written as the game goes
    ReadOnly,   // read at start, never written (a replay watched from the command line)
    None,       // neither: the defaults (a replay's check)
};

struct FormConfig {
    std::filesystem::path dataRoot = ".";        // the folder holding Data/
    std::filesystem::path saveFolder;            // the save files; empty: Data/Save there
    bool rememberWindow = false;                 // keep the window's place beside the saves
    std::optional<std::uint64_t> seed;           // random seed; the clock's time when absent
    std::optional<int> refreshOverride;          // monitor refresh to use instead of the display's
    bool draw = true;                            // frames are drawn and shown; off: the logic alone
    SaveUse saves = SaveUse::ReadWrite;          // what the save files are used for
    bool record = true;                          // every game is recorded as a replay
    bool endAfterWatching = false;               // the game ends when a watched replay does
    std::optional<Digest> content;  // the content's digest, when known (saves working it out)
    // The language spoken: a code ("ru", "en") whatever the options and the environment say,
    // for tools and tests; else the player's choice, else the environment's.
    std::optional<std::string> language;
    std::filesystem::path localeDir;  // the catalogues; empty: found beside the data
};

// The main form: owns every component of the game and the shared game state, runs start-up,
// the frame routine, the window's events and the orderly shutdown. The screens and the race
// reach it as their GameHost.
class TMForm final : public GameHost {
    // Declared first: the components below are built from them.
    PlatformBundle platform_;  // the machine's pieces
    FormConfig config_;        // set-up
    EventKeyboard keyboard_;   // keys as the window's events tell them
    PadControls pads_;         // the game controllers as keys

public:
    // A form over the given platform; nothing is loaded until FormCreate.
    TMForm(PlatformBundle platform, FormConfig config);
    ~TMForm() override;
    TMForm(const TMForm&) = delete;
    TMForm& operator=(const TMForm&) = delete;

    // Start-up: loads the libraries and save files, applies the display mode and enters the
    // main menu. Throws std::exception with the message to show when something is missing.
    void FormCreate();
    // The window's close request: asks instead of closing. Returns CanClose (always false).
    bool FormCloseQuery();
    // The orderly shutdown: saves, opens play.url, ends the message loop.
    void QuitGame() override;
    // The end of the session from outside (a termination signal, the desktop logging out):
    // saves and ends the message loop, without the question, play.url or the launcher.
    void EndSession();
    // Writes the options and the high-score table now, as one update. A failure is shown to
    // the player the first time only; returns whether the files were written.
    bool SaveNow() override;
    // Keeps the window's place and size in its file beside the saves (when the form is set
    // up to remember it), for the next start.
    void SaveWindowPlacement();
    // After an error that ends the game: keeps what the player had (the save files are only
    // changed by whole operations, so they are consistent), when start-up had read them.
    void SaveAfterFault();
    // True when the launcher is to start after the window has gone (the quit question).
    bool LaunchAtExit() const { return launchAtExit_; }
    // Opens the play.url shortcut when it exists.
    void OpenPlayLink();
    // Starts the launcher after the window has gone, when it exists.
    void RunLauncher();
    // Makes the window go (after the message loop has ended).
    void CloseWindow();
    // One frame; lagCount is the milliseconds since the previous one.
    void MDXTimerTimer(int lagCount);
    // Handles one window event (keys, characters, mouse, close, minimise, focus).
    void HandleEvent(const WindowEvent& event);
    // A key went down: the boss key, its capture on the options screen, Alt+Enter.
    void FormKeyDown(int key, std::uint8_t shift);
    // A key went up: ends a boss key capture's modifier step.
    void FormKeyUp(int key, std::uint8_t shift);
    // A typed character: the name entry, the country, and Enter activating the selection.
    void FormKeyPress(std::uint8_t ch);
    // One step of capturing the boss key (while the options screen captures it).
    void FormKeyBoss(int key, std::uint8_t shift, bool pressed);
    // The boss key: silence, pause a race, leave full screen and hide the window.
    void BossKeyAction();
    // The pointer moved over the frame: hover selection.
    void MDXDrawMouseMove(int x, int y);
    // The window was minimised: a race pauses.
    void WindowMinimized();
    // The window came back: the drawing surface is initialised again.
    void WindowRestored();
    // Reports an error that must not end the game (a failed display mode switch).
    void ReportError(const std::exception& error) override;
    // Takes what the game controllers did since the last call (the message loop calls it
    // before the window's events). Pulling out the controller in use pauses a race.
    void PollPads();
    // The game controllers as the input states see them.
    const PadControls& Pads() const { return pads_; }
    // The strength (0..1) of the last rumble the game started, and the frame it started on.
    double LastRumble() const { return lastRumble_; }
    std::uint64_t LastRumbleFrame() const { return lastRumbleFrame_; }
    // Runs the game until it quits: events between frames, frames whenever the loop is idle.
    void RunMessageLoop();
    // True once QuitGame has ended the message loop.
    bool Terminated() const { return terminated_; }

    // Samples the input states into the key edge flags.
    void UpdateKeyEdges();
    // Performs the selected entry: the click sound, the dialog's answer or the screen's action,
    // then the jump to another main button.
    void ActivateEntry();
    // The same for the given entry, which becomes the selection.
    void ActivateEntry(int entry) override;
    // Jumps to the main button under the mouse while a sub-screen is open.
    void SwitchMainEntry();

    // Opens an overlay dialog unless one is open.
    void OpenDialog(DialogKindValue kind) override;
    // Closes the open dialog and gives the screen its selection back.
    void CloseDialog();
    // Runs the open dialog for one frame.
    void RunDialog(int lagCount);
    // Answers the open dialog with entry 11 (yes) or 12 (no).
    void AnswerDialog(int entry);
    // A character typed while the name entry is open: kept for the dialog, and taken into or
    // out of the name.
    void TypeNameCharacter(std::uint8_t ch);
    // The dialogs' own state and steps.
    GameDialogs& Dialogs() { return dialogs_; }
    // The results on their way to the world table.
    ResultUploads& Uploads() { return uploads_; }

    // Plays a sound effect from its start when sound is on.
    void PlaySound(SoundId sound) override;
    // Stops a sound effect when sound is on.
    void StopSound(SoundId sound) override;
    // Loads and plays a song when music is on.
    void PlayMusic(const std::string& relativePath);
    // Stops and frees the song.
    void StopMusic() override;
    // Plays the race song in a race, the menu song elsewhere.
    void StartScreenMusic() override;

    // Shows the game full screen or windowed after FullScreen, and reads the refresh rate.
    void ApplyDisplayMode() override;
    // Releases the surface, remembers the window's place and initialises full screen.
    void EnterFullScreen();
    // Releases the surface, puts the window back and initialises windowed.
    void EnterWindowed();

    // Enters the main menu.
    void EnterMainMenu(bool intro, int selection, bool fullBuild) override;
    // Removes the main menu's background; every screen that leaves the menu calls it.
    void RemoveMenuBackground() override;
    // Leaves the main menu for a race: its background and six buttons go, ScreenKind 0.
    void LeaveMainMenu() override;
    // The main menu screen (installed on first use).
    MainMenuScreen& MainMenu();
    // Enters the bike choice screen.
    void EnterBikeChoice() override;
    // Enters the options screen.
    void EnterOptions() override;
    // Starts or ends capturing a new boss key on the options screen.
    void ToggleHotKeyCapture();
    // The options screen (installed on first use; it outlives its sprites).
    OptionsScreen& Options();
    // Enters the high-score screen.
    void EnterHighScores() override;
    // The high-score screen (installed on first use).
    HighScoresScreen& HighScoreScreen();
    // Enters the help screen.
    void EnterHelp() override;
    // Hands a file name or a web address to the desktop to open.
    void OpenDocument(const std::string& target) override;
    // Shows the system mouse pointer (questions and the name entry over a race).
    void ShowSystemCursor() override;
    // Hides the system mouse pointer (the race).
    void HideSystemCursor() override;
    // True while the system mouse pointer is shown (false without a display).
    bool SystemCursorShown() const;
    // Leaves the main menu and starts a race at the given level on SelectedBike.
    void StartRace(int level = 1) override;
    // Installs the handler of a screen kind (1..6).
    void SetScreen(int kind, std::unique_ptr<Screen> screen);
    // The end of a game: the name entry when the score enters the table, else the main menu
    // with the race's sprites removed.
    void EndGame();

    // Replays.
    // Plays a recorded game back from its start: watched in the window (the form's own state
    // comes back afterwards, and nothing is saved meanwhile), or checked without drawing.
    // Returns why it cannot be played on this game ("" when it has begun): it was recorded
    // by another version, or on other content.
    std::string BeginPlayback(Replay replay, PlaybackKind kind);
    // Runs the next recorded frame with what it was given (the frame timer does while a
    // replay is watched); the last one's trailing events follow it.
    void RunPlaybackFrame();
    // Ends a watched replay: back to the high-score table as it was.
    void StopWatching();
    // The replay played back, or null.
    const ReplayPlayer* Playback() const { return player_.get(); }
    // Plays the replay of row 1..10 of the high-score table; false when it has none.
    bool WatchTableReplay(int row) override;
    // The name entry's width rule: the name typed so far fits in its box, as the font measures
    // it (or as the replay played back says it was measured).
    bool NameFitsWidth(const std::string& name);
    // The game's result is in: its end, or the name of its record (the dialogs tell). Returns
    // the file the game's replay is kept in beside the saves (for the table's row), or "".
    std::string GameEnded(bool withName);
    // Ends the recording of a game still running, as cut off.
    void CutRecording() { FinishRecording(false, ""); }
    // The last game's replay, once it has ended (or been cut off).
    const std::optional<Replay>& LastReplay() const { return lastReplay_; }
    // The last game's replay as its file has it ("" before any game has ended).
    const std::string& LastReplayFile() const { return lastReplayFile_; }
    // The digest of the content the game runs on (its picture and sound libraries).
    const Digest& ContentDigest();
    // A text in the player's language.
    std::string Tr(const char* text) override { return catalogue_.Translate(text); }
    const std::string& Language() const override { return catalogue_.Language(); }
    void ChooseLanguage(const std::string& choice) override;

    // The shared game state.
    GameState& State() override { return state_; }
    // The shared values of the race.
    RaceState& Race() override { return race_; }
    // What game sprites need of the form.
    SpriteContext& Sprites() override { return spriteContext_; }
    // The components as the screens and the race reach them.
    TDXDraw& Surface() override { return MDXDraw; }
    TDXSpriteEngine& SpriteEngine() override { return MDXSpriteEngine; }
    const TDXInput& Input() const override { return MDXInput; }
    Random& Randomness() override { return Rng; }
    // The race screen: the bike, the road and the flow of levels.
    RaceScreen& RaceFlow() { return *raceScreen_; }
    // The full path of a data file given relative to the data folder.
    std::filesystem::path DataPath(const std::string& relative) const;
    // The folder the options and the high-score table are kept in.
    std::filesystem::path SaveFolder() const;
    // The platform pieces.
    PlatformBundle& Platform() { return platform_; }
    // The song handle, 0 when none is loaded.
    int CurrentSong() const { return currentSong_; }
    // Frames run so far.
    std::uint64_t FrameCount() const { return frames_; }

    // Components, created with the form.
    TDXDraw MDXDraw;
    TDXImageList MDXImageList1;
    TDXImageList MDXImageList2;
    TDXImageList MDXImageList3;
    TDXSound MDXSound;
    TDXWaveList MDXWaveList;
    TDXInput MDXInput;
    TDXSpriteEngine MDXSpriteEngine;
    TDXTimer MDXTimer;
    Random Rng;

private:
    // The handler of a screen kind, made on first use.
    template <typename ScreenType>
    ScreenType& ScreenOf(int kind);
    void RunScreenFrame(int lagCount);
    // What the controllers' buttons mean now.
    PadContext CurrentPadContext() const;
    // The controllers' part of a frame, before its input is read: their states and the
    // characters they type.
    void RunPadFrame();
    // Shakes the controller in use on a hit (light) or a crash (strong) during the race, and
    // stops it when a dialog opens.
    void RumbleAfterFrame();
    // Pauses a running race (the window went away, the controller was pulled out).
    void PauseRace();
    // Shows the player a failed save, the first time only.
    void TellSaveFailure(const SaveWriteResult& saved);
    // Everything an ending game keeps: the save files and the window's place.
    void SaveAtExit();
    // Loads the catalogue and the pictures of the language the choice and the environment
    // give (or the one the form was told to speak).
    void LoadLanguage();
    // The folder of the picture libraries of the language spoken.
    std::filesystem::path PictureFolder() const;
    // One frame with the given lag; returns false when the surface could not draw it.
    bool RunFrame(int lagCount);
    // Starts recording the game a race begins.
    void StartRecording(int level);
    // The recording ends with the game's result (cut off: the game did not reach its end).
    void FinishRecording(bool finished, const std::string& name);
    // Why the replay cannot be played on this game ("" when it can).
    std::string ReplayMismatch(const Replay& replay);
    // Keeps a finished game's replay file beside the saves; returns its file name there.
    std::string KeepReplay(std::string_view file);
    // Hands one recorded event to the game as it first reached it.
    void ApplyReplayEvent(const ReplayEvent& event);
    // The playback has run out or was left: a watched one gives the form its state back.
    void EndPlayback();
    // The small mark over a replay being watched.
    void DrawReplayMark();
    // A window event while a replay is watched: only leaving it, the window's own changes and
    // the end of the session count.
    void HandleEventWhileWatching(const WindowEvent& event);
    // Records a call that reached the game from outside the frame's logic (only the outermost
    // one: the calls it makes are replayed by replaying it).
    class OutsideCall;
    bool RecordsCall() const;

    // What the form had when a replay began to be watched: given back when it ends.
    struct WatchSnapshot {
        GameState state;                        // screens, options, table
        std::array<std::uint32_t, 4> random{};  // the random generator
    };
    GameState state_;                                       // the shared state
    RaceState race_;                                        // the race's shared values
    SpriteContext spriteContext_;                           // handed to game sprites
    std::array<std::unique_ptr<Screen>, 7> screens_;        // handlers by ScreenKind
    RaceScreen* raceScreen_ = nullptr;                      // screens_[kScreenRace]
    GameDialogs dialogs_{*this};                            // the overlay dialogs
    int currentSong_ = 0;                                   // loaded song, 0 = none
    bool terminated_ = false;                               // the message loop has ended
    bool launchAtExit_ = false;                             // QuitGame ended it
    bool savesLoaded_ = false;                              // start-up read the save files
    bool saveFailureTold_ = false;                          // a failed save was shown
    std::uint64_t frames_ = 0;                              // frames run
    double lastRumble_ = 0;                                 // strength of the last rumble
    std::uint64_t lastRumbleFrame_ = 0;                     // the frame it started on
    int hitsBefore_ = 0;                                    // the bike's hits after last frame
    bool crashedBefore_ = false;                            // the bike was down after it
    std::uint8_t dialogBefore_ = 0;                         // the dialog after it
    std::unique_ptr<GameRecorder> recorder_;                // the game being recorded, or null
    std::unique_ptr<ReplayPlayer> player_;                  // the game played back, or null
    std::optional<WatchSnapshot> watchSnapshot_;            // the form before watching
    std::optional<Replay> lastReplay_;                      // the last game's replay
    std::string lastReplayFile_;                            // and its file's bytes
    std::optional<Digest> contentDigest_;                   // of the content, once computed
    Catalogue catalogue_;                                   // the texts of the language spoken
    std::uint64_t playbackInput_ = 0;                       // the input of the frame played back
    ReplayEvent::Fit nameFitAnswer_ = ReplayEvent::Fit::NotAsked;  // the replayed width answer
    bool logicRunning_ = false;                                    // a frame's logic is running
    int callDepth_ = 0;                                            // outside calls being handled
    ResultUploads uploads_;  // last: its thread ends before anything else of the form goes
};

}  // namespace vrumbal
