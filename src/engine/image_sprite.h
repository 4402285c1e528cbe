// The sprite that shows one pattern of a picture and steps through its patterns.
#pragma once
#include "engine/sprite.h"

namespace vrumbal {

class TPictureCollectionItem;

// A sprite that shows one pattern of a picture item and steps through its patterns.
class TImageSprite : public TSprite {
public:
    // An image sprite without a picture under the given parent.
    explicit TImageSprite(TSprite* parent) : TSprite(parent) {}

    // Number of animation patterns.
    int FrameCount = 0;
    // The animation wraps around instead of stopping at the ends.
    bool Looped = false;
    // Current animation position, in patterns.
    double FramePos = 0;
    // Patterns advanced per unit of move count.
    double FrameSpeed = 0;
    // Added to the rounded FramePos to give the pattern drawn.
    int FrameStart = 0;

    // The picture drawn, or null.
    const TPictureCollectionItem* Image() const { return image_; }
    // Takes a picture (null: none); the size becomes its pattern size (0 x 0 for none).
    virtual void SetImage(const TPictureCollectionItem* item);

protected:
    // Advances the animation position and keeps it in range.
    void MoveStep(int moveCount) override;
    // Draws pattern Round(FramePos) + FrameStart, centred in the box when the box is larger.
    void DrawSelf() override;

private:
    const TPictureCollectionItem* image_ = nullptr;  // owned by its picture library
};

}  // namespace vrumbal
