#pragma once
// Shared drawing helpers and the builders of the race pictures (image list 2).
#include <cstdint>
#include <functional>
#include <numbers>
#include <vector>

#include "content.h"

namespace vrumbal::content::race {

inline constexpr double kPi = std::numbers::pi;

// A colour with components 0..1.
struct Rgb {
    double r = 0;  // red
    double g = 0;  // green
    double b = 0;  // blue
};

// A colour from 0x00RRGGBB.
Rgb Hex(std::uint32_t rgb);
// The colour between a (t = 0) and b (t = 1).
Rgb Mix(const Rgb& a, const Rgb& b, double t);
// The colour with every component multiplied by f.
Rgb Scale(const Rgb& c, double f);
// The colour as 0x00RRGGBB, clamped.
std::uint32_t Pack(const Rgb& c);

// A repeatable pseudo-random value 0..1 for an integer lattice point and a seed.
double Hash01(int x, int y, std::uint32_t seed);
// Smooth value noise 0..1 that repeats every 72 pixels both ways (cell must divide 72), so
// ground drawn with it joins across tile edges.
double TileNoise(double x, double y, int cell, std::uint32_t seed);

// The three ground textures, by tile-local position (they repeat every 72 pixels).
Rgb GrassAt(double x, double y);
Rgb GravelAt(double x, double y);
Rgb AsphaltAt(double x, double y);

// Paints every pixel of the canvas from a function of its top-left corner position.
void PaintPixels(Canvas& canvas, const std::function<Rgb(int, int)>& colourAt);
// Sets the cairo source to a colour with an opacity.
void SetColour(cairo_t* cr, const Rgb& c, double alpha = 1.0);
// Adds a rounded rectangle path.
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);
// Draws text centred on (x, y) in the display face.
void CentredLabel(cairo_t* cr, const char* text, double x, double y, double pixelSize, bool bold);

// A w x h part of a picture from (x, y).
Picture Crop(const Picture& source, int x, int y, int w, int h);
// A picture of the given size filled with the key colour (an invisible picture).
Picture Invisible(int width, int height);
// Lays equal tiles into rows of perRow, row-major; empty slots get filler.
Picture TileSheet(const std::vector<Picture>& tiles, int perRow, std::uint32_t filler);

// The 74 road tiles, 72 x 72 each, in tile number order.
std::vector<Picture> RoadTiles();
// Draws the grass variants and the scenery objects into tiles (numbers 49..73).
void DrawSceneryTiles(std::vector<Picture>& tiles);

// The head-up display: left panel, right panel and the speedometer needle.
Picture LeftPanel(const Catalogue& t);
Picture RightPanel(const Catalogue& t);
Picture Needle();

// The pictures of one bike model (1..5).
struct BikePictures {
    Picture upright;    // one pattern of the riding box
    Picture crash;      // crash patterns side by side, crash box size
    Picture leanLeft;   // six patterns, 0 the deepest lean
    Picture leanRight;  // six patterns, 0 the deepest lean
};
BikePictures DrawBike(int model);

// Pickup kind 1..5 (10, 20, 50, 100 points, life): five animation patterns of 35 x 34.
Picture PickupPatterns(int kind);
// The larger single icon of pickup kind 1..5 for the help page.
Picture BonusIcon(int kind);
// The tyre mark (10 x 14).
Picture TyreMark();

// Colours shared by the race pictures.
inline constexpr std::uint32_t kAsphaltMatte = 0x5A5C62;  // mid asphalt grey
inline constexpr std::uint32_t kPanelMatte = 0x1E242C;    // dark metallic panels

}  // namespace vrumbal::content::race
