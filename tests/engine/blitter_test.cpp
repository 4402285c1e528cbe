#include "engine/blitter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <ostream>
#include <vector>

#include "engine/picture_helpers.h"
#include "platform/pixel_buffer.h"

namespace vrumbal {
namespace {

using test::CountOtherThan;
using test::IndexPicture;
using test::IndexPixel;
using test::MakePicture;

constexpr std::uint16_t kBackground = 0x1234;
constexpr std::uint32_t kFuchsia = 0xFF00FF;  // same in both colour layouts

// ---- colour key ----

struct KeyCase {
    const char* what;
    std::uint32_t keyColor;  // 0x00BBGGRR
    std::uint32_t pixel;     // 0x00RRGGBB
    bool keyed;
};

// Names the case in failure messages.
void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.what;
}

class ColourKey : public ::testing::TestWithParam<KeyCase> {};

TEST_P(ColourKey, KeyedPixelsLeaveTheDestinationUnchanged) {
    const KeyCase& c = GetParam();
    const Picture picture = MakePicture(3, 2, [&](int, int) { return c.pixel; });
    const ImageSurface source(picture, {0, 0, 3, 2}, c.keyColor);
    const std::uint16_t packed =
        PackRgb565((c.pixel >> 16) & 0xFF, (c.pixel >> 8) & 0xFF, c.pixel & 0xFF);

    Surface keyed(5, 4);
    keyed.Fill(kBackground);
    BlitPlain(keyed, 1, 1, source, {0, 0, 3, 2}, true);
    EXPECT_EQ(keyed.Row(1)[2], c.keyed ? kBackground : packed) << c.what;
    EXPECT_EQ(CountOtherThan(keyed, kBackground), c.keyed ? 0 : 6) << c.what;

    // Without the transparent flag the key colour is drawn like any other.
    Surface plain(5, 4);
    plain.Fill(kBackground);
    BlitPlain(plain, 1, 1, source, {0, 0, 3, 2}, false);
    EXPECT_EQ(plain.Row(2)[3], packed) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Rgb565, ColourKey,
    ::testing::Values(KeyCase{"fuchsia on fuchsia", kFuchsia, 0xFF00FF, true},
                      KeyCase{"near fuchsia packs to the key", kFuchsia, 0xFC03FA, true},
                      KeyCase{"one green step off is not the key", kFuchsia, 0xFF04FF, false},
                      KeyCase{"red key (low byte) keys red pixels", 0x0000FF, 0xFF0000, true},
                      KeyCase{"red key does not key blue pixels", 0x0000FF, 0x0000FF, false},
                      KeyCase{"black key", 0x000000, 0x070300, true},
                      KeyCase{"black key spares dark grey", 0x000000, 0x080808, false}));

TEST(ImageSurface, SpansCoverExactlyTheOpaquePixels) {
    // Rows with keyed pixels at the start, the end, in the middle and everywhere.
    const char* rows[] = {"K..K.", "...KK", "KKKKK", ".....", "K.K.K"};
    const Picture picture =
        MakePicture(5, 5, [&](int x, int y) { return rows[y][x] == 'K' ? kFuchsia : 0x102030u; });
    const ImageSurface s(picture, {0, 0, 5, 5}, kFuchsia);
    for (int y = 0; y < 5; ++y) {
        std::string rebuilt(5, 'K');
        int lastEnd = -1;
        for (const auto* span = s.SpansBegin(y); span != s.SpansEnd(y); ++span) {
            EXPECT_LT(span->begin, span->end);
            EXPECT_GT(static_cast<int>(span->begin), lastEnd) << "runs are separate and ordered";
            lastEnd = span->end;
            for (int x = span->begin; x < span->end; ++x) rebuilt[x] = '.';
        }
        EXPECT_EQ(rebuilt, rows[y]) << "row " << y;
    }
}

TEST(ImageSurface, AreaBeyondThePictureIsBlackAndNewKeyRebuildsRuns) {
    const Picture picture = MakePicture(4, 2, [](int, int) { return 0xFFFFFFu; });
    ImageSurface s(picture, {2, 1, 6, 3}, kFuchsia);
    ASSERT_EQ(s.Width(), 4);
    ASSERT_EQ(s.Height(), 2);
    EXPECT_EQ(s.Row(0)[1], 0xFFFF);
    EXPECT_EQ(s.Row(0)[2], 0x0000);
    EXPECT_EQ(s.Row(1)[0], 0x0000);
    EXPECT_EQ(s.SpansEnd(0) - s.SpansBegin(0), 1);
    s.SetColorKey(0x000000);  // now the black part is keyed
    EXPECT_EQ(s.ColorKey(), 0);
    ASSERT_EQ(s.SpansEnd(0) - s.SpansBegin(0), 1);
    EXPECT_EQ(s.SpansBegin(0)->begin, 0);
    EXPECT_EQ(s.SpansBegin(0)->end, 2);
    EXPECT_EQ(s.SpansEnd(1) - s.SpansBegin(1), 0);
}

// ---- plain blits and clipping ----

struct ClipCase {
    const char* what;
    int x, y;
    Rect src;
    bool transparent;
};

// Names the case in failure messages.
void PrintTo(const ClipCase& c, std::ostream* os) {
    *os << c.what;
}

class PlainClipping : public ::testing::TestWithParam<ClipCase> {};

TEST_P(PlainClipping, MatchesPixelByPixelCopy) {
    const ClipCase& c = GetParam();
    // 6 x 5 picture; column 2 and the pixel (4, 3) carry the key.
    Picture picture = IndexPicture(6, 5);
    for (int y = 0; y < 5; ++y) picture.pixels[y * 6 + 2] = kFuchsia;
    picture.pixels[3 * 6 + 4] = kFuchsia;
    const ImageSurface source(picture, {0, 0, 6, 5}, kFuchsia);

    Surface dest(10, 8);
    dest.Fill(kBackground);
    BlitPlain(dest, c.x, c.y, source, c.src, c.transparent);

    for (int dy = 0; dy < dest.Height(); ++dy) {
        for (int dx = 0; dx < dest.Width(); ++dx) {
            const int sx = dx - c.x + c.src.left, sy = dy - c.y + c.src.top;
            std::uint16_t expected = kBackground;
            if (sx >= c.src.left && sx < c.src.right && sy >= c.src.top && sy < c.src.bottom &&
                sx >= 0 && sx < 6 && sy >= 0 && sy < 5) {
                const std::uint16_t p = source.Row(sy)[sx];
                if (!c.transparent || p != source.ColorKey()) expected = p;
            }
            ASSERT_EQ(dest.Row(dy)[dx], expected) << c.what << " at " << dx << "," << dy;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    FourSides, PlainClipping,
    ::testing::Values(ClipCase{"inside", 2, 1, {0, 0, 6, 5}, false},
                      ClipCase{"inside keyed", 2, 1, {0, 0, 6, 5}, true},
                      ClipCase{"off the left", -3, 2, {0, 0, 6, 5}, true},
                      ClipCase{"off the right", 7, 2, {0, 0, 6, 5}, true},
                      ClipCase{"off the top", 1, -2, {0, 0, 6, 5}, false},
                      ClipCase{"off the bottom", 1, 6, {0, 0, 6, 5}, true},
                      ClipCase{"off every side", -2, -2, {0, 0, 6, 5}, true},
                      ClipCase{"sub-rectangle", 4, 4, {1, 1, 5, 4}, true},
                      ClipCase{"sub-rectangle off the left", -2, 0, {3, 0, 6, 5}, true},
                      ClipCase{"source rectangle past the picture", 1, 1, {-2, -1, 9, 7}, true},
                      ClipCase{"wholly right", 10, 0, {0, 0, 6, 5}, false},
                      ClipCase{"wholly above", 0, -5, {0, 0, 6, 5}, false}));

TEST(BlitPlain, NothingHappensWhenEitherSideHasNoSize) {
    const Picture picture = IndexPicture(4, 4);
    const ImageSurface source(picture, {0, 0, 4, 4}, 0);
    Surface none;
    BlitPlain(none, 0, 0, source, {0, 0, 4, 4}, false);  // must not touch memory
    BlitAlpha(none, {0, 0, 4, 4}, source, {0, 0, 4, 4}, false, 128);
    BlitRotate(none, 2, 2, 4, 4, source, {0, 0, 4, 4}, 0.5, 0.5, false, 10);

    const ImageSurface empty(Picture{}, {0, 0, 0, 0}, 0);
    Surface dest(8, 8);
    dest.Fill(kBackground);
    BlitPlain(dest, 0, 0, empty, {0, 0, 4, 4}, false);
    BlitAlpha(dest, {0, 0, 4, 4}, empty, {0, 0, 4, 4}, false, 200);
    BlitRotate(dest, 2, 2, 4, 4, empty, {0, 0, 4, 4}, 0.5, 0.5, false, 10);
    BlitPlain(dest, 0, 0, source, {2, 2, 2, 4}, false);  // empty source rectangle
    EXPECT_EQ(CountOtherThan(dest, kBackground), 0);
}

// ---- alpha ----

TEST(BlitAlpha, ScalesByNearestPixel) {
    const Picture picture = IndexPicture(2, 2);
    const ImageSurface source(picture, {0, 0, 2, 2}, 0);
    Surface dest(8, 8);
    dest.Fill(kBackground);
    BlitAlpha(dest, {1, 1, 5, 5}, source, {0, 0, 2, 2}, false, 255);  // twice the size
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 1 && x < 5 && y >= 1 && y < 5;
            const std::uint16_t expected =
                inside ? IndexPixel(2, (x - 1) / 2, (y - 1) / 2) : kBackground;
            ASSERT_EQ(dest.Row(y)[x], expected) << x << "," << y;
        }
    }

    const Picture big = IndexPicture(6, 4);
    const ImageSurface bigSource(big, {0, 0, 6, 4}, 0);
    Surface small(3, 2);
    BlitAlpha(small, {0, 0, 3, 2}, bigSource, {0, 0, 6, 4}, false, 255);  // half the size
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) EXPECT_EQ(small.Row(y)[x], IndexPixel(6, 2 * x, 2 * y));
    }
}

TEST(BlitAlpha, ClippedPartKeepsTheScale) {
    const Picture picture = IndexPicture(4, 4);
    const ImageSurface source(picture, {0, 0, 4, 4}, 0);
    // Drawn twice the size with its top-left 3 pixels off the surface in both directions.
    Surface dest(6, 6);
    BlitAlpha(dest, {-3, -3, 5, 5}, source, {0, 0, 4, 4}, false, 255);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            ASSERT_EQ(dest.Row(y)[x], IndexPixel(4, (x + 3) / 2, (y + 3) / 2)) << x << "," << y;
        }
    }
    EXPECT_EQ(dest.Row(5)[5], 0) << "nothing past the rectangle";
}

struct BlendCase {
    int alpha;
    std::uint16_t source, dest, expected;
};

// Names the case in failure messages.
void PrintTo(const BlendCase& c, std::ostream* os) {
    *os << "alpha " << c.alpha << " of " << c.source << " over " << c.dest;
}

class AlphaEdges : public ::testing::TestWithParam<BlendCase> {};

TEST_P(AlphaEdges, OpacityIsClampedAndEndsAreExact) {
    const BlendCase& c = GetParam();
    const Picture picture =
        MakePicture(2, 2, [&](int, int) { return test::ColourOf565(c.source); });
    const ImageSurface source(picture, {0, 0, 2, 2}, kFuchsia);
    Surface dest(2, 2);
    dest.Fill(c.dest);
    BlitAlpha(dest, {0, 0, 2, 2}, source, {0, 0, 2, 2}, true, c.alpha);
    EXPECT_EQ(dest.Row(1)[1], c.expected);
}

INSTANTIATE_TEST_SUITE_P(Values, AlphaEdges,
                         ::testing::Values(BlendCase{0, 0xFFFF, 0x0000, 0x0000},
                                           BlendCase{-20, 0xFFFF, 0x0000, 0x0000},
                                           BlendCase{128, 0xFFFF, 0x0000, 0x8410},
                                           BlendCase{128, 0x0000, 0xFFFF, 0x7BEF},
                                           BlendCase{255, 0x1234, 0xFFFF, 0x1234},
                                           BlendCase{300, 0x1234, 0xFFFF, 0x1234}));

TEST(BlitAlpha, EveryOpacityRoundsEachChannelToNearest) {
    // A row of varied pixels over a row of other varied pixels, at every opacity.
    const int n = 97;
    const Picture picture = MakePicture(n, 1, [](int x, int) {
        return test::ColourOf565(static_cast<std::uint16_t>(x * 677 + 3));
    });
    const ImageSurface source(picture, {0, 0, n, 1}, kFuchsia);
    for (int alpha = 1; alpha < 255; ++alpha) {
        Surface dest(n, 1);
        for (int x = 0; x < n; ++x) dest.Row(0)[x] = static_cast<std::uint16_t>(x * 2311 + 17);
        BlitAlpha(dest, {0, 0, n, 1}, source, {0, 0, n, 1}, false, alpha);
        for (int x = 0; x < n; ++x) {
            const std::uint16_t s = source.Row(0)[x];
            const auto d = static_cast<std::uint16_t>(x * 2311 + 17);
            const std::uint16_t got = dest.Row(0)[x];
            const int shifts[] = {11, 5, 0};
            const int masks[] = {31, 63, 31};
            for (int i = 0; i < 3; ++i) {
                const int sc = (s >> shifts[i]) & masks[i], dc = (d >> shifts[i]) & masks[i];
                const double exact = (sc * alpha + dc * (255.0 - alpha)) / 255.0;
                ASSERT_EQ((got >> shifts[i]) & masks[i], static_cast<int>(std::lround(exact)))
                    << "alpha " << alpha << " pixel " << x << " channel " << i;
            }
        }
    }
}

TEST(BlitAlpha, KeyedPixelsAreSkipped) {
    const Picture picture =
        MakePicture(2, 1, [](int x, int) { return x == 0 ? kFuchsia : 0xFFFFFFu; });
    const ImageSurface source(picture, {0, 0, 2, 1}, kFuchsia);
    Surface dest(2, 1);
    dest.Fill(kBackground);
    BlitAlpha(dest, {0, 0, 2, 1}, source, {0, 0, 2, 1}, true, 128);
    EXPECT_EQ(dest.Row(0)[0], kBackground);
    EXPECT_NE(dest.Row(0)[1], kBackground);
}

// ---- rotation ----

// The bounding box of the pixels that differ from the background.
Rect PaintedBox(const Surface& s) {
    Rect box{1 << 20, 1 << 20, -1, -1};
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) {
            if (s.Row(y)[x] == kBackground) continue;
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x + 1);
            box.bottom = std::max(box.bottom, y + 1);
        }
    }
    return box;
}

TEST(BlitRotate, QuarterTurnClockwise) {
    // 20 x 10, the left column red, everything else white.
    const Picture picture =
        MakePicture(20, 10, [](int x, int) { return x == 0 ? 0xFF0000u : 0xFFFFFFu; });
    const ImageSurface source(picture, {0, 0, 20, 10}, kFuchsia);
    for (const int angle : {64, 320, -192}) {
        Surface dest(200, 200);
        dest.Fill(kBackground);
        BlitRotate(dest, 100, 100, 20, 10, source, {0, 0, 20, 10}, 0.5, 0.5, true, angle);
        const Rect box = PaintedBox(dest);
        EXPECT_EQ(box.Width(), 10) << angle;
        EXPECT_EQ(box.Height(), 20) << angle;
        EXPECT_NEAR((box.left + box.right) / 2.0, 100, 1.0) << angle;
        EXPECT_NEAR((box.top + box.bottom) / 2.0, 100, 1.0) << angle;
        EXPECT_EQ(CountOtherThan(dest, kBackground), 200) << "solid, no holes: " << angle;
        // Turned clockwise, the left edge becomes the top edge.
        for (int x = box.left; x < box.right; ++x) {
            EXPECT_EQ(dest.Row(box.top)[x], 0xF800) << angle;
            EXPECT_EQ(dest.Row(box.top + 1)[x], 0xFFFF) << angle;
        }
    }
}

TEST(BlitRotate, AngleZeroUnscaledEqualsPlainBlit) {
    Picture picture = IndexPicture(20, 14);
    picture.pixels[5 * 20 + 7] = kFuchsia;
    const ImageSurface source(picture, {0, 0, 20, 14}, kFuchsia);
    struct Case {
        double cx, cy;
        int plainX, plainY;
    };
    for (const Case c : {Case{0.5, 0.5, 40, 43}, Case{0.0, 0.0, 50, 50}, Case{1.0, 0.25, 30, 47}}) {
        for (const int angle : {0, 256, -256}) {
            Surface rotated(120, 100), plain(120, 100);
            rotated.Fill(kBackground);
            plain.Fill(kBackground);
            BlitRotate(rotated, 50, 50, 20, 14, source, {0, 0, 20, 14}, c.cx, c.cy, true, angle);
            BlitPlain(plain, c.plainX, c.plainY, source, {0, 0, 20, 14}, true);
            for (int y = 0; y < 100; ++y) {
                for (int x = 0; x < 120; ++x) {
                    ASSERT_EQ(rotated.Row(y)[x], plain.Row(y)[x])
                        << "centre " << c.cx << "," << c.cy << " angle " << angle << " at " << x
                        << "," << y;
                }
            }
        }
    }
}

TEST(BlitRotate, HalfTurnMirrorsThroughThePivot) {
    const Picture picture = IndexPicture(20, 10);
    const ImageSurface source(picture, {0, 0, 20, 10}, 0);
    Surface dest(200, 200);
    dest.Fill(kBackground);
    BlitRotate(dest, 100, 100, 20, 10, source, {0, 0, 20, 10}, 0.5, 0.5, false, 128);
    // Box point (a, b) sits 10 - a, 5 - b from the pivot, turned half way round.
    for (int b = 0; b < 10; ++b) {
        for (int a = 0; a < 20; ++a) {
            ASSERT_EQ(dest.Row(105 - b)[110 - a], IndexPixel(20, a, b)) << a << "," << b;
        }
    }
    EXPECT_EQ(CountOtherThan(dest, kBackground), 200);
}

TEST(BlitRotate, ScalesTheBox) {
    const Picture picture = IndexPicture(5, 4);
    const ImageSurface source(picture, {0, 0, 5, 4}, 0);
    Surface dest(30, 30);
    dest.Fill(kBackground);
    BlitRotate(dest, 2, 3, 15, 8, source, {0, 0, 5, 4}, 0.0, 0.0, false, 0);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 15; ++x) {
            ASSERT_EQ(dest.Row(3 + y)[2 + x], IndexPixel(5, x / 3, y / 2)) << x << "," << y;
        }
    }
    EXPECT_EQ(CountOtherThan(dest, kBackground), 15 * 8);
}

TEST(BlitRotate, TurnedSolidPictureHasNoHoles) {
    const int w = 63, h = 68;
    const Picture picture = MakePicture(w, h, [](int, int) { return 0xFFFFFFu; });
    const ImageSurface source(picture, {0, 0, w, h}, kFuchsia);
    for (const int angle : {5, 21, 37, 50, 100, 150, 201, 250}) {
        Surface dest(200, 200);
        dest.Fill(kBackground);
        BlitRotate(dest, 100, 100, w, h, source, {0, 0, w, h}, 0.3, 0.6, true, angle);
        const double t = angle * 2 * std::numbers::pi / 256;
        int painted = 0;
        for (int y = 0; y < 200; ++y) {
            for (int x = 0; x < 200; ++x) {
                const bool on = dest.Row(y)[x] != kBackground;
                painted += on;
                // Where the pixel looks back into the box, well inside its edges.
                const double u = x - 100, v = y - 100;
                const double a = u * std::cos(t) + v * std::sin(t) + 0.3 * w;
                const double b = -u * std::sin(t) + v * std::cos(t) + 0.6 * h;
                if (a > 1.5 && a < w - 1.5 && b > 1.5 && b < h - 1.5) {
                    ASSERT_TRUE(on) << "hole at " << x << "," << y << " angle " << angle;
                }
                if (a < -1.5 || a > w + 1.5 || b < -1.5 || b > h + 1.5) {
                    ASSERT_FALSE(on) << "stray pixel at " << x << "," << y << " angle " << angle;
                }
            }
        }
        EXPECT_NEAR(painted, w * h, 2 * (w + h)) << "angle " << angle;
    }
}

TEST(BlitRotate, FarOffOrInvalidPlacementDrawsNothing) {
    const Picture picture = IndexPicture(8, 8);
    const ImageSurface source(picture, {0, 0, 8, 8}, 0);
    Surface dest(16, 16);
    dest.Fill(kBackground);
    const int big = std::numeric_limits<int>::max() - 4;
    BlitRotate(dest, big, -big, 8, 8, source, {0, 0, 8, 8}, 0.5, 0.5, false, 40);
    BlitRotate(dest, 8, 8, 8, 8, source, {0, 0, 8, 8}, std::nan(""), 0.5, false, 40);
    BlitRotate(dest, 8, 8, 8, 8, source, {0, 0, 8, 8}, 0.5, 1e300, false, 40);
    BlitPlain(dest, big, -big, source, {0, 0, 8, 8}, false);
    EXPECT_EQ(CountOtherThan(dest, kBackground), 0);
}

TEST(BlitRotate, ClippingKeepsTheVisiblePart) {
    const Picture picture = IndexPicture(30, 24);
    const ImageSurface source(picture, {0, 0, 30, 24}, 0);
    for (const int angle : {0, 30, 64, 170}) {
        Surface large(120, 120), small(40, 40);
        large.Fill(kBackground);
        small.Fill(kBackground);
        // The same picture, the small surface being the window (40, 40)..(80, 80) of the large
        // one, so the sprite hangs over all four of its sides.
        BlitRotate(large, 60, 60, 60, 48, source, {0, 0, 30, 24}, 0.5, 0.5, false, angle);
        BlitRotate(small, 20, 20, 60, 48, source, {0, 0, 30, 24}, 0.5, 0.5, false, angle);
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                ASSERT_EQ(small.Row(y)[x], large.Row(40 + y)[40 + x]) << angle;
            }
        }
        EXPECT_GT(CountOtherThan(small, kBackground), 0) << angle;
    }
}

}  // namespace
}  // namespace vrumbal
