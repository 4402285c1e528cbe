// The frame's fast paths against plain models of what they must draw: the clear that is left
// out under a whole-frame backdrop, the turned sprite drawn only where it lands, and the
// blend done eight pixels at a time.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "engine/blitter.h"
#include "engine/dx_draw.h"
#include "engine/image_surface.h"
#include "engine/picture.h"
#include "engine/surface.h"

namespace vrumbal {
namespace {

constexpr std::uint32_t kKey = 0xFF00FF;  // fuchsia

// A picture of distinct colours; every pixel listed in `keyed` (x, y pairs) is the key.
Picture MakePicture(int w, int h, std::uint32_t seed, const std::vector<int>& keyed = {}) {
    Picture p;
    p.width = w;
    p.height = h;
    p.pixels.resize(static_cast<std::size_t>(w) * h);
    std::mt19937 rng(seed);
    for (auto& px : p.pixels) px = rng() & 0xFEFEFE;  // never the key by chance
    for (std::size_t i = 0; i + 1 < keyed.size(); i += 2) {
        p.pixels[static_cast<std::size_t>(keyed[i + 1]) * w + keyed[i]] = kKey;
    }
    return p;
}

std::vector<std::uint16_t> Pixels(const Surface& s) {
    std::vector<std::uint16_t> out;
    for (int y = 0; y < s.Height(); ++y) out.insert(out.end(), s.Row(y), s.Row(y) + s.Width());
    return out;
}

void Scribble(Surface& s, std::uint32_t seed) {
    std::mt19937 rng(seed);
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) s.Row(y)[x] = static_cast<std::uint16_t>(rng());
    }
}

TEST(DeferredFill, EveryPixelEndsAsFillThenDrawWouldLeaveIt) {
    constexpr int kW = 16, kH = 8;
    constexpr std::uint16_t kFill = 0x1234;  // bytes unlike: the slow fill
    struct Case {
        std::string name;
        int pictureW, pictureH, x, y;
        bool transparent;
        std::vector<int> keyed;
    };
    const std::vector<Case> cases = {
        {"opaque backdrop exactly covering", kW, kH, 0, 0, false, {}},
        {"opaque backdrop hanging over every edge", kW + 6, kH + 4, -3, -2, false, {}},
        {"keyed backdrop without key pixels", kW, kH, 0, 0, true, {}},
        {"keyed backdrop with holes", kW, kH, 0, 0, true, {0, 0, 5, 3, 15, 7}},
        {"opaque picture one pixel short", kW, kH, 1, 0, false, {}},
        {"opaque picture one row short", kW, kH - 1, 0, 0, false, {}},
        {"small keyed sprite", 4, 4, 6, 2, true, {1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Picture picture = MakePicture(c.pictureW, c.pictureH, 3, c.keyed);
        const ImageSurface image(picture, {0, 0, c.pictureW, c.pictureH}, kKey);
        const Rect whole{0, 0, c.pictureW, c.pictureH};

        // The model: fill at once, then draw.
        Surface expected(kW, kH);
        Scribble(expected, 9);
        expected.Fill(kFill);
        BlitPlain(expected, c.x, c.y, image, whole, c.transparent);

        TDXDraw draw(nullptr, nullptr, kW, kH);
        Scribble(draw.BackSurface(), 9);
        draw.Fill(kFill);
        draw.Draw(c.x, c.y, whole, image, c.transparent);
        EXPECT_EQ(Pixels(draw.BackSurface()), Pixels(expected));
    }
}

TEST(DeferredFill, ReachesThePixelsBeforeAnyOtherUse) {
    constexpr int kW = 12, kH = 6;
    const Picture picture = MakePicture(3, 3, 4);
    const ImageSurface image(picture, {0, 0, 3, 3}, kKey);
    struct Case {
        std::string name;
        void (*use)(TDXDraw&, const ImageSurface&);
    };
    const std::vector<Case> cases = {
        {"read back", [](TDXDraw&, const ImageSurface&) {}},
        {"canvas", [](TDXDraw& d, const ImageSurface&) { d.Canvas(); }},
        {"flip", [](TDXDraw& d, const ImageSurface&) { d.Flip(); }},
        {"turned sprite",
         [](TDXDraw& d, const ImageSurface& i) {
             d.DrawRotate(5, 3, 3, 3, {0, 0, 3, 3}, i, 0.5, 0.5, true, 10);
         }},
        {"blend",
         [](TDXDraw& d, const ImageSurface& i) {
             d.DrawAlpha({2, 2, 5, 5}, {0, 0, 3, 3}, i, true, 100);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDXDraw draw(nullptr, nullptr, kW, kH);
        Scribble(draw.BackSurface(), 5);
        draw.Fill(0);
        c.use(draw, image);
        // The corner lies outside everything drawn: it must hold the fill.
        EXPECT_EQ(draw.BackSurface().Row(0)[0], 0);
        EXPECT_EQ(draw.BackSurface().Row(kH - 1)[kW - 1], 0);
    }
}

// The turned blit as the contract states it, tried for every pixel of the surface.
void ModelRotate(Surface& dest, int x, int y, int width, int height, const ImageSurface& source,
                 const Rect& src, double centerX, double centerY, bool transparent, int angle) {
    auto fixedCos = [](int a) {
        return static_cast<std::int64_t>(
            std::lround(std::cos((a & 255) * 2.0 * std::numbers::pi / 256.0) * 65536));
    };
    const std::int64_t c = fixedCos(angle), s = fixedCos(angle - 64);
    const std::int64_t pivotX = std::llround(centerX * width * 65536);
    const std::int64_t pivotY = std::llround(centerY * height * 65536);
    for (int dy = 0; dy < dest.Height(); ++dy) {
        for (int dx = 0; dx < dest.Width(); ++dx) {
            const std::int64_t u = dx - x, v = dy - y;
            const std::int64_t fa = u * c + v * s + pivotX;
            const std::int64_t fb = -u * s + v * c + pivotY;
            if (fa < 0 || fb < 0) continue;
            const std::int64_t a = fa / 65536, b = fb / 65536;
            if (a >= width || b >= height) continue;
            const std::int64_t sx = src.left + a * (src.right - src.left) / width;
            const std::int64_t sy = src.top + b * (src.bottom - src.top) / height;
            if (sx < 0 || sy < 0 || sx >= source.Width() || sy >= source.Height()) continue;
            const std::uint16_t p = source.Row(static_cast<int>(sy))[sx];
            if (transparent && p == source.ColorKey()) continue;
            dest.Row(dy)[dx] = p;
        }
    }
}

TEST(TurnedBlit, MatchesThePixelByPixelModel) {
    const Picture picture = MakePicture(21, 17, 6, {0, 0, 10, 8, 20, 16, 3, 12});
    const ImageSurface image(picture, {0, 0, 21, 17}, kKey);
    struct Case {
        int x, y, width, height;
        Rect src;
        double cx, cy;
        int angle;
    };
    const std::vector<Case> cases = {
        {30, 25, 21, 17, {0, 0, 21, 17}, 0.5, 0.5, 0},     // upright
        {30, 25, 21, 17, {0, 0, 21, 17}, 0.5, 0.5, 128},   // upside down
        {30, 25, 21, 17, {0, 0, 21, 17}, 0.5, 0.5, 64},    // a quarter turn
        {30, 25, 21, 17, {0, 0, 21, 17}, 0.3, 0.8, 37},    // off-centre pivot
        {30, 25, 40, 9, {2, 1, 19, 15}, 0.5, 0.5, 201},    // scaled part of the picture
        {30, 25, 30, 30, {-4, -3, 25, 20}, 0.5, 0.5, 0},   // src reaching off the picture
        {-5, 3, 21, 17, {0, 0, 21, 17}, 0.5, 0.5, 90},     // off the left edge
        {58, 46, 21, 17, {0, 0, 21, 17}, 0.0, 0.0, -300},  // off the bottom right
        {30, 25, 1, 1, {0, 0, 21, 17}, 0.5, 0.5, 16},      // a single pixel
    };
    for (const Case& c : cases) {
        for (const bool transparent : {false, true}) {
            SCOPED_TRACE("angle " + std::to_string(c.angle) + " at " + std::to_string(c.x) + "," +
                         std::to_string(c.y) + (transparent ? " keyed" : ""));
            Surface expected(60, 50), actual(60, 50);
            Scribble(expected, 2);
            Scribble(actual, 2);
            ModelRotate(expected, c.x, c.y, c.width, c.height, image, c.src, c.cx, c.cy,
                        transparent, c.angle);
            BlitRotate(actual, c.x, c.y, c.width, c.height, image, c.src, c.cx, c.cy, transparent,
                       c.angle);
            EXPECT_EQ(Pixels(actual), Pixels(expected));
        }
    }
}

// One channel mixed as the contract states it: (s x alpha + d x (255 - alpha)) / 255, rounded.
std::uint16_t ModelBlend(std::uint16_t s, std::uint16_t d, int alpha) {
    auto mix = [alpha](unsigned sc, unsigned dc) {
        const unsigned t = sc * alpha + dc * (255 - alpha);
        return (t + 127) / 255;
    };
    return static_cast<std::uint16_t>((mix(s >> 11, d >> 11) << 11) |
                                      (mix((s >> 5) & 63, (d >> 5) & 63) << 5) |
                                      mix(s & 31, d & 31));
}

TEST(AlphaBlit, MatchesTheChannelModelUnscaledAndScaled) {
    // 19 columns: two whole groups of eight and a tail; key pixels in both.
    const Picture picture = MakePicture(19, 5, 8, {0, 0, 9, 1, 18, 2, 4, 4});
    const ImageSurface image(picture, {0, 0, 19, 5}, kKey);
    struct Case {
        Rect dest;
        int alpha;
    };
    const std::vector<Case> cases = {
        {{3, 2, 22, 7}, 1},    {{3, 2, 22, 7}, 128},   {{3, 2, 22, 7}, 254},  // unscaled
        {{-4, 0, 15, 5}, 77},  {{20, 6, 39, 11}, 200},                        // clipped
        {{0, 0, 38, 10}, 140}, {{5, 1, 14, 4}, 60},                           // scaled
    };
    for (const Case& c : cases) {
        for (const bool transparent : {false, true}) {
            SCOPED_TRACE("alpha " + std::to_string(c.alpha) + " into " +
                         std::to_string(c.dest.left) + "," + std::to_string(c.dest.top) + "-" +
                         std::to_string(c.dest.right) + "," + std::to_string(c.dest.bottom) +
                         (transparent ? " keyed" : ""));
            Surface expected(32, 12), actual(32, 12);
            Scribble(expected, 1);
            Scribble(actual, 1);
            const int dw = c.dest.right - c.dest.left, dh = c.dest.bottom - c.dest.top;
            for (int y = std::max(c.dest.top, 0); y < std::min(c.dest.bottom, 12); ++y) {
                for (int x = std::max(c.dest.left, 0); x < std::min(c.dest.right, 32); ++x) {
                    const int sx = (x - c.dest.left) * 19 / dw;
                    const int sy = (y - c.dest.top) * 5 / dh;
                    const std::uint16_t p = image.Row(sy)[sx];
                    if (transparent && p == image.ColorKey()) continue;
                    expected.Row(y)[x] = ModelBlend(p, expected.Row(y)[x], c.alpha);
                }
            }
            BlitAlpha(actual, c.dest, image, {0, 0, 19, 5}, transparent, c.alpha);
            EXPECT_EQ(Pixels(actual), Pixels(expected));
        }
    }
}

}  // namespace
}  // namespace vrumbal
