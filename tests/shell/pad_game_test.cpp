// The game with controllers attached through SDL's virtual joystick, driven frame by frame:
// plugged in while it runs, several at once, pulled out in a race, the rumble of hits and
// crashes, and the name and the country typed with the picker up to their limits.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "dialog_rig.h"
#include "platform/virtual_pad.h"
#include "race/player.h"
#include "screens/options_screen.h"

namespace vrumbal::test {
namespace {

// A game with SDL's controllers, on the main menu.
class PadGame : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Without a window SDL would deliver anyway; with one, only to a focused window.
        setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    }
    void SetUp() override {
        rig_ = std::make_unique<DialogRig>(85, metrics_, true);
        // The main menu takes no choice while its buttons fly in.
        for (int i = 0; i < 2000 && rig_->Game().MenuIntroActive != 0; ++i) rig_->Frames(1);
        ASSERT_EQ(rig_->Game().MenuIntroActive, 0);
    }
    void TearDown() override {
        pads_.clear();  // pulled out before the game goes
        rig_.reset();
    }
    VirtualPad& Plug() {
        pads_.push_back(std::make_unique<VirtualPad>());
        EXPECT_TRUE(pads_.back()->Attached());
        rig_->Frames(2);  // announced, then opened
        return *pads_.back();
    }
    void Tap(VirtualPad& pad, PadButton b) {
        pad.SetButton(b, true);
        rig_->Frames(1);
        pad.SetButton(b, false);
        rig_->Frames(1);
    }
    // A new game whose test renderer makes every character this wide.
    void Restart(int charWidth) {
        pads_.clear();
        rig_.reset();
        metrics_.charWidth = charWidth;
        SetUp();
    }
    // Starts a race and waits out its level notice.
    void Ride() {
        rig_->StartRace();
        rig_->FramesWhileOpen(kDialogLevelStart);
        ASSERT_EQ(rig_->Game().DialogKind, kDialogNone);
    }

    TextMetrics metrics_;
    std::unique_ptr<DialogRig> rig_;
    std::vector<std::unique_ptr<VirtualPad>> pads_;
};

TEST_F(PadGame, AControllerPluggedInWhileTheGameRunsWorksAtOnceAndSoDoesASecond) {
    GameState& s = rig_->Game();
    EXPECT_EQ(rig_->Form().Platform().pads->Count(), 0);
    VirtualPad& first = Plug();
    VirtualPad& second = Plug();
    EXPECT_EQ(rig_->Form().Platform().pads->Count(), 2);
    ASSERT_EQ(s.ScreenKind, kScreenMainMenu);
    const int selection = s.MenuSelection;
    Tap(first, PadButton::DpadDown);
    EXPECT_EQ(s.MenuSelection, selection + 1);
    Tap(second, PadButton::DpadUp);
    EXPECT_EQ(s.MenuSelection, selection);
    // A on the first entry: the bike choice; B on the second controller: back.
    Tap(second, PadButton::A);
    EXPECT_EQ(s.ScreenKind, kScreenBikeChoice);
    Tap(first, PadButton::B);
    EXPECT_EQ(s.ScreenKind, kScreenMainMenu);
}

TEST_F(PadGame, PullingTheControllerInUseOutPausesTheRaceAndAnotherOneDoesNot) {
    VirtualPad& idle = Plug();
    Plug();
    Ride();
    GameState& s = rig_->Game();
    pads_.back()->SetAxis(PadAxis::TriggerRight, 32767);
    rig_->Frames(30);
    EXPECT_GT(rig_->Form().RaceFlow().Bike()->Speed, 0);
    // The idle one goes: the race rides on.
    pads_.erase(pads_.begin());
    rig_->Frames(2);
    EXPECT_EQ(s.DialogKind, kDialogNone);
    // The one in use goes: the pause.
    pads_.clear();
    rig_->Frames(2);
    EXPECT_EQ(s.DialogKind, kDialogPause);
    EXPECT_EQ(rig_->Form().Platform().pads->Count(), 0);
    (void)idle;
}

TEST_F(PadGame, StartPausesAndResumesAndBackAsksToLeave) {
    VirtualPad& pad = Plug();
    Ride();
    GameState& s = rig_->Game();
    Tap(pad, PadButton::Start);
    EXPECT_EQ(s.DialogKind, kDialogPause);
    Tap(pad, PadButton::Start);
    EXPECT_EQ(s.DialogKind, kDialogNone);
    Tap(pad, PadButton::Start);
    Tap(pad, PadButton::B);
    EXPECT_EQ(s.DialogKind, kDialogNone);
    Tap(pad, PadButton::Back);
    EXPECT_EQ(s.DialogKind, kDialogExit);
    // B says no and the race goes on.
    Tap(pad, PadButton::B);
    EXPECT_EQ(s.DialogKind, kDialogNone);
    EXPECT_EQ(s.ScreenKind, kScreenRace);
}

TEST_F(PadGame, AHitShakesLightlyACrashStronglyAndNothingShakesOverADialog) {
    VirtualPad& pad = Plug();
    Ride();
    TPlayer& bike = *rig_->Form().RaceFlow().Bike();
    const struct {
        const char* what;
        int hits;         // hits taken between two frames
        bool paused;      // with the pause open
        double strength;  // of the rumble started, 0: none
    } cases[] = {
        {"a rival's hit", 1, false, 0.35},
        {"nothing", 0, false, 0},
        {"a hit over the pause", 1, true, 0},
        {"the last hits: a crash", 2, false, 1.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.paused) {
            Tap(pad, PadButton::Start);
            ASSERT_EQ(rig_->Game().DialogKind, kDialogPause);
        }
        const std::uint64_t before = rig_->Form().LastRumbleFrame();
        if (c.hits > 0) bike.TakeHits(c.hits);
        rig_->Frames(2);  // the frame that sees it, and SDL's delivery to the device
        if (c.strength > 0) {
            EXPECT_GT(rig_->Form().LastRumbleFrame(), before);
            EXPECT_NEAR(rig_->Form().LastRumble(), c.strength, 0.01);
            // SDL hands the rumble on to the controller.
            EXPECT_NEAR(pad.LastRumble(), c.strength, 0.01);
        } else {
            EXPECT_EQ(rig_->Form().LastRumbleFrame(), before);
        }
        if (c.paused) Tap(pad, PadButton::Start);
    }
    EXPECT_TRUE(bike.Crashed);
}

// The name entry with the picker: each field keeps its limits.
TEST_F(PadGame, ThePickerTypesTheNameUpToItsLimitsAndStartFinishesIt) {
    const struct {
        int charWidth;  // pixels per character in the test renderer
        std::size_t longest;
    } cases[] = {
        {10, kNameMaxLength},  // 12 characters come first
        {30, 9},               // 240 px: the ninth starts at 240, the tenth would start past
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.charWidth);
        Restart(c.charWidth);
        VirtualPad& pad = Plug();
        Ride();
        GameState& s = rig_->Game();
        rig_->Race().Score = 5500;
        rig_->Form().EndGame();
        ASSERT_EQ(s.DialogKind, kDialogNameEntry);
        s.PlayerName.clear();
        Tap(pad, PadButton::DpadUp);
        Tap(pad, PadButton::DpadUp);
        EXPECT_EQ(s.PlayerName, "\xC1");
        for (int i = 0; i < 20; ++i) Tap(pad, PadButton::A);
        EXPECT_EQ(s.PlayerName, std::string(c.longest, '\xC1'));
        Tap(pad, PadButton::B);
        EXPECT_EQ(s.PlayerName.size(), c.longest - 1);
        Tap(pad, PadButton::Start);
        EXPECT_NE(s.DialogKind, kDialogNameEntry);
        int entry = 1;
        while (entry < 10 && s.HighScores[entry].score != 5500) ++entry;
        EXPECT_EQ(s.HighScores[entry].name, std::string(c.longest - 1, '\xC1'));
    }
}

TEST_F(PadGame, ThePickerTypesTheCountryUpToItsLimits) {
    const struct {
        int charWidth;
        std::size_t longest;
    } cases[] = {
        {10, kCountryMaxLength},  // 16 characters come first
        {40, 9},                  // 345 px: the ninth starts at 320, the tenth past the limit
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.charWidth);
        Restart(c.charWidth);
        VirtualPad& pad = Plug();
        GameState& s = rig_->Game();
        rig_->Form().ActivateEntry(3);  // the options screen
        rig_->Frames(1);
        ASSERT_EQ(s.ScreenKind, kScreenOptions);
        s.MenuSelection = 10;  // the country
        rig_->Frames(1);
        Tap(pad, PadButton::A);
        ASSERT_EQ(s.CountryEditing, 1);
        s.Country.clear();
        Tap(pad, PadButton::DpadDown);
        EXPECT_EQ(s.Country, " ");
        Tap(pad, PadButton::DpadDown);
        EXPECT_EQ(s.Country, "9");
        for (int i = 0; i < 20; ++i) Tap(pad, PadButton::DpadRight);
        EXPECT_EQ(s.Country, std::string(c.longest, '9'));
        // Up and down never leave the country while it is typed; Start ends the typing.
        EXPECT_EQ(s.MenuSelection, 10);
        Tap(pad, PadButton::Start);
        EXPECT_EQ(s.CountryEditing, 0);
        EXPECT_EQ(s.Country, std::string(c.longest, '9'));
    }
}

}  // namespace
}  // namespace vrumbal::test
