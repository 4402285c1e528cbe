#include "engine/frame_timer.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/clock.h"

namespace vrumbal {
namespace {

// A game-style timer (interval 0) on a simulated clock, recording the lag of every frame.
struct TimerRig {
    SimulatedClock clock;
    TDXTimer timer{clock};
    std::vector<int> lags;

    explicit TimerRig(std::uint32_t startMs = 5000) : clock(startMs) {
        timer.SetInterval(0);
        timer.OnTimer = [this](int lag) { lags.push_back(lag); };
        timer.Loaded();
    }
    // Advances the clock and runs one idle pass.
    bool StepMs(std::uint32_t ms) {
        clock.AdvanceMs(ms);
        return timer.Idle();
    }
};

TEST(FrameTimer, LagCountIsTheMillisecondsSinceThePreviousFrameAtLeastOne) {
    TimerRig rig;
    EXPECT_TRUE(rig.StepMs(7));
    EXPECT_TRUE(rig.StepMs(0));  // two frames within one millisecond
    EXPECT_TRUE(rig.StepMs(16));
    rig.clock.AdvanceMicros(400);
    EXPECT_TRUE(rig.timer.Idle());
    EXPECT_EQ(rig.lags, (std::vector<int>{7, 1, 16, 1}));
}

TEST(FrameTimer, NothingRunsBeforeLoadingOrWhileDisabled) {
    SimulatedClock clock(0);
    TDXTimer timer(clock);
    int frames = 0;
    timer.SetInterval(0);
    timer.OnTimer = [&](int) { ++frames; };
    clock.AdvanceMs(5);
    EXPECT_FALSE(timer.Idle());
    timer.SetEnabled(false);
    timer.Loaded();
    clock.AdvanceMs(5);
    EXPECT_FALSE(timer.Idle());
    timer.Activate();  // a stopped timer stays stopped through activation
    EXPECT_FALSE(timer.Idle());
    timer.SetEnabled(true);
    clock.AdvanceMs(5);
    EXPECT_TRUE(timer.Idle());
    EXPECT_EQ(frames, 1);
}

TEST(FrameTimer, IntervalGivesWholeIntervalsOfLag) {
    TimerRig rig;
    rig.timer.SetInterval(20);
    EXPECT_FALSE(rig.StepMs(19));
    EXPECT_TRUE(rig.StepMs(1));   // 20 since the last frame
    EXPECT_TRUE(rig.StepMs(45));  // two whole intervals
    EXPECT_FALSE(rig.StepMs(5));
    rig.timer.SetInterval(-3);  // stored as 0
    EXPECT_EQ(rig.timer.Interval(), 0);
    EXPECT_TRUE(rig.StepMs(0));
    EXPECT_EQ(rig.lags, (std::vector<int>{1, 2, 5}));
}

TEST(FrameTimer, FramesPerSecondIsMeasuredOverWindowsOfASecond) {
    struct Case {
        const char* name;
        int framesPerSecond;  // frames run at even spacing
        int seconds;
        std::vector<int> expected;  // FramesPerSecond after each second
    };
    const std::vector<Case> cases = {
        {"85 frames a second", 85, 3, {85, 85, 85}},
        {"60 frames a second", 60, 2, {60, 60}},
        {"one frame a second", 1, 3, {1, 1, 1}},
        {"1000 frames a second", 1000, 2, {1000, 1000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TimerRig rig;
        std::vector<int> seen;
        std::uint64_t before = 0;
        for (int f = 1; f <= c.framesPerSecond * c.seconds; ++f) {
            const std::uint64_t at = std::uint64_t(f) * 1000000 / c.framesPerSecond;
            rig.clock.AdvanceMicros(at - before);
            before = at;
            ASSERT_TRUE(rig.timer.Idle());
            // Nothing is known until the first second is over.
            if (f < c.framesPerSecond) {
                EXPECT_EQ(rig.timer.FramesPerSecond(), 0);
            }
            if (f % c.framesPerSecond == 0) seen.push_back(rig.timer.FramesPerSecond());
        }
        EXPECT_EQ(seen, c.expected);
    }
}

TEST(FrameTimer, RateRoundsHalvesToEven) {
    TimerRig rig;
    // Three frames in a window of 1200 ms: 2.5 frames a second, reported as 2.
    rig.StepMs(400);
    rig.StepMs(400);
    EXPECT_EQ(rig.timer.FramesPerSecond(), 0);
    rig.StepMs(400);
    EXPECT_EQ(rig.timer.FramesPerSecond(), 2);
    // Seven frames in 2000 ms: 3.5, reported as 4.
    for (int i = 0; i < 6; ++i) rig.StepMs(100);
    EXPECT_EQ(rig.timer.FramesPerSecond(), 2);
    rig.StepMs(1400);
    EXPECT_EQ(rig.timer.FramesPerSecond(), 4);
}

TEST(FrameTimer, BackgroundPauseDoesNotCountAsLag) {
    TimerRig rig;
    rig.StepMs(10);
    rig.timer.Deactivate();
    EXPECT_FALSE(rig.timer.Running());
    EXPECT_FALSE(rig.StepMs(10000));
    rig.timer.Activate();
    EXPECT_TRUE(rig.StepMs(3));
    EXPECT_EQ(rig.lags, (std::vector<int>{10, 3}));

    // Without the active-only rule the timer keeps running in the background.
    rig.timer.SetActiveOnly(false);
    rig.timer.Deactivate();
    EXPECT_TRUE(rig.StepMs(4));
    // Turning the rule on while in the background rests the timer at once.
    rig.timer.SetActiveOnly(true);
    EXPECT_FALSE(rig.StepMs(4));
    EXPECT_EQ(rig.lags.back(), 4);
}

TEST(FrameTimer, SurvivesTheMillisecondCounterWrapping) {
    TimerRig rig(0xFFFFFFFBu);    // 5 ms before the counter wraps
    EXPECT_TRUE(rig.StepMs(10));  // crosses zero
    EXPECT_TRUE(rig.StepMs(10));
    EXPECT_EQ(rig.lags, (std::vector<int>{10, 10}));
    // The rate window spans the wrap as well: 100 frames in 1000 ms.
    for (int i = 0; i < 97; ++i) rig.StepMs(10);
    EXPECT_EQ(rig.timer.FramesPerSecond(), 0);
    rig.StepMs(10);
    EXPECT_EQ(rig.timer.FramesPerSecond(), 100);
}

}  // namespace
}  // namespace vrumbal
