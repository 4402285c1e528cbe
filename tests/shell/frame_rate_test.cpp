#include "shell/frame_rate.h"

#include <gtest/gtest.h>

namespace vrumbal {
namespace {

struct PaceCase {
    int measured;         // frames per second the timer measured
    int refresh;          // monitor refresh
    int expectedRate;     // the rate the pace must be taken from
};

class PaceTest : public testing::TestWithParam<PaceCase> {};

TEST_P(PaceTest, UsesTheRightRate) {
    const PaceCase c = GetParam();
    const FramePace pace = PaceForFrameRate(c.measured, c.refresh);
    EXPECT_DOUBLE_EQ(pace.speedFactor, 85.0 / c.expectedRate);
    EXPECT_EQ(pace.frameMs, static_cast<int>(1000.0 / c.expectedRate));
}

INSTANTIATE_TEST_SUITE_P(
    RateRules, PaceTest,
    testing::Values(
        // The first second has no measurement: the refresh rate counts.
        PaceCase{0, 60, 60}, PaceCase{0, 85, 85},
        // Within three below the refresh counts as the refresh.
        PaceCase{57, 60, 60}, PaceCase{58, 60, 60}, PaceCase{59, 60, 60}, PaceCase{60, 60, 60},
        // Just above the refresh is taken as measured.
        PaceCase{61, 60, 61}, PaceCase{62, 60, 62},
        // Well above the refresh counts as the refresh again.
        PaceCase{63, 60, 60}, PaceCase{300, 60, 60},
        // Well below the refresh is taken as measured.
        PaceCase{40, 60, 40}, PaceCase{56, 60, 56}, PaceCase{1, 85, 1},
        PaceCase{144, 144, 144}, PaceCase{120, 144, 120}));

TEST(PaceTest, ExamplesFromTheRules) {
    const FramePace at58 = PaceForFrameRate(58, 60);
    EXPECT_NEAR(at58.speedFactor, 1.4166666666, 1e-9);
    EXPECT_EQ(at58.frameMs, 16);
    const FramePace at40 = PaceForFrameRate(40, 60);
    EXPECT_DOUBLE_EQ(at40.speedFactor, 2.125);
    EXPECT_EQ(at40.frameMs, 25);
}

TEST(PaceTest, NeverDividesByZero) {
    // A refresh of 0 with no measurement would divide by zero.
    const FramePace pace = PaceForFrameRate(0, 0);
    EXPECT_GT(pace.frameMs, 0);
    EXPECT_TRUE(pace.speedFactor > 0 && pace.speedFactor < 10);
}

}  // namespace
}  // namespace vrumbal
