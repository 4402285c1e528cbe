// The window's size and place on the screens it may open on, the frame's letterbox in a window
// of any size with the pointer mapped into it, and the window file beside the saves.
#include "platform/window_fit.h"

#include <gtest/gtest.h>

namespace vrumbal {
namespace {

TEST(WindowFit, OpensAtTheLargestWholeMultipleThatFitsOrWhereItWas) {
    const PixelRect laptop{0, 0, 1366, 728}, fullHd{0, 0, 1920, 1040}, wide{0, 0, 2560, 1600},
        fourK{0, 0, 3840, 2120}, second{2560, 0, 1920, 1080};
    const struct {
        const char* what;
        std::vector<PixelRect> areas;
        std::optional<PixelRect> remembered;
        PixelRect expected;
    } cases[] = {
        {"small laptop: once", {laptop}, std::nullopt, {283, 64, 800, 600}},
        {"too small even for once: once all the same",
         {{0, 0, 640, 480}},
         std::nullopt,
         {-80, -60, 800, 600}},
        {"1080p panel: once", {fullHd}, std::nullopt, {560, 220, 800, 600}},
        {"2560 x 1600: twice", {wide}, std::nullopt, {480, 200, 1600, 1200}},
        {"4K: three times", {fourK}, std::nullopt, {720, 160, 2400, 1800}},
        {"the first display decides", {fullHd, wide}, std::nullopt, {560, 220, 800, 600}},
        {"a usable area that starts off the origin",
         {{0, 32, 2560, 1568}},
         std::nullopt,
         {480, 216, 1600, 1200}},
        {"remembered and still on the screen",
         {fullHd},
         PixelRect{100, 50, 1000, 700},
         {100, 50, 1000, 700}},
        {"remembered on the second display",
         {fullHd, second},
         PixelRect{2600, 10, 1200, 900},
         {2600, 10, 1200, 900}},
        {"remembered off every display",
         {fullHd},
         PixelRect{3000, 10, 800, 600},
         {560, 220, 800, 600}},
        {"remembered partly off the screen",
         {fullHd},
         PixelRect{1500, 500, 800, 600},
         {560, 220, 800, 600}},
        {"remembered larger than any display",
         {fullHd},
         PixelRect{0, 0, 2400, 1800},
         {560, 220, 800, 600}},
        {"no display known", {}, std::nullopt, {0, 0, 800, 600}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const PixelRect got = ChooseWindow(c.areas, c.remembered, 800, 600);
        EXPECT_EQ(got, c.expected)
            << got.x << "," << got.y << " " << got.width << "x" << got.height;
    }
}

TEST(WindowFit, TheFrameKeepsItsShapeBetweenBlackBarsAndThePointerFollows) {
    const struct {
        int outW, outH;
        PixelRect area;
        bool whole;
        // A pointer position in the output and the frame pixel it must reach (-1: bars).
        int px, py, fx, fy;
    } cases[] = {
        {800, 600, {0, 0, 800, 600}, true, 799, 599, 799, 599},
        {1600, 1200, {0, 0, 1600, 1200}, true, 801, 3, 400, 1},
        {2400, 1800, {0, 0, 2400, 1800}, true, 2399, 0, 799, 0},
        {1200, 600, {200, 0, 800, 600}, true, 200, 0, 0, 0},
        {1200, 600, {200, 0, 800, 600}, true, 199, 300, -1, -1},
        {1200, 600, {200, 0, 800, 600}, true, 1000, 300, -1, -1},
        {1920, 1080, {240, 0, 1440, 1080}, false, 960, 540, 400, 300},
        {1920, 1080, {240, 0, 1440, 1080}, false, 239, 540, -1, -1},
        {1600, 1300, {0, 50, 1600, 1200}, true, 0, 49, -1, -1},
        {1600, 1300, {0, 50, 1600, 1200}, true, 1599, 1249, 799, 599},
        {1000, 700, {33, 0, 933, 700}, false, 33 + 466, 350, 399, 300},
        {400, 300, {0, 0, 400, 300}, false, 399, 299, 798, 598},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.outW) + "x" + std::to_string(c.outH) + " at " +
                     std::to_string(c.px) + "," + std::to_string(c.py));
        const FrameFit fit = FitFrame(c.outW, c.outH, 800, 600);
        EXPECT_EQ(fit.area, c.area);
        EXPECT_EQ(fit.wholeMultiple, c.whole);
        const auto at = OutputToFrame(fit, c.px, c.py, 800, 600);
        if (c.fx < 0) {
            EXPECT_FALSE(at.has_value());
        } else {
            ASSERT_TRUE(at.has_value());
            EXPECT_EQ(*at, std::make_pair(c.fx, c.fy));
        }
    }
}

TEST(WindowFit, TheWindowFileReadsBackWhatWasWrittenAndRefusesTheRest) {
    const PixelRect window{-20, 35, 1600, 1200};
    EXPECT_EQ(FormatWindowFile(window), "-20 35 1600 1200\n");
    EXPECT_EQ(ParseWindowFile(FormatWindowFile(window)), window);
    for (const char* damaged : {"", "10 20 30", "a b c d", "1 2 0 600", "1 2 800 -3",
                                "1 2 800 600 7", "1 2 800 600x", "1 2 999999 600"}) {
        EXPECT_FALSE(ParseWindowFile(damaged).has_value()) << "'" << damaged << "'";
    }
}

}  // namespace
}  // namespace vrumbal
