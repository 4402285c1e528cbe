// The main menu: a full-screen picture and the column of six buttons that opens everything
// else, with their places and pictures.
#pragma once
#include <array>

#include "game/screen.h"

namespace vrumbal {

class GameHost;
class TMenuButton;
class TScrollBackground;

// Where the six main buttons stand, their pictures, and where the slide-in starts them.
struct MainButtonPlace {
    int x;                 // left edge
    int y;                 // resting top edge
    int normalPicture;     // picture of image list 1 shown normally
    int highlightPicture;  // picture shown while selected
    int introY;            // top edge when the slide-in starts
};

// The six main buttons, entries 1..6 (index 0 is entry 1).
inline constexpr std::array<MainButtonPlace, 6> kMainButtons{{
    {12, 173, 2, 8, -300},
    {12, 232, 3, 9, -200},
    {12, 291, 4, 10, -100},
    {12, 351, 5, 11, 700},
    {12, 412, 6, 12, 800},
    {12, 473, 7, 13, 900},
}};

// The shortcut main entry 5 opens.
inline constexpr const char* kMoreGamesLink = "moregames.url";

// The main menu: a full-screen picture and a column of six buttons that slide in the first
// time, stay under every sub-screen, and open the sub-screens, the more-games link and the
// quit question.
class MainMenuScreen final : public Screen {
public:
    // The menu of the form; nothing exists until Enter.
    explicit MainMenuScreen(GameHost& host) : host_(host) {}

    // Builds the menu: a new background, with fullBuild new buttons and the menu song, with
    // intro the buttons at their slide-in start.
    void Enter(bool intro, int selection, bool fullBuild);
    // One step of the slide-in: one button of each group moves, the rest rest in place.
    void AnimateMenuIntro();
    // Removes the menu background (every screen change away from the menu does).
    void RemoveBackground();
    // Leaves the menu for a race: background and buttons go, ScreenKind becomes 0.
    void Leave();
    // Performs main entry n (1..6) from the entry table.
    void PerformEntry(int n);

    // Main button n (1..6), or null when the buttons do not exist.
    TMenuButton* Button(int n) const;
    // The menu background, or null.
    TScrollBackground* Background() const { return background_; }

    // Screen.
    void Frame(int lagCount) override;
    void Activate(int selection) override;

private:
    bool HasButtons() const;
    void KillButtons();

    GameHost& host_;                           // the form whose state the menu runs on
    std::array<TMenuButton*, 6> buttons_{};    // entries 1..6, owned by the sprite engine
    TScrollBackground* background_ = nullptr;  // owned by the sprite engine
};

}  // namespace vrumbal
