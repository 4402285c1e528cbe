// Picture areas converted to RGB565, and each row's opaque runs built around the colour key.
#include "engine/image_surface.h"

#include <algorithm>

#include "platform/pixel_buffer.h"

namespace vrumbal {

namespace {

// Library colours keep red in the low byte.
std::uint16_t KeyToRgb565(std::uint32_t keyColor) {
    return PackRgb565(keyColor & 0xFFu, (keyColor >> 8) & 0xFFu, (keyColor >> 16) & 0xFFu);
}

// Picture pixels keep red in the high byte.
std::uint16_t PictureToRgb565(std::uint32_t pixel) {
    return PackRgb565((pixel >> 16) & 0xFFu, (pixel >> 8) & 0xFFu, pixel & 0xFFu);
}

// Opaque runs store their columns in 16 bits, so a surface is never wider than that; the
// game's tiles are a few hundred pixels wide.
constexpr int kMaxWidth = 65535;

}  // namespace

ImageSurface::ImageSurface(const Picture& picture, const Rect& area, std::uint32_t keyColor)
    : width_(std::clamp(area.Width(), 0, kMaxWidth)),
      height_(std::max(area.Height(), 0)),
      key_(KeyToRgb565(keyColor)),
      pixels_(static_cast<std::size_t>(width_) * height_, 0) {
    // Only the part of the area that lies on the picture is copied; a tile that reaches past
    // the picture's edge keeps black there.
    const int x0 = std::max(area.left, 0);
    const int y0 = std::max(area.top, 0);
    const int x1 = std::min({area.right, picture.width, area.left + width_});
    const int y1 = std::min(area.bottom, picture.height);
    if (picture.pixels.size() >= static_cast<std::size_t>(std::max(picture.width, 0)) *
                                     static_cast<std::size_t>(std::max(picture.height, 0))) {
        for (int y = y0; y < y1; ++y) {
            std::uint16_t* out =
                pixels_.data() + static_cast<std::size_t>(y - area.top) * width_ + (x0 - area.left);
            for (int x = x0; x < x1; ++x) *out++ = PictureToRgb565(picture.At(x, y));
        }
    }
    BuildSpans();
}

void ImageSurface::SetColorKey(std::uint32_t keyColor) {
    const std::uint16_t key = KeyToRgb565(keyColor);
    if (key == key_ && !rowSpans_.empty()) return;
    key_ = key;
    BuildSpans();
}

void ImageSurface::BuildSpans() {
    spans_.clear();
    rowSpans_.assign(static_cast<std::size_t>(height_) + 1, 0);
    for (int y = 0; y < height_; ++y) {
        rowSpans_[y] = static_cast<std::uint32_t>(spans_.size());
        const std::uint16_t* row = Row(y);
        int x = 0;
        while (x < width_) {
            while (x < width_ && row[x] == key_) ++x;
            if (x == width_) break;
            const int begin = x;
            while (x < width_ && row[x] != key_) ++x;
            spans_.push_back({static_cast<std::uint16_t>(begin), static_cast<std::uint16_t>(x)});
        }
    }
    rowSpans_[height_] = static_cast<std::uint32_t>(spans_.size());
    fullyOpaque_ = spans_.size() == static_cast<std::size_t>(height_) &&
                   std::all_of(spans_.begin(), spans_.end(), [this](const Span& span) {
                       return span.begin == 0 && span.end == width_;
                   });
}

}  // namespace vrumbal
