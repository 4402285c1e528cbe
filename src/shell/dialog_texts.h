// How the dialogs place their texts (UTF-8, in the player's language): centred in a font slot
// or from a left edge.
#pragma once
#include <string>

#include "ui/font_slots.h"

namespace vrumbal::dialog_text {

// A text centred on (x, y) in the given slot.
inline void Centred(TCanvas& canvas, int slot, const std::string& text, int x, int y) {
    SelectFont(canvas, slot);
    CentredText(canvas, text, x, y, true, true);
}

// A text starting at x, centred vertically on y, in the font selected last.
inline void FromLeft(TCanvas& canvas, const std::string& text, int x, int y) {
    CentredText(canvas, text, x, y, false, true);
}

}  // namespace vrumbal::dialog_text
