// Grass tiles and the scenery objects beside the road. Objects of several tiles are drawn
// whole on one canvas over the same repeating grass as the bare ground and then cut into
// tiles, so they sit seamlessly among the ground tiles around them.
#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "race_art.h"

namespace vrumbal::content::race {
namespace {

constexpr int kTile = 72;

void Shadow(cairo_t* cr, double x, double y, double r, double alpha = 0.32) {
    cairo_arc(cr, x, y, r, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 0.0, 0.08, 0.0, alpha);
    cairo_fill(cr);
}

// A tree crown from above: lobes of foliage lit from the upper left.
void Tree(cairo_t* cr, double x, double y, double r, std::uint32_t seed) {
    Shadow(cr, x + r * 0.22, y + r * 0.22, r * 0.98);
    const int lobes = 7;
    for (int pass = 0; pass < 3; ++pass) {
        const Rgb colour = pass == 0 ? Hex(0x245E22) : (pass == 1 ? Hex(0x357F2C) : Hex(0x58A83E));
        const double shrink = pass == 0 ? 1.0 : (pass == 1 ? 0.78 : 0.42);
        const double shift = pass == 0 ? 0 : (pass == 1 ? -0.08 : -0.25);
        for (int n = 0; n < lobes; ++n) {
            const double a = n * 2 * kPi / lobes + Hash01(n, pass, seed);
            const double d = r * 0.45 * shrink;
            const double lr = r * (0.5 + 0.12 * Hash01(n, 7, seed)) * shrink;
            cairo_arc(cr, x + r * shift + d * std::cos(a), y + r * shift + d * std::sin(a), lr, 0,
                      2 * kPi);
            SetColour(cr, colour, pass == 2 ? 0.7 : 1.0);
            cairo_fill(cr);
        }
    }
}

// A round hay bale from above: a golden disc with its wound spiral.
void HayBale(cairo_t* cr, double x, double y, double r) {
    Shadow(cr, x + 3, y + 3, r);
    cairo_arc(cr, x, y, r, 0, 2 * kPi);
    SetColour(cr, Hex(0xD8B24A));
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.2);
    SetColour(cr, Hex(0xA88428));
    for (double k = 0.3; k < 1.0; k += 0.22) {
        cairo_arc(cr, x + 0.5, y + 0.5, r * k, 0, 2 * kPi);
        cairo_stroke(cr);
    }
    cairo_arc(cr, x - r * 0.3, y - r * 0.3, r * 0.35, 0, 2 * kPi);
    SetColour(cr, Hex(0xF2D878), 0.6);
    cairo_fill(cr);
}

Canvas& GrassCanvas(Canvas& canvas) {
    PaintPixels(canvas, [](int x, int y) { return GrassAt(x + 0.5, y + 0.5); });
    return canvas;
}

Picture GrassVariant(int variant) {
    Canvas canvas(kTile, kTile);
    GrassCanvas(canvas);
    cairo_t* cr = canvas.Cr();
    const std::uint32_t seed = 60 + variant;
    if (variant == 0) {
        // Darker clover patches and tufts.
        for (int n = 0; n < 5; ++n) {
            const double x = 12 + 48 * Hash01(n, 0, seed);
            const double y = 12 + 48 * Hash01(n, 1, seed);
            cairo_arc(cr, x, y, 5 + 4 * Hash01(n, 2, seed), 0, 2 * kPi);
            SetColour(cr, Hex(0x3F8030), 0.55);
            cairo_fill(cr);
        }
    } else if (variant == 1) {
        // Wild flowers.
        for (int n = 0; n < 12; ++n) {
            const double x = 8 + 56 * Hash01(n, 0, seed);
            const double y = 8 + 56 * Hash01(n, 1, seed);
            const Rgb petal = n % 2 ? Hex(0xFFF6E0) : Hex(0xFFD83A);
            cairo_arc(cr, x, y, 2.2, 0, 2 * kPi);
            SetColour(cr, petal);
            cairo_fill(cr);
            cairo_arc(cr, x, y, 0.9, 0, 2 * kPi);
            SetColour(cr, Hex(0xD08A20));
            cairo_fill(cr);
        }
    } else {
        // A clump of tall grass and two pebbles.
        cairo_set_line_width(cr, 1.4);
        for (int n = 0; n < 14; ++n) {
            const double a = -kPi / 2 + (Hash01(n, 0, seed) - 0.5) * 2.2;
            const double len = 9 + 7 * Hash01(n, 1, seed);
            cairo_move_to(cr, 34, 42);
            cairo_line_to(cr, 34 + len * std::cos(a), 42 + len * std::sin(a));
            SetColour(cr, n % 2 ? Hex(0x3A7428) : Hex(0x7CBC48));
            cairo_stroke(cr);
        }
        for (int n = 0; n < 2; ++n) {
            const double x = 16 + 40 * n, y = 18 + 36 * n;
            cairo_arc(cr, x + 1.5, y + 1.5, 3.5, 0, 2 * kPi);
            cairo_set_source_rgba(cr, 0, 0.08, 0, 0.3);
            cairo_fill(cr);
            cairo_arc(cr, x, y, 3.5, 0, 2 * kPi);
            SetColour(cr, Hex(0xA8A69E));
            cairo_fill(cr);
        }
    }
    return canvas.ToOpaque(0);
}

// Two trees and a pair of hay bales on an L of three tiles (the fourth cell stays ground).
Picture Copse() {
    Canvas canvas(2 * kTile, 2 * kTile);
    GrassCanvas(canvas);
    cairo_t* cr = canvas.Cr();
    cairo_save(cr);
    // Nothing may reach the upper right cell or the outer edges.
    cairo_move_to(cr, 4, 4);
    cairo_line_to(cr, 68, 4);
    cairo_line_to(cr, 68, 76);
    cairo_line_to(cr, 140, 76);
    cairo_line_to(cr, 140, 140);
    cairo_line_to(cr, 4, 140);
    cairo_close_path(cr);
    cairo_clip(cr);
    HayBale(cr, 100, 104, 13);
    HayBale(cr, 121, 122, 12);
    Tree(cr, 36, 98, 30, 71);
    Tree(cr, 34, 38, 25, 72);
    cairo_restore(cr);
    return canvas.ToOpaque(0);
}

// A farmhouse with a red gabled roof in its yard (2 x 2 tiles).
void Farmhouse(cairo_t* cr, double ox, double oy) {
    // Yard.
    RoundedRect(cr, ox + 10, oy + 14, 124, 116, 14);
    SetColour(cr, Hex(0xB89C6C), 0.9);
    cairo_fill(cr);
    // Shadow of the house.
    cairo_rectangle(cr, ox + 30, oy + 38, 94, 72);
    cairo_set_source_rgba(cr, 0, 0.05, 0, 0.35);
    cairo_fill(cr);
    // Roof: two planes meeting at a ridge, the upper lit by the sun.
    const double x0 = ox + 22, y0 = oy + 28, w = 94, h = 72;
    cairo_rectangle(cr, x0, y0, w, h / 2);
    SetColour(cr, Hex(0xD0502C));
    cairo_fill(cr);
    cairo_rectangle(cr, x0, y0 + h / 2, w, h / 2);
    SetColour(cr, Hex(0x9C3420));
    cairo_fill(cr);
    cairo_set_line_width(cr, 1);
    for (double x = x0 + 6; x < x0 + w; x += 6) {
        cairo_move_to(cr, x, y0);
        cairo_line_to(cr, x, y0 + h);
    }
    cairo_set_source_rgba(cr, 0, 0, 0, 0.18);
    cairo_stroke(cr);
    cairo_rectangle(cr, x0, y0 + h / 2 - 2, w, 4);
    SetColour(cr, Hex(0x6E2416));
    cairo_fill(cr);
    cairo_rectangle(cr, x0, y0, w, h);
    cairo_set_line_width(cr, 2);
    SetColour(cr, Hex(0x5A1C10));
    cairo_stroke(cr);
    // Chimney.
    cairo_rectangle(cr, x0 + 66, y0 + 10, 10, 10);
    SetColour(cr, Hex(0x8A8276));
    cairo_fill(cr);
    cairo_rectangle(cr, x0 + 68, y0 + 12, 6, 6);
    SetColour(cr, Hex(0x2A2622));
    cairo_fill(cr);
    // A cart and a bale in the yard.
    HayBale(cr, ox + 122, oy + 112, 8);
    RoundedRect(cr, ox + 24, oy + 106, 26, 14, 2);
    SetColour(cr, Hex(0x7A5230));
    cairo_fill(cr);
    cairo_rectangle(cr, ox + 27, oy + 109, 20, 8);
    SetColour(cr, Hex(0xE0B850));
    cairo_fill(cr);
}

Picture FarmhouseTiles() {
    Canvas canvas(2 * kTile, 2 * kTile);
    GrassCanvas(canvas);
    Farmhouse(canvas.Cr(), 0, 0);
    return canvas.ToOpaque(0);
}

// A wheat field with a wooden fence along the given outer edges.
Picture FieldTile(bool top, bool left, bool bottom, bool right) {
    Canvas canvas(kTile, kTile);
    PaintPixels(canvas, [](int x, int y) {
        const double n = TileNoise(x + 0.5, y + 0.5, 12, 81);
        Rgb c = Mix(Hex(0xD9B550), Hex(0xE8CC6C), n);
        const int row = y % 8;
        if (row == 0 || row == 1) c = Mix(c, Hex(0xA88A34), 0.6);
        if (Hash01(x, y, 82) > 0.93) c = Mix(c, Hex(0xF8E8A0), 0.6);
        return c;
    });
    cairo_t* cr = canvas.Cr();
    auto fence = [&](double x0, double y0, double x1, double y1) {
        cairo_set_line_width(cr, 2);
        cairo_move_to(cr, x0 + 2, y0 + 2);
        cairo_line_to(cr, x1 + 2, y1 + 2);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
        cairo_stroke(cr);
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        SetColour(cr, Hex(0x8A5E34));
        cairo_stroke(cr);
        const double len = std::hypot(x1 - x0, y1 - y0);
        for (double t = 9; t < len; t += 18) {
            const double px = x0 + (x1 - x0) * t / len;
            const double py = y0 + (y1 - y0) * t / len;
            cairo_rectangle(cr, px - 2.5, py - 2.5, 5, 5);
            SetColour(cr, Hex(0x5E3C1E));
            cairo_fill(cr);
        }
    };
    if (top) fence(0, 4, 72, 4);
    if (left) fence(4, 0, 4, 72);
    if (bottom) fence(0, 68, 72, 68);
    if (right) fence(68, 0, 68, 72);
    return canvas.ToOpaque(0);
}

// A pond with a sandy shore, reeds, lily pads and a little jetty (3 x 3 tiles).
Picture PondTiles() {
    constexpr int kSize = 3 * kTile;
    Canvas canvas(kSize, kSize);
    auto radiusAt = [](double a) {
        return 78 + 9 * std::sin(3 * a + 0.6) + 5 * std::sin(5 * a + 2.1) + 3 * std::cos(7 * a);
    };
    PaintPixels(canvas, [&](int x, int y) {
        const double dx = x + 0.5 - 108, dy = y + 0.5 - 108;
        const double d = std::hypot(dx, dy);
        const double r = radiusAt(std::atan2(dy, dx));
        const Rgb grass = GrassAt(x + 0.5, y + 0.5);
        if (d > r + 7) return grass;
        if (d > r)
            return Mix(GravelAt(x + 0.5, y + 0.5), grass, std::clamp((d - r - 4) / 3, 0.0, 1.0));
        const double depth = std::clamp((r - d) / 50, 0.0, 1.0);
        Rgb water = Mix(Hex(0x5CB8D8), Hex(0x1E6AA0), depth);
        const double ripple = TileNoise(x + 0.5, y + 0.5, 8, 91);
        water = Mix(water, Hex(0xBFE8F4), ripple > 0.8 ? 0.35 : 0.0);
        if (r - d < 2) water = Mix(water, Hex(0xE8F6FA), 0.5);
        return water;
    });
    cairo_t* cr = canvas.Cr();
    // Lily pads.
    const double pads[][3] = {{70, 80, 6}, {80, 72, 4.5}, {140, 140, 6}, {132, 150, 4}};
    for (const auto& p : pads) {
        cairo_move_to(cr, p[0], p[1]);
        cairo_arc(cr, p[0], p[1], p[2], 0.3, 2 * kPi - 0.1);
        cairo_close_path(cr);
        SetColour(cr, Hex(0x3E9A3A));
        cairo_fill(cr);
    }
    cairo_arc(cr, 72, 79, 1.8, 0, 2 * kPi);
    SetColour(cr, Hex(0xFFB8D0));
    cairo_fill(cr);
    // Reeds along the shore.
    cairo_set_line_width(cr, 1.3);
    for (int n = 0; n < 40; ++n) {
        const double a = 2.2 + 1.4 * Hash01(n, 0, 92) + (n % 2 ? 2.9 : 0);
        const double r = radiusAt(a) - 4 + 6 * Hash01(n, 1, 92);
        const double x = 108 + r * std::cos(a), y = 108 + r * std::sin(a);
        const double tilt = (Hash01(n, 2, 92) - 0.5) * 1.2;
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + 6 * std::sin(tilt), y - 8 * std::cos(tilt));
        SetColour(cr, n % 3 ? Hex(0x5E8A2C) : Hex(0x8AB040));
        cairo_stroke(cr);
        if (n % 4 == 0) {
            cairo_arc(cr, x + 6 * std::sin(tilt), y - 8 * std::cos(tilt), 1.6, 0, 2 * kPi);
            SetColour(cr, Hex(0x6A4424));
            cairo_fill(cr);
        }
    }
    // A wooden jetty from the lower shore.
    cairo_rectangle(cr, 112 + 3, 150 + 3, 14, 48);
    cairo_set_source_rgba(cr, 0, 0.05, 0.1, 0.3);
    cairo_fill(cr);
    cairo_rectangle(cr, 112, 150, 14, 48);
    SetColour(cr, Hex(0xA8784A));
    cairo_fill(cr);
    cairo_set_line_width(cr, 1);
    for (double y = 154; y < 198; y += 5) {
        cairo_move_to(cr, 112, y);
        cairo_line_to(cr, 126, y);
    }
    SetColour(cr, Hex(0x6E4A28));
    cairo_stroke(cr);
    // A tree on the upper left shore.
    Tree(cr, 32, 34, 20, 93);
    return canvas.ToOpaque(0);
}

}  // namespace

void DrawSceneryTiles(std::vector<Picture>& tiles) {
    for (int v = 0; v < 3; ++v) tiles[49 + v] = GrassVariant(v);
    const Picture copse = Copse();
    tiles[52] = Crop(copse, 0, 0, kTile, kTile);
    tiles[53] = Crop(copse, 0, kTile, kTile, kTile);
    tiles[54] = Crop(copse, kTile, kTile, kTile, kTile);
    // The fenced field around the farmhouse: 55 along the top, 56 down the left, 57 along the
    // bottom, 58 the lower right corner, 59 down the right.
    tiles[55] = FieldTile(true, false, false, false);
    tiles[56] = FieldTile(false, true, false, false);
    tiles[57] = FieldTile(false, false, true, false);
    tiles[58] = FieldTile(false, false, true, true);
    tiles[59] = FieldTile(false, false, false, true);
    const Picture house = FarmhouseTiles();
    tiles[60] = Crop(house, 0, 0, kTile, kTile);
    tiles[61] = Crop(house, kTile, 0, kTile, kTile);
    tiles[63] = Crop(house, 0, kTile, kTile, kTile);
    tiles[64] = Crop(house, kTile, kTile, kTile, kTile);
    // 62 is never laid by the track; it shows plain ground.
    tiles[62] = tiles[0];
    const Picture pond = PondTiles();
    for (int n = 0; n < 9; ++n) {
        tiles[65 + n] = Crop(pond, (n % 3) * kTile, (n / 3) * kTile, kTile, kTile);
    }
}

}  // namespace vrumbal::content::race
