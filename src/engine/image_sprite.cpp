// The image sprite's animation step through its patterns and its drawing of the current one.
#include "engine/image_sprite.h"

#include "engine/picture_collection.h"
#include "engine/sprite_engine.h"

namespace vrumbal {

void TImageSprite::SetImage(const TPictureCollectionItem* item) {
    image_ = item;
    Width = item != nullptr ? item->Width() : 0;
    Height = item != nullptr ? item->Height() : 0;
}

void TImageSprite::MoveStep(int moveCount) {
    FramePos += FrameSpeed * moveCount;
    if (Looped) {
        if (FrameCount > 0) {
            double p =
                FramePos - RoundHalfEven(FramePos / FrameCount) * static_cast<double>(FrameCount);
            if (p < 0) p += FrameCount;
            FramePos = p;
        } else {
            FramePos = 0;
        }
    } else {
        if (FramePos >= FrameCount) {
            FramePos = FrameCount - 1;
            FrameSpeed = 0;
        }
        if (FramePos < 0) {
            FramePos = 0;
            FrameSpeed = 0;
        }
    }
}

void TImageSprite::DrawSelf() {
    if (image_ == nullptr || Engine() == nullptr || Engine()->Surface() == nullptr) return;
    const int pattern = RoundHalfEven(FramePos) + FrameStart;
    const Rect box = BoundsRect();
    // A box larger than the picture (a size set by hand) shows the picture in its middle.
    const int left = box.left + (Width - image_->Width()) / 2;
    const int top = box.top + (Height - image_->Height()) / 2;
    image_->Draw(*Engine()->Surface(), left, top, pattern);
}

}  // namespace vrumbal
