#include "engine/image_sprite.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/background_sprite.h"
#include "engine/sprite_bench.h"

namespace vrumbal {
namespace {

using test::SpriteBench;
using test::To565;

// Exposes the protected steps of an image sprite.
class OpenImageSprite final : public TImageSprite {
public:
    using TImageSprite::MoveStep;
    using TImageSprite::TImageSprite;
};

TEST(ImageSprite, AnimationWrapsWhenLoopedAndStopsAtTheEndsOtherwise) {
    struct Case {
        const char* name;
        bool looped;
        int frameCount;
        double pos, speed;
        int moveCount;
        double expectPos, expectSpeed;
    };
    const std::vector<Case> cases = {
        {"looped inside the range stays", true, 4, 3.6, 0, 1, 3.6, 0},
        {"looped past the end wraps", true, 4, 4.2, 0, 1, 0.2, 0},
        {"looped step past the end", true, 4, 3.0, 0.6, 2, 0.2, 0.6},
        {"looped below zero wraps to the top", true, 4, 0.5, -1, 1, 3.5, -1},
        {"looped many turns", true, 4, 1.0, 1.25, 10, 1.5, 1.25},
        {"looped without patterns", true, 0, 2.5, 1, 1, 0, 1},
        {"stops on the last pattern", false, 4, 3.5, 1, 1, 3, 0},
        {"stops on pattern 0", false, 4, 0.5, -1, 1, 0, 0},
        {"moves freely inside", false, 4, 1, 0.5, 2, 2, 0.5},
        {"exactly the count stops", false, 4, 3, 1, 1, 3, 0},
        {"no patterns stops at 0", false, 0, 0, 0.3, 1, 0, 0},
    };
    TSpriteEngine root;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* s = TSprite::Create<OpenImageSprite>(root);
        s->Looped = c.looped;
        s->FrameCount = c.frameCount;
        s->FramePos = c.pos;
        s->FrameSpeed = c.speed;
        s->MoveStep(c.moveCount);
        EXPECT_NEAR(s->FramePos, c.expectPos, 1e-9);
        EXPECT_DOUBLE_EQ(s->FrameSpeed, c.expectSpeed);
    }
}

TEST(ImageSprite, DrawsTheRoundedPatternAtTheRoundedPosition) {
    struct Case {
        double framePos;
        int frameStart;
        double x;
        std::uint32_t colour;  // of the pattern expected
        int left;              // first column drawn
    };
    const std::vector<std::uint32_t> colours = {test::kRed, test::kGreen, test::kBlue,
                                                test::kYellow};
    const std::vector<Case> cases = {
        {0, 0, 10, test::kRed, 10},      {1.4, 0, 10, test::kGreen, 10},
        {1.5, 0, 10, test::kBlue, 10},   {2.5, 0, 10, test::kBlue, 10},
        {0.4, 3, 10, test::kYellow, 10}, {0.5, 1, 10, test::kGreen, 10},
        {0, 0, 10.5, test::kRed, 10},    {0, 0, 11.5, test::kRed, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.framePos << " +" << c.frameStart << " at " << c.x);
        SpriteBench bench;
        auto& item = SpriteBench::AddStrip(bench.list1, 8, 6, colours);
        auto* s = TSprite::Create<TImageSprite>(bench.engine.Engine());
        s->SetImage(&item);
        EXPECT_EQ(s->Width, 8);
        EXPECT_EQ(s->Height, 6);
        s->FramePos = c.framePos;
        s->FrameStart = c.frameStart;
        s->X = c.x;
        s->Y = 20;
        bench.engine.Draw();
        EXPECT_EQ(bench.Pixel(c.left, 20), To565(c.colour));
        EXPECT_EQ(bench.Pixel(c.left + 7, 25), To565(c.colour));
        EXPECT_EQ(bench.Pixel(c.left - 1, 20), 0);
        EXPECT_EQ(bench.Pixel(c.left + 8, 20), 0);
    }
}

TEST(ImageSprite, LargerBoxCentresThePictureAndBadPatternsDrawNothing) {
    SpriteBench bench;
    auto& item = SpriteBench::AddStrip(bench.list1, 8, 6, {test::kRed, test::kGreen});
    auto* s = TSprite::Create<TImageSprite>(bench.engine.Engine());
    s->SetImage(&item);
    s->Width = 13;  // (13 - 8) div 2 = 2
    s->Height = 1;  // (1 - 6) div 2 = -2, truncated toward zero
    s->X = 100;
    s->Y = 100;
    bench.engine.Draw();
    EXPECT_EQ(bench.Pixel(101, 98), 0);
    EXPECT_EQ(bench.Pixel(102, 98), To565(test::kRed));
    EXPECT_EQ(bench.Pixel(109, 103), To565(test::kRed));
    EXPECT_EQ(bench.Pixel(110, 103), 0);
    EXPECT_EQ(bench.Pixel(102, 104), 0);

    for (double pos : {-1.0, 2.0}) {
        bench.Clear();
        s->FramePos = pos;
        bench.engine.Draw();
        EXPECT_EQ(bench.Pixel(102, 98), 0) << "pattern " << pos;
    }
    s->SetImage(nullptr);
    EXPECT_EQ(s->Width, 0);
    EXPECT_EQ(s->Height, 0);
    bench.engine.Draw();  // nothing to draw, and no failure
}

// A 3 x 2 map of 10 x 10 chips; chip (c, r) shows pattern r x 3 + c.
TBackgroundSprite* MakeMap(SpriteBench& bench) {
    auto& chips = SpriteBench::AddStrip(
        bench.list1, 10, 10,
        {test::kRed, test::kGreen, test::kBlue, test::kYellow, test::kCyan, test::kMagenta});
    auto* map = TSprite::Create<TBackgroundSprite>(bench.engine.Engine());
    map->SetMapSize(3, 2);
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 3; ++c) map->SetChip(c, r, r * 3 + c);
    }
    map->SetImage(&chips);
    return map;
}

TEST(BackgroundSprite, TilesChipsFromWhereverTheMapLies) {
    const std::uint16_t red = To565(test::kRed), green = To565(test::kGreen),
                        blue = To565(test::kBlue), yellow = To565(test::kYellow),
                        cyan = To565(test::kCyan), magenta = To565(test::kMagenta);
    struct Probe {
        int x, y;
        std::uint16_t pixel;
    };
    struct Case {
        const char* name;
        double x, y;
        std::vector<Probe> probes;
    };
    const std::vector<Case> cases = {
        {"at the origin",
         0,
         0,
         {{0, 0, red}, {9, 9, red}, {10, 0, green}, {29, 19, magenta}, {30, 0, 0}, {0, 20, 0}}},
        {"on the surface",
         25,
         32,
         {{24, 32, 0},
          {25, 32, red},
          {35, 41, green},
          {35, 42, cyan},
          {54, 51, magenta},
          {55, 51, 0}}},
        // Chip column 0 is wholly left of the surface; column 1 covers x 0..4, column 2 5..14.
        {"left of and above the surface",
         -15,
         -5,
         {{0, 0, green},
          {4, 4, green},
          {5, 0, blue},
          {14, 4, blue},
          {15, 0, 0},
          {0, 5, cyan},
          {14, 14, magenta},
          {0, 15, 0}}},
        // -14.5 rounds to -14 (halves to even): column 1 then covers x 0..5.
        {"half-pixel position", -14.5, 0, {{5, 0, green}, {6, 0, blue}, {15, 0, blue}}},
        {"only the last row shows", 0, -12, {{0, 0, yellow}, {29, 7, magenta}, {0, 8, 0}}},
        {"past the right edge", 785, 0, {{784, 0, 0}, {785, 0, red}, {799, 0, green}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SpriteBench bench;
        TBackgroundSprite* map = MakeMap(bench);
        map->X = c.x;
        map->Y = c.y;
        bench.engine.Draw();
        for (const Probe& p : c.probes) {
            EXPECT_EQ(bench.Pixel(p.x, p.y), p.pixel) << "at " << p.x << "," << p.y;
        }
    }
}

TEST(BackgroundSprite, EmptyCellsAndNestedPositions) {
    SpriteBench bench;
    auto& chips =
        SpriteBench::AddStrip(bench.list1, 10, 10, {test::kRed, test::kGreen, test::kBlue});
    auto* holder = TSprite::Create<TSprite>(bench.engine.Engine());
    holder->X = -30;
    holder->Y = 40;
    // A map under another sprite tiles at its world position.
    auto* map = TSprite::Create<TBackgroundSprite>(*holder);
    map->SetMapSize(4, 1);
    map->SetChip(0, 0, 1);
    map->SetChip(1, 0, -1);
    map->SetChip(2, 0, -7);
    map->SetChip(3, 0, 2);
    map->SetImage(&chips);
    map->X = 25;  // world x -5
    bench.engine.Draw();
    EXPECT_EQ(bench.Pixel(4, 40), To565(test::kGreen));
    EXPECT_EQ(bench.Pixel(5, 40), 0);   // empty cell
    EXPECT_EQ(bench.Pixel(15, 40), 0);  // any negative value is empty
    EXPECT_EQ(bench.Pixel(25, 49), To565(test::kBlue));
    EXPECT_EQ(bench.Pixel(35, 49), 0);
    EXPECT_EQ(map->BoundsRect(), (Rect{-5, 40, 35, 50}));
}

TEST(BackgroundSprite, MapSizeRulesAndCellAccess) {
    struct Case {
        int w, h;
        int expectW, expectH;
    };
    const std::vector<Case> cases = {
        {3, 2, 3, 2}, {0, 5, 0, 0}, {5, -1, 0, 0}, {1, 1, 1, 1}, {-2, -2, 0, 0},
    };
    TSpriteEngine root;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        auto* map = TSprite::Create<TBackgroundSprite>(root);
        map->SetMapSize(4, 4);
        map->SetChip(0, 0, 9);
        map->SetMapSize(c.w, c.h);
        EXPECT_EQ(map->MapWidth(), c.expectW);
        EXPECT_EQ(map->MapHeight(), c.expectH);
        // A resize clears every cell.
        EXPECT_EQ(map->Chip(0, 0), c.expectW > 0 ? 0 : -1);
    }
    auto* map = TSprite::Create<TBackgroundSprite>(root);
    map->SetMapSize(3, 2);
    map->SetChip(2, 1, 7);
    map->SetChip(3, 0, 5);   // outside: ignored
    map->SetChip(-1, 0, 5);  // outside: ignored
    map->SetChip(0, 2, 5);   // outside: ignored
    EXPECT_EQ(map->Chip(2, 1), 7);
    EXPECT_EQ(map->Chip(0, 0), 0);
    EXPECT_EQ(map->Chip(3, 0), -1);
    EXPECT_EQ(map->Chip(0, -1), -1);
    EXPECT_EQ(map->Chip(0, 2), -1);
    map->SetMapSize(3, 2);  // the same size keeps the cells
    EXPECT_EQ(map->Chip(2, 1), 7);
    EXPECT_EQ(map->BoundsRect(), Rect{});  // no picture yet
}

TEST(BackgroundSprite, SizeComesFromThePictureAndTheMapSetBeforeIt) {
    SpriteBench bench;
    auto& chips = SpriteBench::AddStrip(bench.list1, 12, 7, {test::kRed});
    auto* map = TSprite::Create<TBackgroundSprite>(bench.engine.Engine());
    map->SetImage(&chips);
    EXPECT_EQ(map->Width, 0);  // the map was still empty
    map->SetMapSize(5, 3);
    map->SetImage(&chips);
    EXPECT_EQ(map->Width, 60);
    EXPECT_EQ(map->Height, 21);
    map->X = 2.5;
    EXPECT_EQ(map->BoundsRect(), (Rect{2, 0, 62, 21}));
}

}  // namespace
}  // namespace vrumbal
