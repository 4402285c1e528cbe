// The game's font table of 24 slots, and the selecting, measuring, centring and fitting of
// texts in them.
#include "ui/font_slots.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "engine/dx_draw.h"

namespace vrumbal {

namespace {

// A Windows colour value from its red, green and blue parts.
constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return r | (g << 8) | (b << 16);
}

}  // namespace

const std::array<FontSlot, kFontSlotCount> FontSlots = {{
    {"BancoDi", 30, Rgb(255, 222, 0), false},    // 1
    {"BancoDi", 18, Rgb(255, 222, 0), false},    // 2
    {"BancoDi", 24, Rgb(255, 222, 0), false},    // 3
    {"BancoDi", 28, Rgb(0, 0, 0), true},         // 4
    {"BancoDi", 36, Rgb(244, 9, 9), false},      // 5
    {"BancoDi", 16, Rgb(66, 252, 202), false},   // 6
    {"BancoDi", 20, Rgb(66, 252, 202), false},   // 7
    {"BancoDi", 16, Rgb(255, 255, 255), false},  // 8
    {"BancoDi", 26, Rgb(255, 222, 0), false},    // 9
    {"BancoDi", 26, Rgb(0, 255, 174), false},    // 10
    {"BancoDi", 24, Rgb(255, 222, 0), false},    // 11
    {"BancoDi", 24, Rgb(255, 222, 0), false},    // 12
    {"BancoDi", 24, Rgb(0, 255, 174), false},    // 13
    {"BancoDi", 24, Rgb(255, 222, 0), false},    // 14
    {"BancoDi", 78, Rgb(255, 242, 168), false},  // 15
    {"BancoDi", 24, Rgb(191, 166, 0), false},    // 16
    {"BancoDi", 18, Rgb(255, 222, 0), false},    // 17
    {"BancoDi", 22, Rgb(66, 252, 202), false},   // 18
    {"BancoDi", 28, Rgb(255, 242, 168), false},  // 19
    {"BancoDi", 14, Rgb(255, 242, 168), false},  // 20
    {"BancoDi", 15, Rgb(255, 242, 168), false},  // 21
    {"Courier", 14, Rgb(0, 255, 0), false},      // 22
    {"BancoDi", 20, Rgb(255, 242, 168), false},  // 23
    {"BancoDi", 14, Rgb(66, 252, 202), false},   // 24
    {"BancoDi", 18, Rgb(191, 166, 0), false},    // 25: the language's label, selected
}};

const FontSlot& FontSlotAt(int slot) {
    if (slot < 1 || slot > kFontSlotCount) {
        throw std::out_of_range("font slot " + std::to_string(slot) + " does not exist");
    }
    return FontSlots[static_cast<std::size_t>(slot - 1)];
}

void SelectFont(TCanvas& canvas, int slot) {
    const FontSlot& s = FontSlotAt(slot);
    FontSpec font;
    font.face = s.face;
    font.size = s.size;
    font.bold = s.bold;
    font.color = s.color;
    // The canvas always draws text without a background, so no brush needs clearing.
    canvas.font = font;
}

int TextWidthInSlot(TCanvas& canvas, const std::string& text, int slot) {
    SelectFont(canvas, slot);
    return canvas.TextWidth(text);
}

int TextWidthInFont(TCanvas& canvas, const std::string& text) {
    return canvas.TextWidth(text);
}

int TextHeightInFont(TCanvas& canvas, const std::string& text) {
    return canvas.TextHeight(text);
}

void CentredText(TCanvas& canvas, const std::string& text, int x, int y, bool centreX,
                 bool centreY) {
    // Half a pixel is dropped toward zero, as the layouts of every screen were made with.
    if (centreX) x = static_cast<int>(std::trunc(x - canvas.TextWidth(text) / 2.0));
    if (centreY) y = static_cast<int>(std::trunc(y - canvas.TextHeight(text) / 2.0));
    canvas.TextOut(x, y, text);
}

void CentredTextInSlot(TCanvas& canvas, const std::string& text, int slot, int x, int y,
                       bool centreX, bool centreY) {
    SelectFont(canvas, slot);
    CentredText(canvas, text, x, y, centreX, centreY);
}

void FitFontToWidth(TCanvas& canvas, std::initializer_list<std::string> texts, int maxWidth) {
    auto widest = [&] {
        int w = 0;
        for (const std::string& t : texts) w = std::max(w, canvas.TextWidth(t));
        return w;
    };
    while (canvas.font.size > 6 && widest() > maxWidth) --canvas.font.size;
}

}  // namespace vrumbal
