#pragma once
#include <cstdint>
#include <vector>

#include "engine/dx_draw.h"
#include "engine/library_data.h"
#include "engine/picture_collection.h"
#include "engine/sprite_engine.h"

namespace vrumbal::test {

// Picture colours (0x00RRGGBB) that survive the trip to RGB565 exactly.
inline constexpr std::uint32_t kRed = 0xF80000;
inline constexpr std::uint32_t kGreen = 0x00FC00;
inline constexpr std::uint32_t kBlue = 0x0000F8;
inline constexpr std::uint32_t kYellow = 0xF8FC00;
inline constexpr std::uint32_t kCyan = 0x00FCF8;
inline constexpr std::uint32_t kMagenta = 0xF800F8;
inline constexpr std::uint32_t kWhite = 0xF8FCF8;
inline constexpr std::uint32_t kGrey = 0x808080;

// The RGB565 pixel a picture colour becomes.
inline std::uint16_t To565(std::uint32_t rgb) {
    return static_cast<std::uint16_t>(((rgb >> 19) & 0x1F) << 11 | ((rgb >> 10) & 0x3F) << 5 |
                                      ((rgb >> 3) & 0x1F));
}

// A memory-only drawing surface with two picture lists on it and a sprite engine drawing there.
// Members are declared so that the engine goes before the lists and the lists before the surface.
struct SpriteBench {
    TDXDraw draw{nullptr, nullptr};
    TPictureCollection list1;
    TPictureCollection list2;
    TDXSpriteEngine engine{&draw};

    SpriteBench() {
        draw.Initialize();
        list1.Initialize(draw);
        list2.Initialize(draw);
    }

    // Adds a picture of side-by-side w x h patterns, pattern i filled with colours[i].
    static TPictureCollectionItem& AddStrip(TPictureCollection& list, int w, int h,
                                            const std::vector<std::uint32_t>& colours) {
        PictureItemData data;
        data.patternWidth = w;
        data.patternHeight = h;
        data.systemMemory = true;
        data.picture.width = w * static_cast<int>(colours.size());
        data.picture.height = h;
        data.picture.pixels.resize(static_cast<std::size_t>(data.picture.width) * h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < data.picture.width; ++x) {
                data.picture.pixels[static_cast<std::size_t>(y) * data.picture.width + x] =
                    colours[static_cast<std::size_t>(x / w)];
            }
        }
        return list.Add(std::move(data));
    }

    // The back surface pixel at (x, y).
    std::uint16_t Pixel(int x, int y) { return draw.BackSurface().Row(y)[x]; }
    // Clears the back surface to black.
    void Clear() { draw.Fill(0); }
};

}  // namespace vrumbal::test
