// The form's moves between screens: each screen's handler is made on first use and kept, the
// main menu is entered and left, a click on another main button jumps there, and documents
// are handed to the desktop.
#include "race/race_screen.h"
#include "screens/bike_choice.h"
#include "screens/help_screen.h"
#include "screens/high_scores_screen.h"
#include "screens/main_menu.h"
#include "screens/options_screen.h"
#include "shell/main_form.h"
#include "ui/menu_button.h"

namespace vrumbal {

template <typename ScreenType>
ScreenType& TMForm::ScreenOf(int kind) {
    auto* screen = dynamic_cast<ScreenType*>(screens_[static_cast<std::size_t>(kind)].get());
    if (screen == nullptr) {
        auto created = std::make_unique<ScreenType>(static_cast<GameHost&>(*this));
        screen = created.get();
        screens_[static_cast<std::size_t>(kind)] = std::move(created);
    }
    return *screen;
}

void TMForm::SetScreen(int kind, std::unique_ptr<Screen> screen) {
    if (kind < 1 || kind > 6) return;
    // The race screen is kept at hand for the dialogs; a replacement must be a race screen too.
    if (kind == kScreenRace) {
        auto* race = dynamic_cast<RaceScreen*>(screen.get());
        if (race == nullptr) return;
        raceScreen_ = race;
    }
    screens_[static_cast<std::size_t>(kind)] = std::move(screen);
}

MainMenuScreen& TMForm::MainMenu() {
    return ScreenOf<MainMenuScreen>(kScreenMainMenu);
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

void TMForm::EnterBikeChoice() {
    ScreenOf<BikeChoiceScreen>(kScreenBikeChoice).Enter();
}

OptionsScreen& TMForm::Options() {
    return ScreenOf<OptionsScreen>(kScreenOptions);
}

void TMForm::EnterOptions() {
    Options().Enter();
}

void TMForm::ToggleHotKeyCapture() {
    Options().ToggleHotKeyCapture();
}

HighScoresScreen& TMForm::HighScoreScreen() {
    return ScreenOf<HighScoresScreen>(kScreenHighScores);
}

void TMForm::EnterHighScores() {
    HighScoreScreen().Enter();
}

void TMForm::EnterHelp() {
    ScreenOf<HelpScreen>(kScreenHelp).Enter();
}

void TMForm::StartRace(int level) {
    LeaveMainMenu();
    // Every game is recorded from here, the random generator as the race is about to use it.
    if (config_.record && !player_) StartRecording(level);
    raceScreen_->StartRace(level);
}

void TMForm::SwitchMainEntry() {
    GameState& s = state_;
    if (s.HoveredMainButton == 0 || s.MenuSelection != 0) return;
    // Only a sub-screen beside the buttons can be left this way; a race or a dialog keeps a
    // stale hover from an earlier screen.
    const int kind = s.ScreenKind;
    if (kind < kScreenBikeChoice || kind > kScreenHelp || s.DialogKind != kDialogNone) return;
    const int own = kind == kScreenBikeChoice   ? kMainPlay
                    : kind == kScreenOptions    ? kMainOptions
                    : kind == kScreenHighScores ? kMainRecords
                                                : kMainHelp;
    const int hovered = s.HoveredMainButton;
    if (own == hovered) return;
    switch (own) {
        case kMainPlay:
            if (auto* bike = dynamic_cast<BikeChoiceScreen*>(screens_[kind].get())) bike->Leave();
            break;
        case kMainHelp:
            if (auto* help = dynamic_cast<HelpScreen*>(screens_[kind].get())) help->Leave();
            break;
        // The options and high-score screens are left through their back entries, which also
        // rebuild the menu; the menu entered below then stands in its place.
        case kMainOptions:
            if (screens_[kind]) screens_[kind]->Activate(kOptionsBack);
            break;
        case kMainRecords:
            if (screens_[kind]) screens_[kind]->Activate(kHighScoresBack);
            break;
        default:
            break;
    }
    EnterMainMenu(false, kMainPlay, false);
    ShowEntryLook(s, own, false);
    ShowEntryLook(s, hovered, true);
    MainMenu().PerformEntry(hovered);
}

void TMForm::OpenDocument(const std::string& target) {
    // A file name is the working folder's, as the desktop reads it; the desktop's answer is not
    // waited for, so a missing file or browser changes nothing in the game.
    platform_.shell->Open(target);
}

}  // namespace vrumbal
