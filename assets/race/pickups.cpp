// Pickups lying on the road, their larger icons for the help page, and the tyre mark.
#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "race_art.h"

namespace vrumbal::content::race {
namespace {

struct Token {
    Rgb rim, face, dark;  // the disc's colours
    const char* text;     // the points, or null for the life's heart
};

Token TokenOf(int kind) {
    switch (kind) {
        case 1:
            return {Hex(0xF0A868), Hex(0xC8742E), Hex(0x6E3A12), "10"};
        case 2:
            return {Hex(0xFFFFFF), Hex(0xB4BEC8), Hex(0x4E5864), "20"};
        case 3:
            return {Hex(0xFFF0A0), Hex(0xF2C21B), Hex(0x8A6A00), "50"};
        case 4:
            return {Hex(0xFFD0D4), Hex(0xD8202E), Hex(0x6A0810), "100"};
        default:
            return {Hex(0xC8FFF0), Hex(0x28C89C), Hex(0x0A5A44), nullptr};
    }
}

void Heart(cairo_t* cr, double cx, double cy, double s) {
    cairo_move_to(cr, cx, cy + 0.75 * s);
    cairo_curve_to(cr, cx - 1.2 * s, cy - 0.05 * s, cx - 0.7 * s, cy - 0.95 * s, cx, cy - 0.4 * s);
    cairo_curve_to(cr, cx + 0.7 * s, cy - 0.95 * s, cx + 1.2 * s, cy - 0.05 * s, cx, cy + 0.75 * s);
    cairo_close_path(cr);
}

// A token of radius r centred on (cx, cy); glint 0..1 sweeps a gleam across it.
void DrawToken(cairo_t* cr, const Token& t, double cx, double cy, double r, double glint) {
    cairo_arc(cr, cx + r * 0.08, cy + r * 0.1, r, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_pattern_t* p = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
    cairo_pattern_add_color_stop_rgb(p, 0, t.rim.r, t.rim.g, t.rim.b);
    cairo_pattern_add_color_stop_rgb(p, 1, t.dark.r, t.dark.g, t.dark.b);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_arc(cr, cx, cy, r * 0.8, 0, 2 * kPi);
    cairo_pattern_t* f =
        cairo_pattern_create_radial(cx - r * 0.3, cy - r * 0.3, r * 0.1, cx, cy, r * 0.8);
    cairo_pattern_add_color_stop_rgb(f, 0, t.rim.r, t.rim.g, t.rim.b);
    cairo_pattern_add_color_stop_rgb(f, 0.6, t.face.r, t.face.g, t.face.b);
    cairo_pattern_add_color_stop_rgb(f, 1, t.dark.r, t.dark.g, t.dark.b);
    cairo_set_source(cr, f);
    cairo_fill(cr);
    cairo_pattern_destroy(f);
    if (t.text) {
        const double size = r * (t.text[2] ? 0.78 : 0.95);
        SetColour(cr, t.dark);
        CentredLabel(cr, t.text, cx + 0.8, cy + 0.8, size, true);
        SetColour(cr, Hex(0xFFFFFF));
        CentredLabel(cr, t.text, cx, cy, size, true);
    } else {
        Heart(cr, cx + 0.8, cy + 1.5, r * 0.55);
        SetColour(cr, Hex(0x5A0810));
        cairo_fill(cr);
        Heart(cr, cx, cy + 0.7, r * 0.55);
        SetColour(cr, Hex(0xF02A3C));
        cairo_fill(cr);
        cairo_arc(cr, cx - r * 0.2, cy - r * 0.12, r * 0.1, 0, 2 * kPi);
        SetColour(cr, Hex(0xFFC8D0));
        cairo_fill(cr);
    }
    // The gleam: a bright band crossing the face.
    cairo_save(cr);
    cairo_arc(cr, cx, cy, r * 0.95, 0, 2 * kPi);
    cairo_clip(cr);
    const double g = cx - 1.6 * r + 3.2 * r * glint;
    cairo_move_to(cr, g - r * 0.25, cy + r);
    cairo_line_to(cr, g + r * 0.15 + r * 0.6, cy - r);
    cairo_line_to(cr, g + r * 0.35 + r * 0.6, cy - r);
    cairo_line_to(cr, g - r * 0.05, cy + r);
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.45);
    cairo_fill(cr);
    cairo_restore(cr);
}

}  // namespace

Picture PickupPatterns(int kind) {
    std::vector<Picture> frames;
    for (int i = 0; i < 5; ++i) {
        Canvas canvas(35, 34);
        DrawToken(canvas.Cr(), TokenOf(kind), 17, 16.5, 15 + 0.6 * std::sin(i * 2 * kPi / 5),
                  i / 4.0);
        frames.push_back(canvas.ToKeyed(kAsphaltMatte));
    }
    return JoinPatterns(frames);
}

Picture BonusIcon(int kind) {
    Canvas canvas(44, 44);
    DrawToken(canvas.Cr(), TokenOf(kind), 21.5, 21.5, 20, 0.55);
    return canvas.ToKeyed(kPanelMatte);
}

Picture TyreMark() {
    Canvas canvas(10, 14);
    cairo_t* cr = canvas.Cr();
    RoundedRect(cr, 1.5, 0, 7, 14, 2.5);
    SetColour(cr, Hex(0x2A2B2F));
    cairo_fill(cr);
    cairo_set_line_width(cr, 0.8);
    for (double y = 2; y < 14; y += 3) {
        cairo_move_to(cr, 2.5, y);
        cairo_line_to(cr, 7.5, y + 1);
    }
    SetColour(cr, Hex(0x3C3D42));
    cairo_stroke(cr);
    return canvas.ToKeyed(kAsphaltMatte);
}

}  // namespace vrumbal::content::race
