// The help screen: its pages of description, pickups, keys and the about page, turned with two
// arrows.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "game/screen.h"

namespace vrumbal {

class TCanvas;
class GameHost;
class TMyImageSprite;

// Number of help pages; the last is the about page.
inline constexpr int kHelpPageCount = 6;
// The page bearing the bonus pictures and the about page.
inline constexpr int kBonusPage = 2;
inline constexpr int kAboutPage = 6;
// Left edge of the help texts and the right edge they must stay inside (the panel's inner
// border).
inline constexpr int kHelpTextX = 380;
inline constexpr int kHelpTextRight = 774;

// One line of a help page: where it starts, the line it is centred on, its slot and text
// (UTF-8, as written; translated where it is drawn).
struct HelpLine {
    int x;             // left edge
    int y;             // vertical centre
    int slot;          // font slot
    std::string text;  // UTF-8
};

// The lines of help page 1..5, heading first.
std::vector<HelpLine> HelpPageLines(int page);

// The largest size, at most the slot's own, at which every body line of the page (slot 20)
// ends left of kHelpTextRight; texts that fit keep the slot's size.
int HelpBodySize(TCanvas& canvas, const std::vector<HelpLine>& lines);

// The help screen: five pages turned with two arrows (description, bonuses, menu keys, race
// keys, about), with the bonus pictures on page 2 and the about picture on page 5.
class HelpScreen final : public Screen {
public:
    // The screen of the form; nothing exists until Enter.
    explicit HelpScreen(GameHost& host) : host_(host) {}

    // Opens the screen on page 1 with back selected.
    void Enter();
    // Removes the screen's sprites and the menu background; ScreenKind becomes 0.
    void Leave();
    // The page before (1 wraps to 5).
    void PreviousHelpPage();
    // The page after (5 wraps to 1).
    void NextHelpPage();
    // Draws the page's texts and shows the page's pictures.
    void DrawHelpPage();

    // The page shown, 1..5.
    int Page() const { return page_; }
    // Bonus picture i (0..4), or null.
    TMyImageSprite* BonusIcon(int i) const { return bonusIcons_.at(static_cast<std::size_t>(i)); }
    // The about picture, or null.
    TMyImageSprite* AboutPicture() const { return aboutPicture_; }

    // Screen.
    void Frame(int lagCount) override;
    void Activate(int selection) override;

private:
    GameHost& host_;                                   // the form whose state the screen runs on
    int page_ = 1;                                     // HelpPage
    std::array<TMyImageSprite*, 5> bonusIcons_{};      // BonusIcons, owned by the sprite engine
    TMyImageSprite* aboutPicture_ = nullptr;           // owned by the sprite engine
    std::array<int, kHelpPageCount + 1> bodySizes_{};  // body text size by page, 0 = not measured
    std::string bodyLanguage_;                         // the language the sizes were measured in
};

}  // namespace vrumbal
