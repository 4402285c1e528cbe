#include "platform/display.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
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

    // A display whose window is width x height whatever the screen, opened as a window.
    std::unique_ptr<Display> OpenSized(int width, int height) {
        SdlDisplayOptions options;
        options.neverWait = true;
        options.forcedWindow = PixelRect{0, 0, width, height};
        auto display = CreateSdlDisplay(options);
        std::string error;
        EXPECT_TRUE(display->Open(false, error)) << error;
        return display;
    }

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

// A frame pixel as the window shows it at its own size: each channel widened
// from its 5 or 6 bits with the high bits repeated below, so white stays white.
std::uint32_t Shown(std::uint16_t p) {
    const unsigned r = p >> 11, g = (p >> 5) & 0x3F, b = p & 0x1F;
    return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
}

// Where the window shows something other than the frame laid at (x0, y0), each pixel scale
// times over, with black everywhere around it; the number of such pixels.
int Mismatches(const WindowPixels& w, const std::vector<std::uint16_t>& frame, int x0, int y0,
               int scale) {
    int wrong = 0;
    for (int y = 0; y < w.height; ++y) {
        for (int x = 0; x < w.width; ++x) {
            const int fx = (x - x0) / scale, fy = (y - y0) / scale;
            const bool inside = x >= x0 && y >= y0 && fx < 800 && fy < 600;
            const std::uint32_t expected = inside ? Shown(frame[fy * 800 + fx]) : 0;
            if (w.pixels[static_cast<std::size_t>(y) * w.width + x] != expected) ++wrong;
        }
    }
    return wrong;
}

TEST_F(SdlDisplayTest, OpensInBothModesAndShowsTheFrame) {
    auto display = Make(true);
    std::string error;
    EXPECT_FALSE(display->IsOpen());
    display->Present(Frame(), true);  // before Open: nothing to do, nothing breaks
    EXPECT_FALSE(ReadSdlDisplayWindow(*display).has_value());

    // The headless desktop is 1024 x 768: the window opens at the frame's own size.
    ASSERT_TRUE(display->Open(false, error)) << error;
    EXPECT_TRUE(display->IsOpen());
    display->Present(Frame(), true);
    auto shown = ReadSdlDisplayWindow(*display);
    ASSERT_TRUE(shown.has_value());
    ASSERT_EQ(std::make_pair(shown->width, shown->height), std::make_pair(800, 600));
    EXPECT_EQ(Mismatches(*shown, frame_, 0, 0, 1), 0);
    // After Close a frame is ignored: the window keeps the last one.
    display->Close();
    EXPECT_FALSE(display->IsOpen());
    std::vector<std::uint16_t> white(800 * 600, 0xFFFF);
    display->Present(PixelBuffer{white.data(), 800, 600, 800}, true);
    EXPECT_EQ(Mismatches(ReadSdlDisplayWindow(*display).value(), frame_, 0, 0, 1), 0);

    // Full screen fills the 4:3 desktop, the frame smoothly scaled by 1.28: each pixel is
    // near its source's colour. The window's place is kept for the way back, as the game does.
    display->SavePlacement();
    ASSERT_TRUE(display->Open(true, error)) << error;
    EXPECT_TRUE(display->IsOpen());
    display->Present(Frame(), true);
    shown = ReadSdlDisplayWindow(*display);
    ASSERT_TRUE(shown.has_value());
    ASSERT_EQ(std::make_pair(shown->width, shown->height), std::make_pair(1024, 768));
    int far = 0;
    for (int y = 0; y < 768; y += 7) {
        for (int x = 0; x < 1024; x += 5) {
            const std::uint32_t p = shown->pixels[static_cast<std::size_t>(y) * 1024 + x];
            const std::uint32_t want = Shown(frame_[(y * 600 / 768) * 800 + x * 800 / 1024]);
            for (int shift : {16, 8, 0}) {
                if (std::abs(static_cast<int>(p >> shift & 0xFF) -
                             static_cast<int>(want >> shift & 0xFF)) > 8) {
                    ++far;
                }
            }
        }
    }
    EXPECT_EQ(far, 0);

    // Open again without Close, and back to the window at its own size.
    display->RestorePlacement();
    ASSERT_TRUE(display->Open(false, error)) << error;
    display->Present(Frame(), false);
    shown = ReadSdlDisplayWindow(*display);
    ASSERT_TRUE(shown.has_value());
    ASSERT_EQ(std::make_pair(shown->width, shown->height), std::make_pair(800, 600));
    EXPECT_EQ(Mismatches(*shown, frame_, 0, 0, 1), 0);
    // A frame without pixels is skipped; a smaller one is shown whole, scaled to the window.
    display->Present(PixelBuffer{}, false);
    EXPECT_EQ(Mismatches(ReadSdlDisplayWindow(*display).value(), frame_, 0, 0, 1), 0);
    std::vector<std::uint16_t> small(100 * 50, 0xFFFF);
    display->Present(PixelBuffer{small.data(), 100, 50, 100}, false);
    shown = ReadSdlDisplayWindow(*display);
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->pixels[300 * 800 + 400], 0xFFFFFFu);
    EXPECT_TRUE(display->HasFocus());  // no screen, so nothing else can be in front
    EXPECT_GE(display->RefreshRate(), 0);
}

// A window of twice the frame's size, as on a 2560 x 1600 screen: every pixel of the frame
// is a sharp 2 x 2 block, nothing blended.
TEST_F(SdlDisplayTest, ADoubledWindowShowsEveryPixelAsASharpBlock) {
    auto display = OpenSized(1600, 1200);
    ASSERT_TRUE(display->IsOpen());
    // Every pixel unlike its neighbours, so a block taken from the wrong one shows.
    std::vector<std::uint16_t> busy(800 * 600);
    for (std::size_t i = 0; i < busy.size(); ++i) {
        busy[i] = static_cast<std::uint16_t>(i * 2654435761u >> 7);
    }
    display->Present(PixelBuffer{busy.data(), 800, 600, 800}, false);
    const auto shown = ReadSdlDisplayWindow(*display);
    ASSERT_TRUE(shown.has_value());
    ASSERT_EQ(std::make_pair(shown->width, shown->height), std::make_pair(1600, 1200));
    EXPECT_EQ(Mismatches(*shown, busy, 0, 0, 2), 0);
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

    // Under a simulated clock a present asked to wait costs what one that is not asked
    // costs: taken in turns, so a busy machine slows both alike. Waiting would add about
    // eleven refreshes.
    auto unpaced = Make(true);
    ASSERT_TRUE(unpaced->Open(false, error)) << error;
    std::chrono::steady_clock::duration asked{}, notAsked{};
    for (int i = 0; i < kFrames; ++i) {
        for (bool wait : {true, false}) {
            start = std::chrono::steady_clock::now();
            unpaced->Present(Frame(), wait);
            (wait ? asked : notAsked) += std::chrono::steady_clock::now() - start;
        }
    }
    EXPECT_LT(asked, notAsked + std::chrono::milliseconds(1000 * (kFrames - 1) / rate / 2));
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
    auto display = OpenSized(1200, 600);
    ASSERT_TRUE(display->IsOpen());
    display->Present(Frame(), false);
    // The frame at its own size in the middle, black bars of 200 pixels either side.
    const auto shown = ReadSdlDisplayWindow(*display);
    ASSERT_TRUE(shown.has_value());
    ASSERT_EQ(std::make_pair(shown->width, shown->height), std::make_pair(1200, 600));
    EXPECT_EQ(Mismatches(*shown, frame_, 200, 0, 1), 0);
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

// A bare X server of 1366 x 768 with no window manager, as a kiosk or a plain X session has:
// nothing grants a full-screen request, so the window keeps its size and place, while SDL
// believes it got the whole screen.
class BareXServer : public SdlDisplayTest {
protected:
    static void SetUpTestSuite() {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        server_ = fork();
        ASSERT_GE(server_, 0);
        if (server_ == 0) {
            close(ready[0]);
            const std::string fd = std::to_string(ready[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1366x768x24",
                   "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ready[1]);
        // The server writes its display number once it takes connections.
        std::string number;
        char c = 0;
        while (read(ready[0], &c, 1) == 1 && c != '\n') number += c;
        close(ready[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb did not start";
        setenv("DISPLAY", (":" + number).c_str(), 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        // The window's own pixels, as on a machine without a GPU; no OpenGL is tried.
        setenv("SDL_RENDER_DRIVER", "software", 1);
    }
    static void TearDownTestSuite() {
        if (server_ > 0) {
            kill(server_, SIGTERM);
            waitpid(server_, nullptr, 0);
        }
    }
    // Presents the frame once the window system has had its say.
    void Show(Display& display) {
        Drain(display);
        display.Present(Frame(), false);
    }

    static pid_t server_;  // the X server
};
pid_t BareXServer::server_ = 0;

TEST_F(BareXServer, RefusedFullScreenShowsTheWholeFrameAndTheWindowKeepsItsPlace) {
    SdlDisplayOptions options;
    options.neverWait = true;
    auto display = CreateSdlDisplay(options);
    ASSERT_FALSE(display->Unavailable().has_value()) << *display->Unavailable();
    std::string error;
    ASSERT_TRUE(display->Open(false, error)) << error;
    const PixelRect centred{283, 84, 800, 600};
    EXPECT_EQ(display->WindowPlacement(), centred);
    Show(*display);
    auto shown = ReadShownWindow(*display);
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(Mismatches(*shown, frame_, 0, 0, 1), 0);

    // Full screen asked for and not granted: the frame stays whole in the window it has.
    display->SavePlacement();
    ASSERT_TRUE(display->Open(true, error)) << error;
    Show(*display);
    shown = ReadShownWindow(*display);
    ASSERT_TRUE(shown.has_value());
    ASSERT_EQ(std::make_pair(shown->width, shown->height), std::make_pair(800, 600));
    EXPECT_EQ(Mismatches(*shown, frame_, 0, 0, 1), 0);
    EXPECT_EQ(display->LastFit().area, (PixelRect{0, 0, 800, 600}));
    EXPECT_EQ(display->WindowPlacement(), centred);

    // Back to the window: the same place, the same picture, and that place is what is kept.
    display->RestorePlacement();
    ASSERT_TRUE(display->Open(false, error)) << error;
    Show(*display);
    shown = ReadShownWindow(*display);
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(Mismatches(*shown, frame_, 0, 0, 1), 0);
    EXPECT_EQ(display->WindowPlacement(), centred);
}

}  // namespace
}  // namespace vrumbal
