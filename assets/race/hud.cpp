// The head-up display: two dark metal panels with windows where the race writes its numbers,
// the speedometer dial, and the needle that turns over it.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "race_art.h"

namespace vrumbal::content::race {
namespace {

constexpr int kPanelW = 174;
constexpr int kPanelH = 600;
// The needle picture and the anchor the race gives it: the needle turns about the point at
// 0.7 of its width and half its height, drawn at (width - 10, height + 510) on the screen.
constexpr int kNeedleW = 101;
constexpr int kNeedleH = 14;
constexpr double kDialX = kNeedleW - 10;
constexpr double kDialY = kNeedleH + 510;
constexpr double kDialR = 75;

const Rgb kYellow = Hex(0xFFDE00);
const Rgb kMint = Hex(0x42FCCA);

// Brushed dark metal.
void MetalBackground(Canvas& canvas) {
    PaintPixels(canvas, [](int x, int y) {
        const double t = y / double(kPanelH);
        Rgb c = Mix(Hex(0x2E343D), Hex(0x181C22), t);
        const double streak = Hash01(0, y, 201) * 0.6 + Hash01(x / 9, y, 202) * 0.4;
        return Scale(c, 0.93 + 0.12 * streak);
    });
}

// A recessed window of dark glass.
void Window(cairo_t* cr, double x, double y, double w, double h) {
    RoundedRect(cr, x - 2, y - 2, w + 4, h + 4, 7);
    SetColour(cr, Hex(0x5A626E));
    cairo_fill(cr);
    RoundedRect(cr, x - 2, y - 2, w + 3, h + 3, 7);
    SetColour(cr, Hex(0x0A0C0F));
    cairo_fill(cr);
    RoundedRect(cr, x, y, w, h, 5);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.03, 0.05, 0.06);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.07, 0.10, 0.11);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // A faint reflection over the upper half.
    RoundedRect(cr, x + 3, y + 2, w - 6, h * 0.35, 4);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.05);
    cairo_fill(cr);
}

void Label(cairo_t* cr, const char* text, double x, double y, double size, const Rgb& colour) {
    SetColour(cr, Hex(0x000000), 0.6);
    CentredLabel(cr, text, x + 1, y + 1, size, true);
    SetColour(cr, colour);
    CentredLabel(cr, text, x, y, size, true);
}

void Rivet(cairo_t* cr, double x, double y) {
    cairo_arc(cr, x, y, 3, 0, 2 * kPi);
    SetColour(cr, Hex(0x11141A));
    cairo_fill(cr);
    cairo_arc(cr, x - 0.6, y - 0.6, 2.2, 0, 2 * kPi);
    SetColour(cr, Hex(0x8E97A3));
    cairo_fill(cr);
}

// The bevelled edge the panel shows towards the road, at edgeX.
void InnerEdge(cairo_t* cr, double edgeX, int side) {
    const double x = side > 0 ? edgeX - 8 : edgeX;
    cairo_rectangle(cr, x, 0, 8, kPanelH);
    cairo_pattern_t* p = cairo_pattern_create_linear(x, 0, x + 8, 0);
    cairo_pattern_add_color_stop_rgb(p, 0, side > 0 ? 0.42 : 0.08, side > 0 ? 0.46 : 0.09,
                                     side > 0 ? 0.52 : 0.11);
    cairo_pattern_add_color_stop_rgb(p, 1, side > 0 ? 0.08 : 0.42, side > 0 ? 0.09 : 0.46,
                                     side > 0 ? 0.11 : 0.52);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_rectangle(cr, side > 0 ? edgeX - 11 : edgeX + 8, 0, 3, kPanelH);
    SetColour(cr, kYellow, 0.85);
    cairo_fill(cr);
}

// The logo: the game's name over a chequered strip.
void Logo(cairo_t* cr, double cx, double cy) {
    for (int i = 0; i < 14; ++i) {
        for (int j = 0; j < 2; ++j) {
            cairo_rectangle(cr, cx - 63 + 9 * i, cy + 16 + 6 * j, 9, 6);
            SetColour(cr, (i + j) % 2 ? Hex(0xF2F2EE) : Hex(0x15171B));
            cairo_fill(cr);
        }
    }
    SelectDisplayFont(cr, true, 30);
    cairo_text_extents_t e;
    cairo_text_extents(cr, "VRUMBAL", &e);
    const double x = cx - e.width / 2 - e.x_bearing;
    const double y = cy + 8;
    cairo_move_to(cr, x + 2, y + 2);
    cairo_text_path(cr, "VRUMBAL");
    cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
    cairo_fill(cr);
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, "VRUMBAL");
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y - 22, 0, y);
    cairo_pattern_add_color_stop_rgb(p, 0, 1.0, 0.95, 0.55);
    cairo_pattern_add_color_stop_rgb(p, 1, 1.0, 0.72, 0.0);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    cairo_set_line_width(cr, 1);
    SetColour(cr, Hex(0x5A3A00));
    cairo_stroke(cr);
}

// The direction of the needle's tip for a shown speed in km/h: the needle points left at angle
// 0 and turns clockwise by 256ths of a turn; the race turns it 0.76875 per unit of engine
// speed from 28, and shows 1.9 km/h per unit.
double DialAngle(double kmh) {
    const double units = 0.76875 * kmh / 1.9 + 28;
    return units * 2 * kPi / 256;
}

void Dial(cairo_t* cr, const Catalogue& t) {
    const double cx = kDialX, cy = kDialY;
    // Bezel and face.
    cairo_arc(cr, cx, cy, kDialR + 4, 0, 2 * kPi);
    cairo_pattern_t* bezel =
        cairo_pattern_create_linear(cx - kDialR, cy - kDialR, cx + kDialR, cy + kDialR);
    cairo_pattern_add_color_stop_rgb(bezel, 0, 0.75, 0.78, 0.82);
    cairo_pattern_add_color_stop_rgb(bezel, 0.5, 0.32, 0.35, 0.40);
    cairo_pattern_add_color_stop_rgb(bezel, 1, 0.12, 0.13, 0.15);
    cairo_set_source(cr, bezel);
    cairo_fill(cr);
    cairo_pattern_destroy(bezel);
    cairo_arc(cr, cx, cy, kDialR, 0, 2 * kPi);
    cairo_pattern_t* face = cairo_pattern_create_radial(cx, cy - 20, 5, cx, cy, kDialR);
    cairo_pattern_add_color_stop_rgb(face, 0, 0.10, 0.13, 0.16);
    cairo_pattern_add_color_stop_rgb(face, 1, 0.02, 0.03, 0.04);
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);
    auto at = [&](double kmh, double r, double& x, double& y) {
        const double a = DialAngle(kmh);
        x = cx - r * std::cos(a);
        y = cy - r * std::sin(a);
    };
    // The red zone from 250 km/h.
    cairo_set_line_width(cr, 6);
    cairo_new_path(cr);
    for (int kmh = 250; kmh <= 310; kmh += 2) {
        double x, y;
        at(kmh, kDialR - 6, x, y);
        cairo_line_to(cr, x, y);
    }
    SetColour(cr, Hex(0xD8281E), 0.9);
    cairo_stroke(cr);
    // Ticks every 10 km/h, long ones every 50 with their numbers.
    for (int kmh = 0; kmh <= 310; kmh += 10) {
        const bool major = kmh % 50 == 0;
        double x0, y0, x1, y1;
        at(kmh, kDialR - 3, x0, y0);
        at(kmh, kDialR - (major ? 14 : 8), x1, y1);
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        cairo_set_line_width(cr, major ? 2.5 : 1.2);
        SetColour(cr, kmh >= 250 ? Hex(0xFF5A4A) : Hex(0xF0F0E8));
        cairo_stroke(cr);
        if (major && kmh <= 300) {
            double tx, ty;
            at(kmh, kDialR - 25, tx, ty);
            SetColour(cr, kmh >= 250 ? Hex(0xFF6A5A) : kYellow);
            CentredLabel(cr, std::to_string(kmh).c_str(), tx, ty, 11, true);
        }
    }
    SetColour(cr, kMint, 0.8);
    CentredLabel(cr, t.Translate(N_("км/ч")).c_str(), cx, cy + 24, 10, true);
}

}  // namespace

Picture LeftPanel(const Catalogue& t) {
    Canvas canvas(kPanelW, kPanelH);
    MetalBackground(canvas);
    cairo_t* cr = canvas.Cr();
    InnerEdge(cr, kPanelW, 1);
    // The clock, centred on (87, 23).
    Window(cr, 22, 5, 130, 36);
    Label(cr, t.Translate(N_("ВРЕМЯ")).c_str(), 87, 52, 12, kYellow);
    Logo(cr, 84, 105);
    // The score, centred on (84, 218).
    Label(cr, t.Translate(N_("ОЧКИ")).c_str(), 84, 186, 12, kYellow);
    Window(cr, 14, 200, 140, 36);
    // The lives, centred on (113, 342), beside a helmet.
    Label(cr, t.Translate(N_("ЖИЗНИ")).c_str(), 84, 306, 12, kYellow);
    Window(cr, 26, 322, 128, 40);
    cairo_arc(cr, 58, 342, 12, 0, 2 * kPi);
    SetColour(cr, Hex(0xD8232A));
    cairo_fill(cr);
    cairo_move_to(cr, 48, 336);
    cairo_curve_to(cr, 52, 330, 64, 330, 68, 336);
    cairo_line_to(cr, 66, 340);
    cairo_curve_to(cr, 62, 336, 54, 336, 50, 340);
    cairo_close_path(cr);
    SetColour(cr, Hex(0x12161C));
    cairo_fill(cr);
    SetColour(cr, kMint);
    CentredLabel(cr, "×", 82, 342, 16, true);
    for (double y : {70.0, 160.0, 270.0, 400.0}) {
        Rivet(cr, 12, y);
        Rivet(cr, 156, y);
    }
    Dial(cr, t);
    // The speed readout, centred on (91, 578), inside the dial.
    Window(cr, 62, 564, 58, 28);
    return canvas.ToKeyed(kPanelMatte);
}

Picture RightPanel(const Catalogue& t) {
    Canvas canvas(kPanelW, kPanelH);
    MetalBackground(canvas);
    cairo_t* cr = canvas.Cr();
    InnerEdge(cr, 0, -1);
    // The level, centred on (88, 20) of the panel.
    Window(cr, 16, 5, 148, 30);
    // The bay of the track map; the minimap's upper piece frames it and holds the place
    // under it.
    Window(cr, 14, 42, 154, 126);
    cairo_set_line_width(cr, 1);
    for (double y = 57; y < 166; y += 15) {
        cairo_move_to(cr, 16, y);
        cairo_line_to(cr, 166, y);
    }
    SetColour(cr, kMint, 0.06);
    cairo_stroke(cr);
    for (double y : {250.0, 580.0}) {
        Rivet(cr, 22, y);
        Rivet(cr, 160, y);
    }
    // A plate with the logo and a chequered flag.
    RoundedRect(cr, 20, 270, 136, 290, 10);
    SetColour(cr, Hex(0x101317), 0.6);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, 88, 360);
    for (int i = 0; i < 6; ++i) {
        for (int j = 0; j < 4; ++j) {
            const double wave = 4 * std::sin(i * 0.9);
            cairo_rectangle(cr, -48 + 16 * i, -32 + 16 * j + wave, 16, 16);
            SetColour(cr, (i + j) % 2 ? Hex(0xF2F2EE) : Hex(0x15171B));
            cairo_fill(cr);
        }
    }
    cairo_rectangle(cr, -54, -36, 5, 110);
    SetColour(cr, Hex(0xB8BEC6));
    cairo_fill(cr);
    cairo_restore(cr);
    Logo(cr, 88, 480);
    Label(cr, t.Translate(N_("ФИНИШ ЖДЁТ!")).c_str(), 88, 530, 13, kMint);
    return canvas.ToKeyed(kPanelMatte);
}

Picture Needle() {
    Canvas canvas(kNeedleW, kNeedleH);
    cairo_t* cr = canvas.Cr();
    const double hx = 0.7 * kNeedleW;
    const double hy = 0.5 * kNeedleH;
    // The tip at the left; a short counterweight past the hub.
    cairo_move_to(cr, 3, hy);
    cairo_line_to(cr, hx, hy - 3.5);
    cairo_line_to(cr, kNeedleW - 4, hy - 2.5);
    cairo_line_to(cr, kNeedleW - 4, hy + 2.5);
    cairo_line_to(cr, hx, hy + 3.5);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, hy - 4, 0, hy + 4);
    cairo_pattern_add_color_stop_rgb(p, 0, 1.0, 0.45, 0.3);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.75, 0.08, 0.05);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_arc(cr, hx, hy, 6.5, 0, 2 * kPi);
    SetColour(cr, Hex(0x2A2E34));
    cairo_fill(cr);
    cairo_arc(cr, hx - 1, hy - 1, 4, 0, 2 * kPi);
    SetColour(cr, Hex(0xA0A8B2));
    cairo_fill(cr);
    return canvas.ToKeyed(0x0A0C10);
}

}  // namespace vrumbal::content::race
