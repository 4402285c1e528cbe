#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "race_art.h"

namespace vrumbal::content::race {

Rgb Hex(std::uint32_t rgb) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Scale(const Rgb& c, double f) {
    return {c.r * f, c.g * f, c.b * f};
}

std::uint32_t Pack(const Rgb& c) {
    auto v = [](double x) {
        return static_cast<std::uint32_t>(std::clamp(std::lround(x * 255.0), 0L, 255L));
    };
    std::uint32_t out = (v(c.r) << 16) | (v(c.g) << 8) | v(c.b);
    // A drawn pixel must never be the key colour.
    if (out == kKeyColor) out = 0xFE00FE;
    return out;
}

double Hash01(int x, int y, std::uint32_t seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u ^
                      static_cast<std::uint32_t>(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return (h & 0xFFFFFF) / static_cast<double>(0x1000000);
}

double TileNoise(double x, double y, int cell, std::uint32_t seed) {
    const int n = 72 / cell;
    const double fx = x / cell;
    const double fy = y / cell;
    const int ix = static_cast<int>(std::floor(fx));
    const int iy = static_cast<int>(std::floor(fy));
    const double tx = fx - ix;
    const double ty = fy - iy;
    auto at = [&](int i, int j) { return Hash01(((i % n) + n) % n, ((j % n) + n) % n, seed); };
    auto smooth = [](double t) { return t * t * (3 - 2 * t); };
    const double sx = smooth(tx);
    const double sy = smooth(ty);
    const double top = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * sx;
    const double bottom = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * sx;
    return top + (bottom - top) * sy;
}

namespace {

// Integer tile-local coordinates of a position, for per-pixel grain.
int Wrap72(double v) {
    return ((static_cast<int>(std::floor(v)) % 72) + 72) % 72;
}

}  // namespace

Rgb GrassAt(double x, double y) {
    const double broad = TileNoise(x, y, 24, 11);
    const double mid = TileNoise(x, y, 8, 12);
    Rgb c = Mix(Hex(0x4E9436), Hex(0x6AAE40), broad * 0.8 + mid * 0.35);
    const double grain = Hash01(Wrap72(x), Wrap72(y), 13);
    if (grain > 0.9)
        c = Mix(c, Hex(0x8CC454), 0.45);
    else if (grain < 0.12)
        c = Mix(c, Hex(0x3C7A2C), 0.5);
    return c;
}

Rgb GravelAt(double x, double y) {
    const double broad = TileNoise(x, y, 12, 21);
    Rgb c = Mix(Hex(0xB9A37A), Hex(0xD4C29A), broad);
    const double grain = Hash01(Wrap72(x), Wrap72(y), 22);
    if (grain > 0.86)
        c = Mix(c, Hex(0x8E7C5C), 0.6);
    else if (grain < 0.1)
        c = Mix(c, Hex(0xEEE2C2), 0.6);
    return c;
}

Rgb AsphaltAt(double x, double y) {
    const double broad = TileNoise(x, y, 12, 31);
    const double fine = TileNoise(x, y, 4, 32);
    Rgb c = Mix(Hex(0x55575E), Hex(0x626570), broad * 0.7 + fine * 0.3);
    const double grain = Hash01(Wrap72(x), Wrap72(y), 33);
    if (grain > 0.9)
        c = Mix(c, Hex(0x7C7F88), 0.5);
    else if (grain < 0.08)
        c = Mix(c, Hex(0x3E4046), 0.5);
    return c;
}

void PaintPixels(Canvas& canvas, const std::function<Rgb(int, int)>& colourAt) {
    const int w = canvas.Width();
    const int h = canvas.Height();
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
        for (int x = 0; x < w; ++x) row[x] = Pack(colourAt(x, y));
    }
    cairo_surface_mark_dirty(s);
    cairo_t* cr = canvas.Cr();
    cairo_save(cr);
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(s);
}

void SetColour(cairo_t* cr, const Rgb& c, double alpha) {
    cairo_set_source_rgba(cr, std::clamp(c.r, 0.0, 1.0), std::clamp(c.g, 0.0, 1.0),
                          std::clamp(c.b, 0.0, 1.0), alpha);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius) {
    const double r = std::min({radius, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

void CentredLabel(cairo_t* cr, const char* text, double x, double y, double pixelSize, bool bold) {
    SelectDisplayFont(cr, bold, pixelSize);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text, &e);
    cairo_move_to(cr, x - e.width / 2 - e.x_bearing, y - e.height / 2 - e.y_bearing);
    cairo_show_text(cr, text);
}

Picture Crop(const Picture& source, int x, int y, int w, int h) {
    Picture out;
    out.width = w;
    out.height = h;
    out.pixels.resize(static_cast<std::size_t>(w) * h);
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            out.pixels[static_cast<std::size_t>(j) * w + i] = source.At(x + i, y + j);
        }
    }
    return out;
}

Picture Invisible(int width, int height) {
    Picture p;
    p.width = width;
    p.height = height;
    p.pixels.assign(static_cast<std::size_t>(width) * height, kKeyColor);
    return p;
}

Picture TileSheet(const std::vector<Picture>& tiles, int perRow, std::uint32_t filler) {
    const int w = tiles.front().width;
    const int h = tiles.front().height;
    const int rows = (static_cast<int>(tiles.size()) + perRow - 1) / perRow;
    Picture sheet;
    sheet.width = w * perRow;
    sheet.height = h * rows;
    sheet.pixels.assign(static_cast<std::size_t>(sheet.width) * sheet.height, filler);
    for (std::size_t n = 0; n < tiles.size(); ++n) {
        const int ox = static_cast<int>(n % perRow) * w;
        const int oy = static_cast<int>(n / perRow) * h;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                sheet.pixels[static_cast<std::size_t>(oy + y) * sheet.width + ox + x] =
                    tiles[n].At(x, y);
            }
        }
    }
    return sheet;
}

}  // namespace vrumbal::content::race
