// The result's part of the dialogs: typing the name of a new record, and sending the result
// to the world table.
#include <string>

#include "engine/dx_draw.h"
#include "game/high_scores.h"
#include "online/score_submit.h"
#include "shell/dialog_texts.h"
#include "shell/dialogs.h"
#include "shell/main_form.h"
#include "ui/font_slots.h"
#include "ui/menu_cursor.h"

namespace vrumbal {
using namespace dialog_text;
namespace {

// The cursor sits this far right of the centre of the name.
constexpr int kCursorOffset = 384;
constexpr std::uint8_t kEnter = 13;
constexpr std::uint8_t kBackspace = 8;

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
    const GameState& s = form_.State();
    ScoreRecord record;
    record.name = s.PlayerName;
    record.score = form_.Race().Score;
    record.country = s.Country;
    if (SendScore) SendScore(record);
    Close();
    BackToMenu(kMainPlay);
}

}  // namespace vrumbal
