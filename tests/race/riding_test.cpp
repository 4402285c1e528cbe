// The bike's riding: speeds, brakes, steering, lean and the engine's gear bands.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "bike_rig.h"
#include "engine/picture_collection.h"

namespace vrumbal::test {
namespace {

// The speed share of a riding frame: controls, then the speed update.
void Ride(TPlayer& bike, int frames) {
    for (int i = 0; i < frames; ++i) {
        bike.Controls();
        bike.SpeedUpdate();
    }
}

TEST(BikeRiding, ThrottleSettlesAtEachModelsTopSpeed) {
    const struct {
        int model, fps;
        double top;  // 160 x the model's top-speed factor
    } cases[] = {{1, 85, 160 * (6 / 110.0 + 0.9)},
                 {2, 85, 160.0},
                 {2, 60, 160.0},
                 {4, 144, 160 * (9 / 110.0 + 0.9)}};
    for (const auto& c : cases) {
        BikeRig rig(c.fps, c.model);
        TPlayer& bike = rig.Bike();
        bike.Throttle = true;
        Ride(bike, 6000);
        double low = 1e9, high = -1e9;
        for (int i = 0; i < 500; ++i) {
            Ride(bike, 1);
            low = std::min(low, bike.Speed);
            high = std::max(high, bike.Speed);
        }
        EXPECT_LE(high, c.top + 0.05) << "model " << c.model << " at " << c.fps;
        EXPECT_GE(low, c.top - 0.25) << "model " << c.model << " at " << c.fps;
        EXPECT_DOUBLE_EQ(bike.GroundSpeed, bike.TopSpeedFactor() * bike.Speed / 8);
    }
}

TEST(BikeRiding, BrakesReverseAndRoll) {
    BikeRig rig;
    TPlayer& bike = rig.Bike();
    // Down from standstill reverses to exactly -8 and no further.
    bike.Brake = true;
    double lowest = 0;
    for (int i = 0; i < 200; ++i) {
        Ride(bike, 1);
        lowest = std::min(lowest, bike.Speed);
    }
    EXPECT_EQ(bike.Speed, -8.0);
    EXPECT_EQ(lowest, -8.0);
    // Letting go while reversing keeps the reverse speed.
    bike.Brake = false;
    Ride(bike, 100);
    EXPECT_EQ(bike.Speed, -8.0);

    // Rolling forward with no key: at least 0.05 lost per frame, ending exactly at 0.
    bike.Speed = 30;
    while (bike.Speed > 0) {
        const double before = bike.Speed;
        Ride(bike, 1);
        EXPECT_TRUE(bike.Speed == 0 || before - bike.Speed >= 0.05 - 1e-12) << before;
    }
    EXPECT_EQ(bike.Speed, 0.0);
    Ride(bike, 10);
    EXPECT_EQ(bike.Speed, 0.0);
}

TEST(BikeRiding, HandBrakeTakesPointSixAndStopsDeadBelowOne) {
    const struct {
        double from, to;
    } cases[] = {{0.9, 0}, {-0.9, 0}, {1.5, 0}, {2, 1.4}, {50, 49.4}, {-5, -4.4}, {0, 0}};
    BikeRig rig;
    TPlayer& bike = rig.Bike();
    bike.HandBrake = true;
    for (const auto& c : cases) {
        bike.Speed = c.from;
        Ride(bike, 1);
        EXPECT_NEAR(bike.Speed, c.to, 1e-12) << c.from;
    }
}

TEST(BikeRiding, SteeringFollowsTheDirectionOfTravel) {
    const struct {
        double speed;
        bool left, handBrake;
        int sign;  // of the change of Steer
    } cases[] = {{0, true, false, 0},  {40, true, false, -1},  {40, false, false, 1},
                 {-5, true, false, 1}, {-5, false, false, -1}, {40, true, true, 0}};
    BikeRig rig;
    TPlayer& bike = rig.Bike();
    for (const auto& c : cases) {
        bike.Steer = 0;
        bike.Speed = c.speed;
        bike.GroundSpeed = bike.TopSpeedFactor() * c.speed / 8;
        bike.SteerLeft = c.left;
        bike.SteerRight = !c.left;
        bike.HandBrake = c.handBrake;
        bike.Controls();
        const int sign = bike.Steer > 0 ? 1 : (bike.Steer < 0 ? -1 : 0);
        EXPECT_EQ(sign, c.sign) << c.speed << (c.left ? " left" : " right");
    }
    // Steering stays within a quarter turn either side.
    bike.HandBrake = false;
    bike.Speed = 10;
    bike.GroundSpeed = 1;
    bike.SteerLeft = false;
    bike.SteerRight = true;
    for (int i = 0; i < 400; ++i) bike.Controls();
    EXPECT_EQ(bike.Steer, 128.0);
    rig.PassLevelStart();
    rig.Frames(1);
    EXPECT_EQ(bike.Heading, 64);
}

TEST(BikeRiding, OffTheRoadAboveEightyTheBrakeIsHalfAPoint) {
    const struct {
        bool onRoad, throttle, brake;
        double speed, decel;
    } cases[] = {{false, true, false, 90, 0.5},
                 {false, false, true, 90, 0.5},
                 {false, false, false, 90, 0.5},
                 {false, false, false, 80, -1},
                 {true, false, false, 90, -1}};
    BikeRig rig;
    TPlayer& bike = rig.Bike();
    for (const auto& c : cases) {
        bike.OnRoad = c.onRoad;
        bike.Throttle = c.throttle;
        bike.Brake = c.brake;
        bike.Speed = c.speed;
        bike.Controls();
        if (c.decel >= 0) {
            EXPECT_EQ(bike.Decel, c.decel);
        } else {
            EXPECT_NE(bike.Decel, 0.5);
        }
    }
}

TEST(BikeRiding, LeanPicturesFollowTheKeysAndTheHeading) {
    BikeRig rig;
    TPlayer& bike = rig.Bike();
    TPictureCollection& list = *rig.Form().Sprites().imageList2;
    const BikeModel& m = BikeModelOf(1);
    GameState& game = rig.Game();
    auto step = [&](bool left, bool right, int frames) {
        for (int i = 0; i < frames; ++i) {
            game.HeldLeft = left;
            game.HeldRight = right;
            bike.SteerLeft = left;
            bike.SteerRight = right;
            bike.LeanControl();
        }
    };
    // Too slow to lean.
    bike.Speed = 3;
    step(true, false, 5);
    EXPECT_EQ(bike.LeanState, 0);
    EXPECT_EQ(bike.Image(), &list.Items(m.uprightPicture));
    // The picture switches at once but deepens only once the heading has moved 6.
    bike.Speed = 70;
    step(false, false, 1);
    step(true, false, 20);
    EXPECT_EQ(bike.LeanState, -1);
    EXPECT_EQ(bike.Image(), &list.Items(m.leanLeftPicture));
    EXPECT_EQ(bike.FramePos, 5.5);
    bike.Heading = -6;
    step(true, false, 10);
    EXPECT_NEAR(bike.FramePos, 5.5 - 10 * 0.075, 1e-9);
    step(true, false, 100);
    EXPECT_NEAR(bike.FramePos, 5.5 - 70 / 35.0, 1e-9);  // deepest at this speed
    // Right while leaning left first leans out, then comes upright, then leans right.
    int outFrames = 0;
    while (bike.FramePos != 5.5 && outFrames < 30) {
        step(false, true, 1);
        EXPECT_EQ(bike.LeanState, -1);
        ++outFrames;
    }
    EXPECT_GE(outFrames, 20);  // 2 patterns at 0.1 a frame
    EXPECT_LE(outFrames, 21);
    step(false, true, 1);
    EXPECT_EQ(bike.LeanState, 0);
    step(false, true, 1);
    EXPECT_EQ(bike.LeanState, 1);
    EXPECT_EQ(bike.Image(), &list.Items(m.leanRightPicture));
}

TEST(BikeRiding, ThrottleFromSixtyToSeventyShiftsOnceWithAClickAndAMark) {
    for (const int model : {1, 2}) {
        BikeRig rig(85, model);
        rig.PassLevelStart();
        TPlayer& bike = rig.Bike();
        rig.KeyDown(kKeyUp);
        rig.Frames(1);
        const double m = bike.TopSpeedFactor();
        bike.Speed = 60 * m;
        const int clicks = rig.Sounds().starts[19];
        std::vector<EngineSoundState> states;
        int marksLaid = 0;
        for (int i = 0; i < 400 && bike.Speed <= 70 * m; ++i) {
            const int marks = bike.MarksInUse();
            rig.Frames(1);
            ASSERT_TRUE(bike.OnRoad);
            if (bike.MarksInUse() > marks) ++marksLaid;
            if (states.empty() || states.back() != bike.EngineSound) {
                states.push_back(bike.EngineSound);
            }
        }
        const std::vector<EngineSoundState> expected = {
            EngineSoundState::Gear, EngineSoundState::Shift, EngineSoundState::Gear};
        EXPECT_EQ(states, expected) << "model " << model;
        EXPECT_TRUE(rig.Sounds().playing[10]);
        EXPECT_FALSE(rig.Sounds().playing[9]);
        EXPECT_EQ(rig.Sounds().starts[19], clicks + 1);
        EXPECT_EQ(marksLaid, 1);
    }
}

TEST(BikeRiding, SpeedometerNeedleFollowsTheSpeed) {
    const struct {
        double speed;
        bool shifting;
        int angle;
    } cases[] = {{0, false, 28},    {-8, false, 28},  {10, false, 36},
                 {100, false, 105}, {100, true, 104}, {160, false, 151}};
    for (const auto& c : cases) {
        EXPECT_EQ(RaceScreen::NeedleAngleFor(c.speed, c.shifting), c.angle) << c.speed;
    }
    BikeRig rig;
    rig.PassLevelStart();
    rig.KeyDown(kKeyUp);
    rig.Frames(200);
    const TPlayer& bike = rig.Bike();
    EXPECT_EQ(rig.Race().Needle()->NeedleAngle,
              RaceScreen::NeedleAngleFor(bike.Speed, bike.EngineSound == EngineSoundState::Shift));
    EXPECT_GT(rig.Race().Needle()->NeedleAngle, 28);
}

}  // namespace
}  // namespace vrumbal::test
