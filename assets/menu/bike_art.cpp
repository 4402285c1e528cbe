#include "bike_art.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "content.h"

namespace vrumbal::content {

namespace {

// The build of a model, in a drawing space 200 units long (front tyre tip at y -100, rear
// tyre end at y 100), nose up.
struct BikeShape {
    double frontTyre;  // half width of the front tyre
    double rearTyre;   // half width of the rear tyre
    double bar;        // half width of the handlebar
    double barY;       // where the handlebar crosses
    double nose;       // y of the fairing's tip
    double fairing;    // half width of the fairing at its widest
    double tank;       // half width of the tank
    double tail;       // y of the tail's end
    double tailWidth;  // half width of the tail near its end
    bool naked;        // a round headlight instead of a fairing
    bool handguards;   // guards over the grips
    bool knobby;       // off-road tread
    int exhausts;      // 1: one pipe on the right, 2: two pipes under the tail, 3: both sides
    bool wings;        // small wings on the fairing's flanks
};

BikeShape ShapeOf(int model) {
    switch (model) {
        case 2:  // the long, narrow top-speed machine
            return {6.5, 11, 22, -50, -86, 24, 20, 80, 9, false, false, false, 2, false};
        case 3:  // the upright supermoto with wide bars and strong brakes
            return {7, 9, 38, -56, -74, 17, 17, 70, 10, true, true, true, 1, false};
        case 4:  // the muscular naked bike with the fat rear tyre
            return {8, 14, 33, -54, -72, 22, 25, 66, 12, true, false, false, 3, false};
        case 5:  // the light, nimble racer
            return {6.5, 10, 27, -50, -80, 22, 19, 74, 8, false, false, false, 1, true};
        default:  // the red all-rounder
            return {7, 11, 28, -52, -80, 24, 21, 74, 10, false, false, false, 1, false};
    }
}

constexpr Rgb kTyre = Hex(0x15171A);
constexpr Rgb kTread = Hex(0x30343A);
constexpr Rgb kMetalDark = Hex(0x3A3F46);
constexpr Rgb kMetal = Hex(0x8C939B);
constexpr Rgb kChrome = Hex(0xE3E7EB);
constexpr Rgb kLeather = Hex(0x24272D);
constexpr Rgb kLeatherLight = Hex(0x3B4049);
constexpr Rgb kHelmet = Hex(0x1A1C21);

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

// Fills the current path with a sideways gradient that makes a rounded body look lit from the
// upper left: light near the centre line, dark at the flanks.
void FillRounded(cairo_t* cr, double halfWidth, Rgb light, Rgb body, Rgb dark) {
    cairo_pattern_t* p = cairo_pattern_create_linear(-halfWidth, 0, halfWidth, 0);
    cairo_pattern_add_color_stop_rgb(p, 0, dark.r, dark.g, dark.b);
    cairo_pattern_add_color_stop_rgb(p, 0.38, light.r, light.g, light.b);
    cairo_pattern_add_color_stop_rgb(p, 0.62, body.r, body.g, body.b);
    cairo_pattern_add_color_stop_rgb(p, 1, dark.r, dark.g, dark.b);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
}

void Outline(cairo_t* cr, double width = 1.2) {
    SetColor(cr, Hex(0x0A0B0D), 0.85);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void Tyre(cairo_t* cr, double halfWidth, double y0, double y1, bool knobby) {
    RoundedRectPath(cr, -halfWidth, y0, 2 * halfWidth, y1 - y0, halfWidth * 0.9);
    SetColor(cr, kTyre);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    SetColor(cr, kTread);
    if (knobby) {
        for (double y = y0 + 2; y < y1; y += 5) {
            cairo_rectangle(cr, -halfWidth + 1, y, halfWidth * 0.8, 2.4);
            cairo_rectangle(cr, 0.2 * halfWidth, y + 2.5, halfWidth * 0.8, 2.4);
        }
        cairo_fill(cr);
    } else {
        cairo_set_line_width(cr, 1.2);
        for (double y = y0 + 3; y < y1; y += 4.5) {
            cairo_move_to(cr, -halfWidth * 0.5, y);
            cairo_line_to(cr, halfWidth * 0.5, y + 1.5);
        }
        cairo_stroke(cr);
    }
    // The tyre's rounded top catches a little light.
    cairo_rectangle(cr, -halfWidth * 0.35, y0, halfWidth * 0.3, y1 - y0);
    SetColor(cr, Hex(0xFFFFFF), 0.08);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_new_path(cr);
}

void Pipe(cairo_t* cr, double x0, double y0, double x1, double y1, double width) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_set_line_width(cr, width + 2);
    SetColor(cr, Hex(0x2A2D31));
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, width);
    SetColor(cr, kMetal);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, width * 0.35);
    SetColor(cr, kChrome);
    cairo_stroke(cr);
    // The dark mouth of the pipe.
    Ellipse(cr, x1, y1, width * 0.4, width * 0.4);
    SetColor(cr, Hex(0x101113));
    cairo_fill(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void Exhausts(cairo_t* cr, const BikeShape& s) {
    if (s.exhausts == 2) {
        Pipe(cr, -9, 34, -13, s.tail + 2, 5.5);
        Pipe(cr, 9, 34, 13, s.tail + 2, 5.5);
    } else if (s.exhausts == 3) {
        Pipe(cr, -s.tank + 2, 8, -s.rearTyre - 6, 62, 6.5);
        Pipe(cr, s.tank - 2, 8, s.rearTyre + 6, 62, 6.5);
    } else {
        Pipe(cr, s.tank - 4, 10, s.rearTyre + 5, s.tail - 14, 7);
    }
}

void Handlebar(cairo_t* cr, const BikeShape& s, const BikeColors& c) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 4);
    SetColor(cr, Hex(0x2C3036));
    cairo_move_to(cr, -s.bar, s.barY + 3);
    cairo_line_to(cr, 0, s.barY);
    cairo_line_to(cr, s.bar, s.barY + 3);
    cairo_stroke(cr);
    // Grips.
    cairo_set_line_width(cr, 5.5);
    SetColor(cr, Hex(0x0E0F11));
    for (int side : {-1, 1}) {
        cairo_move_to(cr, side * (s.bar - 7), s.barY + 2.2);
        cairo_line_to(cr, side * s.bar, s.barY + 3);
        cairo_stroke(cr);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    if (s.handguards) {
        for (int side : {-1, 1}) {
            cairo_move_to(cr, side * (s.bar - 9), s.barY - 1);
            cairo_curve_to(cr, side * (s.bar - 4), s.barY - 10, side * (s.bar + 5), s.barY - 8,
                           side * (s.bar + 4), s.barY + 3);
            cairo_close_path(cr);
            SetColor(cr, c.body);
            cairo_fill_preserve(cr);
            Outline(cr, 1);
        }
    }
    // Mirrors: on stalks for the naked bikes, on the fairing for the others.
    for (int side : {-1, 1}) {
        const double mx = s.naked ? side * (s.bar - 10) : side * (s.fairing - 1);
        const double my = s.naked ? s.barY - 9 : -47;
        if (s.naked) {
            cairo_move_to(cr, side * (s.bar - 12), s.barY + 1);
            cairo_line_to(cr, mx, my + 2);
            cairo_set_line_width(cr, 1.5);
            SetColor(cr, Hex(0x2C3036));
            cairo_stroke(cr);
        }
        Ellipse(cr, mx + side * 2, my, 5, 3);
        SetColor(cr, Hex(0x1B1E22));
        cairo_fill_preserve(cr);
        Outline(cr, 0.8);
        Ellipse(cr, mx + side * 2 - 1, my - 0.8, 2.5, 1.2);
        SetColor(cr, Hex(0xAFC3D6), 0.8);
        cairo_fill(cr);
    }
}

// Two racing stripes along the centre line between y0 and y1, clipped to the current path,
// which is kept for the outline.
void Stripes(cairo_t* cr, const BikeColors& c, double y0, double y1) {
    cairo_path_t* shape = cairo_copy_path(cr);
    cairo_save(cr);
    cairo_clip(cr);
    cairo_rectangle(cr, -4, y0, 2.5, y1 - y0);
    cairo_rectangle(cr, 1.5, y0, 2.5, y1 - y0);
    SetColor(cr, c.stripe, 0.9);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_append_path(cr, shape);
    cairo_path_destroy(shape);
}

void Body(cairo_t* cr, int model, const BikeShape& s, const BikeColors& c) {
    // Engine and frame peeking out under the tank.
    RoundedRectPath(cr, -s.tank - 5, -28, 2 * (s.tank + 5), 42, 6);
    SetColor(cr, kMetalDark);
    cairo_fill_preserve(cr);
    Outline(cr);
    SetColor(cr, Hex(0x555B63));
    cairo_set_line_width(cr, 1);
    for (double y = -22; y < 12; y += 5) {
        cairo_move_to(cr, -s.tank - 4, y);
        cairo_line_to(cr, -s.tank + 1, y);
        cairo_move_to(cr, s.tank - 1, y);
        cairo_line_to(cr, s.tank + 4, y);
    }
    cairo_stroke(cr);

    // Tail.
    cairo_move_to(cr, -s.tank * 0.75, 4);
    cairo_curve_to(cr, -s.tank * 0.8, 30, -s.tailWidth - 3, s.tail - 24, -s.tailWidth, s.tail - 6);
    cairo_curve_to(cr, -s.tailWidth * 0.6, s.tail, s.tailWidth * 0.6, s.tail, s.tailWidth,
                   s.tail - 6);
    cairo_curve_to(cr, s.tailWidth + 3, s.tail - 24, s.tank * 0.8, 30, s.tank * 0.75, 4);
    cairo_close_path(cr);
    FillRounded(cr, s.tank, c.light, c.body, c.dark);
    if (!s.naked) Stripes(cr, c, 4, s.tail);
    Outline(cr);
    // Tail light.
    RoundedRectPath(cr, -s.tailWidth * 0.55, s.tail - 5, s.tailWidth * 1.1, 3.5, 1.5);
    SetColor(cr, Hex(0xFF2A1A));
    cairo_fill(cr);
    // Racing number on the tail.
    Ellipse(cr, 0, s.tail - 20, 7.5, 7.5);
    SetColor(cr, Hex(0xF7F7F2));
    cairo_fill_preserve(cr);
    Outline(cr, 0.8);
    const std::string number(1, static_cast<char>('0' + model));
    SelectDisplayFont(cr, true, 12);
    cairo_text_extents_t e;
    cairo_text_extents(cr, number.c_str(), &e);
    cairo_move_to(cr, -e.x_advance / 2, s.tail - 20 - e.y_bearing / 2);
    SetColor(cr, palette::kInk);
    cairo_show_text(cr, number.c_str());
    cairo_new_path(cr);

    // Seat.
    RoundedRectPath(cr, -11, -4, 22, 40, 9);
    SetColor(cr, Hex(0x1A1C20));
    cairo_fill_preserve(cr);
    Outline(cr, 0.8);

    // Front: a fairing with a windscreen, or a naked headlight.
    if (s.naked) {
        Ellipse(cr, 0, s.nose + 8, 10, 9);
        SetColor(cr, Hex(0x2C3036));
        cairo_fill_preserve(cr);
        Outline(cr);
        Ellipse(cr, 0, s.nose + 8, 7, 6.5);
        cairo_pattern_t* lamp = cairo_pattern_create_radial(-2, s.nose + 6, 1, 0, s.nose + 8, 7);
        cairo_pattern_add_color_stop_rgb(lamp, 0, 1, 1, 1);
        cairo_pattern_add_color_stop_rgb(lamp, 1, 0.72, 0.8, 0.86);
        cairo_set_source(cr, lamp);
        cairo_fill(cr);
        cairo_pattern_destroy(lamp);
        // Small number board or fly screen in the body colour.
        cairo_move_to(cr, -11, s.nose + 17);
        cairo_curve_to(cr, -8, s.nose + 12, 8, s.nose + 12, 11, s.nose + 17);
        cairo_line_to(cr, 9, s.nose + 24);
        cairo_line_to(cr, -9, s.nose + 24);
        cairo_close_path(cr);
        FillRounded(cr, 11, c.light, c.body, c.dark);
        Outline(cr, 1);
    } else {
        cairo_move_to(cr, 0, s.nose);
        cairo_curve_to(cr, s.fairing * 0.55, s.nose + 2, s.fairing, -58, s.fairing, -40);
        cairo_curve_to(cr, s.fairing, -30, s.tank + 3, -22, s.tank, -16);
        cairo_line_to(cr, -s.tank, -16);
        cairo_curve_to(cr, -s.tank - 3, -22, -s.fairing, -30, -s.fairing, -40);
        cairo_curve_to(cr, -s.fairing, -58, -s.fairing * 0.55, s.nose + 2, 0, s.nose);
        cairo_close_path(cr);
        FillRounded(cr, s.fairing, c.light, c.body, c.dark);
        Stripes(cr, c, s.nose, -16);
        Outline(cr);
        // Twin headlights in the nose.
        for (int side : {-1, 1}) {
            cairo_move_to(cr, side * 2.5, s.nose + 5);
            cairo_line_to(cr, side * s.fairing * 0.42, s.nose + 12);
            cairo_line_to(cr, side * s.fairing * 0.38, s.nose + 15);
            cairo_line_to(cr, side * 2.5, s.nose + 10);
            cairo_close_path(cr);
            SetColor(cr, Hex(0xDCE8F2));
            cairo_fill(cr);
        }
        // Windscreen.
        cairo_move_to(cr, 0, s.nose + 16);
        cairo_curve_to(cr, s.fairing * 0.5, s.nose + 17, s.fairing * 0.62, -50, s.fairing * 0.55,
                       -42);
        cairo_line_to(cr, -s.fairing * 0.55, -42);
        cairo_curve_to(cr, -s.fairing * 0.62, -50, -s.fairing * 0.5, s.nose + 17, 0, s.nose + 16);
        cairo_close_path(cr);
        cairo_pattern_t* glass = cairo_pattern_create_linear(-s.fairing, s.nose, s.fairing, -42);
        cairo_pattern_add_color_stop_rgb(glass, 0, 0.30, 0.40, 0.50);
        cairo_pattern_add_color_stop_rgb(glass, 0.45, 0.55, 0.66, 0.76);
        cairo_pattern_add_color_stop_rgb(glass, 1, 0.12, 0.16, 0.21);
        cairo_set_source(cr, glass);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(glass);
        Outline(cr, 0.8);
        if (s.wings) {
            for (int side : {-1, 1}) {
                cairo_move_to(cr, side * s.fairing, -52);
                cairo_line_to(cr, side * (s.fairing + 8), -48);
                cairo_line_to(cr, side * (s.fairing + 7), -42);
                cairo_line_to(cr, side * s.fairing, -42);
                cairo_close_path(cr);
                SetColor(cr, c.stripe);
                cairo_fill_preserve(cr);
                Outline(cr, 1);
            }
        }
    }

    // Tank.
    Ellipse(cr, 0, -22, s.tank, 21);
    FillRounded(cr, s.tank, c.light, c.body, c.dark);
    Outline(cr);
    // Stripes over tank and fairing.
    cairo_save(cr);
    Ellipse(cr, 0, -22, s.tank, 21);
    cairo_clip(cr);
    cairo_rectangle(cr, -3.5, -45, 2.5, 50);
    cairo_rectangle(cr, 1, -45, 2.5, 50);
    SetColor(cr, c.stripe, 0.9);
    cairo_fill(cr);
    cairo_restore(cr);
    // Filler cap.
    Ellipse(cr, 0, -36, 3.5, 3.5);
    SetColor(cr, kMetal);
    cairo_fill(cr);
}

void Rider(cairo_t* cr, const BikeShape& s, const BikeColors& c) {
    // Knees tucked against the tank.
    for (int side : {-1, 1}) {
        Ellipse(cr, side * (s.tank + 1), 0, 6.5, 12);
        SetColor(cr, kLeather);
        cairo_fill_preserve(cr);
        Outline(cr, 1);
        // Knee slider.
        Ellipse(cr, side * (s.tank + 3.5), -4, 2.5, 4);
        SetColor(cr, Hex(0x5A6069));
        cairo_fill(cr);
    }
    // Arms reaching for the grips.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int side : {-1, 1}) {
        cairo_move_to(cr, side * 16, -12);
        cairo_curve_to(cr, side * (s.bar * 0.7), -22, side * (s.bar - 3), s.barY + 14,
                       side * (s.bar - 4), s.barY + 3);
        cairo_set_line_width(cr, 10);
        SetColor(cr, Hex(0x0A0B0D));
        cairo_stroke_preserve(cr);
        cairo_set_line_width(cr, 8);
        SetColor(cr, kLeather);
        cairo_stroke_preserve(cr);
        cairo_set_line_width(cr, 2.5);
        SetColor(cr, kLeatherLight);
        cairo_stroke(cr);
        Ellipse(cr, side * (s.bar - 4), s.barY + 3, 4.5, 4.5);
        SetColor(cr, Hex(0x111214));
        cairo_fill_preserve(cr);
        Outline(cr, 0.8);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    // Back and shoulders: broad shoulders over a narrower waist.
    auto torso = [&] {
        Ellipse(cr, 0, -8, 21, 12);
        Ellipse(cr, 0, 11, 15, 18);
    };
    torso();
    SetColor(cr, Hex(0x0A0B0D), 0.85);
    cairo_set_line_width(cr, 2.4);
    cairo_stroke(cr);
    torso();
    FillRounded(cr, 21, kLeatherLight, kLeather, Hex(0x121417));
    cairo_new_path(cr);
    cairo_save(cr);
    torso();
    cairo_clip(cr);
    // The suit's colour panels: a spine stripe and shoulder caps.
    cairo_rectangle(cr, -3, -22, 6, 52);
    SetColor(cr, c.stripe);
    cairo_fill(cr);
    for (int side : {-1, 1}) {
        Ellipse(cr, side * 16, -9, 7, 8);
        SetColor(cr, c.body);
        cairo_fill(cr);
    }
    // The hump of the back protector.
    Ellipse(cr, 0, 10, 9, 11);
    SetColor(cr, Hex(0xFFFFFF), 0.10);
    cairo_fill(cr);
    cairo_restore(cr);
    // Helmet.
    Ellipse(cr, 0, -26, 13, 14);
    cairo_pattern_t* shell = cairo_pattern_create_radial(-4, -31, 1, 0, -26, 14);
    cairo_pattern_add_color_stop_rgb(shell, 0, 0.42, 0.45, 0.50);
    cairo_pattern_add_color_stop_rgb(shell, 0.35, kHelmet.r + 0.06, kHelmet.g + 0.06,
                                     kHelmet.b + 0.07);
    cairo_pattern_add_color_stop_rgb(shell, 1, kHelmet.r, kHelmet.g, kHelmet.b);
    cairo_set_source(cr, shell);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(shell);
    Outline(cr, 1.2);
    cairo_save(cr);
    Ellipse(cr, 0, -26, 13, 14);
    cairo_clip(cr);
    cairo_rectangle(cr, -2.5, -41, 5, 30);
    SetColor(cr, c.stripe);
    cairo_fill(cr);
    // Visor at the front edge.
    Ellipse(cr, 0, -38, 10, 5);
    SetColor(cr, Hex(0x30485E));
    cairo_fill(cr);
    Ellipse(cr, -3, -39.5, 4, 1.5);
    SetColor(cr, Hex(0xCFE3F5), 0.8);
    cairo_fill(cr);
    cairo_restore(cr);
}

// Draws the bike and rider in the 200-unit drawing space.
void DrawBikeBody(cairo_t* cr, int model) {
    const BikeShape s = ShapeOf(model);
    const BikeColors c = BikeModelColors(model);
    Tyre(cr, s.rearTyre, 50, 100, s.knobby);
    Tyre(cr, s.frontTyre, -100, -60, s.knobby);
    // Front mudguard over the tyre.
    RoundedRectPath(cr, -s.frontTyre - 1, -92, 2 * s.frontTyre + 2, 20, s.frontTyre);
    FillRounded(cr, s.frontTyre + 1, c.light, c.body, c.dark);
    Outline(cr, 1);
    Exhausts(cr, s);
    Body(cr, model, s, c);
    Handlebar(cr, s, c);
    Rider(cr, s, c);
}

}  // namespace

BikeColors BikeModelColors(int model) {
    switch (model) {
        case 2:
            return {Hex(0x1E5CD6), Hex(0x5A93FF), Hex(0x0F2E78), Hex(0xF2F4F8)};
        case 3:
            return {Hex(0xF2C21B), Hex(0xFFE57A), Hex(0x9C7608), Hex(0x202226)};
        case 4:
            return {Hex(0x27A043), Hex(0x6CDB82), Hex(0x145826), Hex(0xF2F4F8)};
        case 5:
            return {Hex(0xECEEF4), Hex(0xFFFFFF), Hex(0x9EA3B5), Hex(0x7B3FD6)};
        default:
            return {Hex(0xD8232A), Hex(0xFF6A5C), Hex(0x7E0E14), Hex(0xF2F4F8)};
    }
}

void DrawBike(cairo_t* cr, int model, double cx, double cy, double length, double angle,
              bool shadow) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, angle);
    const double scale = length / 200.0;
    cairo_scale(cr, scale, scale);
    cairo_push_group(cr);
    DrawBikeBody(cr, model);
    cairo_pattern_t* bike = cairo_pop_group(cr);
    if (shadow) {
        // A soft shadow: the silhouette stamped a few times around a point below right, the
        // offsets taken along the screen's axes whatever the bike's turn.
        cairo_matrix_t bikeSpace;
        cairo_get_matrix(cr, &bikeSpace);
        for (int i = 0; i < 9; ++i) {
            cairo_matrix_t shifted = bikeSpace;
            shifted.x0 += 0.035 * length + (i % 3 - 1) * 0.012 * length;
            shifted.y0 += 0.05 * length + (i / 3 - 1) * 0.012 * length;
            cairo_save(cr);
            cairo_set_matrix(cr, &shifted);
            cairo_set_source_rgba(cr, 0, 0, 0, 0.075);
            cairo_mask(cr, bike);
            cairo_restore(cr);
        }
    }
    cairo_set_source(cr, bike);
    cairo_paint(cr);
    cairo_pattern_destroy(bike);
    cairo_restore(cr);
}

}  // namespace vrumbal::content
