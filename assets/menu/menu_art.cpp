#include "menu_art.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "content.h"

namespace vrumbal::content {

std::uint32_t ToHex(Rgb c) {
    auto channel = [](double v) {
        return static_cast<std::uint32_t>(std::clamp(std::lround(v * 255.0), 0L, 255L));
    };
    return (channel(c.r) << 16) | (channel(c.g) << 8) | channel(c.b);
}

Rgb Mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

void SetColor(cairo_t* cr, Rgb c, double alpha) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void RoundedRectPath(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void ChamferPath(cairo_t* cr, double x, double y, double w, double h, double cut) {
    cairo_new_sub_path(cr);
    cairo_move_to(cr, x + cut, y);
    cairo_line_to(cr, x + w, y);
    cairo_line_to(cr, x + w, y + h - cut);
    cairo_line_to(cr, x + w - cut, y + h);
    cairo_line_to(cr, x, y + h);
    cairo_line_to(cr, x, y + cut);
    cairo_close_path(cr);
}

void FillVertical(cairo_t* cr, double y0, double y1, Rgb top, Rgb middle, Rgb bottom, double mid) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgb(p, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(p, mid, middle.r, middle.g, middle.b);
    cairo_pattern_add_color_stop_rgb(p, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
}

void DrawPlate(cairo_t* cr, double x, double y, double w, double h, PlateLook look) {
    using namespace palette;
    const double cut = std::min(12.0, h * 0.3);
    cairo_save(cr);
    // The dark rim is the plate's outermost ring, so its edge blends into any dark matte.
    ChamferPath(cr, x, y, w, h, cut);
    SetColor(cr, kRim);
    cairo_fill(cr);
    ChamferPath(cr, x + 2, y + 2, w - 4, h - 4, cut - 1);
    if (look == PlateLook::kLit) {
        FillVertical(cr, y + 2, y + h - 2, Hex(0xFFF07A), kYellow, kOrange, 0.45);
    } else {
        FillVertical(cr, y + 2, y + h - 2, kPlateTop, kPlateMid, kPlateBottom, 0.5);
    }
    cairo_clip(cr);
    // Upper sheen: a soft band of light over the top half.
    cairo_rectangle(cr, x, y + 2, w, (h - 4) * 0.45);
    SetColor(cr, Hex(0xFFFFFF), look == PlateLook::kLit ? 0.22 : 0.07);
    cairo_fill(cr);
    // Bevel: light along the top edge, shade along the bottom edge.
    cairo_set_line_width(cr, 1.0);
    cairo_move_to(cr, x + cut + 1, y + 3.5);
    cairo_line_to(cr, x + w - 3, y + 3.5);
    SetColor(cr, look == PlateLook::kLit ? Hex(0xFFFBD0) : kBevelLight, 0.9);
    cairo_stroke(cr);
    cairo_move_to(cr, x + 3, y + h - 3.5);
    cairo_line_to(cr, x + w - cut - 1, y + h - 3.5);
    SetColor(cr, look == PlateLook::kLit ? Hex(0xB35F00) : kBevelDark, 0.9);
    cairo_stroke(cr);
    cairo_restore(cr);
}

double SelectAndMeasure(cairo_t* cr, const std::string& text, bool bold, double size) {
    SelectDisplayFont(cr, bold, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    return e.x_advance;
}

namespace {

// The baseline that puts the middle of the capitals of the selected font on cy.
double BaselineFor(cairo_t* cr, double cy) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, "\xD0\x9D", &e);  // a capital en
    return cy - e.y_bearing / 2;
}

}  // namespace

void CaptionCentred(cairo_t* cr, const std::string& text, double cx, double cy, bool bold,
                    double size, Rgb color) {
    const double width = SelectAndMeasure(cr, text, bold, size);
    cairo_move_to(cr, cx - width / 2, BaselineFor(cr, cy));
    SetColor(cr, color);
    cairo_show_text(cr, text.c_str());
    cairo_new_path(cr);
}

void CaptionEmbossed(cairo_t* cr, const std::string& text, double cx, double cy, bool bold,
                     double size, Rgb color, Rgb shadow) {
    CaptionCentred(cr, text, cx + 1, cy + 1.5, bold, size, shadow);
    CaptionCentred(cr, text, cx, cy, bold, size, color);
}

void DrawRecess(cairo_t* cr, double x, double y, double w, double h, double r, Rgb fill) {
    using namespace palette;
    cairo_save(cr);
    // Light lower edge, dark upper edge: the field is pressed into the metal.
    RoundedRectPath(cr, x, y + 1, w, h, r);
    SetColor(cr, kBevelLight, 0.55);
    cairo_fill(cr);
    RoundedRectPath(cr, x, y, w, h - 1, r);
    SetColor(cr, kBevelDark);
    cairo_fill(cr);
    RoundedRectPath(cr, x + 1, y + 2, w - 2, h - 3, std::max(0.0, r - 1));
    SetColor(cr, fill);
    cairo_fill(cr);
    cairo_restore(cr);
}

double Grain::Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return (state_ >> 8) / 16777216.0;
}

void PaintGrain(cairo_t* cr, int x, int y, int w, int h, double strength, std::uint32_t seed) {
    if (w <= 0 || h <= 0) return;
    cairo_surface_t* speckles = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_surface_flush(speckles);
    unsigned char* data = cairo_image_surface_get_data(speckles);
    const int stride = cairo_image_surface_get_stride(speckles);
    Grain grain(seed);
    for (int row = 0; row < h; ++row) {
        auto* line = reinterpret_cast<std::uint32_t*>(data + row * stride);
        for (int col = 0; col < w; ++col) {
            const double v = grain.Next();
            const double a = std::abs(v - 0.5) * 2 * strength;
            const auto alpha = static_cast<std::uint32_t>(std::lround(a * 255));
            // Premultiplied: white speckles for the upper half of values, black for the lower.
            const std::uint32_t c = v > 0.5 ? alpha : 0;
            line[col] = (alpha << 24) | (c << 16) | (c << 8) | c;
        }
    }
    cairo_surface_mark_dirty(speckles);
    cairo_save(cr);
    cairo_set_source_surface(cr, speckles, x, y);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_surface_destroy(speckles);
}

}  // namespace vrumbal::content
