// The five bikes with their riders, seen from straight above: upright, leaning (each part
// shifted sideways by its height above the road) and crashing. Drawn in a space 200 units
// long, front tyre tip at y -100, nose up; colours and builds match the bike choice screen.
#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "race_art.h"

namespace vrumbal::content::race {
namespace {

struct Build {
    double frontTyre;  // half width of the front tyre
    double rearTyre;   // half width of the rear tyre
    double bar;        // half width of the handlebar
    double nose;       // y of the fairing's tip
    double fairing;    // half width of the fairing
    double tank;       // half width of the tank
    double tail;       // y of the tail's end
    bool naked;        // a round headlight instead of a fairing
    bool wings;        // small wings on the fairing
    Rgb body, light, dark, stripe;
};

Build BuildOf(int model) {
    switch (model) {
        case 2:  // the long, narrow top-speed machine
            return {6.5,
                    11,
                    22,
                    -86,
                    24,
                    20,
                    80,
                    false,
                    false,
                    Hex(0x1E5CD6),
                    Hex(0x5A93FF),
                    Hex(0x0F2E78),
                    Hex(0xF2F4F8)};
        case 3:  // the upright supermoto with wide bars
            return {7,
                    9,
                    38,
                    -74,
                    17,
                    17,
                    70,
                    true,
                    false,
                    Hex(0xF2C21B),
                    Hex(0xFFE57A),
                    Hex(0x9C7608),
                    Hex(0x202226)};
        case 4:  // the muscular naked bike with the fat rear tyre
            return {8,
                    14,
                    33,
                    -72,
                    22,
                    25,
                    66,
                    true,
                    false,
                    Hex(0x27A043),
                    Hex(0x6CDB82),
                    Hex(0x145826),
                    Hex(0xF2F4F8)};
        case 5:  // the light, nimble racer
            return {6.5,
                    10,
                    27,
                    -80,
                    22,
                    19,
                    74,
                    false,
                    true,
                    Hex(0xECEEF4),
                    Hex(0xFFFFFF),
                    Hex(0x9EA3B5),
                    Hex(0x7B3FD6)};
        default:  // the red all-rounder
            return {7,
                    11,
                    28,
                    -80,
                    24,
                    21,
                    74,
                    false,
                    false,
                    Hex(0xD8232A),
                    Hex(0xFF6A5C),
                    Hex(0x7E0E14),
                    Hex(0xF2F4F8)};
    }
}

constexpr int kBoxW[] = {63, 60, 68, 60, 56};
constexpr int kBoxH[] = {68, 67, 69, 62, 68};
constexpr int kCrashW[] = {64, 72, 88, 86, 68};
constexpr int kCrashH[] = {152, 158, 204, 154, 184};
constexpr double kMaxLean = 38.0 * kPi / 180.0;

const Rgb kTyre = Hex(0x15171A);
const Rgb kLeather = Hex(0x24272D);
const Rgb kLeatherLight = Hex(0x444A55);
const Rgb kMetal = Hex(0x8C939B);

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, std::max(rx, 0.01), std::max(ry, 0.01));
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
}

// A body-coloured fill lit across the bike.
void BodyFill(cairo_t* cr, const Build& b, double halfWidth) {
    cairo_pattern_t* p = cairo_pattern_create_linear(-halfWidth, 0, halfWidth, 0);
    cairo_pattern_add_color_stop_rgb(p, 0, b.dark.r, b.dark.g, b.dark.b);
    cairo_pattern_add_color_stop_rgb(p, 0.35, b.light.r, b.light.g, b.light.b);
    cairo_pattern_add_color_stop_rgb(p, 0.6, b.body.r, b.body.g, b.body.b);
    cairo_pattern_add_color_stop_rgb(p, 1, b.dark.r, b.dark.g, b.dark.b);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// Draws the bike and rider seen from above, leaning by lean radians (negative: to the left).
void DrawRider(cairo_t* cr, const Build& b, double lean) {
    const double sn = std::sin(lean);
    const double cs = std::cos(lean);
    // A part at a height (units above the road) moves sideways and narrows with the lean.
    auto part = [&](double height) {
        cairo_save(cr);
        cairo_translate(cr, height * sn, 0);
        cairo_scale(cr, cs, 1);
    };
    auto done = [&] { cairo_restore(cr); };
    // Tyres: the wheel discs show more of their sides the deeper the lean.
    for (int w = 0; w < 2; ++w) {
        const double y0 = w == 0 ? -100 : 40;
        const double half = w == 0 ? b.frontTyre : b.rearTyre;
        part(30);
        const double side = 30 * std::fabs(sn) / std::max(cs, 0.2);
        RoundedRect(cr, -half - side / 2, y0, 2 * half + side, 60, half + side / 2);
        SetColour(cr, kTyre);
        cairo_fill(cr);
        if (side > 4) {
            Ellipse(cr, 0, y0 + 30, side / 2, 22);
            SetColour(cr, kMetal);
            cairo_set_line_width(cr, 3);
            cairo_stroke(cr);
        }
        done();
    }
    // Exhaust.
    part(35);
    RoundedRect(cr, b.tank * 0.6, 20, 9, 58, 4);
    SetColour(cr, Hex(0xB8BEC6));
    cairo_fill(cr);
    RoundedRect(cr, b.tank * 0.6 + 2, 68, 5, 8, 2);
    SetColour(cr, Hex(0x2A2D31));
    cairo_fill(cr);
    done();
    // Body: fairing, tank and tail in one shape.
    part(55);
    cairo_move_to(cr, 0, b.nose);
    cairo_curve_to(cr, b.fairing * 0.8, b.nose + 6, b.fairing, -50, b.fairing, -34);
    cairo_curve_to(cr, b.fairing, -20, b.tank, -16, b.tank, 0);
    cairo_curve_to(cr, b.tank, 20, 10, 34, 9, b.tail - 14);
    cairo_curve_to(cr, 8, b.tail - 4, 4, b.tail, 0, b.tail);
    cairo_curve_to(cr, -4, b.tail, -8, b.tail - 4, -9, b.tail - 14);
    cairo_curve_to(cr, -10, 34, -b.tank, 20, -b.tank, 0);
    cairo_curve_to(cr, -b.tank, -16, -b.fairing, -20, -b.fairing, -34);
    cairo_curve_to(cr, -b.fairing, -50, -b.fairing * 0.8, b.nose + 6, 0, b.nose);
    cairo_close_path(cr);
    BodyFill(cr, b, b.fairing);
    if (b.wings) {
        for (int s = -1; s <= 1; s += 2) {
            cairo_move_to(cr, s * b.fairing * 0.9, -52);
            cairo_line_to(cr, s * (b.fairing + 8), -46);
            cairo_line_to(cr, s * b.fairing * 0.9, -40);
            cairo_close_path(cr);
            SetColour(cr, b.stripe);
            cairo_fill(cr);
        }
    }
    // Racing stripe over the tank and tail.
    cairo_rectangle(cr, -3, -30, 6, 100);
    SetColour(cr, b.stripe, 0.85);
    cairo_fill(cr);
    if (b.naked) {
        cairo_arc(cr, 0, b.nose + 8, 9, 0, 2 * kPi);
        SetColour(cr, Hex(0xE6EEF4));
        cairo_fill(cr);
    } else {
        Ellipse(cr, 0, b.nose + 22, b.fairing * 0.55, 14);
        SetColour(cr, Hex(0x2C3E52), 0.9);
        cairo_fill(cr);
        Ellipse(cr, -3, b.nose + 18, b.fairing * 0.25, 6);
        SetColour(cr, Hex(0xAFC3D6), 0.6);
        cairo_fill(cr);
    }
    done();
    // Handlebar with grips and mirrors.
    part(75);
    cairo_set_line_width(cr, 5);
    cairo_move_to(cr, -b.bar, -46);
    cairo_line_to(cr, b.bar, -46);
    SetColour(cr, Hex(0x2C3036));
    cairo_stroke(cr);
    for (int s = -1; s <= 1; s += 2) {
        Ellipse(cr, s * (b.bar + 3), -50, 5, 3.5);
        SetColour(cr, Hex(0x1B1E22));
        cairo_fill(cr);
    }
    done();
    // Rider: legs, back, arms and helmet, each higher than the last.
    part(50);
    for (int s = -1; s <= 1; s += 2) {
        const double knee = s * (b.tank + 7) + (s * sn < 0 ? s * 10 * std::fabs(sn) : 0);
        cairo_move_to(cr, s * 10, 30);
        cairo_line_to(cr, knee, -2);
        cairo_set_line_width(cr, 11);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        SetColour(cr, kLeather);
        cairo_stroke(cr);
        cairo_arc(cr, knee, -2, 4, 0, 2 * kPi);
        SetColour(cr, kMetal);
        cairo_fill(cr);
    }
    done();
    part(90);
    cairo_move_to(cr, -22, -8);
    cairo_curve_to(cr, -24, 14, -16, 34, 0, 36);
    cairo_curve_to(cr, 16, 34, 24, 14, 22, -8);
    cairo_curve_to(cr, 14, -18, -14, -18, -22, -8);
    cairo_close_path(cr);
    {
        cairo_pattern_t* p = cairo_pattern_create_linear(-24, 0, 24, 0);
        cairo_pattern_add_color_stop_rgb(p, 0, kLeather.r, kLeather.g, kLeather.b);
        cairo_pattern_add_color_stop_rgb(p, 0.35, kLeatherLight.r, kLeatherLight.g,
                                         kLeatherLight.b);
        cairo_pattern_add_color_stop_rgb(p, 1, kLeather.r, kLeather.g, kLeather.b);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    cairo_rectangle(cr, -4, -12, 8, 44);
    SetColour(cr, b.body);
    cairo_fill(cr);
    // Arms reach forward to the grips.
    cairo_set_line_width(cr, 8);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int s = -1; s <= 1; s += 2) {
        cairo_move_to(cr, s * 18, -6);
        cairo_curve_to(cr, s * (b.bar * 0.7 + 8), -20, s * b.bar, -34, s * (b.bar - 2), -46);
        SetColour(cr, kLeather);
        cairo_stroke(cr);
        cairo_arc(cr, s * (b.bar - 2), -47, 4.5, 0, 2 * kPi);
        SetColour(cr, Hex(0x101114));
        cairo_fill(cr);
    }
    done();
    part(110);
    Ellipse(cr, 0, -18, 15, 17);
    cairo_pattern_t* helmet = cairo_pattern_create_radial(-5, -24, 2, 0, -18, 17);
    cairo_pattern_add_color_stop_rgb(helmet, 0, b.light.r, b.light.g, b.light.b);
    cairo_pattern_add_color_stop_rgb(helmet, 0.7, b.body.r, b.body.g, b.body.b);
    cairo_pattern_add_color_stop_rgb(helmet, 1, b.dark.r, b.dark.g, b.dark.b);
    cairo_set_source(cr, helmet);
    cairo_fill(cr);
    cairo_pattern_destroy(helmet);
    cairo_rectangle(cr, -3, -34, 6, 32);
    SetColour(cr, b.stripe, 0.9);
    cairo_fill(cr);
    cairo_move_to(cr, -11, -28);
    cairo_curve_to(cr, -6, -36, 6, -36, 11, -28);
    cairo_line_to(cr, 9, -25);
    cairo_curve_to(cr, 4, -30, -4, -30, -9, -25);
    cairo_close_path(cr);
    SetColour(cr, Hex(0x12161C));
    cairo_fill(cr);
    done();
}

// One bike picture of w x h with the bike drawn at a lean.
Picture BikePattern(const Build& b, int w, int h, double lean) {
    Canvas canvas(w, h);
    cairo_t* cr = canvas.Cr();
    const double scale = (h - 3) / 200.0;
    cairo_translate(cr, w / 2.0, h / 2.0);
    cairo_scale(cr, scale, scale);
    DrawRider(cr, b, lean);
    return canvas.ToKeyed(kAsphaltMatte);
}

// A bike lying on its side, seen from above: its side view, wheels and all.
void FallenBike(cairo_t* cr, const Build& b) {
    for (int w = 0; w < 2; ++w) {
        const double y = w == 0 ? -70 : 70;
        cairo_arc(cr, 0, y, 31, 0, 2 * kPi);
        SetColour(cr, kTyre);
        cairo_fill(cr);
        cairo_arc(cr, 0, y, 20, 0, 2 * kPi);
        SetColour(cr, kMetal);
        cairo_fill(cr);
        cairo_arc(cr, 0, y, 7, 0, 2 * kPi);
        SetColour(cr, Hex(0x3A3F46));
        cairo_fill(cr);
    }
    // Frame and body from the side.
    cairo_move_to(cr, -6, -80);
    cairo_curve_to(cr, 30, -70, 44, -40, 42, -10);
    cairo_curve_to(cr, 40, 20, 36, 50, 24, 84);
    cairo_line_to(cr, 6, 70);
    cairo_curve_to(cr, 10, 30, 4, -20, -10, -60);
    cairo_close_path(cr);
    BodyFill(cr, b, 44);
    cairo_rectangle(cr, 30, -20, 8, 60);
    SetColour(cr, b.stripe, 0.9);
    cairo_fill(cr);
    RoundedRect(cr, -4, 10, 10, 70, 5);
    SetColour(cr, Hex(0xB8BEC6));
    cairo_fill(cr);
    cairo_set_line_width(cr, 6);
    cairo_move_to(cr, 10, -70);
    cairo_line_to(cr, 40, -58);
    SetColour(cr, Hex(0x2C3036));
    cairo_stroke(cr);
}

// The rider tumbling: helmet, body and flung limbs, turned by spin radians.
void TumblingRider(cairo_t* cr, const Build& b, double spin, double spread) {
    cairo_save(cr);
    cairo_rotate(cr, spin);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 11);
    SetColour(cr, kLeather);
    const double limbs[][4] = {
        {-14, 24, -30, 60}, {14, 24, 30, 60}, {-18, -8, -44, -20}, {18, -8, 44, -24}};
    for (int n = 0; n < 4; ++n) {
        const double* l = limbs[n];
        const double f = n < 2 ? spread : 1.0 - 0.5 * spread;
        cairo_move_to(cr, l[0], l[1]);
        cairo_line_to(cr, l[0] + (l[2] - l[0]) * f, l[1] + (l[3] - l[1]) * (0.6 + 0.4 * f));
        cairo_stroke(cr);
    }
    Ellipse(cr, 0, 8, 22, 30);
    SetColour(cr, kLeatherLight);
    cairo_fill(cr);
    cairo_rectangle(cr, -4, -16, 8, 48);
    SetColour(cr, b.body);
    cairo_fill(cr);
    cairo_arc(cr, 0, -30, 16, 0, 2 * kPi);
    SetColour(cr, b.body);
    cairo_fill(cr);
    cairo_arc(cr, -4, -34, 6, 0, 2 * kPi);
    SetColour(cr, b.light, 0.8);
    cairo_fill(cr);
    cairo_rectangle(cr, -3, -46, 6, 30);
    SetColour(cr, b.stripe, 0.9);
    cairo_fill(cr);
    cairo_restore(cr);
}

Picture CrashPatterns(const Build& b, int model, int count) {
    const int w = kCrashW[model - 1];
    const int h = kCrashH[model - 1];
    const double scale = (kBoxH[model - 1] - 3) / 200.0;
    std::vector<Picture> patterns;
    for (int i = 0; i < count; ++i) {
        const double p = i / double(count - 1);
        Canvas canvas(w, h);
        cairo_t* cr = canvas.Cr();
        // Sparks and scrape marks trail behind the sliding bike while it is fast.
        const double bikeY = h - 100 * scale - 4 - 6 * p;
        if (p < 0.8) {
            cairo_set_line_width(cr, 1.5);
            for (int n = 0; n < 10; ++n) {
                const double sx = w / 2.0 + (Hash01(n, i, 101) - 0.5) * w * 0.6;
                const double sy = bikeY + 20 * scale + 60 * scale * Hash01(n, i + 9, 101);
                cairo_move_to(cr, sx, sy);
                cairo_line_to(cr, sx + (Hash01(n, 3, 102) - 0.5) * 6,
                              sy + 6 + 6 * Hash01(n, 4, 102));
                SetColour(cr, n % 2 ? Hex(0xFFE070) : Hex(0xFF9A20), 1 - p);
                cairo_stroke(cr);
            }
        }
        cairo_save(cr);
        cairo_translate(cr, w / 2.0, bikeY);
        cairo_scale(cr, scale, scale);
        cairo_rotate(cr, (0.35 - 0.55 * p) * (model % 2 ? 1 : -1));
        FallenBike(cr, b);
        cairo_restore(cr);
        // The rider flies ahead and comes to rest near the top.
        const double eased = 1 - (1 - p) * (1 - p);
        const double riderY = bikeY - 110 * scale - (h - 230 * scale - 8) * eased;
        cairo_save(cr);
        cairo_translate(cr, w / 2.0 + std::sin(p * 5) * w * 0.08, riderY);
        cairo_scale(cr, scale, scale);
        TumblingRider(cr, b, p * 4.5 * (model % 2 ? 1 : -1),
                      i == count - 1 ? 1.0 : 0.3 + 0.7 * Hash01(i, 1, 103));
        cairo_restore(cr);
        patterns.push_back(canvas.ToKeyed(kAsphaltMatte));
    }
    return JoinPatterns(patterns);
}

}  // namespace

BikePictures DrawBike(int model) {
    const Build b = BuildOf(model);
    const int w = kBoxW[model - 1];
    const int h = kBoxH[model - 1];
    BikePictures out;
    out.upright = BikePattern(b, w, h, 0);
    std::vector<Picture> left, right;
    for (int i = 0; i < 6; ++i) {
        const double lean = kMaxLean * (5.5 - i) / 5.5;
        left.push_back(BikePattern(b, w, h, -lean));
        right.push_back(BikePattern(b, w, h, lean));
    }
    out.leanLeft = JoinPatterns(left);
    out.leanRight = JoinPatterns(right);
    out.crash = CrashPatterns(b, model, model == 2 ? 7 : 5);
    return out;
}

}  // namespace vrumbal::content::race
