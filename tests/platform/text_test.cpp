#include "platform/text.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/font_locator.h"
#include "platform/text_cache.h"
#include "support/test_support.h"

namespace vrumbal {
namespace {

constexpr std::uint16_t kBackground = 0x1234;  // a colour no text here is drawn in

FontSpec Font(const char* face, int size, bool bold = false, std::uint32_t color = 0x00DEFF) {
    FontSpec font;
    font.face = face;
    font.size = size;
    font.bold = bold;
    font.color = color;
    return font;
}

// An RGB565 canvas filled with the background colour.
struct Canvas {
    Canvas(int w, int h) : width(w), height(h), pixels(std::size_t(w) * h, kBackground) {}
    PixelBuffer View() { return PixelBuffer{pixels.data(), width, height, width}; }
    std::uint16_t At(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
    // Bounds of the changed pixels: left, top, right, bottom (inclusive); left > right if none.
    std::array<int, 4> Changed() const {
        std::array<int, 4> box{width, height, -1, -1};
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (At(x, y) == kBackground) continue;
                box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x),
                       std::max(box[3], y)};
            }
        }
        return box;
    }
    int width;
    int height;
    std::vector<std::uint16_t> pixels;
};

TEST(FontLocator, FindsTheGameFaces) {
    FontLocator locator;
    struct Case {
        const char* face;
        bool bold;
        const char* fileNamePart;
    };
    const Case cases[] = {{"BancoDi", false, "Play-Regular"},
                          {"BancoDi", true, "Play-Bold"},
                          {"bancodi", true, "Play-Bold"},
                          {"Courier", false, "DejaVuSansMono"}};
    for (const Case& c : cases) {
        const auto found = locator.Find(c.face, c.bold, false);
        ASSERT_TRUE(found.has_value()) << c.face;
        EXPECT_NE(found->path.find(c.fileNamePart), std::string::npos) << found->path;
        EXPECT_FALSE(found->needsBold) << c.face;  // both faces have real bold files
    }
    // Any other name gets whatever fontconfig offers for it.
    EXPECT_TRUE(locator.Find("Some Face Nobody Has", false, false).has_value());
}

class TtfText : public ::testing::Test {
protected:
    std::unique_ptr<TextRenderer> text_ = CreateTtfTextRenderer();
};

TEST_F(TtfText, WidthGrowsWithTheTextAndHeightFollowsTheSize) {
    for (const FontSpec& font :
         {Font("BancoDi", 14), Font("BancoDi", 28, true), Font("Courier", 14)}) {
        SCOPED_TRACE(font.face + " " + std::to_string(font.size));
        const int one = text_->TextWidth("8", font);
        const int three = text_->TextWidth("888", font);
        EXPECT_GT(one, 0);
        EXPECT_GT(three, 2 * one);
        EXPECT_EQ(text_->TextWidth("", font), 0);
        // At 96 dpi a line is at least as tall as the em: points * 4 / 3 pixels.
        EXPECT_GE(text_->TextHeight("8", font), font.size * 4 / 3);
        EXPECT_LT(text_->TextHeight("8", font), font.size * 3);
    }
    EXPECT_GT(text_->TextWidth("8", Font("BancoDi", 28)),
              text_->TextWidth("8", Font("BancoDi", 14)));
    // The monospace face gives every character the same advance (a glyph that reaches past
    // its advance may add a pixel at the end).
    const FontSpec courier = Font("Courier", 14);
    EXPECT_NEAR(text_->TextWidth("iiii", courier), text_->TextWidth("WWWW", courier), 2);
    EXPECT_NEAR(text_->TextWidth("iiiiiiii", courier), 2 * text_->TextWidth("iiii", courier), 3);
}

TEST_F(TtfText, DrawsOnlyWithinItsMeasuredBoxInTheTextColour) {
    const FontSpec font = Font("BancoDi", 24, false, 0x0000FF);  // pure red
    const std::string text = "Score 1230";
    Canvas canvas(400, 100);
    text_->DrawText(canvas.View(), 50, 20, text, font);
    const auto box = canvas.Changed();
    ASSERT_LE(box[0], box[2]) << "nothing was drawn";
    EXPECT_GE(box[0], 50);
    EXPECT_GE(box[1], 20);
    EXPECT_LT(box[2], 50 + text_->TextWidth(text, font));
    EXPECT_LT(box[3], 20 + text_->TextHeight(text, font));
    // Inked pixels are the colour itself or a mix of it with the background, never anything
    // else: full red is there, and no pixel gained green or blue beyond the background's.
    int fullColour = 0;
    for (std::uint16_t p : canvas.pixels) {
        if (p == PackRgb565(255, 0, 0)) ++fullColour;
        EXPECT_LE(p & 0x07FF, kBackground & 0x07FF);
    }
    EXPECT_GT(fullColour, 20);
    // Not a filled box: the background shows between the glyphs.
    int untouchedInside = 0;
    for (int y = box[1]; y <= box[3]; ++y) {
        for (int x = box[0]; x <= box[2]; ++x) untouchedInside += canvas.At(x, y) == kBackground;
    }
    EXPECT_GT(untouchedInside, (box[2] - box[0]) * (box[3] - box[1]) / 4);
}

TEST_F(TtfText, ClipsToTheBufferAtEveryEdge) {
    const FontSpec font = Font("BancoDi", 20, true);
    const std::string text = "WWWW";
    const int w = text_->TextWidth(text, font);
    const int h = text_->TextHeight(text, font);
    // The buffer is a window into a larger canvas: nothing may land outside the window.
    Canvas big(300, 200);
    const int left = 100, top = 60, width = 100, height = 80;
    PixelBuffer window{big.pixels.data() + top * big.width + left, width, height, big.width};
    struct Case {
        const char* name;
        int x, y;
    };
    const Case cases[] = {{"over the left edge", -w / 2, 10},
                          {"over the top edge", 10, -h / 2},
                          {"over the right edge", width - w / 2, 10},
                          {"over the bottom edge", 10, height - h / 2},
                          {"far outside", -1000, 5000}};
    for (const Case& c : cases) text_->DrawText(window, c.x, c.y, text, font);
    for (int y = 0; y < big.height; ++y) {
        for (int x = 0; x < big.width; ++x) {
            const bool inside = x >= left && x < left + width && y >= top && y < top + height;
            if (!inside) {
                ASSERT_EQ(big.At(x, y), kBackground) << x << "," << y;
            }
        }
    }
    EXPECT_LE(big.Changed()[0], big.Changed()[2]);  // the parts inside were drawn
}

TEST_F(TtfText, ACachedTextDrawsTheSamePixels) {
    const FontSpec font = Font("BancoDi", 18);
    Canvas first(300, 60);
    Canvas second(300, 60);
    text_->DrawText(first.View(), 3, 4, "01 : 05", font);
    const int width = text_->TextWidth("01 : 05", font);
    text_->DrawText(second.View(), 3, 4, "01 : 05", font);
    EXPECT_EQ(first.pixels, second.pixels);
    EXPECT_EQ(text_->TextWidth("01 : 05", font), width);
    // Another colour is another text: same shape, other pixels.
    Canvas green(300, 60);
    text_->DrawText(green.View(), 3, 4, "01 : 05", Font("BancoDi", 18, false, 0x00FF00));
    EXPECT_NE(first.pixels, green.pixels);
    EXPECT_EQ(first.Changed(), green.Changed());
}

TEST_F(TtfText, CyrillicTextRendersInEveryFace) {
    const std::string level = "УРОВЕНЬ";
    for (const FontSpec& font :
         {Font("BancoDi", 16), Font("BancoDi", 16, true), Font("Courier", 14)}) {
        SCOPED_TRACE(font.face);
        Canvas canvas(300, 60);
        text_->DrawText(canvas.View(), 0, 0, level, font);
        const auto box = canvas.Changed();
        ASSERT_LE(box[0], box[2]);
        // Seven letters, not seven empty boxes or nothing: wider than a few letters' worth.
        EXPECT_GT(box[2] - box[0], 5 * font.size / 2);
        EXPECT_EQ(text_->TextWidth(level, font) > 0, true);
    }
}

TEST(TtfTextWithoutFonts, DrawsNothingAndMeasuresZero) {
    // A fontconfig set-up that knows no font directory at all.
    test::TempDir dir;
    const auto config = dir.Path() / "fonts.conf";
    std::ofstream(config) << "<?xml version=\"1.0\"?>\n<fontconfig><cachedir>"
                          << (dir.Path() / "cache").string() << "</cachedir></fontconfig>\n";
    const char* old = getenv("FONTCONFIG_FILE");
    const std::string saved = old != nullptr ? old : "";
    setenv("FONTCONFIG_FILE", config.c_str(), 1);
    auto text = CreateTtfTextRenderer();
    Canvas canvas(200, 50);
    text->DrawText(canvas.View(), 0, 0, "Score", Font("BancoDi", 20));
    EXPECT_EQ(text->TextWidth("Score", Font("BancoDi", 20)), 0);
    EXPECT_EQ(text->TextHeight("Score", Font("Courier", 14)), 0);
    if (old != nullptr) {
        setenv("FONTCONFIG_FILE", saved.c_str(), 1);
    } else {
        unsetenv("FONTCONFIG_FILE");
    }
    const auto box = canvas.Changed();
    EXPECT_GT(box[0], box[2]);
}

// A made-up rendered text: a w x h block whose coverage is given per pixel.
RenderedText Block(int w, int h, std::uint16_t color, std::vector<std::uint8_t> coverage) {
    RenderedText text;
    text.width = w;
    text.height = h;
    text.color = color;
    text.coverage = std::move(coverage);
    FindCoveredSpans(text);
    return text;
}

TEST(BlendRenderedText, MixesByCoverageAndKeepsUncoveredPixels) {
    const std::uint16_t white = 0xFFFF;
    const RenderedText text = Block(4, 1, white, {0, 128, 255, 0});
    Canvas canvas(6, 1);
    canvas.pixels.assign(6, 0x0000);
    BlendRenderedText(canvas.View(), 1, 0, text);
    EXPECT_EQ(canvas.At(0, 0), 0x0000);
    EXPECT_EQ(canvas.At(1, 0), 0x0000);  // coverage 0
    EXPECT_EQ(canvas.At(3, 0), white);   // full coverage
    EXPECT_EQ(canvas.At(4, 0), 0x0000);
    EXPECT_EQ(canvas.At(5, 0), 0x0000);
    // Half coverage of white over black: about half of every channel.
    const std::uint16_t half = canvas.At(2, 0);
    EXPECT_NEAR(half >> 11, 16, 1);
    EXPECT_NEAR((half >> 5) & 0x3F, 32, 2);
    EXPECT_NEAR(half & 0x1F, 16, 1);
}

TEST(BlendRenderedText, AgreesWithAChannelByChannelMixForAllColours) {
    // Every coverage level over a spread of colour pairs, checked against plain arithmetic.
    const std::uint16_t colours[] = {0x0000, 0xFFFF, 0xF800, 0x07E0, 0x001F,
                                     0x8410, 0x1234, 0xFEDC, 0x7BEF, 0xA5A5};
    for (std::uint16_t fg : colours) {
        for (std::uint16_t bg : colours) {
            std::vector<std::uint8_t> coverage(256);
            for (int a = 0; a < 256; ++a) coverage[a] = static_cast<std::uint8_t>(a);
            const RenderedText text = Block(256, 1, fg, coverage);
            Canvas canvas(256, 1);
            canvas.pixels.assign(256, bg);
            BlendRenderedText(canvas.View(), 0, 0, text);
            for (int a = 0; a < 256; ++a) {
                const std::uint16_t got = canvas.At(a, 0);
                const int shifts[3] = {11, 5, 0};
                const int masks[3] = {0x1F, 0x3F, 0x1F};
                for (int ch = 0; ch < 3; ++ch) {
                    const int f = (fg >> shifts[ch]) & masks[ch];
                    const int b = (bg >> shifts[ch]) & masks[ch];
                    const double want = b + (f - b) * a / 255.0;
                    const int have = (got >> shifts[ch]) & masks[ch];
                    // 5-bit alpha: within 1/32 of the range of the channel, plus rounding.
                    ASSERT_NEAR(have, want, masks[ch] / 32.0 + 1.0)
                        << "fg " << fg << " bg " << bg << " coverage " << a << " channel " << ch;
                }
            }
        }
    }
}

TEST(TextCache, DropsTheLeastRecentlyUsedTextsBeyondItsBudget) {
    const RenderedText sample = Block(100, 10, 1, std::vector<std::uint8_t>(1000, 255));
    const std::size_t each = sample.Bytes();
    TextCache cache(3 * each);
    cache.Insert("a", sample);
    cache.Insert("b", sample);
    cache.Insert("c", sample);
    EXPECT_EQ(cache.Count(), 3u);
    ASSERT_NE(cache.Find("a"), nullptr);  // a is now the most recent; b the least
    cache.Insert("d", sample);
    EXPECT_EQ(cache.Count(), 3u);
    EXPECT_EQ(cache.Find("b"), nullptr);
    EXPECT_NE(cache.Find("a"), nullptr);
    EXPECT_NE(cache.Find("c"), nullptr);
    EXPECT_NE(cache.Find("d"), nullptr);
    EXPECT_LE(cache.Bytes(), 3 * each);
    // Replacing a key keeps one copy.
    cache.Insert("d", Block(2, 2, 7, {1, 2, 3, 4}));
    EXPECT_EQ(cache.Count(), 3u);
    EXPECT_EQ(cache.Find("d")->color, 7);
    // A text bigger than the whole budget is still kept until the next one comes.
    const RenderedText huge = Block(1000, 10, 1, std::vector<std::uint8_t>(10000, 9));
    const RenderedText& kept = cache.Insert("huge", huge);
    EXPECT_EQ(kept.width, 1000);
    EXPECT_EQ(cache.Count(), 1u);
}

}  // namespace
}  // namespace vrumbal
