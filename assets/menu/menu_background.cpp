// The main menu's full-screen background: a metal column holding the logo and the sockets of
// the six main buttons, and a sunny road seen from above on the right, where the sub-screens
// put their panels.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "bike_art.h"
#include "content.h"
#include "menu_art.h"
#include "menu_pieces.h"

namespace vrumbal::content {

namespace {

using namespace palette;

constexpr int kWidth = 800;
constexpr int kHeight = 600;
// The column's right edge; the sub-screen panels start at x 356.
constexpr int kColumnRight = 344;
// Final tops of the six main buttons (they stand at x 12).
constexpr std::array<int, 6> kButtonTops = {173, 232, 291, 351, 412, 473};

struct Point {
    double x;
    double y;
};

// The road's centre line: one cubic curve from below the screen to above it.
constexpr std::array<Point, 4> kRoad = {{{612, 640}, {468, 430}, {742, 250}, {596, -40}}};
constexpr double kRoadHalf = 66;

Point RoadAt(double t) {
    const double u = 1 - t;
    const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    return {a * kRoad[0].x + b * kRoad[1].x + c * kRoad[2].x + d * kRoad[3].x,
            a * kRoad[0].y + b * kRoad[1].y + c * kRoad[2].y + d * kRoad[3].y};
}

Point RoadDirection(double t) {
    const double u = 1 - t;
    const double a = 3 * u * u, b = 6 * u * t, c = 3 * t * t;
    const double dx = a * (kRoad[1].x - kRoad[0].x) + b * (kRoad[2].x - kRoad[1].x) +
                      c * (kRoad[3].x - kRoad[2].x);
    const double dy = a * (kRoad[1].y - kRoad[0].y) + b * (kRoad[2].y - kRoad[1].y) +
                      c * (kRoad[3].y - kRoad[2].y);
    const double length = std::hypot(dx, dy);
    return {dx / length, dy / length};
}

double DistanceToRoad(double x, double y) {
    double best = 1e9;
    for (int i = 0; i <= 200; ++i) {
        const Point p = RoadAt(i / 200.0);
        best = std::min(best, std::hypot(p.x - x, p.y - y));
    }
    return best;
}

void RoadPath(cairo_t* cr) {
    cairo_move_to(cr, kRoad[0].x, kRoad[0].y);
    cairo_curve_to(cr, kRoad[1].x, kRoad[1].y, kRoad[2].x, kRoad[2].y, kRoad[3].x, kRoad[3].y);
}

void StrokeRoad(cairo_t* cr, double width, Rgb color, double alpha = 1) {
    RoadPath(cr);
    cairo_set_line_width(cr, width);
    SetColor(cr, color, alpha);
    cairo_stroke(cr);
}

void Grass(cairo_t* cr) {
    cairo_rectangle(cr, 0, 0, kWidth, kHeight);
    FillVertical(cr, 0, kHeight, Hex(0x4F9A32), Hex(0x5CA83A), Hex(0x4A9130));
    cairo_new_path(cr);
    // Mowing stripes.
    cairo_save(cr);
    cairo_rotate(cr, -0.5);
    for (int i = -20; i < 30; i += 2) {
        cairo_rectangle(cr, i * 34, -400, 34, 1600);
    }
    SetColor(cr, Hex(0xFFFFFF), 0.045);
    cairo_fill(cr);
    cairo_restore(cr);
    PaintGrain(cr, 0, 0, kWidth, kHeight, 0.10, 3);
    // Tufts and flowers.
    Grain grain(11);
    for (int i = 0; i < 900; ++i) {
        const double x = grain.Between(kColumnRight, kWidth);
        const double y = grain.Between(0, kHeight);
        const double kind = grain.Next();
        if (DistanceToRoad(x, y) < kRoadHalf + 16) continue;
        if (kind < 0.86) {
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x + grain.Between(-2, 2), y - grain.Between(2, 5));
            SetColor(cr, kind < 0.45 ? Hex(0x3C7A24) : Hex(0x7CC04F), 0.8);
            cairo_set_line_width(cr, 1.2);
            cairo_stroke(cr);
        } else {
            cairo_arc(cr, x, y, 1.6, 0, 2 * M_PI);
            SetColor(cr, kind < 0.93 ? Hex(0xFFF4B0) : Hex(0xF7F7F7));
            cairo_fill(cr);
        }
    }
}

void Road(cairo_t* cr) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    StrokeRoad(cr, 2 * kRoadHalf + 26, Hex(0x000000), 0.18);  // soft edge of the verge
    StrokeRoad(cr, 2 * kRoadHalf + 20, Hex(0xBFAE86));        // gravel verge
    // Kerbs: red and white blocks.
    StrokeRoad(cr, 2 * kRoadHalf + 10, Hex(0xF2F2EE));
    RoadPath(cr);
    const double dash[] = {14, 14};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_set_line_width(cr, 2 * kRoadHalf + 10);
    SetColor(cr, Hex(0xDB3328));
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    StrokeRoad(cr, 2 * kRoadHalf, Hex(0x4C5056));
    // Asphalt grain inside the road only.
    cairo_push_group(cr);
    PaintGrain(cr, kColumnRight, 0, kWidth - kColumnRight, kHeight, 0.16, 5);
    cairo_pattern_t* grain = cairo_pop_group(cr);
    cairo_push_group(cr);
    StrokeRoad(cr, 2 * kRoadHalf - 2, Hex(0xFFFFFF));
    cairo_pattern_t* mask = cairo_pop_group(cr);
    cairo_set_source(cr, grain);
    cairo_mask(cr, mask);
    cairo_pattern_destroy(mask);
    cairo_pattern_destroy(grain);
    // Edge lines and the dashed centre line.
    StrokeRoad(cr, 2 * kRoadHalf - 8, Hex(0xF2F2EE), 0.9);
    StrokeRoad(cr, 2 * kRoadHalf - 12, Hex(0x4C5056));
    RoadPath(cr);
    const double centre[] = {24, 20};
    cairo_set_dash(cr, centre, 2, 0);
    cairo_set_line_width(cr, 3);
    SetColor(cr, Hex(0xF2F2EE), 0.85);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    // Tyre marks of earlier laps.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 4; ++i) {
        const double t0 = 0.12 + i * 0.21, t1 = t0 + 0.07;
        const double offset = i % 2 == 0 ? -30 : 28;
        for (double side : {-4.0, 4.0}) {
            for (int s = 0; s <= 10; ++s) {
                const double t = t0 + (t1 - t0) * s / 10;
                const Point p = RoadAt(t);
                const Point d = RoadDirection(t);
                const double o = offset + side + std::sin(s * 0.6 + i) * 6;
                const double x = p.x - d.y * o, y = p.y + d.x * o;
                if (s == 0) {
                    cairo_move_to(cr, x, y);
                } else {
                    cairo_line_to(cr, x, y);
                }
            }
            cairo_set_line_width(cr, 3);
            SetColor(cr, Hex(0x16181B), 0.28);
            cairo_stroke(cr);
        }
    }
}

void Tree(cairo_t* cr, double x, double y, double r, std::uint32_t seed) {
    Grain grain(seed);
    // Shadow below right.
    cairo_arc(cr, x + r * 0.35, y + r * 0.45, r * 1.02, 0, 2 * M_PI);
    SetColor(cr, Hex(0x0E2A08), 0.45);
    cairo_fill(cr);
    // Canopy made of overlapping clumps, lit from the upper left.
    std::vector<std::array<double, 3>> clumps;
    for (int i = 0; i < 7; ++i) {
        const double a = i * 2 * M_PI / 7 + grain.Between(-0.3, 0.3);
        const double d = r * grain.Between(0.35, 0.55);
        clumps.push_back({x + std::cos(a) * d, y + std::sin(a) * d, r * grain.Between(0.48, 0.6)});
    }
    clumps.push_back({x, y, r * 0.6});
    for (const auto& c : clumps) {
        cairo_arc(cr, c[0], c[1], c[2], 0, 2 * M_PI);
        SetColor(cr, Hex(0x1F5416));
        cairo_fill(cr);
    }
    for (const auto& c : clumps) {
        cairo_pattern_t* p = cairo_pattern_create_radial(c[0] - c[2] * 0.4, c[1] - c[2] * 0.4,
                                                         c[2] * 0.1, c[0], c[1], c[2]);
        cairo_pattern_add_color_stop_rgb(p, 0, 0.47, 0.74, 0.29);
        cairo_pattern_add_color_stop_rgb(p, 0.7, 0.22, 0.50, 0.15);
        cairo_pattern_add_color_stop_rgba(p, 1, 0.14, 0.36, 0.10, 0);
        cairo_arc(cr, c[0], c[1], c[2] * 0.92, 0, 2 * M_PI);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
}

void Scenery(cairo_t* cr) {
    // Trees and bushes on fixed spots, kept off the road.
    struct Spot {
        double x, y, r;
    };
    constexpr Spot kSpots[] = {
        {392, 560, 30}, {400, 300, 34}, {452, 210, 22}, {380, 410, 18}, {760, 420, 36},
        {700, 560, 26}, {770, 560, 18}, {470, 40, 30},  {770, 90, 28},  {410, 130, 20},
        {740, 300, 16}, {690, 20, 16},  {445, 520, 14}, {790, 220, 24}, {372, 200, 14},
    };
    std::uint32_t seed = 40;
    for (const Spot& s : kSpots) {
        ++seed;
        if (DistanceToRoad(s.x, s.y) < kRoadHalf + s.r + 12) continue;
        Tree(cr, s.x, s.y, s.r, seed);
    }
}

void Bikes(cairo_t* cr) {
    struct Rider {
        int model;
        double t;
        double lane;
    };
    constexpr Rider kRiders[] = {{4, 0.27, 24}, {1, 0.45, -26}, {2, 0.68, 22}};
    for (const Rider& r : kRiders) {
        const Point p = RoadAt(r.t);
        const Point d = RoadDirection(r.t);
        const double angle = std::atan2(d.x, -d.y);
        DrawBike(cr, r.model, p.x - d.y * r.lane, p.y + d.x * r.lane, 92, angle, true);
    }
}

void Column(cairo_t* cr, const Catalogue& t) {
    // Shadow the column casts on the scene.
    cairo_pattern_t* shade = cairo_pattern_create_linear(kColumnRight, 0, kColumnRight + 22, 0);
    cairo_pattern_add_color_stop_rgba(shade, 0, 0, 0, 0, 0.5);
    cairo_pattern_add_color_stop_rgba(shade, 1, 0, 0, 0, 0);
    cairo_rectangle(cr, kColumnRight, 0, 22, kHeight);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    // Brushed metal.
    cairo_rectangle(cr, 0, 0, kColumnRight, kHeight);
    SetColor(cr, kColumn);
    cairo_fill(cr);
    Grain grain(17);
    for (int y = 0; y < kHeight; ++y) {
        const double v = grain.Next();
        if (v > 0.55) continue;
        cairo_rectangle(cr, 0, y, kColumnRight, 1);
        SetColor(cr, v < 0.27 ? Hex(0xFFFFFF) : Hex(0x000000), 0.018);
        cairo_fill(cr);
    }
    // Edge: bevel, rim and a yellow racing stripe.
    cairo_rectangle(cr, kColumnRight - 4, 0, 1, kHeight);
    SetColor(cr, kBevelLight, 0.8);
    cairo_fill(cr);
    cairo_rectangle(cr, kColumnRight - 3, 0, 3, kHeight);
    SetColor(cr, kRim);
    cairo_fill(cr);
    cairo_rectangle(cr, kColumnRight, 0, 4, kHeight);
    SetColor(cr, kYellow);
    cairo_fill(cr);
    cairo_rectangle(cr, kColumnRight + 4, 0, 1, kHeight);
    SetColor(cr, kRim);
    cairo_fill(cr);
    // Sockets the main buttons slide into.
    for (int top : kButtonTops) {
        DrawRecess(cr, 10, top - 2, kMainButtonWidth + 4, kMainButtonHeight + 4, 4, Hex(0x1B1F24));
    }
    // A keyboard hint at the foot of the column.
    CaptionCentred(cr, t.Translate(N_("СТРЕЛКИ — ВЫБОР   ENTER — ВХОД")), 152, 558, false, 13,
                   kDimText);
    CaptionCentred(cr, t.Translate(N_("ESC — НАЗАД")), 152, 578, false, 13, kDimText);
}

void Logo(cairo_t* cr, const Catalogue& t) {
    const std::string title = "VRUMBAL";
    constexpr double kSlant = -0.22, kBaseline = 100, kLeft = 24, kMaxWidth = 286;
    double size = 80;
    while (SelectAndMeasure(cr, title, true, size) > kMaxWidth) size -= 1;
    cairo_text_extents_t ink;
    cairo_text_extents(cr, title.c_str(), &ink);
    cairo_save(cr);
    cairo_matrix_t slant;
    cairo_matrix_init(&slant, 1, 0, kSlant, 1, -kSlant * kBaseline, 0);
    cairo_transform(cr, &slant);
    SelectDisplayFont(cr, true, size);
    // Drop shadow, outline, fill, then a sheen over the upper half.
    cairo_move_to(cr, kLeft + 4, kBaseline + 5);
    cairo_text_path(cr, title.c_str());
    SetColor(cr, Hex(0x000000), 0.6);
    cairo_set_line_width(cr, 8);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);
    cairo_move_to(cr, kLeft, kBaseline);
    cairo_text_path(cr, title.c_str());
    SetColor(cr, kInk);
    cairo_set_line_width(cr, 8);
    cairo_stroke_preserve(cr);
    FillVertical(cr, kBaseline + ink.y_bearing, kBaseline, Hex(0xFFF7A8), kYellow, kOrange, 0.45);
    cairo_clip(cr);
    cairo_rectangle(cr, 0, kBaseline + ink.y_bearing, kColumnRight, -ink.y_bearing * 0.42);
    SetColor(cr, Hex(0xFFFFFF), 0.28);
    cairo_fill(cr);
    cairo_restore(cr);
    // Subtitle between two chequered bands.
    const double subtitleY = 132;
    // The letters stand apart, a space between each.
    CaptionCentred(cr, t.Translate(N_("М О Т О Г О Н К И")), 172, subtitleY, true, 17, kMint);
    for (int side : {-1, 1}) {
        const double x0 = side < 0 ? 22 : 262;
        for (int col = 0; col < 11; ++col) {
            for (int row = 0; row < 2; ++row) {
                cairo_rectangle(cr, x0 + col * 5, subtitleY - 5 + row * 5, 5, 5);
                SetColor(cr, (row + col) % 2 == 0 ? Hex(0xE8ECF0) : Hex(0x101215));
                cairo_fill(cr);
            }
        }
    }
}

void TopShade(cairo_t* cr) {
    // Darkens the top of the scene, where the sub-screen titles stand.
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, 150);
    cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, 0.55);
    cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, 0);
    cairo_rectangle(cr, kColumnRight, 0, kWidth - kColumnRight, 150);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void ButtonTray(cairo_t* cr) {
    // A metal shelf along the bottom right where the high-score screen's buttons stand.
    RoundedRectPath(cr, 356, 528, 436, 68, 10);
    SetColor(cr, kRim);
    cairo_fill(cr);
    RoundedRectPath(cr, 358, 530, 432, 64, 8);
    SetColor(cr, kPanelBottom);
    cairo_fill(cr);
    cairo_move_to(cr, 362, 530.5);
    cairo_line_to(cr, 786, 530.5);
    SetColor(cr, kBevelLight, 0.9);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    // Rivets in the gaps between the buttons.
    for (double x : {361.0, 513.0, 657.0}) {
        for (double y : {547.0, 579.0}) {
            cairo_arc(cr, x, y, 2.3, 0, 2 * M_PI);
            SetColor(cr, Hex(0x8D959E));
            cairo_fill(cr);
        }
    }
}

}  // namespace

Picture MenuBackground(const Catalogue& t) {
    Canvas canvas(kWidth, kHeight);
    cairo_t* cr = canvas.Cr();
    Grass(cr);
    Road(cr);
    Scenery(cr);
    Bikes(cr);
    TopShade(cr);
    ButtonTray(cr);
    Column(cr, t);
    Logo(cr, t);
    return canvas.ToOpaque(0);
}

}  // namespace vrumbal::content
