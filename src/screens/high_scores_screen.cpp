// The high-score screen at work: its title and panel, the ten rows of the table, and clearing
// it, opening the world table and going back.
#include "screens/high_scores_screen.h"

#include <cmath>
#include <string>

#include "engine/dx_draw.h"
#include "engine/sprite_context.h"
#include "engine/sprite_engine.h"
#include "game/game_host.h"
#include "game/game_state.h"
#include "game/high_scores.h"
#include "online/score_submit.h"
#include "platform/codepage.h"
#include "ui/font_slots.h"
#include "ui/menu_button.h"
#include "ui/menu_model.h"

namespace vrumbal {
namespace {

constexpr int kTitlePicture = 16;
constexpr int kPanelPicture = 17;

// Font slots of the names and the scores.
constexpr int kNameSlot = 2;
constexpr int kScoreSlot = 17;
// Horizontal centres of the name and score columns.
constexpr int kNameCentreX = 578;
constexpr int kScoreCentreX = 732;
// Where a row's name can be pointed at: the name column, half a row above and below.
constexpr int kNameLeft = 400, kNameRight = 690, kRowHalfHeight = 16;
// A row whose game can be watched: a mark at the start of its name's cell, and the name lit
// under the pointer.
constexpr int kReplayMarkX = 442;
constexpr int kReplayMarkSlot = 7;
constexpr int kLitNameSlot = 13;
constexpr char kReplayMark[] = "\u00BB";  // the right-pointing double angle

}  // namespace

int HighScoreRowY(int k) {
    // Rows are 33.7 pixels apart; the half pixels round to even, as the panel was drawn for.
    return static_cast<int>(std::nearbyint((k - 1) * 33.7 + 196));
}

int HighScoreRowAt(int x, int y) {
    if (x < kNameLeft || x > kNameRight) return 0;
    for (int k = 1; k <= 10; ++k) {
        if (y >= HighScoreRowY(k) - kRowHalfHeight && y <= HighScoreRowY(k) + kRowHalfHeight) {
            return k;
        }
    }
    return 0;
}

void HighScoresScreen::Enter() {
    GameState& s = host_.State();
    const SpriteContext& context = host_.Sprites();
    s.ScreenKind = kScreenHighScores;
    s.MenuFirst = kHighScoresClear;
    s.MenuLast = kHighScoresBack;
    s.MenuSelection = kHighScoresBack;
    SetMenuEntry(s, kHighScoresClear, TMenuButton::Create(context, 1, 365, 532, 40, 40, 1, 0));
    SetMenuEntry(s, kHighScoresWorld, TMenuButton::Create(context, 1, 517, 532, 41, 41, 1, 0));
    SetMenuEntry(s, kHighScoresBack, TMenuButton::Create(context, 1, 661, 542, 36, 36, 1, 0));
    s.MenuEntries[kTitlePicture].sprite = TMyImageSprite::CreateAt(context, 1, 27, 323, 42, 3);
    s.MenuEntries[kPanelPicture].sprite = TMyImageSprite::CreateAt(context, 1, 53, 356, 130, 5);
}

void HighScoresScreen::Leave() {
    GameState& s = host_.State();
    s.ScreenKind = kScreenNone;
    host_.RemoveMenuBackground();
    for (int entry :
         {kHighScoresClear, kHighScoresWorld, kHighScoresBack, kTitlePicture, kPanelPicture}) {
        if (s.MenuEntries[entry].sprite) s.MenuEntries[entry].sprite->KillOnce();
        s.MenuEntries[entry] = MenuEntry{};
    }
}

void HighScoresScreen::Frame(int lagCount) {
    GameState& s = host_.State();
    UpdateHighlight(s, true);
    SelectFirstOnArrow(s, kHighScoresClear, kHighScoresBack);
    if (s.EdgeLeft) BoundedDecrease(s, 1, kHighScoresClear);
    if (s.EdgeRight) BoundedIncrease(s, 1, kHighScoresBack);
    if (s.EdgeEscape) {
        host_.ActivateEntry(kHighScoresBack);
        if (s.ScreenKind != kScreenHighScores) return;
    }
    host_.SpriteEngine().Move(lagCount);
    DrawHighScores();
}

void HighScoresScreen::DrawHighScores() {
    const GameState& s = host_.State();
    TCanvas& canvas = host_.Surface().Canvas();
    const int pointed = HighScoreRowAt(s.MouseX, s.MouseY);
    for (int k = 1; k <= 10; ++k) {
        const HighScoreEntry& entry = s.HighScores[static_cast<std::size_t>(k)];
        const int y = HighScoreRowY(k);
        const bool watchable = !entry.replay.empty();
        if (watchable) {
            CentredTextInSlot(canvas, kReplayMark, kReplayMarkSlot, kReplayMarkX, y, true, true);
        }
        const int slot = watchable && k == pointed ? kLitNameSlot : kNameSlot;
        // Names are the players' bytes in code page 1251; the default table's name is shown in
        // the player's language (the file keeps it as it is).
        const std::string name =
            entry.name == kDefaultHighScoreName ? host_.Tr("Зумо") : Cp1251ToUtf8(entry.name);
        CentredTextInSlot(canvas, name, slot, kNameCentreX, y, true, true);
        CentredTextInSlot(canvas, std::to_string(entry.score), kScoreSlot, kScoreCentreX, y, true,
                          true);
    }
}

void HighScoresScreen::Activate(int selection) {
    switch (selection) {
        case kHighScoresClear:
            host_.OpenDialog(kDialogClearTable);
            break;
        case kHighScoresWorld:
            host_.OpenDocument(WorldTableAddress());
            break;
        case kHighScoresBack:
            Leave();
            host_.EnterMainMenu(false, kMainRecords, false);
            break;
        default: {
            // A click on a row's name plays its game, when it was kept.
            const GameState& s = host_.State();
            if (const int row = HighScoreRowAt(s.MouseX, s.MouseY)) host_.WatchTableReplay(row);
            break;
        }
    }
}

bool HighScoresScreen::WatchReplay() {
    const GameState& s = host_.State();
    if (const int row = HighScoreRowAt(s.MouseX, s.MouseY)) return host_.WatchTableReplay(row);
    for (int k = 1; k <= 10; ++k) {
        if (!s.HighScores[static_cast<std::size_t>(k)].replay.empty()) {
            return host_.WatchTableReplay(k);
        }
    }
    return false;
}

}  // namespace vrumbal
