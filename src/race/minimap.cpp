// The minimap's road marks built from the track map, their pictures and offsets, the rivals'
// markers, and the drawing of them all.
#include "race/minimap.h"

#include "engine/dx_draw.h"
#include "engine/picture_collection.h"
#include "engine/sprite.h"
#include "game/content_ids.h"
#include "game/race_state.h"
#include "race/player.h"

namespace vrumbal {
namespace {

// Tiles of the track map the minimap reads.
constexpr int kLaneTile = 11;
constexpr int kStartTile = 24;

// Panel pixels of sideways slide per panel pixel of scroll on a diagonal piece.
constexpr double kSlope = 0.36208;
// Panel pixels per map row.
constexpr double kRowPixels = 15.0;
// The reference mark sits at this x less its offset.
constexpr double kReferenceX = 717.0;
// The reference row, where the bike rides.
constexpr int kReferenceRow = 6;
// Rows drawn (row 12 is built for the rivals only).
constexpr int kDrawnRows = 11;

constexpr int kRivalPicture = map_picture::kRival;
constexpr int kBikePicture = map_picture::kBike;
constexpr int kTopCoverPicture = map_picture::kTopCover;
constexpr int kBottomCoverPicture = map_picture::kBottomCover;

// The rival markers stay inside the panel's map window.
constexpr int kRivalTop = 0;
constexpr int kRivalBottom = 192;

bool IsDiagonalRight(int code) {
    return code == 1 || code == 3;
}
bool IsDiagonalLeft(int code) {
    return code == 20 || code == 40;
}

// Vertical scroll of the panel, from the road's scroll offset.
double PanelScroll(double roadY) {
    return roadY / kTileSize * kRowPixels;
}

}  // namespace

int MinimapGrid::At(int j, int i) const {
    if (j < 1 || j > kMinimapColumns || i < 1 || i > kMinimapRows) return 0;
    return codes_[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)];
}

void MinimapGrid::Set(int j, int i, int code) {
    if (j < 1 || j > kMinimapColumns || i < 1 || i > kMinimapRows) return;
    codes_[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)] = code;
}

int MinimapGrid::FirstMarkedColumn(int i) const {
    for (int j = 1; j <= kMinimapColumns; ++j) {
        if (At(j, i) != 0) return j;
    }
    return 0;
}

int MinimapPictureOf(int code) {
    switch (code) {
        case 1:
            return 0;
        case 2:
            return 1;
        case 3:
            return 2;
        case 4:
            return 3;
        case 6:
            return 4;
        case 7:
            return 5;
        case 10:
            return 6;
        case 20:
            return 7;
        case 30:
            return 8;
        case 40:
            return 9;
        default:
            return -1;
    }
}

double MinimapMarkOffset(int code) {
    switch (code) {
        case 1:
            return 9;
        case 3:
            return 14;
        case 6:
            return 4;
        case 7:
            return 4;
        case 20:
            return 8;
        case 40:
            return 3;
        default:
            return 0;
    }
}

double MinimapRivalOffset(int code) {
    switch (code) {
        case 1:
            return 9;
        case 3:
            return 14;
        case 20:
            return 4;
        case 40:
            return -1;
        default:
            return 0;
    }
}

MinimapGrid BuildMinimapGrid(const RaceState& race) {
    MinimapGrid grid;
    for (int i = 1; i <= kMinimapRows; ++i) {
        const int row = race.ViewRow + i - 1;
        // Rows past either end of the map stay empty; TileAt would answer -1 there anyway.
        if (row < 0 || row >= kMapRows) continue;
        for (int j = 1; j <= kMinimapColumns; ++j) {
            const int column = race.ViewColumn + j - 1;
            const int tile = race.TileAt(row, column);
            if (tile == kStartTile) {
                grid.Set(j + 1, i, 7);
                break;
            }
            if (tile != kLaneTile) continue;
            // The piece left of the first lane tile tells the shape of the road in this row.
            switch (race.TileAt(row, column - 1)) {
                case 10:
                    grid.Set(j, i, 6);
                    break;
                case 33:
                    grid.Set(j - 1, i, 20);
                    grid.Set(j, i, 10);
                    break;
                case 27:
                    grid.Set(j, i, 40);
                    grid.Set(j + 1, i, 30);
                    break;
                case 45:
                    grid.Set(j, i, 1);
                    grid.Set(j + 1, i, 2);
                    break;
                case 39:
                    grid.Set(j - 1, i, 3);
                    grid.Set(j, i, 4);
                    break;
                default:
                    break;
            }
            break;
        }
    }
    return grid;
}

double MinimapShiftX(const MinimapGrid& grid, double roadY) {
    // Row 6 first, then its neighbours outwards: the bike far off the road keeps a map.
    int row = 0;
    int column = 0;
    for (int d = 0; d < kMinimapRows && column == 0; ++d) {
        for (const int candidate : {kReferenceRow - d, kReferenceRow + d}) {
            if (candidate < 1 || candidate > kMinimapRows) continue;
            column = grid.FirstMarkedColumn(candidate);
            if (column != 0) {
                row = candidate;
                break;
            }
        }
    }
    if (column == 0) return 0;
    const int code = grid.At(column, row);
    double f = MinimapMarkOffset(code);
    const double s = PanelScroll(roadY);
    if (IsDiagonalRight(code)) f += kSlope * s;
    if (IsDiagonalLeft(code)) f -= kSlope * s;
    return kReferenceX - (631 + 10 * (column - 1) + f);
}

std::vector<MinimapMark> MinimapMarks(const RaceState& race, double roadY,
                                      const BikeRivals* rivals) {
    std::vector<MinimapMark> marks;
    const MinimapGrid grid = BuildMinimapGrid(race);
    const double shiftX = MinimapShiftX(grid, roadY);
    const int scroll = RoundHalfEven(PanelScroll(roadY));
    const int gridX = RoundHalfEven(shiftX);
    for (int i = 1; i <= kDrawnRows; ++i) {
        for (int j = 1; j <= kMinimapColumns; ++j) {
            const int picture = MinimapPictureOf(grid.At(j, i));
            if (picture < 0) continue;
            marks.push_back({picture, gridX + 10 * j + 621, scroll + 15 * i + 31});
        }
    }
    if (rivals != nullptr) {
        for (int k = 1; k <= 5; ++k) {
            const RivalInfo rider = rivals->Rider(k);
            if (!rider.active || !rider.onScreen) continue;
            const double rel = (rider.centreY - 72.0 * race.ViewRow) / kTileSize * kRowPixels;
            const int yy = RoundHalfEven(rel - 14 + 32);
            const int b = yy / 15;
            if (b < 1 || b > kMinimapRows) continue;
            const int l = grid.FirstMarkedColumn(b);
            if (l == 0) continue;
            const int code = grid.At(l, b);
            double u = MinimapRivalOffset(code);
            const int w = yy % 15;
            if (IsDiagonalRight(code)) u -= kSlope * w;
            if (IsDiagonalLeft(code)) u += kSlope * w;
            const int y = scroll + 46 + RoundHalfEven(rel - 14);
            if (y < kRivalTop || y > kRivalBottom) continue;
            marks.push_back({kRivalPicture, RoundHalfEven(u + 10 * l + 631 + shiftX - 15), y});
        }
    }
    marks.push_back({kTopCoverPicture, 626, 0});
    marks.push_back({kBottomCoverPicture, 626, 195});
    marks.push_back({kBikePicture, 708, 116});
    return marks;
}

void DrawMinimap(TDXDraw& target, TPictureCollection* list3, const RaceState& race, double roadY,
                 const BikeRivals* rivals) {
    if (list3 == nullptr) return;
    for (const MinimapMark& mark : MinimapMarks(race, roadY, rivals)) {
        if (mark.picture >= list3->Count()) continue;
        list3->Items(mark.picture).Draw(target, mark.x, mark.y, 0);
    }
}

}  // namespace vrumbal
