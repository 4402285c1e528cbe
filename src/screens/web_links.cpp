// Documents the game hands to the desktop: the more-games shortcut and the world table page.
#include "shell/main_form.h"

namespace vrumbal {

void TMForm::OpenDocument(const std::string& target) {
    // A file name is the working folder's, as the desktop reads it; the desktop's answer is not
    // waited for, so a missing file or browser changes nothing in the game.
    platform_.shell->Open(target);
}

}  // namespace vrumbal
