// The rules that go with the kinds: which characters a name takes, which dialogs ask.
#include "game/kinds.h"

namespace vrumbal {

bool IsNameChar(std::uint8_t c) {
    // Code page 1251 keeps Ё and ё apart from the other Cyrillic letters, at 0xA8 and 0xB8.
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ' ' ||
           c >= 0xC0 || c == 0xA8 || c == 0xB8;
}

bool IsQuestionDialog(int kind) {
    return kind == kDialogQuit || kind == kDialogExit || kind == kDialogClearTable ||
           kind == kDialogUpload;
}

}  // namespace vrumbal
