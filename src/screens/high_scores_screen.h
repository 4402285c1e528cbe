// The high-score screen beside the main buttons: the local table, with entries to clear it, to
// open the world table and to go back.
#pragma once

#include "game/screen.h"

namespace vrumbal {

class GameHost;

// Entry numbers of the high-score screen.
inline constexpr int kHighScoresClear = 7;
inline constexpr int kHighScoresWorld = 8;
inline constexpr int kHighScoresBack = 9;

// The vertical centre of row k (1..10) of the table on the screen.
int HighScoreRowY(int k);
// The row (1..10) whose name is under (x, y) on the screen, or 0.
int HighScoreRowAt(int x, int y);

// The high-score screen beside the main buttons: the ten lines of the local table, and
// entries to clear it (after a question), to open the world table in the browser and to go
// back.
class HighScoresScreen final : public Screen {
public:
    // The high-score screen of the form; nothing is shown until Enter.
    explicit HighScoresScreen(GameHost& host) : host_(host) {}

    // Shows the screen's buttons, title and panel.
    void Enter();
    // Removes them and the menu background; ScreenKind becomes 0.
    void Leave();
    // Draws the ten names and scores. A question over the screen hides them, so this is not
    // the screen's DrawTexts.
    void DrawHighScores();

    // The R key: plays the replay of the row under the pointer, or else of the best row that
    // has one; returns false when there is none to play.
    bool WatchReplay();

    // Screen.
    void Frame(int lagCount) override;
    void Activate(int selection) override;

private:
    GameHost& host_;  // the form whose state the screen runs on
};

}  // namespace vrumbal
