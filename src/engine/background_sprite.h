// The tiled background sprite: a map of chips, each a pattern of one picture, across the surface.
#pragma once
#include <vector>

#include "engine/sprite.h"

namespace vrumbal {

class TPictureCollectionItem;

// A sprite that tiles a map of chips (patterns of one picture) across the drawing surface.
class TBackgroundSprite : public TSprite {
public:
    // An empty 0 x 0 map without a picture under the given parent.
    explicit TBackgroundSprite(TSprite* parent) : TSprite(parent) {}
    // Empties the map first.
    ~TBackgroundSprite() override;

    // Resizes the map to w x h cells, all 0; a size of 0 or less in either makes it 0 x 0.
    void SetMapSize(int w, int h);
    // Map width in cells.
    int MapWidth() const { return mapWidth_; }
    // Map height in cells.
    int MapHeight() const { return mapHeight_; }
    // Writes one cell; cells outside the map are ignored.
    void SetChip(int col, int row, int value);
    // Reads one cell; -1 outside the map.
    int Chip(int col, int row) const;

    // The chip picture, or null.
    const TPictureCollectionItem* Image() const { return image_; }
    // Takes the chip picture; the size becomes the pattern size times the map size, so the map
    // size must be set first.
    void SetImage(const TPictureCollectionItem* item);
    // The whole map's box in root coordinates; empty without a picture.
    Rect BoundsRect() const override;

protected:
    // Draws the chips that fall on the surface.
    void DrawSelf() override;

private:
    const TPictureCollectionItem* image_ = nullptr;  // owned by its picture library
    std::vector<int> chipMap_;                       // row-major; negative = empty cell
    int mapWidth_ = 0;                               // cells per row
    int mapHeight_ = 0;                              // rows
};

}  // namespace vrumbal
