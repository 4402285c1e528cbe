// The main form as the race and the screens see it: the calls they make on it. The form
// implements it; a test can drive a screen or the race through a host of its own.
#pragma once
#include <exception>
#include <string>

#include "game/content_ids.h"
#include "game/kinds.h"

namespace vrumbal {

class Random;
class TDXDraw;
class TDXInput;
class TDXSpriteEngine;
struct GameState;
struct RaceState;
struct SpriteContext;

// What the screens and the race ask of the game around them.
class GameHost {
public:
    virtual ~GameHost() = default;

    // The shared state.
    virtual GameState& State() = 0;
    // The shared values of the race.
    virtual RaceState& Race() = 0;

    // What game sprites need of the form: the sprite engine, the surface and the lists.
    virtual SpriteContext& Sprites() = 0;
    // The drawing surface (and its canvas for texts).
    virtual TDXDraw& Surface() = 0;
    // The sprite engine.
    virtual TDXSpriteEngine& SpriteEngine() = 0;
    // The input states, as the frame loop read them.
    virtual const TDXInput& Input() const = 0;
    // The game's one random generator.
    virtual Random& Randomness() = 0;

    // A text of the game (UTF-8, as written here in Russian) in the player's language.
    virtual std::string Tr(const char* text) = 0;
    // The language the game speaks now ("ru", "en").
    virtual const std::string& Language() const = 0;
    // Speaks the given choice of language from now on ("" for the system's) and keeps it.
    virtual void ChooseLanguage(const std::string& choice) = 0;

    // Plays a sound effect from its start when sound is on.
    virtual void PlaySound(SoundId sound) = 0;
    // Stops a sound effect when sound is on.
    virtual void StopSound(SoundId sound) = 0;
    // Plays the race song in a race, the menu song elsewhere (when music is on).
    virtual void StartScreenMusic() = 0;
    // Stops and frees the song.
    virtual void StopMusic() = 0;

    // Opens an overlay dialog unless one is open.
    virtual void OpenDialog(DialogKindValue kind) = 0;
    // Performs the given entry: the click sound, the dialog's answer or the screen's action.
    virtual void ActivateEntry(int entry) = 0;

    // Enters the main menu with the given button selected; intro slides the buttons in and a
    // full build starts the music and makes the buttons.
    virtual void EnterMainMenu(bool intro, int selection, bool fullBuild) = 0;
    // Removes the main menu's background; every screen that leaves the menu calls it.
    virtual void RemoveMenuBackground() = 0;
    // Leaves the main menu for a race: its background and six buttons go.
    virtual void LeaveMainMenu() = 0;
    // Enters one of the sub-screens of the main menu.
    virtual void EnterBikeChoice() = 0;
    virtual void EnterOptions() = 0;
    virtual void EnterHighScores() = 0;
    virtual void EnterHelp() = 0;
    // Leaves the main menu and starts a race at the given level on SelectedBike.
    virtual void StartRace(int level) = 0;

    // Shows or hides the system mouse pointer.
    virtual void ShowSystemCursor() = 0;
    virtual void HideSystemCursor() = 0;

    // Writes the options and the high-score table now; returns whether they were written.
    virtual bool SaveNow() = 0;
    // The orderly shutdown.
    virtual void QuitGame() = 0;
    // Hands a file name or a web address to the desktop to open.
    virtual void OpenDocument(const std::string& target) = 0;
    // Reports an error that must not end the game.
    virtual void ReportError(const std::exception& error) = 0;
    // Shows the game full screen or windowed after FullScreen.
    virtual void ApplyDisplayMode() = 0;
    // Plays the replay of row 1..10 of the high-score table in the window; false when the row
    // has none (or it cannot be read).
    virtual bool WatchTableReplay(int row) = 0;
};

}  // namespace vrumbal
