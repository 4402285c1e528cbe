// The road tiles. Straight pieces and the pieces of the shifting sections are cut from long
// stretches of road drawn whole, so the kerbs, the asphalt edges and the lines run on across
// every tile edge; the kerbs cover the contact quads of the solid tiles.
#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "race/quad.h"
#include "race_art.h"

namespace vrumbal::content::race {
namespace {

constexpr int kTile = 72;

// The road across, in pixels from the left edge of the left verge tile of a straight row. A
// shifting section slides all of it sideways by half a pixel per pixel of height.
//
// Each side of the road has a raised kerb on the verge and a flat painted apron beside it on
// the shoulder. The contact quads of a bend reach further into the shoulder than the straight
// kerb does, and one piece must meet both the widened shoulder and the next pair of section
// rows, so the kerb keeps one width across everything it runs through: the widened shoulder,
// every row of a section and the verge. Only where bare ground replaces the shoulder does the
// apron stop, on the tile edge. The outer edges are as far out as a section's rows reach: any
// further and the kerb would run into the ground beside a row's end.
constexpr double kLeftKerb0 = 36;     // the left kerb's outer edge
constexpr double kLeftKerb1 = 72;     // the left kerb's top ends, its apron begins
constexpr double kLeftApron1 = 98;    // the left apron's inner edge
constexpr double kRightApron0 = 478;  // the right apron's inner edge
constexpr double kRightKerb0 = 504;   // the right apron ends, its kerb's top begins
constexpr double kRightKerb1 = 540;   // the right kerb's outer edge
constexpr double kRoad0 = 144;
constexpr double kRoad1 = 432;
constexpr double kLeftLine0 = 157;
constexpr double kLeftLine1 = 162;
constexpr double kRightLine0 = 414;
constexpr double kRightLine1 = 419;
constexpr double kLeftKerbMiddle = (kLeftKerb0 + kLeftApron1) / 2;
constexpr double kRightKerbMiddle = (kRightApron0 + kRightKerb1) / 2;
// Length of one red or white block of the wall; a red block is centred on every tile edge.
constexpr double kStripe = 18;
// How far the blocks lean along a section's diagonal: little enough that the block centred on
// a section's first or last edge is red across the whole kerb, so it meets the straight
// block on the other side of that edge.
constexpr double kStripeLean = 0.22;
// The apron's height against the kerb's, for the shading.
constexpr double kApronHeight = 0.3;

const std::array<int, 8> kStraightRow = {1, 22, 10, 11, 11, 12, 23, 13};
const std::array<int, 8> kLeftUpper = {25, 26, 27, 11, 11, 28, 29, 30};
const std::array<int, 8> kLeftLower = {31, 32, 33, 11, 11, 34, 35, 36};
const std::array<int, 8> kRightUpper = {37, 38, 39, 11, 11, 40, 41, 42};
const std::array<int, 8> kRightLower = {43, 44, 45, 11, 11, 46, 47, 48};

// A stretch of road: rows of tile numbers (top row first) and how the road shifts.
struct Stretch {
    static constexpr int kColumns = 12;
    std::vector<std::array<int, kColumns>> rows;  // tile numbers, top row first
    int dir = 0;          // -1: the road moves left going up, 1: right, 0: straight
    int baseColumn = 1;   // column of the left verge in the bottom rows
    int sectionFrom = 0;  // rows from the bottom before the shift begins
    int sectionRows = 0;  // rows of the shift
};

void Place(std::array<int, Stretch::kColumns>& row, int column, const std::array<int, 8>& tiles) {
    for (int i = 0; i < 8; ++i) row[column + i] = tiles[i];
}

std::array<int, Stretch::kColumns> Row(int column, const std::array<int, 8>& tiles) {
    std::array<int, Stretch::kColumns> row{};
    Place(row, column, tiles);
    return row;
}

// True when a point of a tile and every point 3 pixels around it lie in the tile's contact
// quad. One bend piece's quad bulges a few pixels past the kerb's outer edge; the bulge is
// drawn as kerb so that nothing solid looks like grass.
bool DeepInQuad(int kind, double lx, double ly) {
    for (double dy = -3; dy <= 3; dy += 3) {
        for (double dx = -3; dx <= 3; dx += 3) {
            const double qx = lx + dx, qy = ly + dy;
            if (qx <= 0 || qx >= kTile || qy <= 0 || qy >= kTile) return false;
            if (!PointInQuad(ObstacleQuad(kind), QuadPoint{qx, qy})) return false;
        }
    }
    return true;
}

// The colour of a wall block at a distance tau along the wall.
Rgb WallPaint(double tau) {
    double p = std::fmod(tau + kStripe / 2, 2 * kStripe);
    if (p < 0) p += 2 * kStripe;
    return p < kStripe ? Hex(0xD42A24) : Hex(0xF2F0EA);
}

// The ground of a road cell at an across position (no wall).
Rgb RoadGround(int tile, double across, double lx, double ly) {
    if (tile == 0 || tile >= 49) return GrassAt(lx, ly);
    if (across < kLeftKerb1 || across >= kRightKerb0) return GrassAt(lx, ly);
    if (across < kRoad0 || across >= kRoad1) return GravelAt(lx, ly);
    Rgb c = AsphaltAt(lx, ly);
    // A worn dark seam where the asphalt meets the gravel.
    if (across < kRoad0 + 2 || across >= kRoad1 - 2) c = Scale(c, 0.72);
    const bool line = (across >= kLeftLine0 && across < kLeftLine1) ||
                      (across >= kRightLine0 && across < kRightLine1);
    if (line) c = Mix(Hex(0xF4CA1C), c, 0.15 * TileNoise(lx, ly, 6, 41));
    return c;
}

// Where a point of a stretch (h pixels high) lies across the road: the stretch's x less the
// sideways slide of the section below it.
double AcrossAt(const Stretch& s, int h, double px, double py) {
    const double along =
        std::clamp(h - py - s.sectionFrom * kTile, 0.0, 1.0 * s.sectionRows * kTile);
    return px - s.baseColumn * kTile - s.dir * along / 2;
}

// Draws a stretch: every pixel supersampled 3 x 3; walls shaded from a blurred height.
Picture DrawStretch(const Stretch& s) {
    const int w = Stretch::kColumns * kTile;
    const int h = static_cast<int>(s.rows.size()) * kTile;
    std::vector<double> cover(static_cast<std::size_t>(w) * h, 0);   // wall share of a pixel
    std::vector<double> raised(static_cast<std::size_t>(w) * h, 0);  // its height, 0..1
    std::vector<Rgb> ground(cover.size());
    std::vector<Rgb> paint(cover.size());
    constexpr int kSub = 3;
    for (int y = 0; y < h; ++y) {
        const auto& row = s.rows[y / kTile];
        for (int x = 0; x < w; ++x) {
            const int tile = row[x / kTile];
            const int kind = ObstacleKind(tile);
            // Whether the pixel's centre lies deep in a quad is asked of the whole pixel: the
            // bulge is thin, and a pixel of it half grass would not read as kerb.
            const double cx = x % kTile + 0.5, cy = y % kTile + 0.5;
            const double centreAcross = AcrossAt(s, h, x + 0.5, y + 0.5);
            const bool bulge = kind > 0 &&
                               ((centreAcross >= kLeftKerb0 - 8 && centreAcross < kLeftKerb0) ||
                                (centreAcross >= kRightKerb1 && centreAcross < kRightKerb1 + 8)) &&
                               DeepInQuad(kind, cx, cy);
            Rgb g{}, p{};
            int walls = 0;
            double height = 0;
            for (int j = 0; j < kSub; ++j) {
                for (int i = 0; i < kSub; ++i) {
                    const double px = x + (i + 0.5) / kSub;
                    const double py = y + (j + 0.5) / kSub;
                    const double lx = px - (x / kTile) * kTile;
                    const double ly = py - (y / kTile) * kTile;
                    const double u = h - py;
                    const bool onShift = s.dir != 0 && u > s.sectionFrom * kTile &&
                                         u < (s.sectionFrom + s.sectionRows) * kTile;
                    const double across = AcrossAt(s, h, px, py);
                    // Bare ground beside the road carries no kerb: there the apron stops.
                    const bool kerb =
                        bulge || (tile != 0 && ((across >= kLeftKerb0 && across < kLeftKerb1) ||
                                                (across >= kRightKerb0 && across < kRightKerb1)));
                    const bool apron =
                        tile != 0 && ((across >= kLeftKerb1 && across < kLeftApron1) ||
                                      (across >= kRightApron0 && across < kRightKerb0));
                    if (kerb || apron) {
                        const double middle = across < 288 ? kLeftKerbMiddle : kRightKerbMiddle;
                        const double tau =
                            onShift ? u + kStripeLean * s.dir * (across - middle) : u;
                        const Rgb c = WallPaint(tau);
                        p = {p.r + c.r, p.g + c.g, p.b + c.b};
                        ++walls;
                        height += kerb ? 1.0 : kApronHeight;
                    } else {
                        const Rgb c = RoadGround(tile, across, lx, ly);
                        g = {g.r + c.r, g.g + c.g, g.b + c.b};
                    }
                }
            }
            const std::size_t k = static_cast<std::size_t>(y) * w + x;
            const int grounds = kSub * kSub - walls;
            cover[k] = walls / double(kSub * kSub);
            raised[k] = height / (kSub * kSub);
            if (walls > 0) paint[k] = Scale(p, 1.0 / walls);
            if (grounds > 0) ground[k] = Scale(g, 1.0 / grounds);
        }
    }
    // A rounded height for the walls: the coverage blurred twice.
    auto blur = [&](const std::vector<double>& in) {
        std::vector<double> tmp(in.size()), out(in.size());
        constexpr int r = 2;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                double sum = 0;
                for (int d = -r; d <= r; ++d)
                    sum += in[static_cast<std::size_t>(y) * w + std::clamp(x + d, 0, w - 1)];
                tmp[static_cast<std::size_t>(y) * w + x] = sum / (2 * r + 1);
            }
        }
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                double sum = 0;
                for (int d = -r; d <= r; ++d)
                    sum += tmp[static_cast<std::size_t>(std::clamp(y + d, 0, h - 1)) * w + x];
                out[static_cast<std::size_t>(y) * w + x] = sum / (2 * r + 1);
            }
        }
        return out;
    };
    const std::vector<double> height = blur(blur(raised));
    Picture out;
    out.width = w;
    out.height = h;
    out.pixels.resize(cover.size());
    auto heightAt = [&](int x, int y) {
        return height[static_cast<std::size_t>(std::clamp(y, 0, h - 1)) * w +
                      std::clamp(x, 0, w - 1)];
    };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::size_t k = static_cast<std::size_t>(y) * w + x;
            Rgb c = ground[k];
            if (cover[k] > 0) {
                // Sunlight from the upper left: slopes facing it are lighter.
                const double slope = heightAt(x - 1, y - 1) - heightAt(x + 1, y + 1);
                const double top = heightAt(x, y);
                double f = 0.9 + 0.12 * top - 1.3 * slope;
                f = std::clamp(f, 0.8, 1.08);
                c = Mix(ground[k], Scale(paint[k], f), cover[k]);
            }
            // The walls cast a short shadow down and to the right, inside their own tiles.
            const double shade = heightAt(x - 3, y - 3) - heightAt(x, y);
            if (cover[k] < 1 && shade > 0)
                c = Scale(c, 1 - 0.35 * std::min(shade, 1.0) * (1 - cover[k]));
            out.pixels[k] = Pack(c);
        }
    }
    return out;
}

Picture CutTile(const Picture& stretch, int column, int row) {
    return Crop(stretch, column * kTile, row * kTile, kTile, kTile);
}

// The start and finish line: a chequered band across the asphalt.
Picture StartLineTile() {
    Canvas canvas(kTile, kTile);
    PaintPixels(canvas, [](int x, int y) {
        const double lx = x + 0.5;
        const double ly = y + 0.5;
        Rgb c = AsphaltAt(lx, ly);
        if (y >= 12 && y < 60) {
            const bool dark = ((x / 12) + (y - 12) / 12) % 2 == 0;
            c = dark ? Mix(Hex(0x1C1D21), c, 0.1) : Mix(Hex(0xF4F4F0), c, 0.08);
        } else if ((y >= 6 && y < 9) || (y >= 63 && y < 66)) {
            c = Mix(Hex(0xF4F4F0), c, 0.2);
        }
        return c;
    });
    return canvas.ToOpaque(0);
}

// Roadside things drawn on the ground beside a verge wall; centre x of the free ground.
void DrawVergeThing(cairo_t* cr, int variant, double cx) {
    auto shadow = [&](double x, double y, double r) {
        cairo_arc(cr, x + 3, y + 3, r, 0, 2 * kPi);
        cairo_set_source_rgba(cr, 0, 0.05, 0, 0.3);
        cairo_fill(cr);
    };
    switch (variant) {
        case 0: {  // a round bush
            shadow(cx, 36, 13);
            const double pts[][3] = {{-5, -4, 9}, {5, -2, 9}, {0, 6, 9}, {-1, 0, 8}};
            for (const auto& p : pts) {
                cairo_arc(cr, cx + p[0], 36 + p[1], p[2], 0, 2 * kPi);
                SetColour(cr, Hex(0x2F6E26));
                cairo_fill(cr);
            }
            for (const auto& p : pts) {
                cairo_arc(cr, cx + p[0] - 2, 36 + p[1] - 2, p[2] * 0.55, 0, 2 * kPi);
                SetColour(cr, Hex(0x4A9838), 0.8);
                cairo_fill(cr);
            }
            break;
        }
        case 1: {  // an advertising board standing on two legs
            cairo_rectangle(cr, cx - 5 + 3, 10 + 3, 10, 52);
            cairo_set_source_rgba(cr, 0, 0.05, 0, 0.3);
            cairo_fill(cr);
            cairo_rectangle(cr, cx - 5, 10, 10, 52);
            SetColour(cr, Hex(0x1E5FB4));
            cairo_fill(cr);
            cairo_rectangle(cr, cx - 3, 14, 6, 44);
            SetColour(cr, Hex(0xFFDE00));
            cairo_fill(cr);
            break;
        }
        case 2: {  // a lamp post seen from above
            shadow(cx, 36, 5);
            cairo_set_line_width(cr, 3);
            SetColour(cr, Hex(0x50545C));
            cairo_move_to(cr, cx, 36);
            cairo_line_to(cr, cx + 12, 36);
            cairo_stroke(cr);
            cairo_arc(cr, cx, 36, 5, 0, 2 * kPi);
            SetColour(cr, Hex(0x6C717A));
            cairo_fill(cr);
            RoundedRect(cr, cx + 10, 32, 8, 8, 2);
            SetColour(cr, Hex(0xFFF4C0));
            cairo_fill(cr);
            break;
        }
        case 3: {  // a stack of old tyres
            const double pts[][2] = {{-6, 26}, {6, 30}, {-2, 42}};
            for (const auto& p : pts) shadow(cx + p[0], p[1], 8);
            for (const auto& p : pts) {
                cairo_arc(cr, cx + p[0], p[1], 8, 0, 2 * kPi);
                SetColour(cr, Hex(0x26272B));
                cairo_fill(cr);
                cairo_arc(cr, cx + p[0], p[1], 4, 0, 2 * kPi);
                SetColour(cr, Hex(0x0E0F11));
                cairo_fill(cr);
                cairo_arc(cr, cx + p[0], p[1], 6.5, kPi, 1.5 * kPi);
                SetColour(cr, Hex(0x5A5C62));
                cairo_set_line_width(cr, 1.2);
                cairo_stroke(cr);
            }
            break;
        }
        case 4: {  // flowers
            for (int n = 0; n < 9; ++n) {
                const double fx = cx - 10 + 20 * Hash01(n, 1, 51);
                const double fy = 10 + 52 * Hash01(n, 2, 51);
                const Rgb petal =
                    n % 3 == 0 ? Hex(0xFFE14A) : (n % 3 == 1 ? Hex(0xFFFFFF) : Hex(0xFF7A3C));
                for (int k = 0; k < 5; ++k) {
                    const double a = k * 2 * kPi / 5;
                    cairo_arc(cr, fx + 2.2 * std::cos(a), fy + 2.2 * std::sin(a), 1.6, 0, 2 * kPi);
                    SetColour(cr, petal);
                    cairo_fill(cr);
                }
                cairo_arc(cr, fx, fy, 1.2, 0, 2 * kPi);
                SetColour(cr, Hex(0xC8781E));
                cairo_fill(cr);
            }
            break;
        }
        case 5: {  // traffic cones
            for (int n = 0; n < 2; ++n) {
                const double y = 22 + 28 * n;
                shadow(cx, y, 6);
                cairo_arc(cr, cx, y, 6, 0, 2 * kPi);
                SetColour(cr, Hex(0xFF6A10));
                cairo_fill(cr);
                cairo_arc(cr, cx, y, 3.5, 0, 2 * kPi);
                SetColour(cr, Hex(0xFFFFFF));
                cairo_fill(cr);
                cairo_arc(cr, cx, y, 1.8, 0, 2 * kPi);
                SetColour(cr, Hex(0xFF6A10));
                cairo_fill(cr);
            }
            break;
        }
        case 6: {  // rocks
            const double pts[][3] = {{-4, 24, 7}, {5, 34, 6}, {-2, 46, 8}};
            for (const auto& p : pts) shadow(cx + p[0], p[1], p[2]);
            for (const auto& p : pts) {
                cairo_save(cr);
                cairo_translate(cr, cx + p[0], p[1]);
                cairo_scale(cr, 1.0, 0.8);
                cairo_arc(cr, 0, 0, p[2], 0, 2 * kPi);
                cairo_restore(cr);
                SetColour(cr, Hex(0x8C8A84));
                cairo_fill(cr);
                cairo_arc(cr, cx + p[0] - 2, p[1] - 2, p[2] * 0.5, 0, 2 * kPi);
                SetColour(cr, Hex(0xB4B2AA));
                cairo_fill(cr);
            }
            break;
        }
        default: {  // a marshal's post: a flag on a pole and a little hut roof
            shadow(cx, 36, 10);
            RoundedRect(cr, cx - 9, 27, 18, 18, 2);
            SetColour(cr, Hex(0xE8E4D8));
            cairo_fill(cr);
            cairo_move_to(cr, cx - 9, 27);
            cairo_line_to(cr, cx + 9, 45);
            cairo_set_source_rgba(cr, 0, 0, 0, 0.15);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
            cairo_rectangle(cr, cx - 4, 12, 10, 7);
            SetColour(cr, Hex(0xFFD21E));
            cairo_fill(cr);
            cairo_arc(cr, cx - 4, 15.5, 1.5, 0, 2 * kPi);
            SetColour(cr, Hex(0x3A3A3A));
            cairo_fill(cr);
            break;
        }
    }
}

Picture DecoratedVerge(const Picture& base, int variant, double cx) {
    Canvas canvas(kTile, kTile);
    PaintPixels(canvas, [&](int x, int y) { return Hex(base.At(x, y)); });
    cairo_t* cr = canvas.Cr();
    // Keep everything off the wall and off the tile's edges.
    cairo_save(cr);
    cairo_rectangle(cr, cx - 17, 2, 34, 68);
    cairo_clip(cr);
    DrawVergeThing(cr, variant, cx);
    cairo_restore(cr);
    return canvas.ToOpaque(0);
}

}  // namespace

std::vector<Picture> RoadTiles() {
    std::vector<Picture> tiles(74);

    Stretch straight;
    straight.baseColumn = 1;
    for (int n = 0; n < 3; ++n) straight.rows.push_back(Row(1, kStraightRow));
    const Picture flat = DrawStretch(straight);
    for (int i = 0; i < 8; ++i) tiles[kStraightRow[i]] = CutTile(flat, 1 + i, 1);

    // Left shift, top to bottom: straight, upper, lower, upper, lower, straight; each lower row
    // stands one column right of the upper row above it.
    Stretch left;
    left.dir = -1;
    left.baseColumn = 3;
    left.sectionFrom = 1;
    left.sectionRows = 4;
    left.rows = {Row(1, kStraightRow), Row(1, kLeftUpper), Row(2, kLeftLower),
                 Row(2, kLeftUpper),   Row(3, kLeftLower), Row(3, kStraightRow)};
    const Picture leftPicture = DrawStretch(left);
    for (int i = 0; i < 8; ++i) {
        if (kLeftUpper[i] != 11) tiles[kLeftUpper[i]] = CutTile(leftPicture, 2 + i, 3);
        if (kLeftLower[i] != 11) tiles[kLeftLower[i]] = CutTile(leftPicture, 2 + i, 2);
    }

    // Right shift: each upper row stands one column right of the lower row below it.
    Stretch right;
    right.dir = 1;
    right.baseColumn = 1;
    right.sectionFrom = 1;
    right.sectionRows = 4;
    right.rows = {Row(3, kStraightRow), Row(3, kRightUpper), Row(2, kRightLower),
                  Row(2, kRightUpper),  Row(1, kRightLower), Row(1, kStraightRow)};
    const Picture rightPicture = DrawStretch(right);
    for (int i = 0; i < 8; ++i) {
        if (kRightUpper[i] != 11) tiles[kRightUpper[i]] = CutTile(rightPicture, 2 + i, 3);
        if (kRightLower[i] != 11) tiles[kRightLower[i]] = CutTile(rightPicture, 2 + i, 2);
    }

    {
        Canvas grass(kTile, kTile);
        PaintPixels(grass, [](int x, int y) { return GrassAt(x + 0.5, y + 0.5); });
        tiles[0] = grass.ToOpaque(0);
    }
    for (int v = 0; v < 8; ++v) {
        tiles[2 + v] = DecoratedVerge(tiles[1], v, kLeftKerb0 / 2);
        tiles[14 + v] =
            DecoratedVerge(tiles[13], (v + 3) % 8, (kRightKerb1 - kRightKerb0 + kTile) / 2);
    }
    tiles[24] = StartLineTile();
    DrawSceneryTiles(tiles);
    return tiles;
}

}  // namespace vrumbal::content::race
