// A text renderer for the tests that records every draw and measures texts by a simple rule,
// so that positions can be checked to the pixel.
#pragma once
#include <string>
#include <vector>

#include "platform/text.h"
#include "support/test_support.h"

namespace vrumbal::test {

// One text drawn.
struct DrawnText {
    int x;
    int y;
    std::string text;
    FontSpec font;
};

// Width: half the point size per character; height: the point size plus 3.
class FakeTextRenderer final : public TextRenderer {
public:
    void DrawText(const PixelBuffer&, int x, int y, const std::string& text,
                  const FontSpec& font) override {
        drawn.push_back({x, y, text, font});
    }
    int TextWidth(const std::string& text, const FontSpec& font) override {
        return CharacterCount(text) * font.size / 2;
    }
    int TextHeight(const std::string&, const FontSpec& font) override { return font.size + 3; }

    std::vector<DrawnText> drawn;  // every draw, in order
};

}  // namespace vrumbal::test
