// Entry points of the menu screens that are still to come. Each moves to its screen's own
// file when the screen is built.
#include "shell/main_form.h"

namespace vrumbal {

void TMForm::EnterBikeChoice() {}
void TMForm::EnterOptions() {}
void TMForm::ToggleHotKeyCapture() { state_.HotKeyCapture = state_.HotKeyCapture ? 0 : 1; }
void TMForm::EnterHighScores() {}
void TMForm::EnterHelp() {}
void TMForm::OpenDocument(const std::string& target) { platform_.shell->Open(target); }

}  // namespace vrumbal
