#include "engine/my_image_sprite.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/sprite_bench.h"

namespace vrumbal {
namespace {

using test::SpriteBench;
using test::To565;

// The bench plus the context game sprites get from the main form. List 1 holds a 10 x 12
// strip of three patterns and an 11 x 10 single picture; list 2 a 20 x 10 single picture.
struct GameBench : SpriteBench {
    int frameMs = 10;
    SpriteContext context;

    GameBench() {
        AddStrip(list1, 10, 12, {test::kRed, test::kGreen, test::kBlue});
        AddStrip(list1, 11, 10, {test::kWhite});
        AddStrip(list2, 20, 10, {test::kYellow});
        context.engine = &engine.Engine();
        context.imageList1 = &list1;
        context.imageList2 = &list2;
        context.draw = &draw;
        context.frameMs = &frameMs;
    }
};

TEST(MyImageSprite, CreateAtTakesThePictureAndPlace) {
    GameBench bench;
    TMyImageSprite* s = TMyImageSprite::CreateAt(bench.context, 1, 0, 30, 40, 7);
    EXPECT_EQ(s->Parent(), &bench.engine.Engine());
    EXPECT_EQ(s->Image(), &bench.list1.Items(0));
    EXPECT_EQ(s->Width, 10);
    EXPECT_EQ(s->Height, 12);
    EXPECT_EQ(s->FrameCount, 3);
    EXPECT_TRUE(s->Looped);
    EXPECT_DOUBLE_EQ(s->X, 30);
    EXPECT_DOUBLE_EQ(s->Y, 40);
    EXPECT_EQ(s->Z(), 7);

    TMyImageSprite* t = TMyImageSprite::CreateAt(bench.context, 2, 0, 0, 0, 7);
    EXPECT_EQ(t->Image(), &bench.list2.Items(0));
    // Among equal depths the newer goes beneath.
    EXPECT_EQ(bench.engine.Engine().DrawList(), (std::vector<TSprite*>{t, s}));
}

TEST(MyImageSprite, SetImageByIndexWithAnotherListKeepsThePictureButResetsTheRest) {
    for (std::uint8_t list : {std::uint8_t{0}, std::uint8_t{3}, std::uint8_t{9}}) {
        SCOPED_TRACE(testing::Message() << "list " << int(list));
        GameBench bench;
        TMyImageSprite* s = TMyImageSprite::CreateAt(bench.context, 1, 0, 0, 0, 0);
        s->FramePos = 2;
        s->FrameSpeed = 0.25;
        s->Width = 99;
        s->Height = 98;
        s->FrameCount = 7;
        s->ImageList = list;
        s->SetImageByIndex(1);
        EXPECT_EQ(s->Image(), &bench.list1.Items(0));
        EXPECT_EQ(s->Width, 10);
        EXPECT_EQ(s->Height, 12);
        EXPECT_EQ(s->FrameCount, 3);
        EXPECT_DOUBLE_EQ(s->FramePos, 0);
        EXPECT_DOUBLE_EQ(s->FrameSpeed, 0.25);  // the speed is left alone
    }
    // With no picture at all there is nothing to take the size from.
    GameBench bench;
    TMyImageSprite* bare = TMyImageSprite::Create(bench.context, 3);
    bare->Width = 5;
    bare->SetImageByIndex(0);
    EXPECT_EQ(bare->Image(), nullptr);
    EXPECT_EQ(bare->Width, 0);
    EXPECT_EQ(bare->FrameCount, 0);
}

TEST(MyImageSprite, MoveStepWrapsAndKeepsTheRateAcrossFrameRates) {
    struct Case {
        const char* name;
        int imageIndex;  // into list 1
        double pos, speed;
        int animRate, frameMs, moveCount;
        double expectPos, expectSpeed;
    };
    const std::vector<Case> cases = {
        {"one pattern never leaves pattern 0", 1, 0, 0.6, 0, 10, 1, 0, 0.6},
        {"one pattern, below the middle", 1, 0, 0.4, 0, 10, 1, 0.4, 0.4},
        {"last pattern until its middle", 0, 2.25, 0.25, 0, 10, 1, 2.5, 0.25},
        {"past the last pattern's middle", 0, 2.25, 0.5, 0, 10, 1, 0, 0.5},
        {"looped wrap first", 0, 2.0, 0.5, 0, 10, 3, 0.5, 0.5},
        {"the rate sets the speed after the step", 0, 0, 0.1, 50, 10, 2, 0.2, 0.05},
        {"a faster machine gets a smaller speed", 0, 0, 0, 50, 5, 1, 0, 0.1},
        {"a zero rate leaves the speed", 0, 1, 0.25, 0, 10, 2, 1.5, 0.25},
        {"frame time below one counts as one", 0, 0, 0, 30, 0, 1, 0, 0.3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameBench bench;
        bench.frameMs = c.frameMs;
        TMyImageSprite* s = TMyImageSprite::CreateAt(bench.context, 1, c.imageIndex, 0, 0, 0);
        s->FramePos = c.pos;
        s->FrameSpeed = c.speed;
        s->AnimRate = c.animRate;
        bench.engine.Move(c.moveCount);
        EXPECT_NEAR(s->FramePos, c.expectPos, 1e-9);
        EXPECT_NEAR(s->FrameSpeed, c.expectSpeed, 1e-12);
    }
}

TEST(MyImageSprite, SetAnimationRestartsALoopAtTheGivenRate) {
    GameBench bench;
    TMyImageSprite* s = TMyImageSprite::CreateAt(bench.context, 1, 1, 0, 0, 0);
    s->Looped = false;
    s->FramePos = 0.3;
    s->SetAnimation(0, 120);
    EXPECT_EQ(s->FrameCount, 3);
    EXPECT_TRUE(s->Looped);
    EXPECT_EQ(s->AnimRate, 120);
    EXPECT_DOUBLE_EQ(s->FramePos, 0);
    // 120 hundredths at 10 ms a frame: 0.12 patterns per millisecond of lag.
    bench.engine.Move(10);
    bench.engine.Move(10);
    EXPECT_NEAR(s->FramePos, 1.2, 1e-9);
}

TEST(MyImageSprite, OpacityDrawTruncatesWhereTheOrdinaryDrawRounds) {
    struct Case {
        const char* name;
        bool alphaOn;
        int alpha;
        double framePos;
        bool expectBlend;   // drawn with DrawAlpha (truncated pattern and place)
        int expectPattern;  // 0 red, 1 green, 2 blue
    };
    const std::vector<Case> cases = {
        {"no opacity", false, 100, 1.6, false, 2},
        {"full opacity draws the ordinary way", true, 255, 1.6, false, 2},
        {"partial opacity", true, 200, 1.6, true, 1},
        {"opacity switched off", false, 255, 0.5, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameBench bench;
        // Centred on (101, 56): X = 96.0, Y = 50.0.
        TMyImageSprite* s = TMyImageSprite::CreateCentred(bench.context, 1, 0, 101, 56, 0);
        s->X = 95.5;  // Round gives 96, Trunc 95
        s->AlphaOn = c.alphaOn;
        s->Alpha = c.alpha;
        s->FramePos = c.framePos;
        bench.engine.Draw();
        const int left = c.expectBlend ? 95 : 96;
        EXPECT_EQ(bench.Pixel(left - 1, 55), 0);
        EXPECT_EQ(bench.Pixel(left + 10, 55), 0);
        const std::uint16_t pixel = bench.Pixel(left, 55);
        const std::uint16_t full = To565(c.expectPattern == 0   ? test::kRed
                                         : c.expectPattern == 1 ? test::kGreen
                                                                : test::kBlue);
        if (c.expectBlend) {
            // A blend over black: only the pattern's own channel shows, dimmed.
            EXPECT_NE(pixel, 0);
            EXPECT_EQ(pixel & ~full, 0);
            EXPECT_NE(pixel, full);
        } else {
            EXPECT_EQ(pixel, full);
        }
        EXPECT_NE(bench.Pixel(left + 9, 61), 0);
    }
}

TEST(MyImageSprite, CreateCentredUsesExactHalves) {
    GameBench bench;
    // 11 x 10 picture centred on (100, 50): X = 94.5, Y = 45.
    TMyImageSprite* s = TMyImageSprite::CreateCentred(bench.context, 1, 1, 100, 50, 3);
    EXPECT_DOUBLE_EQ(s->X, 94.5);
    EXPECT_DOUBLE_EQ(s->Y, 45);
    EXPECT_EQ(s->Z(), 3);
    bench.engine.Draw();
    // Round(94.5) = 94: columns 94..104.
    EXPECT_EQ(bench.Pixel(93, 45), 0);
    EXPECT_EQ(bench.Pixel(94, 45), To565(test::kWhite));
    EXPECT_EQ(bench.Pixel(104, 54), To565(test::kWhite));
    EXPECT_EQ(bench.Pixel(105, 54), 0);
}

TEST(MyImageSprite, KillOnceQueuesOnce) {
    GameBench bench;
    TMyImageSprite* s = TMyImageSprite::CreateAt(bench.context, 1, 0, 0, 0, 0);
    EXPECT_FALSE(s->KillDone());
    s->KillOnce();
    s->KillOnce();
    EXPECT_TRUE(s->KillDone());
    EXPECT_EQ(bench.engine.Engine().KillList().size(), 1u);
    bench.engine.FreeKilled();
    EXPECT_EQ(bench.engine.Engine().ChildCount(), 0);
}

TEST(Pointer, DrawsPatternZeroTurnedAboutItsCentre) {
    struct Case {
        int angle;
        bool wide;  // the 20 x 10 picture lies across (else upright)
    };
    const std::vector<Case> cases = {{0, true}, {64, false}, {128, true}, {320, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "angle " << c.angle);
        GameBench bench;
        // Anchored so that the turning point lands on (20 + 80, 10 + 90) = (100, 100).
        TPointer* needle = TPointer::Create(bench.context, 2, 0, 0.5, 0.5, 80, 90);
        EXPECT_EQ(needle->Z(), 12);
        EXPECT_DOUBLE_EQ(needle->X, 80);
        EXPECT_DOUBLE_EQ(needle->Y, 90);
        EXPECT_EQ(needle->NeedleAngle, 0);
        needle->NeedleAngle = c.angle;
        bench.engine.Draw();
        const std::uint16_t yellow = To565(test::kYellow);
        EXPECT_EQ(bench.Pixel(100, 100), yellow);
        EXPECT_EQ(bench.Pixel(92, 100) == yellow, c.wide);
        EXPECT_EQ(bench.Pixel(100, 92) == yellow, !c.wide);
        // Nothing is drawn at the sprite's own box corner.
        EXPECT_EQ(bench.Pixel(80, 90), 0);
    }
}

}  // namespace
}  // namespace vrumbal
