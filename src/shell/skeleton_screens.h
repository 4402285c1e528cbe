#pragma once
#include "shell/screen.h"

namespace vrumbal {

class TMForm;

// The main menu until its buttons and sub-screens arrive: the six entries can be stepped
// through with the arrows, and Escape or the last entry asks whether to quit.
class SkeletonMainMenu final : public Screen {
public:
    explicit SkeletonMainMenu(TMForm& form) : form_(form) {}
    void Frame(int lagCount) override;
    void Activate(int selection) override;

private:
    TMForm& form_;  // the form whose state this screen runs
};

}  // namespace vrumbal
