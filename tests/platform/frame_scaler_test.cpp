// The frame scaled onto a window's own pixels: whole multiples repeat every pixel exactly,
// other sizes blend smoothly without leaving the colours they blend, and the bars are black.
#include "platform/frame_scaler.h"

#include <gtest/gtest.h>

#include <vector>

namespace vrumbal {
namespace {

struct Target {
    std::vector<std::uint32_t> pixels;
    int width, height;
    Target(int w, int h) : pixels(static_cast<std::size_t>(w) * h, 0xDEADBEEF), width(w), height(h) {}
    Pixels32 View() { return {pixels.data(), width, height, width}; }
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

TEST(FrameScaler, WholeMultiplesRepeatEveryPixelAndConvertExactly) {
    // A 4 x 3 frame of known colours: white, pure red, green and blue, black, and a mid grey.
    const std::uint16_t colours[] = {0xFFFF, 0xF800, 0x07E0, 0x001F, 0x0000, 0x8410};
    const std::uint32_t expected[] = {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x000000, 0x848284};
    std::vector<std::uint16_t> frame(12);
    for (int i = 0; i < 12; ++i) frame[i] = colours[i % 6];
    const PixelBuffer source{frame.data(), 4, 3, 4};
    for (int multiple : {1, 2, 3}) {
        SCOPED_TRACE(multiple);
        // One pixel of bar on every side.
        Target target(4 * multiple + 2, 3 * multiple + 2);
        FrameScaler scaler;
        scaler.Scale(source, target.View(), {1, 1, 4 * multiple, 3 * multiple}, true);
        for (int y = 0; y < target.height; ++y) {
            for (int x = 0; x < target.width; ++x) {
                const bool bar = x == 0 || y == 0 || x == target.width - 1 || y == target.height - 1;
                const std::uint32_t want =
                    bar ? 0 : expected[((y - 1) / multiple * 4 + (x - 1) / multiple) % 6];
                ASSERT_EQ(target.At(x, y), want) << x << "," << y;
            }
        }
    }
}

TEST(FrameScaler, OtherSizesBlendBetweenNeighboursOnly) {
    // Left half black, right half white: every scaled pixel is grey between them, the far
    // columns keep the pure colours, and the values never fall going right.
    std::vector<std::uint16_t> frame(8 * 6);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) frame[y * 8 + x] = x < 4 ? 0x0000 : 0xFFFF;
    }
    const PixelBuffer source{frame.data(), 8, 6, 8};
    for (const auto& size : {std::pair{12, 9}, std::pair{20, 15}, std::pair{5, 4}}) {
        SCOPED_TRACE(std::to_string(size.first) + "x" + std::to_string(size.second));
        Target target(size.first, size.second);
        FrameScaler scaler;
        scaler.Scale(source, target.View(), {0, 0, size.first, size.second}, true);
        for (int y = 0; y < target.height; ++y) {
            std::uint32_t previous = 0;
            for (int x = 0; x < target.width; ++x) {
                const std::uint32_t p = target.At(x, y);
                const std::uint32_t r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
                EXPECT_TRUE(r == g && g == b) << "not grey at " << x << "," << y;
                EXPECT_EQ(p & 0xFF000000u, 0u);
                EXPECT_GE(r, previous) << x << "," << y;
                previous = r;
            }
            EXPECT_EQ(target.At(0, y), 0u);
            EXPECT_EQ(target.At(target.width - 1, y), 0xFFFFFFu);
        }
    }
    // One colour stays that colour at any size.
    std::vector<std::uint16_t> flat(8 * 6, 0x8410);
    Target target(13, 10);
    FrameScaler scaler;
    scaler.Scale({flat.data(), 8, 6, 8}, target.View(), {0, 0, 13, 10}, true);
    for (std::uint32_t p : target.pixels) EXPECT_EQ(p, 0x848284u);
}

}  // namespace
}  // namespace vrumbal
