// The game's fonts and the text renderer that draws UTF-8 texts onto RGB565 pixels.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/pixel_buffer.h"

namespace vrumbal {

// A font as the game asks for it: a face name, a size and a style.
struct FontSpec {
    std::string face;       // "BancoDi" (the display face) or "Courier" (a monospace face)
    int size = 12;          // points at 96 dpi
    bool bold = false;      // bold style
    bool italic = false;    // italic style
    bool underline = false; // underlined
    std::uint32_t color = 0;  // 0x00BBGGRR, red in the low byte
};

// Draws UTF-8 texts onto RGB565 pixels, without a background.
class TextRenderer {
public:
    virtual ~TextRenderer() = default;
    // Draws text with its top-left corner at (x, y), clipped to the buffer.
    virtual void DrawText(const PixelBuffer& target, int x, int y, const std::string& utf8,
                          const FontSpec& font) = 0;
    // Width in pixels of the text as DrawText would draw it.
    virtual int TextWidth(const std::string& utf8, const FontSpec& font) = 0;
    // Height in pixels of a line of the text.
    virtual int TextHeight(const std::string& utf8, const FontSpec& font) = 0;
};

// The renderer over SDL_ttf, with faces found through fontconfig.
std::unique_ptr<TextRenderer> CreateTtfTextRenderer();

}  // namespace vrumbal
