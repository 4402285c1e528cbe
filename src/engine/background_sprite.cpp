// The tiled background's map and its drawing: only the chips that fall on the surface are drawn.
#include "engine/background_sprite.h"

#include <algorithm>

#include "engine/picture_collection.h"
#include "engine/sprite_engine.h"

namespace vrumbal {

TBackgroundSprite::~TBackgroundSprite() {
    SetMapSize(0, 0);
}

void TBackgroundSprite::SetMapSize(int w, int h) {
    if (w == mapWidth_ && h == mapHeight_) return;
    if (w <= 0 || h <= 0) {
        w = 0;
        h = 0;
    }
    mapWidth_ = w;
    mapHeight_ = h;
    chipMap_.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
}

void TBackgroundSprite::SetChip(int col, int row, int value) {
    if (col < 0 || col >= mapWidth_ || row < 0 || row >= mapHeight_) return;
    chipMap_[static_cast<std::size_t>(row) * mapWidth_ + col] = value;
}

int TBackgroundSprite::Chip(int col, int row) const {
    if (col < 0 || col >= mapWidth_ || row < 0 || row >= mapHeight_) return -1;
    return chipMap_[static_cast<std::size_t>(row) * mapWidth_ + col];
}

void TBackgroundSprite::SetImage(const TPictureCollectionItem* item) {
    image_ = item;
    Width = item != nullptr ? item->Width() * mapWidth_ : 0;
    Height = item != nullptr ? item->Height() * mapHeight_ : 0;
}

Rect TBackgroundSprite::BoundsRect() const {
    if (image_ == nullptr) return {};
    const int left = RoundHalfEven(WorldX());
    const int top = RoundHalfEven(WorldY());
    return {left, top, left + image_->Width() * mapWidth_, top + image_->Height() * mapHeight_};
}

void TBackgroundSprite::DrawSelf() {
    if (image_ == nullptr || mapWidth_ <= 0 || mapHeight_ <= 0) return;
    TSpriteEngine* engine = Engine();
    if (engine == nullptr || engine->Surface() == nullptr) return;
    const Rect chipRect = image_->PatternRect(0);
    const int cw = chipRect.Width();
    const int ch = chipRect.Height();
    // A picture without patterns has no chip size to tile by.
    if (cw <= 0 || ch <= 0) return;

    const Rect& area = engine->SurfaceRect();
    const int visCols = (area.right + cw) / cw + 1;
    const int visRows = (area.bottom + ch) / ch;

    const int wx = RoundHalfEven(WorldX());
    const int wy = RoundHalfEven(WorldY());
    // C++ division truncates and the remainder takes the dividend's sign: a map left of the
    // surface starts drawing part-way into its first visible chip.
    const int ox = wx % cw;
    const int oy = wy % ch;
    int cx = wx / cw;
    int cy = wy / ch;
    int sx = 0;
    int sy = 0;
    if (cx < 0) {
        sx = -cx;
        cx = 0;
    }
    if (cy < 0) {
        sy = -cy;
        cy = 0;
    }
    const int ex = std::min(cx + mapWidth_ - sx, visCols);
    const int ey = std::min(cy + mapHeight_ - sy, visRows + 1);
    TDXDraw& target = *engine->Surface();
    for (int r = cy; r < ey; ++r) {
        for (int c = cx; c < ex; ++c) {
            const int chip = Chip(c + sx - cx, r + sy - cy);
            if (chip >= 0) image_->Draw(target, c * cw + ox, r * ch + oy, chip);
        }
    }
}

}  // namespace vrumbal
