// The text renderer over SDL_ttf: fonts opened by face, size and style, rendered texts cached,
// and measured sizes remembered.
#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <map>
#include <optional>
#include <tuple>
#include <unordered_map>

#include "platform/font_locator.h"
#include "platform/text.h"
#include "platform/text_cache.h"

namespace vrumbal {
namespace {

// Rendered texts are kept up to this much memory: a few screens' worth of every text the game
// shows, far more than one frame draws.
constexpr std::size_t kCacheBudgetBytes = 8u << 20;
// Measured sizes kept before the table is emptied and starts again: far more distinct texts
// than any screen measures, so every frame after a screen's first finds its widths here.
constexpr std::size_t kMeasuredLimit = 4096;
// Sizes are points at 96 pixels per inch.
constexpr unsigned kDpi = 96;
// Bounds on a point size, so a bad request cannot ask for a gigantic glyph bitmap.
constexpr int kSmallestPoints = 1;
constexpr int kLargestPoints = 400;

struct FontCloser {
    void operator()(TTF_Font* font) const { TTF_CloseFont(font); }
};
using FontHandle = std::unique_ptr<TTF_Font, FontCloser>;

struct SurfaceFreer {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfaceHandle = std::unique_ptr<SDL_Surface, SurfaceFreer>;

std::uint16_t ColorToRgb565(std::uint32_t bgr) {
    return PackRgb565(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

// The coverage of a text rendered white on transparent: its alpha channel.
std::optional<RenderedText> CoverageOf(SDL_Surface* rendered, std::uint16_t color) {
    SurfaceHandle argb(SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0));
    if (!argb || SDL_LockSurface(argb.get()) != 0) return std::nullopt;
    RenderedText text;
    text.width = argb->w;
    text.height = argb->h;
    text.color = color;
    text.coverage.resize(std::size_t(text.width) * text.height);
    for (int row = 0; row < text.height; ++row) {
        const auto* line = reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(argb->pixels) + std::ptrdiff_t(row) * argb->pitch);
        std::uint8_t* cover = text.coverage.data() + std::size_t(row) * text.width;
        for (int col = 0; col < text.width; ++col) cover[col] = line[col] >> 24;
    }
    SDL_UnlockSurface(argb.get());
    FindCoveredSpans(text);
    return text;
}

class TtfTextRenderer final : public TextRenderer {
public:
    TtfTextRenderer() : cache_(kCacheBudgetBytes) { ttfReady_ = TTF_Init() == 0; }

    ~TtfTextRenderer() override {
        fonts_.clear();  // every font must be closed before the library goes
        if (ttfReady_) TTF_Quit();
    }

    TtfTextRenderer(const TtfTextRenderer&) = delete;
    TtfTextRenderer& operator=(const TtfTextRenderer&) = delete;

    void DrawText(const PixelBuffer& target, int x, int y, const std::string& utf8,
                  const FontSpec& font) override {
        if (utf8.empty()) return;
        std::string key = CacheKey(font, utf8);
        const RenderedText* text = cache_.Find(key);
        if (text == nullptr) {
            std::optional<RenderedText> rendered = Render(utf8, font);
            if (!rendered) return;
            text = &cache_.Insert(key, std::move(*rendered));
        }
        BlendRenderedText(target, x, y, *text);
    }

    int TextWidth(const std::string& utf8, const FontSpec& font) override {
        return Measure(utf8, font).first;
    }

    int TextHeight(const std::string& utf8, const FontSpec& font) override {
        return Measure(utf8, font).second;
    }

private:
    // What makes one rendered text differ from another.
    static std::string CacheKey(const FontSpec& font, const std::string& text) {
        std::string key;
        key.reserve(font.face.size() + text.size() + 24);
        key += font.face;
        key += '\0';
        key += std::to_string(font.size);
        key += static_cast<char>('0' + (font.bold ? 1 : 0) + (font.italic ? 2 : 0) +
                                 (font.underline ? 4 : 0));
        key += std::to_string(font.color & 0xFFFFFF);
        key += '\0';
        key += text;
        return key;
    }

    // The open font for a request; null when no font file can be had.
    TTF_Font* FontFor(const FontSpec& spec) {
        if (!ttfReady_) return nullptr;
        const auto faceKey = std::make_tuple(spec.face, spec.bold, spec.italic);
        auto face = faces_.find(faceKey);
        if (face == faces_.end()) {
            if (!locator_) locator_ = std::make_unique<FontLocator>();
            face = faces_.emplace(faceKey, locator_->Find(spec.face, spec.bold, spec.italic)).first;
        }
        if (!face->second) return nullptr;
        const FontFile& file = *face->second;
        const int points = std::clamp(spec.size, kSmallestPoints, kLargestPoints);
        int style = TTF_STYLE_NORMAL;
        if (file.needsBold) style |= TTF_STYLE_BOLD;
        if (file.needsItalic) style |= TTF_STYLE_ITALIC;
        if (spec.underline) style |= TTF_STYLE_UNDERLINE;
        const auto fontKey = std::make_tuple(file.path, file.index, points, style);
        auto open = fonts_.find(fontKey);
        if (open == fonts_.end()) {
            FontHandle handle(
                TTF_OpenFontIndexDPI(file.path.c_str(), points, file.index, kDpi, kDpi));
            if (handle) TTF_SetFontStyle(handle.get(), style);
            // A file that fails to open is remembered as such rather than tried every frame.
            open = fonts_.emplace(fontKey, std::move(handle)).first;
        }
        return open->second.get();
    }

    std::optional<RenderedText> Render(const std::string& utf8, const FontSpec& spec) {
        TTF_Font* font = FontFor(spec);
        if (font == nullptr) return std::nullopt;
        SurfaceHandle rendered(
            TTF_RenderUTF8_Blended(font, utf8.c_str(), SDL_Color{255, 255, 255, 255}));
        if (!rendered) return std::nullopt;
        return CoverageOf(rendered.get(), ColorToRgb565(spec.color));
    }

    // The size does not depend on the colour, so the colour is left out of the key.
    static std::string MeasureKey(const FontSpec& font, const std::string& text) {
        FontSpec uncoloured = font;
        uncoloured.color = 0;
        return CacheKey(uncoloured, text);
    }

    // Menus measure the same texts every frame to centre them; shaping them again each time
    // would cost more than drawing them.
    std::pair<int, int> Measure(const std::string& utf8, const FontSpec& spec) {
        std::string key = MeasureKey(spec, utf8);
        if (const auto found = measured_.find(key); found != measured_.end()) return found->second;
        TTF_Font* font = FontFor(spec);
        if (font == nullptr) return {0, 0};
        int width = 0;
        int height = 0;
        if (TTF_SizeUTF8(font, utf8.c_str(), &width, &height) != 0) return {0, 0};
        if (measured_.size() >= kMeasuredLimit) measured_.clear();
        measured_.emplace(std::move(key), std::make_pair(width, height));
        return {width, height};
    }

    bool ttfReady_ = false;                 // SDL_ttf is initialised (and must be shut down)
    std::unique_ptr<FontLocator> locator_;  // made when the first face is looked up
    std::map<std::tuple<std::string, bool, bool>, std::optional<FontFile>> faces_;  // lookups
    std::map<std::tuple<std::string, int, int, int>, FontHandle> fonts_;            // open fonts
    TextCache cache_;                                                // rendered texts
    std::unordered_map<std::string, std::pair<int, int>> measured_;  // key -> width, height
};

}  // namespace

std::unique_ptr<TextRenderer> CreateTtfTextRenderer() {
    return std::make_unique<TtfTextRenderer>();
}

}  // namespace vrumbal
