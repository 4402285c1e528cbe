#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "content.h"

namespace vrumbal::content {

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {
    if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("cannot make a canvas");
    }
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

bool Canvas::WritePng(const std::string& path) const {
    cairo_surface_flush(surface_);
    return cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

namespace {

// Reads pixel (x, y) as un-premultiplied red, green, blue and alpha.
void ReadPixel(cairo_surface_t* surface, int x, int y, double& r, double& g, double& b,
               double& a) {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const std::uint32_t p = *reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4);
    a = ((p >> 24) & 0xFF) / 255.0;
    // Cairo stores premultiplied colour.
    r = ((p >> 16) & 0xFF) / 255.0;
    g = ((p >> 8) & 0xFF) / 255.0;
    b = (p & 0xFF) / 255.0;
}

std::uint32_t Pack(double r, double g, double b) {
    auto c = [](double v) {
        return static_cast<std::uint32_t>(std::clamp(std::lround(v * 255.0), 0L, 255L));
    };
    return (c(r) << 16) | (c(g) << 8) | c(b);
}

Picture Flatten(cairo_surface_t* surface, int width, int height, std::uint32_t background,
                bool keyed) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<std::size_t>(width) * height);
    const double br = ((background >> 16) & 0xFF) / 255.0;
    const double bg = ((background >> 8) & 0xFF) / 255.0;
    const double bb = (background & 0xFF) / 255.0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double r, g, b, a;
            ReadPixel(surface, x, y, r, g, b, a);
            std::uint32_t out;
            if (keyed && a < 0.5) {
                out = kKeyColor;
            } else {
                out = Pack(r + br * (1 - a), g + bg * (1 - a), b + bb * (1 - a));
                // A drawn pixel must never come out as the key itself.
                if (keyed && out == kKeyColor) out = 0xFE00FE;
            }
            picture.pixels[static_cast<std::size_t>(y) * width + x] = out;
        }
    }
    return picture;
}

}  // namespace

Picture Canvas::ToKeyed(std::uint32_t matte) const {
    return Flatten(surface_, width_, height_, matte, true);
}

Picture Canvas::ToOpaque(std::uint32_t background) const {
    return Flatten(surface_, width_, height_, background, false);
}

std::uint8_t Canvas::CoverageAt(int x, int y) const {
    double r, g, b, a;
    ReadPixel(surface_, x, y, r, g, b, a);
    return static_cast<std::uint8_t>(std::lround(a * 255));
}

void SelectDisplayFont(cairo_t* cr, bool bold, double pixelSize) {
    cairo_select_font_face(cr, "Play", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, pixelSize);
}

PictureItemData MakePictureItem(const std::string& name, Picture picture, int patternWidth,
                                int patternHeight, bool transparent) {
    PictureItemData item;
    item.name = name;
    item.picture = std::move(picture);
    item.patternWidth = patternWidth;
    item.patternHeight = patternHeight;
    item.transparent = transparent;
    item.transparentColor = kKeyColor;
    item.systemMemory = true;
    return item;
}

void ExpectPlace(const PictureLibraryData& library, int id, const char* what) {
    if (library.items.size() != static_cast<std::size_t>(id)) {
        throw std::logic_error(std::string("the picture '") + what + "' is not at its place " +
                               std::to_string(id));
    }
}

Picture JoinPatterns(const std::vector<Picture>& patterns) {
    Picture joined;
    if (patterns.empty()) return joined;
    const int w = patterns[0].width;
    const int h = patterns[0].height;
    joined.width = w * static_cast<int>(patterns.size());
    joined.height = h;
    joined.pixels.assign(static_cast<std::size_t>(joined.width) * h, kKeyColor);
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        if (patterns[i].width != w || patterns[i].height != h) {
            throw std::runtime_error("patterns of different sizes cannot be joined");
        }
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                joined.pixels[static_cast<std::size_t>(y) * joined.width + i * w + x] =
                    patterns[i].At(x, y);
            }
        }
    }
    return joined;
}

WaveItemData MakeSoundItem(const std::string& name, const std::vector<float>& samples, int rate,
                           bool looped, int maxPlayingCount) {
    WaveItemData item;
    item.name = name;
    item.looped = looped;
    item.maxPlayingCount = maxPlayingCount;
    item.hasWave = true;
    const std::uint32_t r = static_cast<std::uint32_t>(rate);
    const std::uint32_t bytesPerSec = r * 2;
    item.format = {1, 0, 1, 0,
                   static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(r >> 8),
                   static_cast<std::uint8_t>(r >> 16), static_cast<std::uint8_t>(r >> 24),
                   static_cast<std::uint8_t>(bytesPerSec), static_cast<std::uint8_t>(bytesPerSec >> 8),
                   static_cast<std::uint8_t>(bytesPerSec >> 16), static_cast<std::uint8_t>(bytesPerSec >> 24),
                   2, 0, 16, 0};
    item.samples.reserve(samples.size() * 2);
    for (float s : samples) {
        const auto v = static_cast<std::int16_t>(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f));
        item.samples.push_back(static_cast<std::uint8_t>(v & 0xFF));
        item.samples.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    return item;
}

}  // namespace vrumbal::content
