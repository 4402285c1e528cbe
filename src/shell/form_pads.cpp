// The game controllers' part of the main form: polling them, feeding their states and typed
// characters in before a frame reads its input, and the rumble of hits and crashes.
#include <vector>

#include "race/player.h"
#include "race/race_screen.h"
#include "shell/dialogs.h"
#include "shell/main_form.h"

namespace vrumbal {
namespace {

// A rival's hit is a short light pulse, a crash a long strong one.
constexpr double kHitRumble = 0.35;
constexpr int kHitRumbleMs = 120;
constexpr double kCrashRumble = 1.0;
constexpr int kCrashRumbleMs = 450;

}  // namespace

void TMForm::PollPads() {
    if (!platform_.pads) return;
    std::vector<PadEvent> events;
    platform_.pads->Poll(events);
    for (const PadEvent& e : events) pads_.Observe(e);
    // A race does not ride on without the player's hands on it.
    // (A replay watched goes on: it plays what was recorded.)
    if (pads_.TakeInUseLost() && !player_) PauseRace();
}

PadContext TMForm::CurrentPadContext() const {
    const GameState& s = state_;
    if (s.DialogKind == kDialogNameEntry ||
        (s.DialogKind == kDialogNone && s.ScreenKind == kScreenOptions && s.CountryEditing == 1)) {
        return PadContext::Text;
    }
    if (s.DialogKind == kDialogPause) return PadContext::Pause;
    if (IsQuestionDialog(s.DialogKind)) return PadContext::Question;
    if (s.ScreenKind == kScreenRace && s.DialogKind == kDialogNone) return PadContext::Race;
    return PadContext::Menu;
}

void TMForm::RunPadFrame() {
    const PadContext context = CurrentPadContext();
    std::string text;
    if (context == PadContext::Text) {
        text = state_.DialogKind == kDialogNameEntry ? state_.PlayerName : state_.Country;
    }
    for (const std::uint8_t ch : pads_.Frame(context, platform_.clock->NowMs(), text)) {
        FormKeyPress(ch);
        if (terminated_) return;
    }
}

void TMForm::RumbleAfterFrame() {
    // Compared with the bike as the last frame left it.
    const TPlayer* bike = raceScreen_ != nullptr ? raceScreen_->Bike() : nullptr;
    const bool riding = bike != nullptr && state_.ScreenKind == kScreenRace;
    const int hitsBefore = hitsBefore_;
    const bool crashedBefore = crashedBefore_;
    const std::uint8_t dialogBefore = dialogBefore_;
    hitsBefore_ = riding ? bike->HitsLeft : 0;
    crashedBefore_ = riding && bike->Crashed;
    dialogBefore_ = state_.DialogKind;
    if (!platform_.pads || pads_.InUse() < 0 || !riding) return;
    const int pad = pads_.InUse();
    if (state_.DialogKind != kDialogNone) {
        // Nothing shakes over a dialog: a rumble still running stops as it opens.
        if (dialogBefore == kDialogNone) platform_.pads->Rumble(pad, 0, 0);
        return;
    }
    double strength = 0;
    int ms = 0;
    if (bike->Crashed && !crashedBefore) {
        strength = kCrashRumble;
        ms = kCrashRumbleMs;
    } else if (bike->HitsLeft < hitsBefore) {
        strength = kHitRumble;
        ms = kHitRumbleMs;
    } else {
        return;
    }
    platform_.pads->Rumble(pad, strength, ms);
    lastRumble_ = strength;
    lastRumbleFrame_ = frames_;
}

}  // namespace vrumbal
