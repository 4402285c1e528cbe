// The questions' part of the dialogs: Yes, No and the arrows between them, and what each
// answer does (quit, leave the race, clear the table, send the result).
#include "game/high_scores.h"
#include "race/race_screen.h"
#include "shell/dialogs.h"
#include "shell/main_form.h"
#include "ui/menu_button.h"
#include "ui/menu_model.h"

namespace vrumbal {

void GameDialogs::RunQuestionKeys(int lagCount) {
    GameState& s = form_.State();
    if (state_.YesButton != nullptr) state_.YesButton->Move(lagCount);
    if (state_.NoButton != nullptr) state_.NoButton->Move(lagCount);
    UpdateHighlight(s, false);
    if (s.EdgeYes) {
        form_.ActivateEntry(kEntryYes);
    } else if (s.EdgeNo) {
        form_.ActivateEntry(kEntryNo);
    } else if (s.EdgeLeft) {
        ClampToFirst(s);
        BoundedDecrease(s, 1, s.MenuFirst);
    } else if (s.EdgeRight) {
        ClampToLast(s);
        BoundedIncrease(s, 1, s.MenuLast);
    }
}

void GameDialogs::Answer(int entry) {
    GameState& s = form_.State();
    const int kind = s.DialogKind;
    if (!IsQuestionDialog(kind)) return;
    if (entry == kEntryNo) {
        Close();
        // Declining to send still leads on to the table the result went into.
        if (kind == kDialogUpload) BackToMenu(kMainRecords);
        return;
    }
    if (entry != kEntryYes) return;
    Close();
    switch (kind) {
        case kDialogQuit:
            // The menu goes first, so that nothing of it is left to draw while the game ends.
            form_.LeaveMainMenu();
            form_.QuitGame();
            break;
        case kDialogExit:
            EndOfGame();
            break;
        case kDialogClearTable:
            DefaultHighScores(s);
            form_.SaveNow();
            break;
        case kDialogUpload:
            Open(kDialogSending);
            break;
        default:
            break;
    }
}

}  // namespace vrumbal
