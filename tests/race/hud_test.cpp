#include "race/hud.h"

#include <gtest/gtest.h>

#include "engine/dx_draw.h"
#include "engine/surface.h"
#include "game/race_state.h"
#include "platform/codepage.h"
#include "support/fake_text.h"

namespace vrumbal {
namespace {

TEST(HudText, ClockShowsMinutesAndSecondsWithLeadingZeros) {
    const struct {
        int ms;
        const char* want;
    } cases[] = {
        {65000, "01 : 05"},  {65400, "01 : 05"},   {0, "00 : 00"},     {9999, "00 : 09"},
        {10000, "00 : 10"},  {59999, "00 : 59"},   {60000, "01 : 00"}, {599999, "09 : 59"},
        {600000, "10 : 00"}, {3599999, "59 : 59"}, {-16, "00 : 00"},
    };
    for (const auto& c : cases) EXPECT_EQ(HudClockText(c.ms), c.want) << c.ms;
}

TEST(HudText, SpeedIsEngineSpeedTimesOnePointNineAndZeroUnlessMovingForward) {
    const struct {
        double speed;
        const char* want;
    } cases[] = {
        {0, "0"},     {-8, "0"},      {-0.01, "0"}, {0.2, "0"},
        {0.3, "1"},   {100, "190"},   {160, "304"}, {2.5, "5"},
        {10.5, "20"}, {152.7, "290"}, {15, "28"},   {25, "48"},  // halves go to the even neighbour
    };
    for (const auto& c : cases) EXPECT_EQ(HudSpeedText(c.speed), c.want) << c.speed;
}

TEST(HudText, PlaceLivesAndLevel) {
    EXPECT_EQ(HudPlaceText(2, 6), "2/6");
    EXPECT_EQ(HudPlaceText(0, 0), "0/0");
    EXPECT_EQ(HudPlaceText(6, 6), "6/6");
    EXPECT_EQ(HudLivesText(3), "3");
    EXPECT_EQ(HudLivesText(0), "0");
    EXPECT_EQ(HudLivesText(-1), "0");
    EXPECT_EQ(HudLevelText(5), "УРОВЕНЬ 5 / 10");
    EXPECT_EQ(HudLevelText(10), "УРОВЕНЬ 10 / 10");
    EXPECT_EQ(HudLevelText(7, "LEVEL %d / 10"), "LEVEL 7 / 10");
}

// Where a text is expected: its font slot's size and the point it is placed by.
struct Placed {
    const char* text;  // UTF-8
    int size;          // point size of its slot
    int x, y;          // the point
    bool centreX;      // centred across (else starting at x)
};

TEST(DrawHud, DrawsEveryValueInItsSlotAndPlace) {
    test::FakeTextRenderer text;
    Surface surface(800, 600);
    TCanvas canvas(&text, surface);
    RaceState race;
    race.Level = 7;
    race.TimeLeftMs = 65400;
    race.Score = 12345;
    race.Lives = -1;
    race.Place = 2;
    race.RacerCount = 6;
    DrawHud(canvas, race, 100.0);

    const Placed want[] = {
        {"УРОВЕНЬ 7 / 10", 16, 714, 20, true},  // slot 6
        {"01 : 05", 22, 87, 23, true},          // slot 18 ...
        {"12345", 22, 84, 218, true},
        {"0", 22, 113, 342, true},
        {"190", 22, 91, 578, true},
        {"2/6", 14, 635, 185, false},  // slot 24
    };
    ASSERT_EQ(text.drawn.size(), std::size(want));
    for (std::size_t n = 0; n < std::size(want); ++n) {
        const Placed& p = want[n];
        const test::DrawnText& d = text.drawn[n];
        SCOPED_TRACE(p.text);
        EXPECT_EQ(d.text, p.text);
        EXPECT_EQ(d.font.size, p.size);
        EXPECT_EQ(d.font.face, "BancoDi");
        EXPECT_FALSE(d.font.bold);
        // The fake measures half the point size per character.
        const double w = test::CharacterCount(d.text) * p.size / 2.0;
        const double h = p.size + 3;
        EXPECT_EQ(d.x, p.centreX ? static_cast<int>(p.x - w / 2) : p.x);
        EXPECT_EQ(d.y, static_cast<int>(p.y - h / 2));
    }
    // Level and place share a colour; the values are the same green-blue as well.
    EXPECT_EQ(text.drawn[0].font.color, 0xCAFC42u);
    EXPECT_EQ(text.drawn[5].font.color, 0xCAFC42u);
}

}  // namespace
}  // namespace vrumbal
