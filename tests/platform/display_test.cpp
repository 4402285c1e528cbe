#include "platform/display.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <vector>

#include "platform/refresh_rate.h"
#include "platform/sdl_event_feed.h"

namespace vrumbal {
namespace {

TEST(RefreshRate, UnknownOrAbsurdReportsFallBackTo60) {
    struct Case {
        int reported;
        int expected;
    };
    const Case cases[] = {{0, 60},  {1, 60},    {-1, 60},   {60, 60},    {75, 75},
                          {85, 85}, {144, 144}, {240, 240}, {100000, 60}};
    for (const Case& c : cases) EXPECT_EQ(UsableRefreshRate(c.reported), c.expected) << c.reported;
}

// The display over SDL's headless video driver: a 1024 x 768 desktop without a screen.
class SdlDisplayTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("SDL_VIDEODRIVER", "dummy", 0); }

    void SetUp() override {
        frame_.assign(800 * 600, 0);
        for (int y = 0; y < 600; ++y) {
            for (int x = 0; x < 800; ++x) frame_[y * 800 + x] = PackRgb565(x / 4, y / 3, 128);
        }
    }

    PixelBuffer Frame() { return PixelBuffer{frame_.data(), 800, 600, 800}; }

    std::unique_ptr<Display> Make(bool neverWait) {
        SdlDisplayOptions options;
        options.neverWait = neverWait;
        return CreateSdlDisplay(options);
    }

    std::vector<WindowEvent> Drain(Display& display) {
        std::vector<WindowEvent> out;
        display.PollEvents(out);
        return out;
    }

    std::vector<std::uint16_t> frame_;
};

TEST_F(SdlDisplayTest, OpensInBothModesAndPresents) {
    auto display = Make(true);
    std::string error;
    EXPECT_FALSE(display->IsOpen());
    display->Present(Frame(), true);  // before Open: nothing to do, nothing breaks

    ASSERT_TRUE(display->Open(false, error)) << error;
    EXPECT_TRUE(display->IsOpen());
    display->Present(Frame(), true);
    display->Close();
    EXPECT_FALSE(display->IsOpen());
    display->Present(Frame(), true);  // after Close: ignored

    ASSERT_TRUE(display->Open(true, error)) << error;
    EXPECT_TRUE(display->IsOpen());
    display->Present(Frame(), true);
    // Open again without Close, and back to the window.
    ASSERT_TRUE(display->Open(false, error)) << error;
    display->Present(Frame(), false);
    // A frame smaller than the window, or one without pixels, is shown or skipped safely.
    std::vector<std::uint16_t> small(100 * 50, 0xFFFF);
    display->Present(PixelBuffer{small.data(), 100, 50, 100}, false);
    display->Present(PixelBuffer{}, false);
    EXPECT_TRUE(display->HasFocus());  // no screen, so nothing else can be in front
    EXPECT_GE(display->RefreshRate(), 0);
}

TEST_F(SdlDisplayTest, PresentWaitsForTheRefreshUnlessTheClockIsSimulated) {
    std::string error;
    constexpr int kFrames = 12;
    auto paced = Make(false);
    ASSERT_TRUE(paced->Open(false, error)) << error;
    const int rate = UsableRefreshRate(paced->RefreshRate());
    paced->Present(Frame(), true);
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kFrames; ++i) paced->Present(Frame(), true);
    const auto pacedTime = std::chrono::steady_clock::now() - start;
    // Each frame waits for its own refresh; allow a little slack for the tick grid.
    EXPECT_GE(pacedTime, std::chrono::milliseconds(1000 * (kFrames - 1) / rate));

    auto unpaced = Make(true);
    ASSERT_TRUE(unpaced->Open(false, error)) << error;
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < kFrames; ++i) unpaced->Present(Frame(), true);
    EXPECT_LT(std::chrono::steady_clock::now() - start, pacedTime / 2);
}

TEST_F(SdlDisplayTest, TranslatesQueuedEventsInOrder) {
    auto display = Make(true);
    std::string error;
    ASSERT_TRUE(display->Open(false, error)) << error;
    Drain(*display);  // what the window system said about the new window
    const std::uint32_t window = SdlDisplayWindowId(*display);
    ASSERT_NE(window, 0u);
    constexpr int kHidA = 4, kHidBackspace = 42, kHidF9 = 66;
    const KeyModifiers shift{true, false, false, false};
    const KeyModifiers alt{false, false, true, false};

    ASSERT_TRUE(sdl_feed::Key(window, true, kHidA, 'a', shift));
    ASSERT_TRUE(sdl_feed::Key(window, true, kHidA, 'a', shift, true));  // auto-repeat
    ASSERT_TRUE(sdl_feed::Text(window, "\xD0\x96"));                    // Ж
    ASSERT_TRUE(sdl_feed::Key(window, false, kHidA, 'a', shift));
    ASSERT_TRUE(sdl_feed::Key(window, true, kHidBackspace, 8, {}));
    ASSERT_TRUE(sdl_feed::Key(window, true, kHidF9, kHidF9 | (1 << 30), alt));
    ASSERT_TRUE(sdl_feed::MouseMotion(window, 120, 340));
    ASSERT_TRUE(sdl_feed::MouseButton(window, true, 1, 1, 120, 340));
    ASSERT_TRUE(sdl_feed::MouseButton(window, false, 1, 1, 120, 340));
    ASSERT_TRUE(sdl_feed::MouseButton(window, true, 1, 2, 120, 340));
    ASSERT_TRUE(sdl_feed::MouseButton(window, false, 1, 2, 120, 340));
    ASSERT_TRUE(sdl_feed::Window(window, sdl_feed::WindowNote::Minimized));
    ASSERT_TRUE(sdl_feed::Window(window, sdl_feed::WindowNote::Restored));
    ASSERT_TRUE(sdl_feed::Window(window, sdl_feed::WindowNote::FocusLost));
    ASSERT_TRUE(sdl_feed::Window(window, sdl_feed::WindowNote::FocusGained));
    ASSERT_TRUE(sdl_feed::Window(window, sdl_feed::WindowNote::Close));
    ASSERT_TRUE(sdl_feed::Quit());

    using T = WindowEvent::Type;
    struct Expected {
        T type;
        int key = 0;
        int shift = 0;
        int ch = 0;
        int x = 0;
        int y = 0;
    };
    const std::vector<Expected> expected = {
        {T::KeyDown, 0x41, kShift},
        {T::KeyDown, 0x41, kShift},
        {T::Char, 0, 0, 0xC6},
        {T::KeyUp, 0x41, kShift},
        {T::KeyDown, 0x08},
        {T::Char, 0, 0, 8},
        {T::KeyDown, 0x78, kAlt},
        {T::MouseMove, 0, 0, 0, 120, 340},
        {T::MouseDown, 0, 0, 0, 120, 340},
        {T::MouseUp, 0, 0, 0, 120, 340},
        {T::Click, 0, 0, 0, 120, 340},
        {T::MouseDown, 0, 0, 0, 120, 340},
        {T::MouseUp, 0, 0, 0, 120, 340},
        {T::DoubleClick, 0, 0, 0, 120, 340},
        {T::Minimize},
        {T::Restore},
        {T::FocusLost},
        {T::FocusGained},
        {T::Close},
        {T::Quit},
    };
    const auto events = Drain(*display);
    ASSERT_EQ(events.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(events[i].type, expected[i].type);
        EXPECT_EQ(events[i].key, expected[i].key);
        EXPECT_EQ(events[i].shift, expected[i].shift);
        EXPECT_EQ(events[i].ch, expected[i].ch);
        EXPECT_EQ(events[i].x, expected[i].x);
        EXPECT_EQ(events[i].y, expected[i].y);
    }
    EXPECT_TRUE(Drain(*display).empty());
}

TEST_F(SdlDisplayTest, PointerPositionsArriveInFrameCoordinatesInFullScreen) {
    auto display = Make(true);
    std::string error;
    ASSERT_TRUE(display->Open(true, error)) << error;
    Drain(*display);
    const std::uint32_t window = SdlDisplayWindowId(*display);
    // The headless desktop is 1024 x 768: the frame is scaled by 1.28 to fill it.
    struct Case {
        int windowX, windowY, frameX, frameY;
    };
    const Case cases[] = {
        {0, 0, 0, 0}, {512, 384, 400, 300}, {1023, 767, 799, 599}, {128, 640, 100, 500}};
    for (const Case& c : cases) ASSERT_TRUE(sdl_feed::MouseMotion(window, c.windowX, c.windowY));
    const auto events = Drain(*display);
    ASSERT_EQ(events.size(), std::size(cases));
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i].type, WindowEvent::Type::MouseMove);
        EXPECT_EQ(events[i].x, cases[i].frameX) << i;
        EXPECT_EQ(events[i].y, cases[i].frameY) << i;
    }
}

// A window resized by the player: the frame is centred between bars, the pointer reaches it
// in frame coordinates, and presses on the bars reach nothing.
TEST_F(SdlDisplayTest, AWideWindowLetterboxesTheFrameAndMapsThePointer) {
    SdlDisplayOptions options;
    options.neverWait = true;
    options.forcedWindow = PixelRect{0, 0, 1200, 600};
    auto display = CreateSdlDisplay(options);
    std::string error;
    ASSERT_TRUE(display->Open(false, error)) << error;
    display->Present(Frame(), false);
    Drain(*display);
    const std::uint32_t window = SdlDisplayWindowId(*display);
    ASSERT_TRUE(sdl_feed::MouseMotion(window, 600, 300));              // the middle
    ASSERT_TRUE(sdl_feed::MouseMotion(window, 100, 300));              // the left bar
    ASSERT_TRUE(sdl_feed::MouseMotion(window, 999, 599));              // the frame's last pixel
    ASSERT_TRUE(sdl_feed::MouseButton(window, true, 1, 1, 1100, 20));  // on the right bar
    ASSERT_TRUE(sdl_feed::MouseButton(window, false, 1, 1, 1100, 20));
    const auto events = Drain(*display);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(std::make_pair(events[0].x, events[0].y), std::make_pair(400, 300));
    EXPECT_EQ(std::make_pair(events[1].x, events[1].y), std::make_pair(799, 599));
    const auto place = display->WindowPlacement();
    ASSERT_TRUE(place.has_value());
    EXPECT_EQ(place->width, 1200);
    EXPECT_EQ(place->height, 600);
}

TEST_F(SdlDisplayTest, PlacementComesBackAfterFullScreenOnceThenTheWindowIsCentred) {
    auto display = Make(true);
    std::string error;
    ASSERT_TRUE(display->Open(false, error)) << error;
    const std::uint32_t window = SdlDisplayWindowId(*display);
    // The headless desktop is 1024 x 768, so an 800 x 600 window is centred at (112, 84).
    const std::pair<int, int> centred{112, 84};
    EXPECT_EQ(SdlWindowPosition(window), centred);
    ASSERT_TRUE(sdl_feed::MoveWindow(window, 30, 40));

    // Window -> full screen -> window returns to where it was.
    display->Close();
    display->SavePlacement();
    ASSERT_TRUE(display->Open(true, error)) << error;
    display->Close();
    display->RestorePlacement();
    ASSERT_TRUE(display->Open(false, error)) << error;
    EXPECT_EQ(SdlWindowPosition(window), std::make_pair(30, 40));

    // Saving while full screen remembers nothing, so the way back centres the window.
    ASSERT_TRUE(sdl_feed::MoveWindow(window, 5, 6));
    ASSERT_TRUE(display->Open(true, error)) << error;
    display->SavePlacement();
    display->RestorePlacement();
    ASSERT_TRUE(display->Open(false, error)) << error;
    EXPECT_EQ(SdlWindowPosition(window), centred);

    // A placement is given back once; the next restore centres.
    ASSERT_TRUE(sdl_feed::MoveWindow(window, 50, 60));
    display->SavePlacement();
    ASSERT_TRUE(sdl_feed::MoveWindow(window, 70, 80));
    display->RestorePlacement();
    EXPECT_EQ(SdlWindowPosition(window), std::make_pair(50, 60));
    display->RestorePlacement();
    EXPECT_EQ(SdlWindowPosition(window), centred);
}

}  // namespace
}  // namespace vrumbal
