// The state every part of the game shares: screens and menus, key edges, timing, the options
// and the high-score table. The main form owns one.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "game/high_scores.h"
#include "game/kinds.h"
#include "game/options.h"

namespace vrumbal {

class TMyImageSprite;

// One selectable entry of a menu screen or dialog: the sprite and how it looks when
// highlighted.
struct MenuEntry {
    TMyImageSprite* sprite = nullptr;  // the entry's sprite, owned by the sprite engine
    int widthOverride = -1;            // hit-test width; -1 = the picture's width
    int heightOverride = -1;           // hit-test height; -1 = the picture's height
    int normalImage = 0;               // picture index when not highlighted
    int highlightImage = 0;            // picture index when highlighted
    int normalFrame = 0;               // pattern shown when not highlighted
    int highlightFrame = 0;            // pattern shown when highlighted
    bool dialogButton = false;         // depth 15, or 17 while highlighted
    bool raiseOnHighlight = false;     // depth base + 1 while highlighted
    int baseZ = 0;                     // depth when not highlighted (for raising entries)
    bool highlighted = false;          // the highlighted look is shown
};

// The shared state: the options and the high-score table as the save files keep them, and
// the screens, menus, keys and timing of the running game.
struct GameState : Options, HighScoreTable {
    // Screen and menu.
    std::uint8_t ScreenKind = kScreenNone;  // the running screen
    std::uint8_t DialogKind = kDialogNone;  // the open dialog
    std::int32_t MenuSelection = 0;         // highlighted entry; outside the range = none
    std::int32_t MenuFirst = 0;             // first selectable entry
    std::int32_t MenuLast = 0;              // last selectable entry
    std::array<MenuEntry, 19> MenuEntries;  // 1..18; 1..6 the main buttons
    std::int32_t MenuIntroActive = 0;       // 1 while the main menu's buttons slide in
    std::int32_t HoveredMainButton = 0;     // main button under the mouse on a sub-screen
    std::int32_t MouseX = 0;                // last pointer position on the frame
    std::int32_t MouseY = 0;
    std::int32_t DialogSavedSelection = 0;  // the screen's range while a dialog is open
    std::int32_t DialogSavedFirst = 0;
    std::int32_t DialogSavedLast = 0;

    // Key edges: 1 only in the frame in which the key went down.
    std::uint8_t EdgeUp = 0, EdgeDown = 0, EdgeLeft = 0, EdgeRight = 0;
    std::uint8_t EdgePause = 0, EdgeYes = 0, EdgeNo = 0, EdgeEscape = 0;
    // Remembered key levels; HeldLeft and HeldRight are also read by the bike.
    std::uint8_t LevelUp = 0, LevelDown = 0, HeldLeft = 0, HeldRight = 0;
    std::uint8_t LevelPause = 0, LevelYes = 0, LevelNo = 0, LevelEscape = 0;

    // Timing.
    std::int32_t MeasuredFrameRate = 0;  // the timer's last measured frames per second
    std::int32_t MonitorRefresh = 60;    // display refresh in Hz
    double SpeedFactor = 1.0;            // 85 / reference rate
    std::int32_t FrameMs = 15;           // whole milliseconds per frame

    // The bike chosen on the bike choice screen, 1..5; never saved.
    std::int32_t SelectedBike = 1;

    // What the options screen and the dialogs are doing with the options.
    std::uint8_t HotKeyCapture = 0;        // 1 while the options screen captures a boss key
    std::uint8_t CountryEditing = 0;       // 1 while the country is being typed
    std::uint8_t MusicRestartPending = 0;  // the music comes back when a dialog closes

    std::string PlayerName;  // the name typed after a game

    // The language the player chose on the options screen ("" for the system's); kept in a
    // file of its own, not in the options.
    std::string LanguageChoice;
};

}  // namespace vrumbal
