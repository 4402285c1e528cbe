// Making and filling a block of RGB565 pixels.
#include "engine/surface.h"

#include <algorithm>
#include <cstring>

namespace vrumbal {

Surface::Surface(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * height_, 0) {}

void Surface::Fill(std::uint16_t pixel) {
    // Black, the colour of every frame's clear, has both bytes alike: memset is the fastest fill.
    if ((pixel & 0xFF) == (pixel >> 8)) {
        std::memset(pixels_.data(), pixel & 0xFF, pixels_.size() * sizeof(std::uint16_t));
    } else {
        std::fill(pixels_.begin(), pixels_.end(), pixel);
    }
}

}  // namespace vrumbal
