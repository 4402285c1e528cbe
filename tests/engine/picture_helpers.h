#pragma once
#include <cstdint>
#include <functional>

#include "engine/picture.h"
#include "engine/surface.h"

namespace vrumbal::test {

// A picture whose pixel (x, y) is colour(x, y), 0x00RRGGBB.
inline Picture MakePicture(int width, int height,
                           const std::function<std::uint32_t(int, int)>& colour) {
    Picture p;
    p.width = width;
    p.height = height;
    p.pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            p.pixels[static_cast<std::size_t>(y) * width + x] = colour(x, y);
    }
    return p;
}

// The 0x00RRGGBB colour that packs to exactly the given RGB565 value.
inline std::uint32_t ColourOf565(std::uint16_t v) {
    const std::uint32_t r = ((v >> 11) & 31u) << 3;
    const std::uint32_t g = ((v >> 5) & 63u) << 2;
    const std::uint32_t b = (v & 31u) << 3;
    return (r << 16) | (g << 8) | b;
}

// A picture whose every pixel has its own RGB565 value (row-major index + 1), so that any
// misplaced pixel shows; needs width x height below 65535.
inline Picture IndexPicture(int width, int height) {
    return MakePicture(width, height, [width](int x, int y) {
        return ColourOf565(static_cast<std::uint16_t>(y * width + x + 1));
    });
}

// The RGB565 value IndexPicture gives pixel (x, y) of a picture of the given width.
inline std::uint16_t IndexPixel(int width, int x, int y) {
    return static_cast<std::uint16_t>(y * width + x + 1);
}

// Number of pixels of the surface that differ from the given value.
inline int CountOtherThan(const Surface& s, std::uint16_t value) {
    int n = 0;
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) n += s.Row(y)[x] != value;
    }
    return n;
}

}  // namespace vrumbal::test
