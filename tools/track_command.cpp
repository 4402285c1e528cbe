// vrumbal-tool track: generates a level's track with a given seed and writes its raw state
// and/or a picture of it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "commands.h"
#include "engine/library_reader.h"
#include "engine/random.h"
#include "game/level_tables.h"
#include "game/race_state.h"
#include "platform/png_file.h"
#include "race/track_generator.h"

namespace vrumbal::tool {
namespace {

// Tiles kept around the track when cropping the picture.
constexpr int kCropMargin = 4;

struct TrackOptions {
    int level = 0;
    std::optional<std::uint64_t> seed;
    std::string dumpPath;
    std::string pngPath;
    int scale = 4;
    std::string dataRoot = ".";
};

long long ParseInteger(const std::string& option, const std::string& value, long long low,
                       long long high) {
    std::size_t used = 0;
    long long n = 0;
    try {
        n = std::stoll(value, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != value.size() || n < low || n > high) {
        throw std::runtime_error(option + " needs a number from " + std::to_string(low) + " to " +
                                 std::to_string(high));
    }
    return n;
}

std::uint64_t ParseSeed(const std::string& value) {
    std::size_t used = 0;
    unsigned long long n = 0;
    try {
        n = std::stoull(value, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != value.size() || value[0] == '-') {
        throw std::runtime_error("--seed needs a whole number from 0 to 18446744073709551615");
    }
    return n;
}

TrackOptions ParseOptions(const Args& args) {
    TrackOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
            return args[++i];
        };
        if (a == "--level") {
            options.level = static_cast<int>(ParseInteger(a, value(), 1, kLevelCount));
        } else if (a == "--seed") {
            options.seed = ParseSeed(value());
        } else if (a == "--dump") {
            options.dumpPath = value();
        } else if (a == "--png") {
            options.pngPath = value();
        } else if (a == "--scale") {
            options.scale = static_cast<int>(ParseInteger(a, value(), 1, 72));
        } else if (a == "--data") {
            options.dataRoot = value();
        } else {
            throw UsageError("unknown option " + a);
        }
    }
    if (options.level == 0) throw UsageError("--level is required");
    if (!options.seed) throw UsageError("--seed is required");
    return options;
}

void PutInt32(std::vector<std::uint8_t>& out, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(u >> shift));
}

// TrackMap, RowRoadX, RowSectionKind, ViewRow, ViewColumn; numbers little-endian.
void WriteDump(const RaceState& race, const std::string& path) {
    std::vector<std::uint8_t> out(race.TrackMap.begin(), race.TrackMap.end());
    for (std::int32_t x : race.RowRoadX) PutInt32(out, x);
    out.insert(out.end(), race.RowSectionKind.begin(), race.RowSectionKind.end());
    PutInt32(out, race.ViewRow);
    PutInt32(out, race.ViewColumn);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
}

// The road tiles as pixel blocks, one per tile number; from the picture library when it holds
// them, else flat colours by the tile's role.
class TileArt {
public:
    explicit TileArt(const std::string& dataRoot) {
        const std::string path = dataRoot + "/Data/Res/Res2.dxg";
        std::vector<std::uint8_t> bytes;
        PictureLibraryData library;
        if (!ReadFileBytes(path, bytes).empty()) {
            std::fprintf(stderr, "%s not readable; drawing flat tiles\n", path.c_str());
            return;
        }
        ReadPictureLibrary(bytes, library);
        if (library.items.size() < 2 || library.items[1].picture.Empty()) {
            std::fprintf(stderr, "%s has no road tiles; drawing flat tiles\n", path.c_str());
            return;
        }
        item_ = std::move(library.items[1]);
        const Picture& p = item_.picture;
        patternW_ = item_.patternWidth > 0 ? item_.patternWidth : p.width;
        patternH_ = item_.patternHeight > 0 ? item_.patternHeight : p.height;
        const int cellW = patternW_ + item_.skipWidth;
        const int cellH = patternH_ + item_.skipHeight;
        columns_ = cellW > 0 ? (p.width + item_.skipWidth) / cellW : 0;
        const int rows = cellH > 0 ? (p.height + item_.skipHeight) / cellH : 0;
        patterns_ = columns_ * rows;
    }

    // Pixels per tile side in the world (the pattern's width, 72 for the road tiles).
    int TileSize() const { return patterns_ > 0 ? patternW_ : kTileSize; }

    // The colour of world pixel (x, y) inside a tile, 0 <= x, y < TileSize().
    std::uint32_t Pixel(int tile, int x, int y) const {
        if (tile >= 0 && tile < patterns_ && y < patternH_) {
            const int cellW = patternW_ + item_.skipWidth;
            const int cellH = patternH_ + item_.skipHeight;
            return item_.picture.At(cellW * (tile % columns_) + x, cellH * (tile / columns_) + y);
        }
        return FlatColour(tile);
    }

private:
    static std::uint32_t FlatColour(int tile) {
        if (tile == 0) return 0x8A6A40;                                // ground
        if (tile <= 9 || (tile >= 13 && tile <= 21)) return 0xD03030;  // verges
        if (tile <= 12) return 0x606060;                               // road
        if (tile <= 23) return 0x9A9A90;                               // shoulders
        if (tile == 24) return 0xF0F0F0;                               // start and finish
        if (tile <= 48) return 0x707070;                               // shifting road
        if (tile <= 51) return 0x3C8C30;                               // grass
        return 0x1E5A1E;                                               // scenery
    }

    PictureItemData item_;  // the road tiles' picture
    int patternW_ = 0;
    int patternH_ = 0;
    int columns_ = 0;   // patterns per row of the picture
    int patterns_ = 0;  // patterns in the picture
};

bool IsTrackTile(int tile) {
    return tile >= 1 && tile <= 48;
}

// Draws the map's track area (verges, road, shoulders and lines plus a margin) at 1/scale.
void WritePicture(const RaceState& race, const std::string& dataRoot, int scale,
                  const std::string& path) {
    int top = kMapRows, bottom = -1, left = kMapColumns, right = -1;
    for (int r = 0; r < kMapRows; ++r) {
        for (int c = 0; c < kMapColumns; ++c) {
            if (!IsTrackTile(race.TileAt(r, c))) continue;
            top = std::min(top, r);
            bottom = std::max(bottom, r);
            left = std::min(left, c);
            right = std::max(right, c);
        }
    }
    if (bottom < 0) throw std::runtime_error("the map holds no track");
    top = std::max(top - kCropMargin, 0);
    left = std::max(left - kCropMargin, 0);
    bottom = std::min(bottom + kCropMargin, kMapRows - 1);
    right = std::min(right + kCropMargin, kMapColumns - 1);

    const TileArt art(dataRoot);
    const int tile = art.TileSize();
    const int worldW = (right - left + 1) * tile;
    const int worldH = (bottom - top + 1) * tile;
    const int width = std::max(worldW / scale, 1);
    const int height = std::max(worldH / scale, 1);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    if (tile % scale == 0) {
        // Each output pixel is the average of the scale x scale world pixels it covers; tiles
        // are shrunk once each and then copied.
        const int small = tile / scale;
        std::vector<std::vector<std::uint32_t>> shrunk(256);
        auto shrink = [&](int t) -> const std::vector<std::uint32_t>& {
            std::vector<std::uint32_t>& block = shrunk[static_cast<std::size_t>(t)];
            if (!block.empty()) return block;
            block.resize(static_cast<std::size_t>(small) * small);
            for (int by = 0; by < small; ++by) {
                for (int bx = 0; bx < small; ++bx) {
                    std::uint32_t red = 0, green = 0, blue = 0;
                    for (int sy = 0; sy < scale; ++sy) {
                        for (int sx = 0; sx < scale; ++sx) {
                            const std::uint32_t p = art.Pixel(t, bx * scale + sx, by * scale + sy);
                            red += (p >> 16) & 0xFF;
                            green += (p >> 8) & 0xFF;
                            blue += p & 0xFF;
                        }
                    }
                    const std::uint32_t n = static_cast<std::uint32_t>(scale * scale);
                    block[static_cast<std::size_t>(by) * small + bx] =
                        ((red / n) << 16) | ((green / n) << 8) | (blue / n);
                }
            }
            return block;
        };
        for (int oy = 0; oy < height; ++oy) {
            for (int ox = 0; ox < width; ++ox) {
                const int t = std::max(race.TileAt(top + oy / small, left + ox / small), 0);
                pixels[static_cast<std::size_t>(oy) * width + ox] =
                    shrink(t)[static_cast<std::size_t>(oy % small) * small + ox % small];
            }
        }
    } else {
        // A scale that does not divide the tile takes the world pixel at each block's centre.
        for (int oy = 0; oy < height; ++oy) {
            const int wy = oy * scale + scale / 2;
            for (int ox = 0; ox < width; ++ox) {
                const int wx = ox * scale + scale / 2;
                pixels[static_cast<std::size_t>(oy) * width + ox] =
                    art.Pixel(race.TileAt(top + wy / tile, left + wx / tile), wx % tile, wy % tile);
            }
        }
    }
    if (!WritePng(path, width, height, pixels)) throw std::runtime_error("cannot write " + path);
    std::printf("rows %d..%d, columns %d..%d, %dx%d pixels\n", top, bottom, left, right, width,
                height);
}

}  // namespace

int Track(const Args& args) {
    const TrackOptions options = ParseOptions(args);
    RaceState race;
    race.Level = options.level;
    race.TrackRows = TrackRowsForLevel(options.level);
    Random rng(*options.seed);
    GenerateTrack(race, rng);
    if (!options.dumpPath.empty()) WriteDump(race, options.dumpPath);
    if (!options.pngPath.empty())
        WritePicture(race, options.dataRoot, options.scale, options.pngPath);
    return 0;
}

}  // namespace vrumbal::tool
