// A view of RGB565 pixels for the platform to draw into or present, and the RGB565 packing.
#pragma once
#include <cstdint>

namespace vrumbal {

// A view of 16-bit RGB565 pixels that the platform may draw into or present; it owns nothing.
struct PixelBuffer {
    std::uint16_t* pixels = nullptr;  // first pixel of the top row
    int width = 0;                    // pixels per row that are drawn
    int height = 0;                   // number of rows
    int pitch = 0;                    // pixels from one row to the next
};

// Packs 8-bit red, green and blue into one RGB565 pixel.
constexpr std::uint16_t PackRgb565(unsigned r, unsigned g, unsigned b) {
    return static_cast<std::uint16_t>(((r & 0xF8u) << 8) | ((g & 0xFCu) << 3) | (b >> 3));
}

}  // namespace vrumbal
