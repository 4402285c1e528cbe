// The minimap: a 16 x 12 window of the track map around the view, drawn as road marks with the
// rivals in it.
#pragma once
#include <array>
#include <vector>

namespace vrumbal {

class BikeRivals;
class TDXDraw;
class TPictureCollection;
struct RaceState;

// Window of the track map the minimap shows: 16 map columns by 12 map rows.
inline constexpr int kMinimapColumns = 16;
inline constexpr int kMinimapRows = 12;

// Road marks of the minimap window, G[j][i] with column j = 1..16 and row i = 1..12 (index 0
// unused). Window cell (j, i) is map cell (ViewRow + i - 1, ViewColumn + j - 1).
class MinimapGrid final {
public:
    // The code at window cell (j, i); 0 outside the window.
    int At(int j, int i) const;
    // Sets the code at window cell (j, i); ignored outside the window.
    void Set(int j, int i, int code);
    // The first column 1..16 of row i holding a mark, 0 when the row is empty.
    int FirstMarkedColumn(int i) const;

private:
    std::array<std::array<int, kMinimapRows + 1>, kMinimapColumns + 1> codes_{};
};

// One picture of image list 3 to draw, top-left corner at (x, y).
struct MinimapMark {
    int picture;  // picture index in image list 3
    int x;
    int y;
};

// Picture of image list 3 showing a road code; -1 for codes that draw nothing.
int MinimapPictureOf(int code);
// Horizontal offset of the reference mark by its code.
double MinimapMarkOffset(int code);
// Horizontal offset of a rival marker by the code of its row's first mark.
double MinimapRivalOffset(int code);

// Builds the road marks from the track map around the view.
MinimapGrid BuildMinimapGrid(const RaceState& race);
// Horizontal shift of the whole grid that puts the reference mark (the first mark of row 6) at
// x 717 less its offset. Without a mark in row 6 the nearest row with one serves; without any
// mark the shift is 0.
double MinimapShiftX(const MinimapGrid& grid, double roadY);
// Everything the minimap draws, in drawing order: the road marks of rows 1..11, the markers of
// the rivals in view and the three fixed pictures. roadY is the road's vertical scroll offset.
std::vector<MinimapMark> MinimapMarks(const RaceState& race, double roadY,
                                      const BikeRivals* rivals);
// Draws the minimap with the pictures of image list 3 (missing pictures are skipped).
void DrawMinimap(TDXDraw& target, TPictureCollection* list3, const RaceState& race, double roadY,
                 const BikeRivals* rivals);

}  // namespace vrumbal
