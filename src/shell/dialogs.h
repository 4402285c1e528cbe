// The overlay dialogs: questions, notices, the level tally, the name entry and the sending of a
// result, and what the open one keeps between frames.
#pragma once
#include <cstdint>
#include <string>

#include "game/game_state.h"

namespace vrumbal {

class TMForm;
class TMenuButton;
class TMyCursor;
class TMyImageSprite;

// What the open dialog keeps between frames.
struct DialogState {
    std::int32_t DialogTimer = 0;           // ms left of a timed notice (kinds 3, 6, 7)
    TMyImageSprite* DialogPanel = nullptr;  // the panel behind the texts, or null
    TMenuButton* YesButton = nullptr;       // entry 11 of a question, or null
    TMenuButton* NoButton = nullptr;        // entry 12 of a question, or null
    std::uint8_t NameEntryKey = 0;          // the last character typed into the name entry
    TMyCursor* NameCursor = nullptr;        // the name entry's blinking cursor, or null
    std::uint8_t SendingShown = 0;          // 1: the sending notice was on screen; 2: the outcome
    std::string OutcomeLines[2];            // the sending's outcome as shown (UTF-8)
    MenuEntry CoveredYes;                   // the screen's entry 11 while a question covers it
    MenuEntry CoveredNo;                    // the screen's entry 12 while a question covers it
};

// The overlay dialogs: questions, notices, the level tally, the name entry and the sending of
// a result. The frame loop runs the open one instead of the screen below it.
class GameDialogs final {
public:
    // Dialogs of the form; the form must outlive them.
    explicit GameDialogs(TMForm& form);

    // Opens a dialog of the given kind unless one is open.
    void Open(DialogKindValue kind);
    // Closes the open dialog and gives the screen its selection back.
    void Close();
    // Runs and draws the open dialog for one frame, then the race display under a race.
    void Run(int lagCount);
    // The answer to a question for entry 11 (yes) or 12 (no); other entries do nothing.
    void Answer(int entry);
    // A character typed while the name entry is open (Enter, Backspace or a name character).
    void TypeNameCharacter(std::uint8_t ch);
    // The end of a game: the name entry when the score enters the table, else the main menu.
    void EndOfGame();

    // The open dialog's state.
    DialogState& State() { return state_; }

private:
    void CreateQuestionButtons(int kind);
    void KillPieces(int kind);
    void RunQuestionKeys(int lagCount);
    void RunKind(int kind, int lagCount);
    void RunTimedNotice(int kind);
    void RunNameEntry(int lagCount);
    void RunSending();
    void RunTally();
    void RunCongratulation();
    void FinishTally();
    void BackToMenu(int selection);
    bool HasPicture(int index) const;

    TMForm& form_;       // the form whose state the dialogs run on
    DialogState state_;  // the open dialog's pieces and counters
};

}  // namespace vrumbal
