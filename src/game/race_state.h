// The values every part of a race shares: level, lives, score, clock, place, the level-end tally,
// and the track map with its view window and the tiles a bike may ride on.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

namespace vrumbal {

// Size of the track map in tiles.
inline constexpr int kMapColumns = 650;
inline constexpr int kMapRows = 1500;
// Pixels per side of a road tile.
inline constexpr int kTileSize = 72;

// True for the tiles a bike may ride on: the straight road and its start/finish line, and the
// drivable pieces of the sections that shift the road left or right.
constexpr bool IsRoadTile(int tile) {
    switch (tile) {
        case 10:
        case 11:
        case 12:
        case 24:
        case 27:
        case 28:
        case 29:
        case 32:
        case 33:
        case 34:
        case 38:
        case 39:
        case 40:
        case 45:
        case 46:
        case 47:
            return true;
        default:
            return false;
    }
}

// The values of the race that every part of it shares: level, lives, score, clock, place, the
// level-end tally and the track map with its view window.
struct RaceState {
    std::int32_t Level = 1;        // 1..10
    std::int32_t Lives = 3;        // lives left
    std::int32_t Score = 0;        // points of this game
    std::int32_t TimeLeftMs = 0;   // level time left
    std::uint8_t Place = 0;        // the player's place, 0 until known
    std::uint8_t RacerCount = 0;   // racers in the level
    std::int32_t TrackRows = 300;  // track length in map rows
    std::int32_t BonusCount = 10;  // pickups placed on the track
    double BikeVelX = 0;           // ground velocity across, pixels per frame at 85 fps
    double BikeVelY = 0;           // ground velocity along
    // The level-end tally; TallyTimeLeft also times the run-out and the congratulation.
    std::int32_t TallyTimeLeft = 0, TallyStepTimer = 0, TallyLines = 0;
    std::int32_t TimePoints = 0, PlaceBonus = 0, TallyHold = 0;

    // Tile numbers, row-major, kMapColumns per row.
    std::vector<std::uint8_t> TrackMap = std::vector<std::uint8_t>(kMapColumns * kMapRows, 0);
    std::int32_t ViewRow = 0;                       // first map row of the visible window
    std::int32_t ViewColumn = 0;                    // first map column of the visible window
    std::array<std::int32_t, kMapRows> RowRoadX{};  // world x of the road's centre per row
    std::array<std::uint8_t, kMapRows + 2> RowSectionKind{};  // entry r + 2: kind of row r

    // The tile at (row, column); -1 outside the map, so callers never read past it.
    int TileAt(int row, int column) const {
        if (row < 0 || row >= kMapRows || column < 0 || column >= kMapColumns) return -1;
        return TrackMap[static_cast<std::size_t>(row) * kMapColumns + column];
    }
    // Sets the tile at (row, column); ignored outside the map.
    void SetTile(int row, int column, std::uint8_t tile) {
        if (row < 0 || row >= kMapRows || column < 0 || column >= kMapColumns) return;
        TrackMap[static_cast<std::size_t>(row) * kMapColumns + column] = tile;
    }
    // RowRoadX of a row; 0 outside the map.
    std::int32_t RoadXAt(int row) const {
        return row >= 0 && row < kMapRows ? RowRoadX[static_cast<std::size_t>(row)] : 0;
    }
    // RowSectionKind entry i (not a row number); 0 outside 0..1501.
    std::uint8_t SectionKindEntry(int i) const {
        return i >= 0 && i < kMapRows + 2 ? RowSectionKind[static_cast<std::size_t>(i)] : 0;
    }
};

}  // namespace vrumbal
