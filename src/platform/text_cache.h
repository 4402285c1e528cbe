// Texts rendered once and blended again and again, kept in a cache within a memory budget.
#pragma once
#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/pixel_buffer.h"

namespace vrumbal {

// A text rendered once, ready to be blended again and again: a text has one colour, so it is
// kept as that RGB565 colour and the glyphs' coverage of every pixel.
struct RenderedText {
    int width = 0;                        // pixels per row
    int height = 0;                       // rows
    std::uint16_t color = 0;              // RGB565 colour of the glyphs
    std::vector<std::uint8_t> coverage;   // width * height, 0 (nothing) .. 255 (full colour)
    std::vector<std::uint16_t> rowBegin;  // per row: first column with coverage
    std::vector<std::uint16_t> rowEnd;    // per row: one past the last (== rowBegin: empty)

    // Memory the text holds, for the cache's budget.
    std::size_t Bytes() const { return coverage.size() + 4 * rowBegin.size() + 64; }
};

// Fills rowBegin and rowEnd from the coverage, so blending skips the empty margins.
void FindCoveredSpans(RenderedText& text);

// Blends the text's colour into the target by its coverage with its top-left corner at
// (x, y); pixels outside the target and pixels without coverage are left alone.
void BlendRenderedText(const PixelBuffer& target, int x, int y, const RenderedText& text);

// Rendered texts by key, the least recently used dropped first once the budget is exceeded.
class TextCache final {
public:
    // A cache that keeps its texts within about budgetBytes.
    explicit TextCache(std::size_t budgetBytes) : budget_(budgetBytes) {}

    // The text stored under key (now the most recently used), or null.
    const RenderedText* Find(const std::string& key);
    // Stores a text under key (replacing any) and returns it; it survives until it is the
    // least recently used of a cache over budget, so at least until the next Insert.
    const RenderedText& Insert(const std::string& key, RenderedText text);
    // Number of texts held.
    std::size_t Count() const { return entries_.size(); }
    // Memory held by the texts.
    std::size_t Bytes() const { return bytes_; }

private:
    using Entry = std::pair<std::string, RenderedText>;
    std::size_t budget_;        // memory allowed for the texts
    std::size_t bytes_ = 0;     // memory held now
    std::list<Entry> entries_;  // most recently used first
    std::unordered_map<std::string, std::list<Entry>::iterator> index_;  // key -> entry
};

}  // namespace vrumbal
