// The main menu at work: its background and six buttons built, their slide-in, and what each
// entry opens.
#include "screens/main_menu.h"

#include <memory>

#include "engine/sprite_context.h"
#include "game/game_host.h"
#include "game/game_state.h"
#include "game/race_state.h"
#include "race/scroll_background.h"
#include "screens/bike_choice.h"
#include "screens/help_screen.h"
#include "ui/menu_button.h"
#include "ui/menu_model.h"

namespace vrumbal {
namespace {

// Pixels a sliding button moves per frame at 85 frames per second, before the factor 0.5.
constexpr double kIntroStep = 50;

}  // namespace

TMenuButton* MainMenuScreen::Button(int n) const {
    if (n < 1 || n > 6) return nullptr;
    return buttons_[static_cast<std::size_t>(n - 1)];
}

bool MainMenuScreen::HasButtons() const {
    for (const TMenuButton* b : buttons_) {
        if (b == nullptr || b->KillDone()) return false;
    }
    return true;
}

void MainMenuScreen::KillButtons() {
    GameState& s = host_.State();
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        TMenuButton*& b = buttons_[i];
        if (b == nullptr) continue;
        b->KillOnce();
        // The engine frees the sprite at the end of the frame; the entry must not outlive it.
        if (s.MenuEntries[i + 1].sprite == b) s.MenuEntries[i + 1] = MenuEntry{};
        b = nullptr;
    }
}

void MainMenuScreen::RemoveBackground() {
    if (background_ != nullptr) background_->KillOnce();
    background_ = nullptr;
}

void MainMenuScreen::Enter(bool intro, int selection, bool fullBuild) {
    GameState& s = host_.State();
    s.ScreenKind = kScreenMainMenu;
    if (fullBuild) host_.StartScreenMusic();
    host_.ShowSystemCursor();
    s.MenuFirst = 1;
    s.MenuLast = 6;
    s.MenuSelection = selection;
    s.MenuIntroActive = intro ? 1 : 0;

    // A screen that forgot to remove the background must not leave a second one behind.
    RemoveBackground();
    background_ = TScrollBackground::Create(host_.Sprites(), host_.Race(), s, 1, 1, 1, 1);
    background_->X = 0;
    background_->Y = 0;

    // Without buttons (the menu was left for a race) they are built whatever the caller says,
    // so the menu can never be shown without them.
    if (fullBuild || !HasButtons()) {
        KillButtons();
        for (std::size_t i = 0; i < kMainButtons.size(); ++i) {
            const MainButtonPlace& p = kMainButtons[i];
            // A library without the button's pictures shows no button there.
            TMenuButton* b = TMenuButton::CreateIfPresent(
                host_.Sprites(), 1, p.x, p.y, p.normalPicture, p.highlightPicture, 0, 0);
            if (b != nullptr) b->RaiseOnHighlight = true;
            buttons_[i] = b;
            SetMenuEntry(s, static_cast<int>(i) + 1, b);
        }
    }
    for (std::size_t i = 0; i < kMainButtons.size(); ++i) {
        TMenuButton* b = buttons_[i];
        if (b == nullptr) continue;
        if (intro) {
            b->Y = kMainButtons[i].introY;
        } else {
            b->AlphaOn = false;
            b->Alpha = 255;
            b->NormalPicture = kMainButtons[i].normalPicture;
            s.MenuEntries[i + 1].normalImage = kMainButtons[i].normalPicture;
        }
    }
    // Nothing to slide in when the library has no button pictures: the menu takes keys at once.
    if (!HasButtons()) s.MenuIntroActive = 0;
    if (intro) host_.PlaySound(kSoundMenuSlide);
}

void MainMenuScreen::AnimateMenuIntro() {
    GameState& s = host_.State();
    if (!HasButtons()) {
        s.MenuIntroActive = 0;
        return;
    }
    const double step = kIntroStep * s.SpeedFactor * 0.5;
    auto y = [this](int entry) -> double& { return Button(entry)->Y; };
    auto rest = [this](int entry) { return kMainButtons[static_cast<std::size_t>(entry - 1)].y; };

    // Upper group, from the innermost button outwards: the first one short of its place moves.
    int moving = 0;
    for (int e = 3; e >= 1; --e) {
        if (y(e) < rest(e)) {
            moving = e;
            break;
        }
        y(e) = rest(e);
    }
    if (moving != 0) y(moving) += step;

    // Lower group, likewise from below.
    moving = 0;
    for (int e = 4; e <= 6; ++e) {
        if (y(e) > rest(e)) {
            moving = e;
            break;
        }
        y(e) = rest(e);
    }
    if (moving != 0) y(moving) -= step;

    if (y(1) == rest(1) && y(6) == rest(6)) {
        s.MenuIntroActive = 0;
        for (int e = 1; e <= 6; ++e) {
            Button(e)->NormalPicture = kMainButtons[static_cast<std::size_t>(e - 1)].normalPicture;
            s.MenuEntries[static_cast<std::size_t>(e)].normalImage = Button(e)->NormalPicture;
        }
    }
}

void MainMenuScreen::Frame(int /*lagCount*/) {
    GameState& s = host_.State();
    if (s.MenuIntroActive != 0) {
        AnimateMenuIntro();
        return;
    }
    UpdateHighlight(s, false);
    if (s.MenuSelection >= 1 && s.MenuSelection <= 6) {
        if (s.EdgeUp) StepUpWrap(s);
        if (s.EdgeDown) StepDownWrap(s);
    } else {
        SelectFirstOnArrow(s, 1, 6);
    }
    if (s.EdgeEscape) host_.OpenDialog(kDialogQuit);
}

void MainMenuScreen::Activate(int selection) {
    if (host_.State().MenuIntroActive != 0) return;
    PerformEntry(selection);
}

void MainMenuScreen::PerformEntry(int n) {
    switch (n) {
        case kMainPlay:
            host_.EnterBikeChoice();
            break;
        case kMainHelp:
            host_.EnterHelp();
            break;
        case kMainOptions:
            host_.EnterOptions();
            break;
        case kMainRecords:
            host_.EnterHighScores();
            break;
        case kMainMoreGames:
            host_.OpenDocument(kMoreGamesLink);
            break;
        case kMainQuit:
            host_.OpenDialog(kDialogQuit);
            break;
        default:
            break;
    }
}

void MainMenuScreen::Leave() {
    GameState& s = host_.State();
    RemoveBackground();
    KillButtons();
    if (s.ScreenKind == kScreenMainMenu) s.ScreenKind = kScreenNone;
}

}  // namespace vrumbal
