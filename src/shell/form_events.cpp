// The window's own events: the boss key, Alt+Enter, the pointer, minimise and restore.
#include <exception>

#include "screens/high_scores_screen.h"
#include "screens/options_screen.h"
#include "shell/form_outside_call.h"
#include "shell/main_form.h"
#include "ui/menu_model.h"

namespace vrumbal {
namespace {

constexpr int kKeyEnter = 0x0D;
constexpr int kKeyR = 'R';
constexpr int kKeyF1 = 0x70;
constexpr int kKeyF12 = 0x7B;

bool IsFunctionKey(int key) {
    return key >= kKeyF1 && key <= kKeyF12;
}

}  // namespace

void TMForm::ShowSystemCursor() {
    if (platform_.display) platform_.display->ShowPointer(true);
}

void TMForm::HideSystemCursor() {
    if (platform_.display) platform_.display->ShowPointer(false);
}

bool TMForm::SystemCursorShown() const {
    return platform_.display && platform_.display->PointerShown();
}

void TMForm::ReportError(const std::exception& error) {
    platform_.shell->ShowError("Vrumbal", error.what());
}

void TMForm::FormKeyDown(int key, std::uint8_t shift) {
    GameState& s = state_;
    if (s.HotKeyCapture == 1) {
        FormKeyBoss(key, shift, true);
    } else if (s.HotKeyCode != 0 && (shift & 0xFF) == s.HotKeyShift && key == s.HotKeyCode) {
        // No key set means no boss key, even for a key the keyboard has no code for (0).
        BossKeyAction();
    }
    // R on the high-score table watches a row's game.
    if (key == kKeyR && shift == 0 && s.ScreenKind == kScreenHighScores &&
        s.DialogKind == kDialogNone) {
        HighScoreScreen().WatchReplay();
    }
    if ((shift & kAlt) && key == kKeyEnter) {
        s.FullScreen = static_cast<std::uint8_t>(1 - s.FullScreen);
        if (s.ScreenKind == kScreenRace) OpenDialog(kDialogPause);
        try {
            ApplyDisplayMode();
        } catch (const std::exception& e) {
            // The surface stays uninitialised and frames are skipped until a switch succeeds.
            ReportError(e);
        }
    }
}

void TMForm::FormKeyUp(int key, std::uint8_t shift) {
    if (state_.HotKeyCapture == 1) FormKeyBoss(key, shift, false);
}

void TMForm::FormKeyPress(std::uint8_t ch) {
    ReplayEvent event;
    event.type = ReplayEvent::Type::Char;
    event.ch = ch;
    const OutsideCall call(*this, event);
    TypeNameCharacter(ch);  // only while the name entry is open
    if (state_.ScreenKind == kScreenOptions) Options().TypeCountryCharacter(ch);
    if (ch == kKeyEnter) ActivateEntry();
}

void TMForm::FormKeyBoss(int key, std::uint8_t shift, bool pressed) {
    GameState& s = state_;
    s.HotKeyShift = (shift & kAlt) ? 2 : (shift & kCtrl) ? 4 : (shift & kShift) ? 1 : 0;
    if (pressed) {
        s.HotKeyCode = IsFunctionKey(key) ? key : 0;
        if (s.HotKeyCode != 0) ToggleHotKeyCapture();
    } else if (IsFunctionKey(key)) {
        s.HotKeyCode = 0;
    }
}

void TMForm::BossKeyAction() {
    GameState& s = state_;
    StopMusic();
    if (s.ScreenKind == kScreenRace) {
        if (s.DialogKind == kDialogLevelStart) CloseDialog();
        OpenDialog(kDialogPause);
    }
    s.MusicRestartPending = 1;
    if (s.FullScreen == 1) {
        s.FullScreen = 0;
        try {
            EnterWindowed();
        } catch (const std::exception& e) {
            ReportError(e);
        }
    }
    if (platform_.display) platform_.display->Minimize();
}

void TMForm::MDXDrawMouseMove(int x, int y) {
    ReplayEvent event;
    event.type = ReplayEvent::Type::Pointer;
    event.x = x;
    event.y = y;
    const OutsideCall call(*this, event);
    GameState& s = state_;
    s.MouseX = x;
    s.MouseY = y;
    const bool onMainMenu = s.ScreenKind == kScreenMainMenu;
    // HitTestEntries reports a changed selection; the intro's sliding buttons stay quiet.
    if (HitTestEntries(s, onMainMenu) && (!onMainMenu || s.MenuIntroActive == 0))
        PlaySound(kSoundSelect);
}

void TMForm::WindowMinimized() {
    PauseRace();
}

void TMForm::PauseRace() {
    GameState& s = state_;
    if (s.ScreenKind != kScreenRace) return;
    if (s.DialogKind == kDialogLevelStart) CloseDialog();
    OpenDialog(kDialogPause);
}

void TMForm::WindowRestored() {
    try {
        MDXDraw.Initialize();
    } catch (const std::exception& e) {
        ReportError(e);
    }
}

}  // namespace vrumbal
