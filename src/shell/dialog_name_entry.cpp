// The result's part of the dialogs: typing the name of a new record, and sending the result
// to the world table.
#include <string>

#include "engine/dx_draw.h"
#include "game/replay.h"
#include "game/high_scores.h"
#include "online/score_submit.h"
#include "shell/dialog_texts.h"
#include "shell/dialogs.h"
#include "shell/main_form.h"
#include "ui/font_slots.h"
#include "ui/menu_model.h"
#include "ui/menu_cursor.h"

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
std::string RefusalText(const std::string& reason) {
    const std::string code = reason.substr(0, reason.find(':'));
    if (code == "version") return Text("другая версия игры");
    if (code == "content") return Text("другие файлы игры");
    if (code == "damaged") return Text("запись заезда повреждена");
    if (code == "unproven") return Text("нужна запись заезда");
    if (code == "withdrawn") return Text("результат снят");
    if (code == "mismatch" || code == "pace" || code == "score" || code == "unfinished") {
        return Text("запись не подтвердила результат");
    }
    if (code == "length") return Text("слишком долгая игра");
    return Text("сервер отказал");
}

// The two lines the outcome of a sending is told in: a headline and what it means.
std::pair<std::string, std::string> OutcomeText(const UploadOutcome& outcome) {
    const std::string later = Text("Отправим результат позже");
    switch (outcome.kind) {
        case UploadOutcome::Kind::Stored:
            if (outcome.place > 0) {
                return {Text("Результат принят"),
                        Text("Место в мировой таблице: ") + std::to_string(outcome.place)};
            }
            return {Text("Результат отправлен"), ""};
        case UploadOutcome::Kind::Refused:
            return {Text("Результат не принят"), RefusalText(outcome.reason)};
        case UploadOutcome::Kind::Busy:
            return {Text("Сервер занят"), later};
        case UploadOutcome::Kind::NoAnswer:
            break;
    }
    return {Text("Нет связи с сервером"), later};
}

}  // namespace

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
        std::string replay;
        if (const auto& last = form_.LastReplay()) {
            const std::vector<std::uint8_t> bytes = EncodeReplay(*last);
            replay.assign(bytes.begin(), bytes.end());
        }
        const UploadOutcome outcome = form_.Uploads().SendNow(record, replay);
        const auto [first, second] = OutcomeText(outcome);
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
