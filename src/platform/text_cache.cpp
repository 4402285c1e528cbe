// The cached texts at work: their covered spans, their blend onto the pixels, and the least
// recently used dropped over budget.
#include "platform/text_cache.h"

#include <algorithm>

namespace vrumbal {

void FindCoveredSpans(RenderedText& text) {
    text.rowBegin.assign(text.height, 0);
    text.rowEnd.assign(text.height, 0);
    for (int row = 0; row < text.height; ++row) {
        const std::uint8_t* line = text.coverage.data() + std::size_t(row) * text.width;
        int begin = 0;
        while (begin < text.width && line[begin] == 0) ++begin;
        int end = text.width;
        while (end > begin && line[end - 1] == 0) --end;
        text.rowBegin[row] = static_cast<std::uint16_t>(begin);
        text.rowEnd[row] = static_cast<std::uint16_t>(std::max(begin, end));
    }
}

void BlendRenderedText(const PixelBuffer& target, int x, int y, const RenderedText& text) {
    if (target.pixels == nullptr || text.width <= 0 || text.height <= 0) return;
    const int firstRow = std::max(0, -y);
    const int lastRow = std::min(text.height, target.height - y);  // one past
    const int clipLeft = std::max(0, -x);
    const int clipRight = std::min(text.width, target.width - x);  // one past
    if (firstRow >= lastRow || clipLeft >= clipRight) return;
    // The colour spread out with gaps between its fields (green high, red and blue low), so one
    // multiplication blends all three channels at 5-bit alpha precision.
    const std::uint32_t spread = (text.color | (std::uint32_t{text.color} << 16)) & 0x07E0F81Fu;
    for (int row = firstRow; row < lastRow; ++row) {
        const int begin = std::max<int>(text.rowBegin[row], clipLeft);
        const int end = std::min<int>(text.rowEnd[row], clipRight);
        const std::uint8_t* cover = text.coverage.data() + std::size_t(row) * text.width;
        std::uint16_t* out = target.pixels + std::ptrdiff_t(y + row) * target.pitch + x;
        for (int col = begin; col < end; ++col) {
            const unsigned alpha = (cover[col] + 4u) >> 3;  // 0..32
            if (alpha == 0) continue;
            if (alpha >= 32) {
                out[col] = text.color;
                continue;
            }
            const std::uint32_t under = (out[col] | (std::uint32_t{out[col]} << 16)) & 0x07E0F81Fu;
            const std::uint32_t mixed = ((((spread - under) * alpha) >> 5) + under) & 0x07E0F81Fu;
            out[col] = static_cast<std::uint16_t>(mixed | (mixed >> 16));
        }
    }
}

const RenderedText* TextCache::Find(const std::string& key) {
    const auto found = index_.find(key);
    if (found == index_.end()) return nullptr;
    entries_.splice(entries_.begin(), entries_, found->second);
    return &found->second->second;
}

const RenderedText& TextCache::Insert(const std::string& key, RenderedText text) {
    if (const auto old = index_.find(key); old != index_.end()) {
        bytes_ -= old->second->second.Bytes();
        entries_.erase(old->second);
        index_.erase(old);
    }
    bytes_ += text.Bytes();
    entries_.emplace_front(key, std::move(text));
    index_[key] = entries_.begin();
    while (bytes_ > budget_ && entries_.size() > 1) {
        bytes_ -= entries_.back().second.Bytes();
        index_.erase(entries_.back().first);
        entries_.pop_back();
    }
    return entries_.front().second;
}

}  // namespace vrumbal
