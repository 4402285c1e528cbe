// The guard the form's entry points put around a call that may come from outside a frame's
// logic (a key, the pointer, a window event), so that a game's recording gets it once.
#pragma once
#include "shell/game_recorder.h"
#include "shell/main_form.h"

namespace vrumbal {

// Records the call it guards when it reached the game from outside a frame's logic and no
// other recorded call made it; while it runs, the calls it makes are its own.
class TMForm::OutsideCall {
public:
    OutsideCall(TMForm& form, const ReplayEvent& event) : form_(form) {
        if (form_.RecordsCall()) form_.recorder_->Event(event);
        ++form_.callDepth_;
    }
    ~OutsideCall() { --form_.callDepth_; }
    OutsideCall(const OutsideCall&) = delete;
    OutsideCall& operator=(const OutsideCall&) = delete;

private:
    TMForm& form_;  // the form the call reached
};

}  // namespace vrumbal
