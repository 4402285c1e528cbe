// The overlay dialogs: opening and closing them with their pieces, and running the open one
// each frame (the texts of the questions and notices are drawn here).
#include "shell/dialogs.h"

#include <algorithm>
#include <string>

#include "engine/dx_draw.h"
#include "engine/picture_collection.h"
#include "game/texts.h"
#include "race/hud.h"
#include "race/race_screen.h"
#include "shell/dialog_texts.h"
#include "shell/form_outside_call.h"
#include "shell/main_form.h"
#include "ui/font_slots.h"
#include "ui/menu_button.h"
#include "ui/menu_cursor.h"
#include "ui/menu_model.h"

namespace vrumbal {
using namespace dialog_text;
namespace {

// The pieces of the dialogs, all from the menu pictures.
constexpr int kPanelPicture = menu_picture::kDialogPanel;
constexpr int kPanelX = 185, kPanelY = 219, kPanelZ = 14;
constexpr int kYesPicture = menu_picture::kYes, kNoPicture = menu_picture::kNo;
constexpr int kYesX = 249, kNoX = 377, kButtonY = 306, kButtonZ = 15;
// The buttons show their dark pattern normally and the lit one when highlighted.
constexpr int kButtonNormalFrame = 1, kButtonHighlightFrame = 0;
constexpr int kCursorPicture = menu_picture::kTextCursor, kCursorBlinkMs = 600, kCursorZ = 15;
constexpr int kCursorX = 221, kCursorY = 314;

constexpr int kLevelStartMs = 2000;
constexpr int kNoticeMs = 3000;  // time-up and game over

bool HasPanel(int kind) {
    switch (kind) {
        case kDialogQuit:
        case kDialogExit:
        case kDialogClearTable:
        case kDialogNameEntry:
        case kDialogUpload:
        case kDialogSending:
        case kDialogTally:
        case kDialogCongratulation:
            return true;
        default:
            return false;
    }
}

}  // namespace

GameDialogs::GameDialogs(TMForm& form) : form_(form) {}

bool GameDialogs::HasPicture(int index) const {
    // Libraries without the menu pictures (the race's own tests) get the dialogs without
    // their pieces rather than an error.
    const TPictureCollection* list = form_.Sprites().imageList1;
    return list != nullptr && index >= 0 && index < list->Count();
}

void GameDialogs::Open(DialogKindValue kind) {
    GameState& s = form_.State();
    if (s.DialogKind != kDialogNone) return;
    if (TPlayer* bike = form_.RaceFlow().Bike()) bike->StopBikeSounds(true);
    s.DialogKind = kind;
    s.DialogSavedSelection = s.MenuSelection;
    s.DialogSavedFirst = s.MenuFirst;
    s.DialogSavedLast = s.MenuLast;
    if (HasPanel(kind) && HasPicture(kPanelPicture)) {
        state_.DialogPanel =
            TMyImageSprite::CreateAt(form_.Sprites(), 1, kPanelPicture, kPanelX, kPanelY, kPanelZ);
    }
    if (kind == kDialogNameEntry) form_.ShowSystemCursor();
    if (IsQuestionDialog(kind)) {
        form_.ShowSystemCursor();
        s.MenuFirst = kEntryYes;
        s.MenuLast = kEntryNo;
        // Only sending the result is offered as the likely answer.
        s.MenuSelection = kind == kDialogUpload ? kEntryYes : kEntryNo;
        CreateQuestionButtons(kind);
    }
    if (kind == kDialogLevelStart) state_.DialogTimer = kLevelStartMs;
    if (kind == kDialogTimeUp || kind == kDialogGameOver) state_.DialogTimer = kNoticeMs;
    if (kind == kDialogNameEntry && HasPicture(kCursorPicture)) {
        state_.NameCursor = TMyCursor::Create(form_.Sprites(), 1, kCursorBlinkMs, kCursorZ,
                                              kCursorY, kCursorX, kCursorPicture);
        state_.NameCursor->Blinking = true;
    }
    state_.SendingShown = 0;
}

void GameDialogs::CreateQuestionButtons(int kind) {
    GameState& s = form_.State();
    // The screen below may use these entry numbers; it gets them back on closing.
    state_.CoveredYes = s.MenuEntries[kEntryYes];
    state_.CoveredNo = s.MenuEntries[kEntryNo];
    s.MenuEntries[kEntryYes] = MenuEntry{};
    s.MenuEntries[kEntryNo] = MenuEntry{};
    if (!HasPicture(kYesPicture) || !HasPicture(kNoPicture)) return;
    auto make = [&](int x, int picture) {
        TMenuButton* button = TMenuButton::Create(form_.Sprites(), 1, x, kButtonY, picture, picture,
                                                  kButtonNormalFrame, kButtonHighlightFrame);
        button->SetZ(kButtonZ);
        // Over the main menu the lit button comes to the very top.
        button->RaiseToTop = kind == kDialogQuit;
        return button;
    };
    state_.YesButton = make(kYesX, kYesPicture);
    state_.NoButton = make(kNoX, kNoPicture);
    SetMenuEntry(s, kEntryYes, state_.YesButton);
    SetMenuEntry(s, kEntryNo, state_.NoButton);
}

void GameDialogs::KillPieces(int kind) {
    GameState& s = form_.State();
    if (state_.DialogPanel != nullptr) {
        state_.DialogPanel->KillOnce();
        state_.DialogPanel = nullptr;
    }
    if (kind == kDialogNameEntry) {
        form_.HideSystemCursor();
        if (state_.NameCursor != nullptr) {
            state_.NameCursor->Visible = false;
            state_.NameCursor->KillOnce();
            state_.NameCursor = nullptr;
        }
    }
    if (IsQuestionDialog(kind)) {
        if (s.ScreenKind == kScreenRace) form_.HideSystemCursor();
        for (TMenuButton** button : {&state_.YesButton, &state_.NoButton}) {
            if (*button != nullptr) (*button)->KillOnce();
            *button = nullptr;
        }
        s.MenuEntries[kEntryYes] = state_.CoveredYes;
        s.MenuEntries[kEntryNo] = state_.CoveredNo;
        state_.CoveredYes = MenuEntry{};
        state_.CoveredNo = MenuEntry{};
    }
}

void GameDialogs::Close() {
    GameState& s = form_.State();
    const int kind = s.DialogKind;
    if (kind == kDialogNone) return;
    s.MenuSelection = s.DialogSavedSelection;
    s.MenuFirst = s.DialogSavedFirst;
    s.MenuLast = s.DialogSavedLast;
    KillPieces(kind);
    if (kind == kDialogExit || kind == kDialogPause) {
        if (TPlayer* bike = form_.RaceFlow().Bike()) bike->RestartEngineSound(true);
    }
    s.DialogKind = kDialogNone;
    if (s.MusicRestartPending) {
        s.MusicRestartPending = 0;
        form_.StartScreenMusic();
    }
}

void GameDialogs::Run(int lagCount) {
    GameState& s = form_.State();
    const int kind = s.DialogKind;
    if (IsQuestionDialog(kind)) RunQuestionKeys(lagCount);
    // A question answered by Y or N has closed (or made way for the next dialog).
    if (s.DialogKind == kind && kind != kDialogNone) RunKind(kind, lagCount);
    if (s.ScreenKind == kScreenRace) DrawHud(form_, form_.RaceFlow().Bike());
}

void GameDialogs::RunKind(int kind, int lagCount) {
    GameState& s = form_.State();
    const RaceState& race = form_.Race();
    TCanvas& canvas = form_.MDXDraw.Canvas();
    switch (kind) {
        case kDialogQuit:
            Centred(canvas, 1, form_.Tr("Выйти из игры?"), 382, 269);
            break;
        case kDialogExit:
            Centred(canvas, 1, form_.Tr("Выйти в меню?"), 382, 269);
            break;
        case kDialogTimeUp: {
            // Centred left of the middle, the notice must stay clear of the left panel
            // (which ends at x 174).
            const std::string line1 = form_.Tr("Ваше время вышло,");
            const std::string line2 = form_.Tr("Попробуйте ещё раз!");
            SelectFont(canvas, 5);
            FitFontToWidth(canvas, {line1, line2}, 2 * (348 - 180));
            CentredText(canvas, line1, 348, 217, true, true);
            CentredText(canvas, line2, 348, 267, true, true);
        }
            RunTimedNotice(kind);
            break;
        case kDialogClearTable:
            Centred(canvas, 3, form_.Tr("Вы хотите очистить"), 382, 253);
            Centred(canvas, 3, form_.Tr("таблицу рекордов?"), 382, 283);
            break;
        case kDialogPause:
            Centred(canvas, 5, form_.Tr("Пауза"), 400, 300);
            // Only the pause keys resume; Enter and clicks are answers, and a pause has none.
            if (s.EdgePause || s.EdgeEscape) Close();
            break;
        case kDialogLevelStart:
            Centred(canvas, 5, Filled(form_.Tr("Уровень %d"), race.Level), 400, 300);
            RunTimedNotice(kind);
            break;
        case kDialogGameOver:
            Centred(canvas, 5, form_.Tr("Конец игры"), 400, 300);
            RunTimedNotice(kind);
            break;
        case kDialogNameEntry:
            RunNameEntry(lagCount);
            break;
        case kDialogUpload:
            Centred(canvas, 11, form_.Tr("Отправить результат"), 382, 245);
            Centred(canvas, 11, form_.Tr("в мировую таблицу?"), 382, 281);
            break;
        case kDialogSending:
            if (state_.SendingShown < 2) {
                Centred(canvas, 1, form_.Tr("Отсылка..."), 382, 269);
            } else {
                Centred(canvas, 3, state_.OutcomeLines[0], 382, 252);
                Centred(canvas, 2, state_.OutcomeLines[1], 382, 292);
            }
            RunSending();
            break;
        case kDialogTally:
            RunTally();
            break;
        case kDialogCongratulation:
            Centred(canvas, 9, form_.Tr("ПОЗДРАВЛЯЕМ!"), 382, 259);
            Centred(canvas, 9, form_.Tr("Вы закончили гонку!"), 382, 309);
            RunCongratulation();
            break;
        default:
            break;
    }
}

// The form's side of the dialogs.

void TMForm::OpenDialog(DialogKindValue kind) {
    ReplayEvent event;
    event.type = ReplayEvent::Type::OpenDialog;
    event.kind = kind;
    const OutsideCall call(*this, event);
    dialogs_.Open(kind);
}

void TMForm::CloseDialog() {
    ReplayEvent event;
    event.type = ReplayEvent::Type::CloseDialog;
    const OutsideCall call(*this, event);
    dialogs_.Close();
}

void TMForm::RunDialog(int lagCount) {
    dialogs_.Run(lagCount);
}

void TMForm::AnswerDialog(int entry) {
    dialogs_.Answer(entry);
}

void TMForm::TypeNameCharacter(std::uint8_t ch) {
    dialogs_.TypeNameCharacter(ch);
}

void TMForm::EndGame() {
    dialogs_.EndOfGame();
}

}  // namespace vrumbal
