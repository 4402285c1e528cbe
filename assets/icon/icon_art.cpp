// The game's icon: the title's slanted yellow V on the dark plate of the menus, with the
// chequered band of the title's subtitle under it where there is room for one. Drawn as
// plain shapes on the pixel grid rather than as a letter, so it stays crisp at 16 pixels.
#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "../menu/menu_art.h"
#include "content.h"

namespace vrumbal::content {
namespace {

using namespace palette;

// The V in units of the icon's side, upright; it is drawn slanted like the title.
constexpr double kV[][2] = {{0.14, 0.18}, {0.38, 0.18}, {0.50, 0.56}, {0.64, 0.18},
                            {0.88, 0.18}, {0.61, 0.82}, {0.41, 0.82}};
// How far the top of the V leans right for each pixel of height.
constexpr double kSlant = 0.16;

void Plate(cairo_t* cr, double s) {
    const double rim = std::max(1.0, std::round(s / 32));
    RoundedRectPath(cr, 0, 0, s, s, s * 0.18);
    SetColor(cr, kRim);
    cairo_fill(cr);
    RoundedRectPath(cr, rim, rim, s - 2 * rim, s - 2 * rim, s * 0.18 - rim);
    FillVertical(cr, rim, s - rim, kPlateTop, kPanelTop, kPanelBottom, 0.35);
    cairo_new_path(cr);
}

void Band(cairo_t* cr, double s) {
    // Two rows of squares, whole pixels each, across the foot of the plate.
    const int cell = static_cast<int>(std::floor(s / 16));
    const int columns = static_cast<int>(std::floor(s * 0.7 / cell));
    const double left = std::round((s - columns * cell) / 2);
    const double top = std::round(s * 0.86 - cell);
    for (int col = 0; col < columns; ++col) {
        for (int row = 0; row < 2; ++row) {
            cairo_rectangle(cr, left + col * cell, top + row * cell, cell, cell);
            SetColor(cr, (row + col) % 2 == 0 ? kLightText : kInk);
            cairo_fill(cr);
        }
    }
}

void Mark(cairo_t* cr, double s, bool withBand) {
    // Without the band the V takes the whole height; with it, it moves up to make room.
    const double scale = withBand ? 0.84 : 1.0;
    const double lift = withBand ? -0.07 * s : 0;
    cairo_save(cr);
    cairo_translate(cr, s * (1 - scale) / 2, s * (1 - scale) / 2 + lift);
    cairo_scale(cr, scale, scale);
    // Leaning forward as the title does, about the middle of the plate.
    cairo_matrix_t slant;
    cairo_matrix_init(&slant, 1, 0, -kSlant, 1, kSlant * s / 2, 0);
    cairo_transform(cr, &slant);
    cairo_move_to(cr, kV[0][0] * s, kV[0][1] * s);
    for (const auto& p : kV) cairo_line_to(cr, p[0] * s, p[1] * s);
    cairo_close_path(cr);
    cairo_restore(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, std::max(1.0, s / 20));
    SetColor(cr, kInk);
    cairo_stroke_preserve(cr);
    FillVertical(cr, s * 0.15, s * 0.85, Hex(0xFFF7A8), kYellow, kOrange, 0.45);
    cairo_new_path(cr);
}

}  // namespace

void DrawIcon(Canvas& canvas) {
    cairo_t* cr = canvas.Cr();
    const double s = canvas.Width();
    Plate(cr, s);
    const bool band = s >= 48;
    Mark(cr, s, band);
    if (band) Band(cr, s);
}

}  // namespace vrumbal::content
