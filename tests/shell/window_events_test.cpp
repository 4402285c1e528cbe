// The window's own events through the frame loop, on a display that records what it is
// asked: the boss key (silence, a race paused, full screen left, the window hidden) with its
// exact modifiers, Alt+Enter, minimising (a race pauses, a menu does not) and restoring (the
// drawing surface made again).
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "shell/dialogs.h"
#include "shell/main_form.h"
#include "support/fake_platform.h"
#include "support/test_support.h"

namespace vrumbal {
namespace {

using Type = WindowEvent::Type;
constexpr int kF5 = 0x74;
constexpr int kF9 = 0x78;
constexpr int kEnter = 0x0D;

// A game on the built content with a recording display, past the main menu's intro.
class WindowEvents : public testing::Test {
protected:
    void SetUp() override {
        test::LinkBuiltData(dir_.Path());
        SimulatedClock* clock = nullptr;
        PlatformBundle p = test::FakePlatform(log_, clock);
        clock_ = clock;
        test::AddRecordingDisplay(p, log_);
        FormConfig config;
        config.dataRoot = dir_.Path();
        config.seed = 3;
        config.refreshOverride = 85;
        form_ = std::make_unique<TMForm>(std::move(p), config);
        form_->FormCreate();
        Frames(2);
        log_.display.clear();
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            clock_->AdvanceMicros(11765);
            form_->MDXTimer.Idle();
        }
    }
    void Key(int vk, std::uint8_t shift) {
        WindowEvent down{Type::KeyDown, vk, shift};
        form_->HandleEvent(down);
        WindowEvent up{Type::KeyUp, vk, shift};
        form_->HandleEvent(up);
        Frames(1);
    }
    void Event(Type type) {
        WindowEvent e{type};
        form_->HandleEvent(e);
        Frames(1);
    }
    // Starts a race; its level notice is open.
    void Race() {
        form_->StartRace(1);
        Frames(1);
        ASSERT_EQ(form_->State().DialogKind, kDialogLevelStart);
    }
    bool Asked(const std::string& what) const {
        return std::find(log_.display.begin(), log_.display.end(), what) != log_.display.end();
    }

    test::TempDir dir_;
    test::PlatformLog log_;
    SimulatedClock* clock_ = nullptr;
    std::unique_ptr<TMForm> form_;
};

TEST_F(WindowEvents, TheBossKeyFiresOnItsExactModifiersOnly) {
    const struct {
        const char* what;
        std::uint8_t hotShift;
        int hotCode;
        int key;
        std::uint8_t shift;
        bool fires;
    } cases[] = {
        {"Alt+F9, the default", kAlt, kF9, kF9, kAlt, true},
        {"Ctrl+Alt+F9 is another key", kAlt, kF9, kF9, kAlt | kCtrl, false},
        {"F9 alone", kAlt, kF9, kF9, 0, false},
        {"Alt+F8", kAlt, kF9, kF9 - 1, kAlt, false},
        {"a key without modifier: F5", 0, kF5, kF5, 0, true},
        {"Shift+F5 is not F5", 0, kF5, kF5, kShift, false},
        {"no key set: never", kAlt, 0, kF9, kAlt, false},
        {"no key set, no modifier", 0, 0, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GameState& s = form_->State();
        s.HotKeyShift = c.hotShift;
        s.HotKeyCode = c.hotCode;
        s.MusicRestartPending = 0;
        form_->StartScreenMusic();
        ASSERT_NE(form_->CurrentSong(), 0);
        log_.display.clear();
        Key(c.key, c.shift);
        EXPECT_EQ(Asked("minimize"), c.fires);
        EXPECT_EQ(form_->CurrentSong() == 0, c.fires);  // the music stops
        EXPECT_EQ(s.MusicRestartPending, c.fires ? 1 : 0);
        EXPECT_EQ(s.ScreenKind, kScreenMainMenu);
        EXPECT_EQ(s.DialogKind, kDialogNone);  // a menu is not paused
    }
}

TEST_F(WindowEvents, TheBossKeyInAFullScreenRacePausesItAndLeavesFullScreenForGood) {
    GameState& s = form_->State();
    Key(kEnter, kAlt);
    ASSERT_EQ(s.FullScreen, 1);
    Race();
    log_.display.clear();
    Key(kF9, kAlt);
    // The level notice gives way to the pause; the window comes back and is hidden.
    EXPECT_EQ(s.DialogKind, kDialogPause);
    EXPECT_EQ(s.FullScreen, 0);
    EXPECT_TRUE(Asked("open window"));
    EXPECT_TRUE(Asked("minimize"));
    EXPECT_EQ(form_->CurrentSong(), 0);
    // The music comes back when the pause closes.
    Key('P', 0);
    EXPECT_EQ(s.DialogKind, kDialogNone);
    EXPECT_NE(form_->CurrentSong(), 0);
    EXPECT_EQ(s.MusicRestartPending, 0);
}

TEST_F(WindowEvents, AltEnterSwitchesTheDisplayModeAndPausesARace) {
    GameState& s = form_->State();
    const struct {
        const char* what;
        bool race;
        int fullBefore;
        const char* asked;
    } cases[] = {
        {"to full screen on the menu", false, 0, "open full"},
        {"back to the window on the menu", false, 1, "open window"},
        {"to full screen in a race", true, 0, "open full"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.race) Race();
        if (c.race) Key('P', 0);  // the level notice gives way to the race ...
        if (c.race) s.DialogKind = kDialogNone;
        ASSERT_EQ(s.FullScreen, c.fullBefore);
        log_.display.clear();
        Key(kEnter, kAlt);
        EXPECT_EQ(s.FullScreen, 1 - c.fullBefore);
        EXPECT_TRUE(Asked(c.asked));
        EXPECT_EQ(s.DialogKind, c.race ? kDialogPause : kDialogNone);
    }
    // Enter without Alt switches nothing.
    log_.display.clear();
    Key(kEnter, 0);
    EXPECT_TRUE(log_.display.empty());
}

// Full screen as the window system answers it: granted, refused (the window keeps its size),
// smaller or larger than the screen, or granted only a few frames later. Every frame is fitted
// whole into the size the display reports, and FullScreen keeps the player's choice.
TEST_F(WindowEvents, EveryFrameFitsTheSizeTheWindowReallyHas) {
    GameState& s = form_->State();
    const Display& display = *form_->Platform().display;
    const struct {
        const char* what;
        PixelSize answer;
        PixelSize later;  // the size from the third present on; none when 0 x 0
        PixelRect area;   // where the frame then goes
    } cases[] = {
        {"granted", {1920, 1080}, {}, {240, 0, 1440, 1080}},
        {"refused", {800, 600}, {}, {0, 0, 800, 600}},
        {"smaller", {640, 400}, {}, {53, 0, 533, 400}},
        {"larger and not 4:3", {1366, 768}, {}, {171, 0, 1024, 768}},
        {"granted later", {800, 600}, {1920, 1200}, {160, 0, 1600, 1200}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        log_.fullScreenSize = c.answer;
        log_.sizeAtPresent.clear();
        if (c.later.width > 0) log_.sizeAtPresent[log_.presents + 3] = c.later;
        Key(kEnter, kAlt);
        ASSERT_EQ(s.FullScreen, 1);
        Frames(3);
        EXPECT_EQ(display.LastOutput(), c.later.width > 0 ? c.later : c.answer);
        EXPECT_EQ(display.LastFit().area, c.area);
        // Back to the window, which has the frame's own size again.
        Key(kEnter, kAlt);
        ASSERT_EQ(s.FullScreen, 0);
        EXPECT_EQ(display.LastFit().area, (PixelRect{0, 0, 800, 600}));
    }
}

TEST_F(WindowEvents, MinimisingPausesARaceButNotAMenuAndRestoringMakesTheSurfaceAgain) {
    GameState& s = form_->State();
    Event(Type::Minimize);
    EXPECT_EQ(s.DialogKind, kDialogNone);
    EXPECT_EQ(s.ScreenKind, kScreenMainMenu);
    Event(Type::Restore);
    EXPECT_TRUE(Asked("open window"));

    Race();
    Event(Type::Minimize);
    // The level notice is closed and the pause waits.
    EXPECT_EQ(s.DialogKind, kDialogPause);
    log_.display.clear();
    const int presents = log_.presents;
    Event(Type::Restore);
    EXPECT_TRUE(Asked("open window"));
    Frames(3);
    EXPECT_GT(log_.presents, presents);  // frames are shown again
    EXPECT_EQ(s.DialogKind, kDialogPause);
}

}  // namespace
}  // namespace vrumbal
