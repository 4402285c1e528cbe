#include "screens/main_menu.h"

#include <memory>

#include "race/scroll_background.h"
#include "screens/bike_choice.h"
#include "screens/help_screen.h"
#include "screens/menu_button.h"
#include "shell/main_form.h"
#include "shell/menu_model.h"

namespace vrumbal {
namespace {

// Pixels a sliding button moves per frame at 85 frames per second, before the factor 0.5.
constexpr double kIntroStep = 50;
// The back entries of the options and high-score screens: activating them leaves the screen.
constexpr int kOptionsBackEntry = 12;
constexpr int kHighScoresBackEntry = 9;

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
    GameState& s = form_.State();
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
    GameState& s = form_.State();
    s.ScreenKind = kScreenMainMenu;
    if (fullBuild) form_.StartScreenMusic();
    form_.ShowSystemCursor();
    s.MenuFirst = 1;
    s.MenuLast = 6;
    s.MenuSelection = selection;
    s.MenuIntroActive = intro ? 1 : 0;

    // A screen that forgot to remove the background must not leave a second one behind.
    RemoveBackground();
    background_ = TScrollBackground::Create(form_.Sprites(), form_.Race(), s, 1, 1, 1, 1);
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
                form_.Sprites(), 1, p.x, p.y, p.normalPicture, p.highlightPicture, 0, 0);
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
    if (intro) form_.PlaySound(0);
}

void MainMenuScreen::AnimateMenuIntro() {
    GameState& s = form_.State();
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
    GameState& s = form_.State();
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
    if (s.EdgeEscape) form_.OpenDialog(1);
}

void MainMenuScreen::Activate(int selection) {
    if (form_.State().MenuIntroActive != 0) return;
    PerformEntry(selection);
}

void MainMenuScreen::PerformEntry(int n) {
    switch (n) {
        case 1:
            form_.EnterBikeChoice();
            break;
        case 2:
            form_.EnterHelp();
            break;
        case 3:
            form_.EnterOptions();
            break;
        case 4:
            form_.EnterHighScores();
            break;
        case 5:
            form_.OpenDocument(kMoreGamesLink);
            break;
        case 6:
            form_.OpenDialog(1);
            break;
        default:
            break;
    }
}

void MainMenuScreen::Leave() {
    GameState& s = form_.State();
    RemoveBackground();
    KillButtons();
    if (s.ScreenKind == kScreenMainMenu) s.ScreenKind = kScreenNone;
}

MainMenuScreen& TMForm::MainMenu() {
    auto* menu = dynamic_cast<MainMenuScreen*>(screens_[kScreenMainMenu].get());
    if (menu == nullptr) {
        auto fresh = std::make_unique<MainMenuScreen>(*this);
        menu = fresh.get();
        screens_[kScreenMainMenu] = std::move(fresh);
    }
    return *menu;
}

void TMForm::EnterMainMenu(bool intro, int selection, bool fullBuild) {
    MainMenu().Enter(intro, selection, fullBuild);
}

void TMForm::RemoveMenuBackground() {
    MainMenu().RemoveBackground();
}

void TMForm::LeaveMainMenu() {
    MainMenu().Leave();
}

void TMForm::SwitchMainEntry() {
    GameState& s = state_;
    if (s.HoveredMainButton == 0 || s.MenuSelection != 0) return;
    // Only a sub-screen beside the buttons can be left this way; a race or a dialog keeps a
    // stale hover from an earlier screen.
    const int kind = s.ScreenKind;
    if (kind < kScreenBikeChoice || kind > kScreenHelp || s.DialogKind != 0) return;
    const int own = kind == kScreenBikeChoice   ? 1
                    : kind == kScreenOptions    ? 3
                    : kind == kScreenHighScores ? 4
                                                : 2;
    const int hovered = s.HoveredMainButton;
    if (own == hovered) return;
    switch (own) {
        case 1:
            if (auto* bike = dynamic_cast<BikeChoiceScreen*>(screens_[kind].get())) bike->Leave();
            break;
        case 2:
            if (auto* help = dynamic_cast<HelpScreen*>(screens_[kind].get())) help->Leave();
            break;
        // The options and high-score screens are left through their back entries, which also
        // rebuild the menu; the menu entered below then stands in its place.
        case 3:
            if (screens_[kind]) screens_[kind]->Activate(kOptionsBackEntry);
            break;
        case 4:
            if (screens_[kind]) screens_[kind]->Activate(kHighScoresBackEntry);
            break;
        default:
            break;
    }
    EnterMainMenu(false, 1, false);
    ShowEntryLook(s, own, false);
    ShowEntryLook(s, hovered, true);
    MainMenu().PerformEntry(hovered);
}

}  // namespace vrumbal
