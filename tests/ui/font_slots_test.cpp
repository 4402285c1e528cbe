#include "ui/font_slots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <stdexcept>

#include "engine/dx_draw.h"
#include "engine/surface.h"
#include "support/fake_text.h"

namespace vrumbal {
namespace {

struct SlotCase {
    int slot;
    const char* face;
    int size;
    unsigned r, g, b;
    bool bold;
};

TEST(FontSlots, EntriesHoldFaceSizeColourAndStyle) {
    // The whole table, every slot.
    const SlotCase cases[] = {
        {1, "BancoDi", 30, 255, 222, 0, false},    {2, "BancoDi", 18, 255, 222, 0, false},
        {3, "BancoDi", 24, 255, 222, 0, false},    {4, "BancoDi", 28, 0, 0, 0, true},
        {5, "BancoDi", 36, 244, 9, 9, false},      {6, "BancoDi", 16, 66, 252, 202, false},
        {7, "BancoDi", 20, 66, 252, 202, false},   {8, "BancoDi", 16, 255, 255, 255, false},
        {9, "BancoDi", 26, 255, 222, 0, false},    {10, "BancoDi", 26, 0, 255, 174, false},
        {11, "BancoDi", 24, 255, 222, 0, false},   {12, "BancoDi", 24, 255, 222, 0, false},
        {13, "BancoDi", 24, 0, 255, 174, false},   {14, "BancoDi", 24, 255, 222, 0, false},
        {15, "BancoDi", 78, 255, 242, 168, false}, {16, "BancoDi", 24, 191, 166, 0, false},
        {17, "BancoDi", 18, 255, 222, 0, false},   {18, "BancoDi", 22, 66, 252, 202, false},
        {19, "BancoDi", 28, 255, 242, 168, false}, {20, "BancoDi", 14, 255, 242, 168, false},
        {21, "BancoDi", 15, 255, 242, 168, false}, {22, "Courier", 14, 0, 255, 0, false},
        {23, "BancoDi", 20, 255, 242, 168, false}, {24, "BancoDi", 14, 66, 252, 202, false},
        {25, "BancoDi", 18, 191, 166, 0, false},
    };
    for (const SlotCase& c : cases) {
        SCOPED_TRACE("slot " + std::to_string(c.slot));
        const FontSlot& s = FontSlotAt(c.slot);
        EXPECT_STREQ(s.face, c.face);
        EXPECT_EQ(s.size, c.size);
        // Windows colour values keep red in the low byte.
        EXPECT_EQ(s.color, c.r | (c.g << 8) | (c.b << 16));
        EXPECT_EQ(s.bold, c.bold);
    }
}

TEST(FontSlots, NumbersOutsideTheTableAreRefused) {
    for (const int slot : {0, -1, 26, 1000}) {
        EXPECT_THROW(FontSlotAt(slot), std::out_of_range) << slot;
    }
}

class CanvasTest : public ::testing::Test {
protected:
    test::FakeTextRenderer text;
    Surface surface{800, 600};
    TCanvas canvas{&text, surface};
};

TEST_F(CanvasTest, SelectFontSetsTheCanvasFontFromTheSlot) {
    canvas.font.italic = true;
    canvas.font.underline = true;
    SelectFont(canvas, 4);
    EXPECT_EQ(canvas.font.face, "BancoDi");
    EXPECT_EQ(canvas.font.size, 28);
    EXPECT_TRUE(canvas.font.bold);
    EXPECT_EQ(canvas.font.color, 0u);
    // The style is bold or nothing: a style left over from an earlier text must not stay.
    EXPECT_FALSE(canvas.font.italic);
    EXPECT_FALSE(canvas.font.underline);
    SelectFont(canvas, 22);
    EXPECT_EQ(canvas.font.face, "Courier");
    EXPECT_FALSE(canvas.font.bold);
}

TEST_F(CanvasTest, TextWidthInSlotMeasuresInThatSlotAndLeavesItSelected) {
    SelectFont(canvas, 15);
    EXPECT_EQ(TextWidthInSlot(canvas, "abcd", 8), 4 * 16 / 2);
    EXPECT_EQ(canvas.font.size, 16);
    EXPECT_EQ(TextWidthInSlot(canvas, "abcd", 15), 4 * 78 / 2);
}

struct CentreCase {
    int x, y;
    bool centreX, centreY;
    int size;  // point size: the fake text "hello" is 5 x size / 2 wide and size + 3 high
    int wantX, wantY;
};

TEST_F(CanvasTest, CentredTextMovesBackByHalfTheSizeTruncatedTowardZero) {
    const CentreCase cases[] = {
        {100, 50, false, false, 14, 100, 50},  // no centring: exactly at (x, y)
        {100, 50, true, false, 14, 82, 50},    // width 35: 82.5
        {100, 50, false, true, 14, 100, 41},   // height 17: 41.5
        {100, 50, true, true, 20, 75, 38},     // width 50, height 23: 75, 38.5
        {10, 5, true, true, 14, -7, -3},       // -7.5 and -3.5 go toward zero, not down
    };
    for (const CentreCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y) + " size " +
                     std::to_string(c.size));
        text.drawn.clear();
        canvas.font.size = c.size;
        CentredText(canvas, "hello", c.x, c.y, c.centreX, c.centreY);
        ASSERT_EQ(text.drawn.size(), 1u);
        EXPECT_EQ(text.drawn[0].x, c.wantX);
        EXPECT_EQ(text.drawn[0].y, c.wantY);
        EXPECT_EQ(text.drawn[0].text, "hello");
    }
}

TEST_F(CanvasTest, CentredTextInSlotDrawsInTheSlotsFont) {
    CentredTextInSlot(canvas, "abc", 2, 200, 100, true, true);
    ASSERT_EQ(text.drawn.size(), 1u);
    EXPECT_EQ(text.drawn[0].font.size, 18);
    EXPECT_EQ(text.drawn[0].x, 186);  // width 27: 186.5
    EXPECT_EQ(text.drawn[0].y, 89);   // height 21: 89.5
}

// The box around the pixels a draw has changed on a black surface.
struct Ink {
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
};

Ink InkOf(const Surface& s) {
    Ink ink;
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) {
            if (s.Row(y)[x] == 0) continue;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
        }
    }
    return ink;
}

TEST(CentredTextTrueType, CentresTheRealTextOnBothAxes) {
    const std::unique_ptr<TextRenderer> renderer = CreateTtfTextRenderer();
    Surface plain(400, 200);
    Surface centred(400, 200);
    TCanvas plainCanvas(renderer.get(), plain);
    TCanvas centredCanvas(renderer.get(), centred);
    for (const int slot : {6, 18, 22}) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        plain.Fill(0);
        centred.Fill(0);
        SelectFont(plainCanvas, slot);
        SelectFont(centredCanvas, slot);
        const std::string text = "01 : 05";
        const int w = plainCanvas.TextWidth(text);
        const int h = plainCanvas.TextHeight(text);
        ASSERT_GT(w, 0);
        ASSERT_GT(h, 0);
        CentredText(plainCanvas, text, 200, 100, false, false);
        CentredText(centredCanvas, text, 200, 100, true, true);
        const Ink a = InkOf(plain);
        const Ink b = InkOf(centred);
        ASSERT_GE(a.right, 0) << "nothing drawn";
        // The same pixels, moved back by half the text's size.
        const int shiftX = static_cast<int>(200 - w / 2.0) - 200;
        const int shiftY = static_cast<int>(100 - h / 2.0) - 100;
        EXPECT_EQ(b.left, a.left + shiftX);
        EXPECT_EQ(b.top, a.top + shiftY);
        EXPECT_EQ(b.right - b.left, a.right - a.left);
        // The ink lies inside the measured box, around the centre point.
        EXPECT_GE(b.left, 200 - w / 2 - 1);
        EXPECT_LE(b.right, 200 + w / 2 + 1);
        EXPECT_GE(b.top, 100 - h / 2 - 1);
        EXPECT_LE(b.bottom, 100 + h / 2 + 1);
        EXPECT_NEAR((b.left + b.right) / 2.0, 200, 4);
    }
}

}  // namespace
}  // namespace vrumbal
