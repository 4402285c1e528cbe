#include "engine/surface.h"

#include <algorithm>

namespace vrumbal {

Surface::Surface(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * height_, 0) {}

void Surface::Fill(std::uint16_t pixel) { std::fill(pixels_.begin(), pixels_.end(), pixel); }

}  // namespace vrumbal
