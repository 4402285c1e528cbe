// A decoded picture: 24-bit pixels, top row first.
#pragma once
#include <cstdint>
#include <vector>

namespace vrumbal {

// A decoded source picture: 24-bit colour pixels, top row first.
struct Picture {
    int width = 0;                      // pixels per row
    int height = 0;                     // rows
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB each, row-major, top row first
    // True when the picture has no pixels (an empty or unknown picture).
    bool Empty() const { return width <= 0 || height <= 0; }
    // The pixel at column x of row y (top row 0).
    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * width + x];
    }
};

}  // namespace vrumbal
