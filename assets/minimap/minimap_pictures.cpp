// Image list 3: the race minimap. Road marks, one per map row, drawn 10 pixels per map column
// and 15 per map row; the rival dot, the player's marker, and the two pieces of the right HUD
// panel that cover the map's window above and below so that scrolled marks never show outside
// it.
#include <cmath>
#include <functional>
#include <string>

#include "../menu/menu_art.h"
#include "content.h"
#include "game/content_ids.h"

namespace vrumbal::content {

namespace {

using namespace palette;

// Width and height of one map cell on the minimap.
constexpr int kCellWidth = 10;
constexpr int kCellHeight = 15;
// Diagonal road sections slide sideways by this many pixels per pixel of height.
constexpr double kSlope = 0.36208;
// Half the width of the road ribbon.
constexpr double kRibbonHalf = 3.5;
// The minimap window's background, which the marks are drawn on.
constexpr std::uint32_t kWindowColor = 0x1A1F25;
// The gunmetal of the HUD panels.
constexpr Rgb kHudMetal = Hex(0x2E333A);
constexpr Rgb kHudLight = Hex(0x5B646F);
constexpr Rgb kHudDark = Hex(0x0D0F12);

// The ribbon's centre at height y of a row, relative to the left edge of the row's first lane
// cell. The centres are chosen so that the mark of the reference row passes under the player's
// marker (centred on x 717) wherever the road has scrolled to.
using RibbonCentre = std::function<double(double)>;

// Draws one map row's ribbon across three cells (the lane cell and one either side) and
// returns the cell at column offset -1, 0 or 1.
Picture RibbonCell(const RibbonCentre& centre, int cell, bool chequered) {
    Canvas canvas(3 * kCellWidth, kCellHeight);
    cairo_t* cr = canvas.Cr();
    // The ribbon overshoots the row by a pixel so that rows meet without a seam.
    auto ribbon = [&](double inset) {
        const double top = -1, bottom = kCellHeight + 1;
        cairo_move_to(cr, kCellWidth + centre(top) - kRibbonHalf + inset, top);
        cairo_line_to(cr, kCellWidth + centre(top) + kRibbonHalf - inset, top);
        cairo_line_to(cr, kCellWidth + centre(bottom) + kRibbonHalf - inset, bottom);
        cairo_line_to(cr, kCellWidth + centre(bottom) - kRibbonHalf + inset, bottom);
        cairo_close_path(cr);
    };
    ribbon(0);
    SetColor(cr, Hex(0xEEF1F4));
    cairo_fill(cr);
    ribbon(1.2);
    if (chequered) {
        cairo_save(cr);
        cairo_clip(cr);
        for (int y = 0; y < kCellHeight; y += 2) {
            for (int x = 0; x < 3 * kCellWidth; x += 2) {
                cairo_rectangle(cr, x, y, 2, 2);
                SetColor(cr, (x + y) / 2 % 2 == 0 ? Hex(0xF4F4F0) : Hex(0x15171B));
                cairo_fill(cr);
            }
        }
        cairo_restore(cr);
    } else {
        SetColor(cr, Hex(0x98A0A9));
        cairo_fill(cr);
    }
    const Picture row = canvas.ToKeyed(kWindowColor);
    Picture piece;
    piece.width = kCellWidth;
    piece.height = kCellHeight;
    for (int y = 0; y < kCellHeight; ++y) {
        for (int x = 0; x < kCellWidth; ++x) {
            piece.pixels.push_back(row.At((cell + 1) * kCellWidth + x, y));
        }
    }
    return piece;
}

// The rival's dot: the game puts its picture 5 pixels left of the mark's cell, so the dot sits
// in the middle of an 18-pixel picture.
Picture RivalDot() {
    Canvas canvas(18, 8);
    cairo_t* cr = canvas.Cr();
    cairo_arc(cr, 9, 4, 3.8, 0, 2 * M_PI);
    SetColor(cr, kRim);
    cairo_fill(cr);
    cairo_arc(cr, 9, 4, 2.8, 0, 2 * M_PI);
    SetColor(cr, Hex(0xFF5A3C));
    cairo_fill(cr);
    cairo_arc(cr, 8.2, 3.2, 1, 0, 2 * M_PI);
    SetColor(cr, Hex(0xFFD2C4));
    cairo_fill(cr);
    return canvas.ToKeyed(kWindowColor);
}

// The player's marker, centred on (717, 125) of the screen: a yellow arrowhead pointing the
// way the road runs, in a mint ring.
Picture PlayerMarker() {
    Canvas canvas(18, 18);
    cairo_t* cr = canvas.Cr();
    cairo_arc(cr, 9, 9, 8, 0, 2 * M_PI);
    SetColor(cr, kMint, 0.9);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    cairo_move_to(cr, 9, 2.5);
    cairo_line_to(cr, 14, 14);
    cairo_line_to(cr, 9, 11.5);
    cairo_line_to(cr, 4, 14);
    cairo_close_path(cr);
    SetColor(cr, kInk);
    cairo_set_line_width(cr, 2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    FillVertical(cr, 2, 14, Hex(0xFFF59A), kYellow, kOrange);
    cairo_new_path(cr);
    return canvas.ToKeyed(kWindowColor);
}

// The gunmetal plate of the right HUD panel, with its outer bevels on the left and right.
void HudPlate(cairo_t* cr, int width, int height) {
    cairo_rectangle(cr, 0, 0, width, height);
    SetColor(cr, kHudMetal);
    cairo_fill(cr);
    PaintGrain(cr, 0, 0, width, height, 0.03, 9);
    cairo_rectangle(cr, 0, 0, 1, height);
    cairo_rectangle(cr, width - 1, 0, 1, height);
    SetColor(cr, kHudDark);
    cairo_fill(cr);
    cairo_rectangle(cr, 1, 0, 1, height);
    SetColor(cr, kHudLight);
    cairo_fill(cr);
    cairo_rectangle(cr, width - 2, 0, 1, height);
    SetColor(cr, Hex(0x1B1F24));
    cairo_fill(cr);
}

// The head of the right panel, drawn whole and cut in two: the top of the plate with the
// sunken strip the level text is drawn in (centred on 714, 20), the map's window, and under it
// the framed place value (drawn from x 635, centred on y 185) with its caption. The window is
// left transparent; everything else covers map marks that scroll past the window's edges.
constexpr int kHeadWidth = 174;
constexpr int kHeadHeight = 219;  // down to where the plate goes on without marks
constexpr int kCut = 195;         // the lower piece stands at (626, 195)
constexpr int kWindowLeft = 6;    // the map's window, in panel pixels
constexpr int kWindowRight = 168;
constexpr int kWindowTop = 46;
constexpr int kWindowBottom = 166;

Picture PanelHeadRows(const Catalogue& t, int top, int bottom, bool keyed) {
    Canvas canvas(kHeadWidth, kHeadHeight);
    cairo_t* cr = canvas.Cr();
    HudPlate(cr, kHeadWidth, kHeadHeight);
    cairo_rectangle(cr, 0, 0, kHeadWidth, 1);
    SetColor(cr, kHudLight);
    cairo_fill(cr);
    // Wide enough for the longest level text, "УРОВЕНЬ 10 / 10" (about 161 px).
    DrawRecess(cr, 2, 6, kHeadWidth - 4, 29, 5, Hex(0x14181D));
    RoundedRectPath(cr, 4.5, 8.5, kHeadWidth - 9, 24, 4);
    SetColor(cr, kMint, 0.18);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    // The window's upper rim: a shaded lip the map disappears under.
    const double span = kWindowRight - kWindowLeft;
    cairo_rectangle(cr, kWindowLeft, kWindowTop - 5, span, 3);
    SetColor(cr, kHudDark);
    cairo_fill(cr);
    cairo_rectangle(cr, kWindowLeft, kWindowTop - 2, span, 2);
    SetColor(cr, Hex(0x000000));
    cairo_fill(cr);
    cairo_rectangle(cr, kWindowLeft, kWindowTop - 6, span, 1);
    SetColor(cr, kHudLight, 0.6);
    cairo_fill(cr);
    // Its lower lip catching the light.
    cairo_rectangle(cr, kWindowLeft, kWindowBottom, span, 2);
    SetColor(cr, kHudDark);
    cairo_fill(cr);
    cairo_rectangle(cr, kWindowLeft, kWindowBottom + 2, span, 1);
    SetColor(cr, kHudLight, 0.9);
    cairo_fill(cr);
    // The place: a sunken frame round the value ("6/6" is about 26 px wide), the caption
    // beside it.
    DrawRecess(cr, 3, 173, 58, 25, 5, Hex(0x14181D));
    RoundedRectPath(cr, 5.5, 175.5, 54, 20, 4);
    SetColor(cr, kMint, 0.18);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    CaptionCentred(cr, t.Translate(N_("МЕСТО")), 112, 185, true, 13, kYellow);
    // Small yellow ticks under the plate's corners, where the panel goes on.
    cairo_rectangle(cr, 8, 206, 18, 2);
    cairo_rectangle(cr, kHeadWidth - 26, 206, 18, 2);
    SetColor(cr, kYellow, 0.85);
    cairo_fill(cr);
    // The window itself shows the map drawn under the piece.
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_rectangle(cr, kWindowLeft, kWindowTop, span, kWindowBottom - kWindowTop);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    const Picture whole = keyed ? canvas.ToKeyed(kWindowColor) : canvas.ToOpaque(0);
    Picture rows;
    rows.width = kHeadWidth;
    rows.height = bottom - top;
    rows.pixels.assign(whole.pixels.begin() + static_cast<std::ptrdiff_t>(top) * kHeadWidth,
                       whole.pixels.begin() + static_cast<std::ptrdiff_t>(bottom) * kHeadWidth);
    return rows;
}

// The piece at (626, 0), keyed where the window is.
Picture PanelTop(const Catalogue& t) {
    return PanelHeadRows(t, 0, kCut, true);
}

// The piece at (626, 195): the plate under the place, opaque.
Picture PanelBottom(const Catalogue& t) {
    return PanelHeadRows(t, kCut, kHeadHeight, false);
}

PictureItemData Mark(const std::string& name, const RibbonCentre& centre, int cell,
                     bool chequered = false) {
    return MakePictureItem(name, RibbonCell(centre, cell, chequered));
}

}  // namespace

PictureLibraryData BuildMinimapPictures(const Catalogue& t) {
    // Ribbon centres of the five kinds of map row, relative to the row's first lane cell. A
    // row of a right-shifting section shows its lane either at the left neighbour 45 or 39
    // (alternating rows), a left-shifting one at 33 or 27.
    const RibbonCentre straight = [](double) { return 4.0; };
    const RibbonCentre right45 = [](double y) { return 10.448 - kSlope * y; };
    const RibbonCentre right39 = [](double y) { return 5.448 - kSlope * y; };
    const RibbonCentre left33 = [](double y) { return -3.448 + kSlope * y; };
    const RibbonCentre left27 = [](double y) { return 1.552 + kSlope * y; };

    PictureLibraryData library;
    auto& items = library.items;
    items.push_back(Mark("mark 1", right45, 0));                 // code 1
    items.push_back(Mark("mark 2", right45, 1));                 // code 2
    items.push_back(Mark("mark 3", right39, -1));                // code 3
    items.push_back(Mark("mark 4", right39, 0));                 // code 4
    items.push_back(Mark("mark 6", straight, 0));                // code 6
    items.push_back(Mark("mark 7", straight, 0, true));          // code 7, start and finish
    items.push_back(Mark("mark 10", left33, 0));                 // code 10
    items.push_back(Mark("mark 20", left33, -1));                // code 20
    items.push_back(Mark("mark 30", left27, 1));                 // code 30
    items.push_back(Mark("mark 40", left27, 0));                 // code 40
    ExpectPlace(library, map_picture::kRival, "rival");
    items.push_back(MakePictureItem("rival", RivalDot()));
    ExpectPlace(library, map_picture::kBike, "player");
    items.push_back(MakePictureItem("player", PlayerMarker()));
    ExpectPlace(library, map_picture::kTopCover, "panel above");
    items.push_back(MakePictureItem("panel above", PanelTop(t)));
    ExpectPlace(library, map_picture::kBottomCover, "panel below");
    items.push_back(MakePictureItem("panel below", PanelBottom(t), 0, 0, false));
    return library;
}

}  // namespace vrumbal::content
