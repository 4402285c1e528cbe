// The main form's core: building its components, start-up, the frame routine, key edges,
// sounds and music, the display mode, the window's events, the message loop and the saves.
#include "shell/main_form.h"

#include <chrono>
#include <thread>

#include "platform/refresh_rate.h"
#include "race/race_screen.h"
#include "save/atomic_write.h"
#include "save/language_file.h"
#include "save/options_file.h"
#include "save/replay_files.h"
#include "save/save_files.h"
#include "save/save_paths.h"
#include "screens/bike_choice.h"
#include "screens/main_menu.h"
#include "shell/form_outside_call.h"
#include "shell/frame_rate.h"
#include "shell/game_folders.h"
#include "ui/menu_model.h"

namespace vrumbal {
namespace {

// The drawing surface's options as the form sets them; full screen is added at run time.
constexpr std::uint32_t kFormDrawOptions = doAllowReboot | doWaitVBlank | doSystemMemory |
                                           doStretch | doCenter | doFlip | doDirectX7Mode |
                                           doRetainedMode | doHardware | doSelectDriver |
                                           doZBuffer;

}  // namespace

TMForm::TMForm(PlatformBundle platform, FormConfig config)
    : platform_(std::move(platform)),
      config_(std::move(config)),
      MDXDraw(platform_.display.get(), platform_.text.get()),
      MDXImageList1(&MDXDraw),
      MDXImageList2(&MDXDraw),
      MDXImageList3(&MDXDraw),
      MDXSound(platform_.audio.get()),
      MDXWaveList(&MDXSound),
      MDXInput(&keyboard_, &pads_),
      MDXSpriteEngine(&MDXDraw),
      MDXTimer(*platform_.clock) {
    spriteContext_.engine = &MDXSpriteEngine.Engine();
    spriteContext_.draw = &MDXDraw;
    spriteContext_.imageList1 = &MDXImageList1.Items();
    spriteContext_.imageList2 = &MDXImageList2.Items();
    spriteContext_.imageList3 = &MDXImageList3.Items();
    spriteContext_.frameMs = &state_.FrameMs;
    spriteContext_.speedFactor = &state_.SpeedFactor;
    MDXDraw.SetOptions(kFormDrawOptions);
    MDXTimer.SetInterval(0);  // every idle pass is a frame
    MDXTimer.OnTimer = [this](int lag) { MDXTimerTimer(lag); };
    SetScreen(kScreenMainMenu, std::make_unique<MainMenuScreen>(*this));
    SetScreen(kScreenRace, std::make_unique<RaceScreen>(*this));
}

TMForm::~TMForm() { StopMusic(); }

std::filesystem::path TMForm::DataPath(const std::string& relative) const {
    return config_.dataRoot / relative;
}

std::filesystem::path TMForm::SaveFolder() const {
    return config_.saveFolder.empty() ? SaveFolderPath(config_.dataRoot) : config_.saveFolder;
}

void TMForm::LoadLanguage() {
    std::string language;
    if (config_.language) {
        language = *config_.language;
    } else if (!state_.LanguageChoice.empty()) {
        language = state_.LanguageChoice;
    } else {
        language = LanguageOfThisProcess();
    }
    std::filesystem::path locales = config_.localeDir;
    if (locales.empty()) {
        // In the build tree and an unpacked folder the catalogues lie beside Data/; installed,
        // share/locale lies beside share/vrumbal.
        std::error_code ec;
        locales = config_.dataRoot / "locale";
        if (!std::filesystem::is_directory(locales, ec)) {
            locales = std::filesystem::absolute(config_.dataRoot, ec).parent_path() / "locale";
        }
    }
    catalogue_ = Catalogue(locales, language);
}

std::filesystem::path TMForm::PictureFolder() const {
    const std::filesystem::path own = DataPath("Data/Res");
    if (catalogue_.Language() == kOwnLanguage) return own;
    // Another language's pictures have its texts drawn into them; without them, the game's own.
    std::error_code ec;
    const std::filesystem::path other = own / catalogue_.Language();
    return std::filesystem::is_regular_file(other / "Res1.dxg", ec) ? other : own;
}

void TMForm::ChooseLanguage(const std::string& choice) {
    state_.LanguageChoice = choice;
    if (config_.saves == SaveUse::ReadWrite && !player_) {
        TellSaveFailure(SaveLanguageChoice(SaveFolder(), choice));
    }
    const std::filesystem::path before = PictureFolder();
    config_.language.reset();  // the player's choice rules from now on
    LoadLanguage();
    const std::filesystem::path pictures = PictureFolder();
    if (pictures == before) return;
    try {
        MDXImageList1.Items().ReplaceFromFile((pictures / "Res1.dxg").string());
        MDXImageList2.Items().ReplaceFromFile((pictures / "Res2.dxg").string());
        MDXImageList3.Items().ReplaceFromFile((pictures / "Res3.dxg").string());
    } catch (const std::exception& e) {
        ReportError(e);
    }
}

void TMForm::FormCreate() {
    platform_.shell->RaisePriority();
    Rng.Seed(config_.seed ? *config_.seed : platform_.clock->NowMs());
    MDXSound.Initialize();
    if (config_.saves != SaveUse::None) state_.LanguageChoice = LoadLanguageChoice(SaveFolder());
    LoadLanguage();
    const std::filesystem::path pictures = PictureFolder();
    MDXImageList1.Items().LoadFromFile((pictures / "Res1.dxg").string());
    MDXImageList2.Items().LoadFromFile((pictures / "Res2.dxg").string());
    MDXImageList3.Items().LoadFromFile((pictures / "Res3.dxg").string());
    MDXWaveList.Items().LoadFromFile(DataPath("Data/Res/Sounds.dxw").string());
    if (config_.saves != SaveUse::None) {
        PosixSaveFileSystem files;
        LoadSaveFiles(state_, files, SaveFolder());
        savesLoaded_ = true;
        // Results the world table has not answered for yet go again, while the menu plays.
        if (config_.saves == SaveUse::ReadWrite) {
            uploads_.KeepIn(SaveFolder());
            uploads_.SendKept();
        }
    } else {
        DefaultOptions(state_);
        DefaultHighScores(state_);
    }
    try {
        ApplyDisplayMode();
    } catch (const std::exception& e) {
        // Without even a window there is nothing to play in.
        if (state_.FullScreen == 0) throw;
        // A display that refuses full screen must not lock the player out at every start:
        // say so once, play in the window, and keep the window for the next start.
        ReportError(e);
        state_.FullScreen = 0;
        ApplyDisplayMode();
        SaveNow();
    }
    state_.ScreenKind = kScreenNone;
    EnterMainMenu(true, kMainPlay, true);
    MDXTimer.Loaded();
}

bool TMForm::FormCloseQuery() {
    if (state_.ScreenKind == kScreenRace) {
        OpenDialog(kDialogExit);
    } else if (state_.ScreenKind == kScreenMainMenu) {
        OpenDialog(kDialogQuit);
    }
    return false;
}

void TMForm::QuitGame() {
    MDXSpriteEngine.FreeKilled();
    // The game still ends when the files cannot be written; the player is told.
    SaveAtExit();
    OpenPlayLink();
    launchAtExit_ = true;
    terminated_ = true;
}

void TMForm::EndSession() {
    if (terminated_) return;
    MDXSpriteEngine.FreeKilled();
    SaveAtExit();
    terminated_ = true;
}

void TMForm::SaveAtExit() {
    // A game cut off by the end is kept as the last one, unfinished.
    if (recorder_) FinishRecording(false, "");
    SaveNow();
    SaveWindowPlacement();
}

void TMForm::SaveWindowPlacement() {
    if (!config_.rememberWindow || !platform_.display || config_.saves != SaveUse::ReadWrite) {
        return;
    }
    const auto place = platform_.display->WindowPlacement();
    // Only a convenience: a window file that cannot be written is not worth a message.
    if (place) WriteFileAtomically(WindowFilePath(SaveFolder()), FormatWindowFile(*place));
}

bool TMForm::SaveNow() {
    // A replay played back changes nothing of the player's: its table and options are the
    // form's own again once it ends.
    if (config_.saves != SaveUse::ReadWrite || player_) return true;
    PosixSaveFileSystem files;
    const SaveWriteResult saved = WriteSaveFiles(state_, files, SaveFolder());
    if (saved) DropUnusedReplays(SaveFolder(), state_);
    TellSaveFailure(saved);
    return saved.ok;
}

void TMForm::TellSaveFailure(const SaveWriteResult& saved) {
    if (saved || saveFailureTold_) return;
    saveFailureTold_ = true;
    platform_.shell->ShowError("Vrumbal", saved.message);
}

void TMForm::SaveAfterFault() {
    if (!savesLoaded_) return;
    SaveAtExit();
}

void TMForm::OpenPlayLink() {
    const auto link = DataPath("play.url");
    std::error_code ec;
    if (std::filesystem::is_regular_file(link, ec)) platform_.shell->Open(link.string());
}

void TMForm::RunLauncher() {
    const auto launcher = DataPath("fscommand/trovan.exe");
    std::error_code ec;
    if (std::filesystem::is_regular_file(launcher, ec)) platform_.shell->Open(launcher.string());
}

void TMForm::CloseWindow() {
    StopMusic();
    MDXDraw.Finalize();
}

void TMForm::MDXTimerTimer(int lagCount) {
    // A replay watched runs its own frames, each with the lag it was recorded with.
    if (player_) {
        RunPlaybackFrame();
        return;
    }
    RunFrame(lagCount);
}

bool TMForm::RunFrame(int lagCount) {
    const int selectionBefore = state_.MenuSelection;
    if (config_.draw && !MDXDraw.CanDraw()) return false;
    ++frames_;
    // A replay's typed characters came with its events: the controllers are not asked.
    if (!player_) RunPadFrame();
    if (terminated_) return true;
    // The pace this frame runs with, as the last frame set it.
    const std::int32_t frameMs = state_.FrameMs;
    const double speedFactor = state_.SpeedFactor;
    if (config_.draw) {
        MDXDraw.Fill(0);
        MDXSpriteEngine.Draw();
    }
    logicRunning_ = true;
    UpdateKeyEdges();
    if (recorder_) {
        recorder_->Frame(MDXInput.States().Bits(), lagCount, frameMs, speedFactor);
    }
    if (state_.DialogKind != 0) {
        RunDialog(lagCount);
        if (state_.ScreenKind == kScreenOptions && screens_[kScreenOptions]) {
            screens_[kScreenOptions]->DrawTexts();
        }
    } else {
        RunScreenFrame(lagCount);
    }
    if (state_.MenuSelection != selectionBefore) PlaySound(kSoundSelect);
    if (player_ && player_->Kind() == PlaybackKind::Watch && config_.draw) DrawReplayMark();
    MDXSpriteEngine.FreeKilled();
    RumbleAfterFrame();
    logicRunning_ = false;
    // A replay brings each frame's pace with it.
    if (!player_) {
        state_.MeasuredFrameRate = MDXTimer.FramesPerSecond();
        const FramePace pace = PaceForFrameRate(state_.MeasuredFrameRate, state_.MonitorRefresh);
        state_.SpeedFactor = pace.speedFactor;
        state_.FrameMs = pace.frameMs;
    }
    if (config_.draw) {
        MDXDraw.ReleaseCanvas();
        MDXDraw.Flip();
    }
    return true;
}

void TMForm::RunScreenFrame(int lagCount) {
    const int kind = state_.ScreenKind;
    if (kind >= 1 && kind <= 6 && screens_[kind]) screens_[kind]->Frame(lagCount);
}

void TMForm::UpdateKeyEdges() {
    if (player_) {
        MDXInput.Replace(TInputStateSet::FromBits(playbackInput_));
    } else {
        MDXInput.Update();
    }
    auto edge = [this](int inputState, std::uint8_t& edgeFlag, std::uint8_t& level) {
        const std::uint8_t now = MDXInput.State(inputState) ? 1 : 0;
        edgeFlag = (level == 0 && now) ? 1 : 0;
        level = now;
    };
    GameState& s = state_;
    edge(kStateUp, s.EdgeUp, s.LevelUp);
    edge(kStateDown, s.EdgeDown, s.LevelDown);
    edge(kStateLeft, s.EdgeLeft, s.HeldLeft);
    edge(kStateRight, s.EdgeRight, s.HeldRight);
    edge(kStatePause, s.EdgePause, s.LevelPause);
    edge(kStateYes, s.EdgeYes, s.LevelYes);
    edge(kStateNo, s.EdgeNo, s.LevelNo);
    edge(kStateEscape, s.EdgeEscape, s.LevelEscape);
}

void TMForm::ActivateEntry(int entry) {
    ReplayEvent event;
    event.type = ReplayEvent::Type::Activate;
    event.kind = static_cast<std::uint8_t>(entry);
    const OutsideCall call(*this, event);
    state_.MenuSelection = entry;
    ActivateEntry();
}

void TMForm::ActivateEntry() {
    ReplayEvent event;
    event.type = ReplayEvent::Type::Activate;
    const OutsideCall call(*this, event);
    const bool raceRunning = state_.ScreenKind == kScreenRace && state_.DialogKind == 0;
    if (!raceRunning) {
        const bool arrow = state_.ScreenKind == kScreenBikeChoice &&
                           (state_.MenuSelection == kBikeChoicePrevious ||
                            state_.MenuSelection == kBikeChoiceNext);
        PlaySound(arrow ? kSoundArrow : kSoundClick);
    }
    if (state_.DialogKind != 0) {
        AnswerDialog(state_.MenuSelection);
    } else {
        const int kind = state_.ScreenKind;
        if (kind >= 1 && kind <= 5 && screens_[kind]) screens_[kind]->Activate(state_.MenuSelection);
    }
    SwitchMainEntry();
}

void TMForm::PlaySound(SoundId sound) {
    if (!state_.SoundOn) return;
    auto& waves = MDXWaveList.Items();
    const int n = sound;
    if (n < 0 || n >= waves.Count()) return;  // a library without that sound stays silent
    waves.Items(n).Stop();
    waves.Items(n).Play(false);
}

void TMForm::StopSound(SoundId sound) {
    if (!state_.SoundOn) return;
    auto& waves = MDXWaveList.Items();
    const int n = sound;
    if (n < 0 || n >= waves.Count()) return;
    waves.Items(n).Stop();
}

void TMForm::PlayMusic(const std::string& relativePath) {
    if (!state_.MusicOn) return;
    AudioOutput* audio = platform_.audio.get();
    if (!audio) return;
    if (currentSong_ != 0) audio->SongFree(currentSong_);
    currentSong_ = audio->SongLoadFromFile(DataPath(relativePath).string());
    if (currentSong_ != 0) audio->SongPlay(currentSong_);
}

void TMForm::StopMusic() {
    if (currentSong_ != 0 && platform_.audio) platform_.audio->SongFree(currentSong_);
    currentSong_ = 0;
}

void TMForm::StartScreenMusic() {
    PlayMusic(state_.ScreenKind == kScreenRace ? "Data/Music/Race.xm" : "Data/Music/Menu.xm");
}

void TMForm::ApplyDisplayMode() {
    if (state_.FullScreen) {
        EnterFullScreen();
    } else {
        EnterWindowed();
    }
    const int reported = platform_.display ? platform_.display->RefreshRate() : 0;
    state_.MonitorRefresh = UsableRefreshRate(config_.refreshOverride.value_or(reported));
}

void TMForm::EnterFullScreen() {
    MDXDraw.Finalize();
    if (platform_.display) platform_.display->SavePlacement();
    MDXDraw.SetOptions(MDXDraw.Options() | doFullScreen);
    MDXDraw.Initialize();
}

void TMForm::EnterWindowed() {
    MDXDraw.Finalize();
    if (platform_.display) platform_.display->RestorePlacement();
    MDXDraw.SetOptions(MDXDraw.Options() & ~doFullScreen);
    MDXDraw.Initialize();
}

void TMForm::HandleEvent(const WindowEvent& event) {
    using Type = WindowEvent::Type;
    if (player_ && player_->Kind() == PlaybackKind::Watch) {
        HandleEventWhileWatching(event);
        return;
    }
    keyboard_.Observe(event);
    switch (event.type) {
        case Type::KeyDown:
            FormKeyDown(event.key, event.shift);
            break;
        case Type::KeyUp:
            FormKeyUp(event.key, event.shift);
            break;
        case Type::Char:
            FormKeyPress(event.ch);
            break;
        case Type::MouseMove:
            MDXDrawMouseMove(event.x, event.y);
            break;
        case Type::Click:
        case Type::DoubleClick:
            ActivateEntry();
            break;
        case Type::Close:
            FormCloseQuery();
            break;
        case Type::Quit:
            // Not the close button (that asks first) but the session ending around the game.
            EndSession();
            break;
        case Type::FocusLost:
            MDXTimer.Deactivate();
            pads_.ReleaseAll();
            break;
        case Type::FocusGained:
            MDXTimer.Activate();
            break;
        case Type::Minimize:
            MDXTimer.Deactivate();
            pads_.ReleaseAll();
            WindowMinimized();
            break;
        case Type::Restore:
            MDXTimer.Activate();
            WindowRestored();
            break;
        default:
            break;
    }
}

void TMForm::HandleEventWhileWatching(const WindowEvent& event) {
    using Type = WindowEvent::Type;
    constexpr int kKeyEscape = 0x1B;
    keyboard_.Observe(event);
    switch (event.type) {
        case Type::KeyDown:
            if (event.key == kKeyEscape) StopWatching();
            break;
        case Type::Close:
            StopWatching();
            break;
        case Type::Quit:
            EndSession();
            break;
        case Type::FocusLost:
        case Type::Minimize:
            MDXTimer.Deactivate();
            pads_.ReleaseAll();
            break;
        case Type::FocusGained:
            MDXTimer.Activate();
            break;
        case Type::Restore:
            MDXTimer.Activate();
            WindowRestored();
            break;
        default:
            break;
    }
}

void TMForm::RunMessageLoop() {
    std::vector<WindowEvent> events;
    while (!terminated_) {
        if (platform_.signals && platform_.signals->EndRequested()) {
            EndSession();
            break;
        }
        events.clear();
        PollPads();
        if (platform_.display) platform_.display->PollEvents(events);
        for (const auto& e : events) {
            HandleEvent(e);
            if (terminated_) break;
        }
        if (terminated_) break;
        if (!MDXTimer.Idle()) {
            // Inactive: nothing to draw, so do not spin a core while waiting for events.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
}

}  // namespace vrumbal
