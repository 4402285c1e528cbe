#pragma once
// Drawing helpers shared by the menu and minimap pictures: the palette of the menus, plate and
// text drawing in the display face, and a constant-seeded grain generator.
#include <cairo.h>

#include <cstdint>
#include <string>

namespace vrumbal::content {

// A colour with components 0..1.
struct Rgb {
    double r = 0;  // red
    double g = 0;  // green
    double b = 0;  // blue
};

// A colour from 0xRRGGBB.
constexpr Rgb Hex(std::uint32_t v) {
    return {((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0};
}

// The colour as 0xRRGGBB (used as the matte of keyed pictures).
std::uint32_t ToHex(Rgb c);

// The colour t of the way from a to b.
Rgb Mix(Rgb a, Rgb b, double t);

// The menus' colours. The text colours are those the game draws its texts in, so that
// captions baked into pictures match them.
namespace palette {
inline constexpr Rgb kYellow = Hex(0xFFDE00);       // headings and values
inline constexpr Rgb kDarkYellow = Hex(0xBFA600);   // a highlighted option label
inline constexpr Rgb kOrange = Hex(0xFF9A10);       // the warm end of lit plates
inline constexpr Rgb kMint = Hex(0x42FCCA);         // the mint of the HUD texts
inline constexpr Rgb kMintBright = Hex(0x00FFAE);   // entered names and values
inline constexpr Rgb kCream = Hex(0xFFF2A8);        // help texts
inline constexpr Rgb kLightText = Hex(0xE8ECF0);    // captions on dark plates
inline constexpr Rgb kDimText = Hex(0x7D868F);      // captions of inactive choices
inline constexpr Rgb kInk = Hex(0x15171B);          // captions on lit plates, outlines
inline constexpr Rgb kColumn = Hex(0x262B32);       // the menu's button column
inline constexpr Rgb kRim = Hex(0x0D0F12);          // outer rim of plates and panels
inline constexpr Rgb kPanelTop = Hex(0x2B3139);     // panel body, top
inline constexpr Rgb kPanelBottom = Hex(0x1E2329);  // panel body, bottom
inline constexpr Rgb kPanelInset = Hex(0x171B20);   // recessed areas of a panel
inline constexpr Rgb kBevelLight = Hex(0x5B646F);   // lit edge of a bevel
inline constexpr Rgb kBevelDark = Hex(0x0F1114);    // shaded edge of a bevel
inline constexpr Rgb kPlateTop = Hex(0x4D5661);     // unlit button plate, top
inline constexpr Rgb kPlateMid = Hex(0x2E343C);     // unlit button plate, middle
inline constexpr Rgb kPlateBottom = Hex(0x1F2429);  // unlit button plate, bottom
}  // namespace palette

// Sets a solid source colour.
void SetColor(cairo_t* cr, Rgb c, double alpha = 1.0);

// Adds a rectangle with rounded corners to the path.
void RoundedRectPath(cairo_t* cr, double x, double y, double w, double h, double r);

// Adds the racing plate outline to the path: a rectangle whose top-left and bottom-right
// corners are cut off diagonally by cut pixels.
void ChamferPath(cairo_t* cr, double x, double y, double w, double h, double cut);

// Fills the current path with a vertical gradient through three colours (top, middle at
// mid (0..1), bottom) between y0 and y1; keeps the path.
void FillVertical(cairo_t* cr, double y0, double y1, Rgb top, Rgb middle, Rgb bottom,
                  double mid = 0.5);

// How a button plate looks.
enum class PlateLook {
    kNormal,  // dark metal
    kLit,     // glowing yellow, the highlighted look
};

// A button plate in the racing outline, bevelled, filling (x, y, w, h).
void DrawPlate(cairo_t* cr, double x, double y, double w, double h, PlateLook look);

// Selects the display face and returns the advance width of text in it.
double SelectAndMeasure(cairo_t* cr, const std::string& text, bool bold, double size);

// Draws text in the display face, centred on cx, with the middle of its capitals on cy.
void CaptionCentred(cairo_t* cr, const std::string& text, double cx, double cy, bool bold,
                    double size, Rgb color);

// Draws text like CaptionCentred but with a dark shadow one pixel below right, for dark
// plates.
void CaptionEmbossed(cairo_t* cr, const std::string& text, double cx, double cy, bool bold,
                     double size, Rgb color, Rgb shadow);

// A bevelled recess (a sunken field) filling (x, y, w, h).
void DrawRecess(cairo_t* cr, double x, double y, double w, double h, double r, Rgb fill);

// Deterministic pseudo-random numbers for textures, always from a constant seed.
class Grain final {
public:
    // A generator starting from the given seed.
    explicit Grain(std::uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
    // The next number in 0..1.
    double Next();
    // The next number in lo..hi.
    double Between(double lo, double hi) { return lo + (hi - lo) * Next(); }

private:
    std::uint32_t state_;  // the generator's state
};

// Paints fine light and dark speckles of the given strength (0..1) over the clip region
// within (x, y, w, h).
void PaintGrain(cairo_t* cr, int x, int y, int w, int h, double strength, std::uint32_t seed);

}  // namespace vrumbal::content
