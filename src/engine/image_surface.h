// A picture's surface in the back surface's pixel format, with its colour key and the opaque runs
// that make keyed blits quick.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/geometry.h"
#include "engine/picture.h"

namespace vrumbal {

// One surface of a picture item: a rectangle of the source picture converted once to RGB565,
// with its colour key in that format. Keyed pictures also keep, per row, the runs of opaque
// pixels, so that a keyed blit is a few block copies.
class ImageSurface final {
public:
    // Converts the area of the picture; keyColor is 0x00BBGGRR.
    ImageSurface(const Picture& picture, const Rect& area, std::uint32_t keyColor);
    // Width in pixels.
    int Width() const { return width_; }
    // Height in pixels.
    int Height() const { return height_; }
    // The colour key as an RGB565 pixel value.
    std::uint16_t ColorKey() const { return key_; }
    // Sets a new colour key (0x00BBGGRR) and rebuilds the opaque runs.
    void SetColorKey(std::uint32_t keyColor);
    // The first pixel of row y.
    const std::uint16_t* Row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * width_;
    }

    // A run of opaque pixels in one row: columns [begin, end).
    struct Span {
        std::uint16_t begin;  // first opaque column
        std::uint16_t end;    // one past the last opaque column
    };
    // The opaque runs of row y, in column order.
    const Span* SpansBegin(int y) const { return spans_.data() + rowSpans_[y]; }
    // One past the last opaque run of row y.
    const Span* SpansEnd(int y) const { return spans_.data() + rowSpans_[y + 1]; }
    // True when no pixel carries the colour key, so a keyed blit hides nothing under it.
    bool FullyOpaque() const { return fullyOpaque_; }

private:
    void BuildSpans();

    int width_ = 0;                        // pixels per row
    int height_ = 0;                       // rows
    std::uint16_t key_ = 0;                // colour key in RGB565
    std::vector<std::uint16_t> pixels_;    // row-major RGB565 pixels
    std::vector<Span> spans_;              // opaque runs of all rows, row after row
    std::vector<std::uint32_t> rowSpans_;  // index of each row's first run; height + 1 entries
    bool fullyOpaque_ = false;             // every row is one run across the whole width
};

}  // namespace vrumbal
