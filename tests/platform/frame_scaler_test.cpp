// The frame scaled onto a window's own pixels: whole multiples repeat every pixel exactly,
// other sizes blend smoothly without leaving the colours they blend, and the bars are black.
#include "platform/frame_scaler.h"

#include <gtest/gtest.h>

#include <vector>

namespace vrumbal {
namespace {

struct Target {
    std::vector<std::uint32_t> pixels;
    int width, height, pitch;
    // Rows pitch pixels apart: what lies past the width is not the target's and must stay.
    Target(int w, int h, int p = 0)
        : pixels(static_cast<std::size_t>(p > 0 ? p : w) * h, 0xDEADBEEF),
          width(w),
          height(h),
          pitch(p > 0 ? p : w) {}
    Pixels32 View() { return {pixels.data(), width, height, pitch}; }
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * pitch + x]; }
};

TEST(FrameScaler, WholeMultiplesRepeatEveryPixelAndConvertExactly) {
    // Frames of known colours: white, pure red, green and blue, black, and a mid grey.
    const std::uint16_t colours[] = {0xFFFF, 0xF800, 0x07E0, 0x001F, 0x0000, 0x8410};
    const std::uint32_t expected[] = {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x000000, 0x848284};
    // Frame widths of whole and broken groups of four pixels, rows and frames on 16-byte
    // boundaries or off them (a window's pixels may lie either way).
    const struct {
        int frameW, frameH, multiple, left, top, bars, pitchExtra;
    } cases[] = {
        {4, 3, 1, 1, 1, 1, 0}, {4, 3, 2, 1, 1, 1, 0},  {4, 3, 3, 1, 1, 1, 0},
        {8, 3, 2, 0, 0, 0, 0}, {8, 3, 2, 4, 2, 4, 8},  {8, 3, 2, 2, 1, 2, 4},
        {6, 2, 2, 0, 0, 0, 4}, {12, 5, 2, 3, 0, 3, 3}, {8, 4, 1, 4, 1, 4, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.frameW << "x" << c.frameH << " times " << c.multiple
                                        << " at " << c.left << "," << c.top);
        // Each pixel's colour by its number in the lists above.
        std::vector<int> colour(static_cast<std::size_t>(c.frameW) * c.frameH);
        std::vector<std::uint16_t> frame(colour.size());
        for (std::size_t i = 0; i < frame.size(); ++i) {
            colour[i] = static_cast<int>((i * 5 + i / 7) % 6);
            frame[i] = colours[colour[i]];
        }
        const PixelBuffer source{frame.data(), c.frameW, c.frameH, c.frameW};
        const int areaW = c.frameW * c.multiple, areaH = c.frameH * c.multiple;
        const int width = c.left + areaW + c.bars;
        Target target(width, c.top + areaH + c.top, width + c.pitchExtra);
        FrameScaler scaler;
        scaler.Scale(source, target.View(), {c.left, c.top, areaW, areaH}, true);
        for (int y = 0; y < target.height; ++y) {
            for (int x = 0; x < target.pitch; ++x) {
                std::uint32_t want = 0xDEADBEEF;  // past the width: not the target's
                if (x < width) {
                    const int fx = (x - c.left) / c.multiple, fy = (y - c.top) / c.multiple;
                    const bool bar = x < c.left || y < c.top || fx >= c.frameW || fy >= c.frameH;
                    want = bar ? 0 : expected[colour[static_cast<std::size_t>(fy) * c.frameW + fx]];
                }
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
