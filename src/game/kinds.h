// The game's shared words for what is on the screen: screen and dialog kinds, the entries of
// the main menu and of the questions, and the limits of a typed name.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vrumbal {

// Screens, as ScreenKind numbers them.
enum ScreenKindValue : std::uint8_t {
    kScreenNone = 0,  // while switching
    kScreenMainMenu = 1,
    kScreenBikeChoice = 2,
    kScreenOptions = 3,
    kScreenHighScores = 4,
    kScreenHelp = 5,
    kScreenRace = 6,
};

// Dialog kinds, as DialogKind numbers them.
enum DialogKindValue : std::uint8_t {
    kDialogNone = 0,
    kDialogQuit = 1,        // "quit the game?" over the main menu
    kDialogExit = 2,        // "back to the menu?" over a race
    kDialogTimeUp = 3,      // the level's time ran out
    kDialogClearTable = 4,  // "clear the high-score table?"
    kDialogPause = 5,
    kDialogLevelStart = 6,
    kDialogGameOver = 7,
    kDialogNameEntry = 8,
    kDialogUpload = 9,    // "send the result to the world table?"
    kDialogSending = 10,  // shown while the result is sent
    kDialogTally = 11,    // the level-end count of bonus points
    kDialogCongratulation = 12,
};

// The six buttons of the main menu, as MenuEntries 1..6 and the selection number them.
enum MainMenuEntry : int {
    kMainPlay = 1,
    kMainHelp = 2,
    kMainOptions = 3,
    kMainRecords = 4,
    kMainMoreGames = 5,
    kMainQuit = 6,
};

// Entry numbers of the Yes and No buttons of the questions.
inline constexpr int kEntryYes = 11;
inline constexpr int kEntryNo = 12;

// Longest name the name entry takes, in characters and in pixels of its font.
inline constexpr std::size_t kNameMaxLength = 12;
inline constexpr int kNameMaxWidth = 240;
// Longest country the options screen takes, in characters and in pixels of its font.
inline constexpr std::size_t kCountryMaxLength = 16;
inline constexpr int kCountryMaxWidth = 345;

// True when c may be typed into a name or the country: digits, Latin letters, the space and
// the Cyrillic letters of code page 1251 (0xC0..0xFF, and Ё and ё at 0xA8 and 0xB8).
bool IsNameChar(std::uint8_t c);
// True for the dialogs that ask yes or no.
bool IsQuestionDialog(int kind);

}  // namespace vrumbal
