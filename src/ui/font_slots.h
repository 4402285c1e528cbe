// The font slots every text of the game is drawn in, and the helpers that draw texts in them.
#pragma once
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace vrumbal {

class TCanvas;

// One entry of the game's font table: every text of the game is drawn in one of these.
struct FontSlot {
    const char* face;     // face name ("BancoDi" or "Courier")
    int size;             // points at 96 dpi
    std::uint32_t color;  // 0x00BBGGRR
    bool bold;            // bold style
};

// Number of font slots; slots are numbered 1..kFontSlotCount.
inline constexpr int kFontSlotCount = 25;

// The fixed font table; the game never changes it.
extern const std::array<FontSlot, kFontSlotCount> FontSlots;

// The slot with the given number (1..24); throws std::out_of_range for any other number.
const FontSlot& FontSlotAt(int slot);

// Sets the canvas font (face, size, colour, bold) from the slot; text has no background box.
void SelectFont(TCanvas& canvas, int slot);

// Selects the slot and returns the text's width in pixels in it.
int TextWidthInSlot(TCanvas& canvas, const std::string& text, int slot);

// Width in pixels of the text in the font selected last.
int TextWidthInFont(TCanvas& canvas, const std::string& text);

// Height in pixels of the text in the font selected last.
int TextHeightInFont(TCanvas& canvas, const std::string& text);

// Draws the text in the font selected last, its top-left corner at (x, y) moved back by half
// its width when centreX and by half its height when centreY (each truncated toward zero).
void CentredText(TCanvas& canvas, const std::string& text, int x, int y, bool centreX,
                 bool centreY);

// Selects the slot, then draws the text centred as CentredText does.
void CentredTextInSlot(TCanvas& canvas, const std::string& text, int slot, int x, int y,
                       bool centreX, bool centreY);

// Lowers the size of the selected font until every one of the texts is at most maxWidth
// pixels wide (never below 6 points). The display face we draw with runs wider than the one
// some layouts were made for, and a notice must not spill over the head-up display.
void FitFontToWidth(TCanvas& canvas, std::initializer_list<std::string> texts, int maxWidth);

}  // namespace vrumbal
