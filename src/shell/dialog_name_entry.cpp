// The result's part of the dialogs: typing the name of a new record, and sending the result
// to the world table.
#include <string>

#include "engine/dx_draw.h"
#include "game/high_scores.h"
#include "game/texts.h"
#include "online/score_submit.h"
#include "platform/codepage.h"
#include "shell/dialog_texts.h"
#include "shell/dialogs.h"
#include "shell/main_form.h"
#include "ui/font_slots.h"
#include "ui/menu_cursor.h"
#include "ui/menu_model.h"

namespace vrumbal {
using namespace dialog_text;
namespace {

// The cursor sits this far right of the centre of the name.
constexpr int kCursorOffset = 384;
constexpr std::uint8_t kEnter = 13;
constexpr std::uint8_t kBackspace = 8;
// How long the sending's outcome stays on screen.
constexpr int kOutcomeMs = 2000;

// Why the world table would not keep a result, from the word the server's refusal starts with.
std::string RefusalText(TMForm& form, const std::string& reason) {
    const std::string code = reason.substr(0, reason.find(':'));
    if (code == "version") return form.Tr("другая версия игры");
    if (code == "content") return form.Tr("другие файлы игры");
    if (code == "damaged") return form.Tr("запись заезда повреждена");
    if (code == "unproven") return form.Tr("нужна запись заезда");
    if (code == "withdrawn") return form.Tr("результат снят");
    if (code == "mismatch" || code == "pace" || code == "score" || code == "unfinished") {
        return form.Tr("запись не подтвердила результат");
    }
    if (code == "length") return form.Tr("слишком долгая игра");
    return form.Tr("сервер отказал");
}

// The two lines the outcome of a sending is told in: a headline and what it means.
std::pair<std::string, std::string> OutcomeText(TMForm& form, const UploadOutcome& outcome) {
    const std::string later = form.Tr("Отправим результат позже");
    switch (outcome.kind) {
        case UploadOutcome::Kind::Stored:
            if (outcome.place > 0) {
                return {form.Tr("Результат принят"),
                        Filled(form.Tr("Место в мировой таблице: %d"), outcome.place)};
            }
            return {form.Tr("Результат отправлен"), ""};
        case UploadOutcome::Kind::Refused:
            return {form.Tr("Результат не принят"), RefusalText(form, outcome.reason)};
        case UploadOutcome::Kind::Busy:
            return {form.Tr("Сервер занят"), later};
        case UploadOutcome::Kind::NoAnswer:
            break;
    }
    return {form.Tr("Нет связи с сервером"), later};
}

}  // namespace

void GameDialogs::RunNameEntry(int lagCount) {
    GameState& s = form_.State();
    TCanvas& canvas = form_.MDXDraw.Canvas();
    Centred(canvas, 9, Filled(form_.Tr("Набрано очков: %d"), form_.Race().Score), 382, 253);
    Centred(canvas, 9, form_.Tr("Введите ваше имя: "), 382, 288);
    // The name is the player's bytes in code page 1251, as the table keeps it.
    const std::string name = Cp1251ToUtf8(s.PlayerName);
    Centred(canvas, 10, name, 382, 323);
    if (state_.NameCursor != nullptr) {
        state_.NameCursor->X = TextWidthInSlot(canvas, name, 10) / 2.0 + kCursorOffset;
        state_.NameCursor->Move(lagCount);
    }
    if (state_.NameEntryKey != kEnter) return;
    state_.NameEntryKey = 0;
    // The game's result is in: its replay is kept with the row it makes.
    const std::string replay = form_.GameEnded(true);
    InsertHighScore(s, s.PlayerName, form_.Race().Score, replay);
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
    if (!form_.NameFitsWidth(s.PlayerName)) return;
    s.PlayerName.push_back(static_cast<char>(ch));
}

void GameDialogs::RunSending() {
    // The first frame only puts the notice on screen; the request blocks the next one.
    if (state_.SendingShown == 0) {
        state_.SendingShown = 1;
        return;
    }
    GameState& s = form_.State();
    if (state_.SendingShown == 1) {
        ScoreRecord record;
        record.name = s.PlayerName;
        record.score = form_.Race().Score;
        record.country = s.Country;
        const UploadOutcome outcome = form_.Uploads().SendNow(record, form_.LastReplayFile());
        const auto [first, second] = OutcomeText(form_, outcome);
        state_.OutcomeLines[0] = first;
        state_.OutcomeLines[1] = second;
        state_.SendingShown = 2;
        state_.DialogTimer = kOutcomeMs;
        return;
    }
    // The outcome stays a moment; Escape takes the player on at once.
    if (!s.EdgeEscape && Countdown(state_.DialogTimer, s.FrameMs, 0)) return;
    Close();
    BackToMenu(kMainPlay);
}

}  // namespace vrumbal
