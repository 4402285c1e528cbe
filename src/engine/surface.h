// A block of RGB565 pixels in memory, such as the game's back surface.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/geometry.h"
#include "platform/pixel_buffer.h"

namespace vrumbal {

// A block of RGB565 pixels in memory; the game's back surface is one of these.
class Surface {
public:
    // An empty surface of no size.
    Surface() = default;
    // A surface of the given size, all black.
    Surface(int width, int height);
    // Width in pixels.
    int Width() const { return width_; }
    // Height in pixels.
    int Height() const { return height_; }
    // Pixels from one row to the next (equal to the width).
    int Pitch() const { return width_; }
    // The first pixel of row y.
    std::uint16_t* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    // The first pixel of row y.
    const std::uint16_t* Row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * width_;
    }
    // Fills the whole surface with one pixel value.
    void Fill(std::uint16_t pixel);
    // The whole surface as a rectangle.
    Rect Bounds() const { return {0, 0, width_, height_}; }
    // A platform view of the pixels.
    PixelBuffer View() { return {pixels_.data(), width_, height_, width_}; }

private:
    int width_ = 0;                      // pixels per row
    int height_ = 0;                     // rows
    std::vector<std::uint16_t> pixels_;  // row-major, top row first
};

}  // namespace vrumbal
