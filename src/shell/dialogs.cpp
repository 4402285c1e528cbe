#include "shell/dialogs.h"

#include <algorithm>
#include <string>

#include "engine/dx_draw.h"
#include "engine/picture_collection.h"
#include "online/score_submit.h"
#include "platform/codepage.h"
#include "ui/font_slots.h"
#include "race/hud.h"
#include "game/level_tables.h"
#include "race/race_screen.h"
#include "game/high_scores.h"
#include "ui/menu_button.h"
#include "ui/menu_cursor.h"
#include "shell/main_form.h"
#include "ui/menu_model.h"

namespace vrumbal {
namespace {

// The pieces of the dialogs, all from the menu pictures.
constexpr int kPanelPicture = 33;
constexpr int kPanelX = 185, kPanelY = 219, kPanelZ = 14;
constexpr int kYesPicture = 34, kNoPicture = 35;
constexpr int kYesX = 249, kNoX = 377, kButtonY = 306, kButtonZ = 15;
// The buttons show their dark pattern normally and the lit one when highlighted.
constexpr int kButtonNormalFrame = 1, kButtonHighlightFrame = 0;
constexpr int kCursorPicture = 22, kCursorBlinkMs = 600, kCursorZ = 15;
constexpr int kCursorX = 221, kCursorY = 314;
// The cursor sits this far right of the centre of the name.
constexpr int kCursorOffset = 384;

constexpr int kLevelStartMs = 2000;
constexpr int kNoticeMs = 3000;  // time-up and game over
constexpr int kCongratulationMs = 3200;
// The tally shows a line a second and drains the time left ten times faster than real time.
constexpr int kTallyLineMs = 1000;
constexpr int kTallyDrainSpeed = 10;
constexpr int kTallyHoldMs = 2000;
constexpr int kTallyLines = 5;
constexpr int kPointsPerSecond = kPointsPerSecondLeft;


constexpr std::uint8_t kEnter = 13;
constexpr std::uint8_t kBackspace = 8;

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

// The game's texts are written here in UTF-8 and drawn in code page 1251.
std::string Text(const char* utf8) {
    return Utf8ToCp1251(utf8);
}

// A text centred on (x, y) in the given slot.
void Centred(TCanvas& canvas, int slot, const std::string& text, int x, int y) {
    SelectFont(canvas, slot);
    CentredText(canvas, text, x, y, true, true);
}

// A text starting at x, centred vertically on y, in the font selected last.
void FromLeft(TCanvas& canvas, const std::string& text, int x, int y) {
    CentredText(canvas, text, x, y, false, true);
}

}  // namespace

GameDialogs::GameDialogs(TMForm& form)
    : SendScore([](const ScoreRecord& record) { SubmitScore(record); }), form_(form) {}

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

void GameDialogs::RunKind(int kind, int lagCount) {
    GameState& s = form_.State();
    const RaceState& race = form_.Race();
    TCanvas& canvas = form_.MDXDraw.Canvas();
    switch (kind) {
        case kDialogQuit:
            Centred(canvas, 1, Text("Выйти из игры?"), 382, 269);
            break;
        case kDialogExit:
            Centred(canvas, 1, Text("Выйти в меню?"), 382, 269);
            break;
        case kDialogTimeUp:
        {
            // Centred left of the middle, the notice must stay clear of the left panel
            // (which ends at x 174).
            const std::string line1 = Text("Ваше время вышло,");
            const std::string line2 = Text("Попробуйте ещё раз!");
            SelectFont(canvas, 5);
            FitFontToWidth(canvas, {line1, line2}, 2 * (348 - 180));
            CentredText(canvas, line1, 348, 217, true, true);
            CentredText(canvas, line2, 348, 267, true, true);
        }
            RunTimedNotice(kind);
            break;
        case kDialogClearTable:
            Centred(canvas, 3, Text("Вы хотите очистить"), 382, 253);
            Centred(canvas, 3, Text("таблицу рекордов?"), 382, 283);
            break;
        case kDialogPause:
            Centred(canvas, 5, Text("Пауза"), 400, 300);
            // Only the pause keys resume; Enter and clicks are answers, and a pause has none.
            if (s.EdgePause || s.EdgeEscape) Close();
            break;
        case kDialogLevelStart:
            Centred(canvas, 5, Text("Уровень ") + std::to_string(race.Level), 400, 300);
            RunTimedNotice(kind);
            break;
        case kDialogGameOver:
            Centred(canvas, 5, Text("Конец игры"), 400, 300);
            RunTimedNotice(kind);
            break;
        case kDialogNameEntry:
            RunNameEntry(lagCount);
            break;
        case kDialogUpload:
            Centred(canvas, 11, Text("Отправить резльутат"), 382, 245);
            Centred(canvas, 11, Text("в мировую таблицу?"), 382, 281);
            break;
        case kDialogSending:
            Centred(canvas, 1, Text("Отсылка..."), 382, 269);
            RunSending();
            break;
        case kDialogTally:
            RunTally();
            break;
        case kDialogCongratulation:
            Centred(canvas, 9, Text("ПОЗДРАВЛЯЕМ!"), 382, 259);
            Centred(canvas, 9, Text("Вы закончили гонку!"), 382, 309);
            RunCongratulation();
            break;
        default:
            break;
    }
}

void GameDialogs::RunTimedNotice(int kind) {
    if (Countdown(state_.DialogTimer, form_.State().FrameMs, 0)) return;
    Close();
    if (kind == kDialogTimeUp) {
        // The same level again, on a new track with the full time.
        if (TPlayer* bike = form_.RaceFlow().Bike()) bike->StartLevelRun(false);
    } else if (kind == kDialogGameOver) {
        EndOfGame();
    }
}

void GameDialogs::RunNameEntry(int lagCount) {
    GameState& s = form_.State();
    TCanvas& canvas = form_.MDXDraw.Canvas();
    Centred(canvas, 9, Text("Набрано очков: ") + std::to_string(form_.Race().Score), 382, 253);
    Centred(canvas, 9, Text("Введите ваше имя: "), 382, 288);
    Centred(canvas, 10, s.PlayerName, 382, 323);
    if (state_.NameCursor != nullptr) {
        state_.NameCursor->X = TextWidthInSlot(canvas, s.PlayerName, 10) / 2.0 + kCursorOffset;
        state_.NameCursor->Move(lagCount);
    }
    if (state_.NameEntryKey != kEnter) return;
    state_.NameEntryKey = 0;
    InsertHighScore(s, s.PlayerName, form_.Race().Score);
    // A record is kept at once: a game that is cut off from here on still has it.
    form_.SaveNow();
    Close();
    Open(kDialogUpload);
}

void GameDialogs::TypeNameCharacter(std::uint8_t ch) {
    GameState& s = form_.State();
    if (s.DialogKind != kDialogNameEntry) return;
    state_.NameEntryKey = ch;
    if (ch == kBackspace) {
        if (!s.PlayerName.empty()) s.PlayerName.pop_back();
        return;
    }
    if (!IsNameChar(ch) || s.PlayerName.size() >= kNameMaxLength) return;
    // The width is that of the name before the new character, so the last one may reach a
    // little past the limit.
    if (TextWidthInSlot(form_.MDXDraw.Canvas(), s.PlayerName, 10) > kNameMaxWidth) return;
    s.PlayerName.push_back(static_cast<char>(ch));
}

void GameDialogs::RunSending() {
    // The first frame only puts the notice on screen; the request blocks the next one.
    if (state_.SendingShown == 0) {
        state_.SendingShown = 1;
        return;
    }
    const GameState& s = form_.State();
    ScoreRecord record;
    record.name = s.PlayerName;
    record.score = form_.Race().Score;
    record.country = s.Country;
    if (SendScore) SendScore(record);
    Close();
    BackToMenu(1);
}

void GameDialogs::BackToMenu(int selection) {
    form_.RaceFlow().StopRaceSprites();
    form_.EnterMainMenu(false, selection, true);
    form_.EnterHighScores();
}

void GameDialogs::RunTally() {
    RaceState& race = form_.Race();
    const int frameMs = form_.State().FrameMs;
    if (race.TallyStepTimer < 1) {
        race.TallyStepTimer = kTallyLineMs;
        ++race.TallyLines;
        if (race.TallyLines < kTallyLines) form_.PlaySound(kSoundArrow);
    } else {
        race.TallyStepTimer -= frameMs;
    }

    TCanvas& canvas = form_.MDXDraw.Canvas();
    SelectFont(canvas, 11);
    if (race.TallyLines > 0) {
        CentredText(canvas, Text("Ваше место ") + std::to_string(race.Place), 382, 244, true, true);
    }
    if (race.TallyLines > 1) {
        CentredText(canvas, Text("Бонус: ") + std::to_string(race.PlaceBonus), 382, 274, true,
                    true);
    }
    if (race.TallyLines > 2) {
        // The drain ends a little below zero; the count shows no less than nothing left.
        const int seconds = std::max(race.TallyTimeLeft, 0) / 1000;
        FromLeft(canvas, Text("Осталось: ") + std::to_string(seconds) + Text(" сек."), 307, 304);
    }
    if (race.TallyLines > 3) {
        FromLeft(canvas, Text("За время: ") + std::to_string(race.TimePoints), 292, 334);
    }

    if (race.TallyLines < kTallyLines) return;
    if (race.TallyTimeLeft >= 0) {
        const int step = kTallyDrainSpeed * frameMs;
        // Five points for every whole second the drain passes.
        if ((race.TallyTimeLeft - step) / 1000 < race.TallyTimeLeft / 1000) {
            race.TimePoints += kPointsPerSecond;
            form_.PlaySound(kSoundClockTick);
        }
        race.TallyTimeLeft -= step;
        race.TallyHold = kTallyHoldMs;
        return;
    }
    race.TallyHold -= frameMs;
    if (race.TallyHold < 1) FinishTally();
}

void GameDialogs::FinishTally() {
    RaceState& race = form_.Race();
    race.Score += race.PlaceBonus + race.TimePoints;
    Close();
    if (race.Level >= kLevelCount) {
        race.TallyTimeLeft = kCongratulationMs;
        form_.PlaySound(kSoundRaceWon);
        Open(kDialogCongratulation);
        return;
    }
    if (TPlayer* bike = form_.RaceFlow().Bike()) bike->StartLevelRun(true);
}

void GameDialogs::RunCongratulation() {
    RaceState& race = form_.Race();
    race.TallyTimeLeft -= form_.State().FrameMs;
    if (race.TallyTimeLeft >= 1) return;
    Close();
    EndOfGame();
}

void GameDialogs::Answer(int entry) {
    GameState& s = form_.State();
    const int kind = s.DialogKind;
    if (!IsQuestionDialog(kind)) return;
    if (entry == kEntryNo) {
        Close();
        // Declining to send still leads on to the table the result went into.
        if (kind == kDialogUpload) BackToMenu(4);
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

void GameDialogs::EndOfGame() {
    GameState& s = form_.State();
    if (QualifiesForHighScores(s, form_.Race().Score)) {
        Open(kDialogNameEntry);
        return;
    }
    form_.RaceFlow().StopRaceSprites();
    form_.EnterMainMenu(false, 1, true);
}

// The form's side of the dialogs.

void TMForm::OpenDialog(DialogKindValue kind) {
    dialogs_.Open(kind);
}

void TMForm::CloseDialog() {
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
