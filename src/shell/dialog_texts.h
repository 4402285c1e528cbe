// How the dialogs write their texts: in UTF-8 here, drawn in code page 1251, centred in a
// font slot or from a left edge.
#pragma once
#include <string>

#include "platform/codepage.h"
#include "ui/font_slots.h"

namespace vrumbal::dialog_text {

// The game's texts are written in UTF-8 and drawn in code page 1251.
inline std::string Text(const char* utf8) {
    return Utf8ToCp1251(utf8);
}

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
