#include "shell/skeleton_screens.h"

#include "shell/main_form.h"
#include "shell/menu_model.h"

namespace vrumbal {

void SkeletonMainMenu::Frame(int /*lagCount*/) {
    GameState& s = form_.State();
    if (s.EdgeUp) StepUpWrap(s);
    if (s.EdgeDown) StepDownWrap(s);
    UpdateHighlight(s, false);
    if (s.EdgeEscape) form_.OpenDialog(1);
}

void SkeletonMainMenu::Activate(int selection) {
    if (selection == 6) form_.OpenDialog(1);
}

}  // namespace vrumbal
