// The game's image sprites at work: their making and placing, the fixed-rate animation, the
// blended draw and the speedometer needle's turned one.
#include "engine/my_image_sprite.h"

#include <algorithm>

#include "engine/dx_draw.h"
#include "engine/picture_collection.h"
#include "engine/sprite_engine.h"

namespace vrumbal {

TMyImageSprite::TMyImageSprite(TSprite* parent, const SpriteContext& context,
                               std::uint8_t imageList)
    : TImageSprite(parent), ImageList(imageList), context_(context) {
    Looped = true;
    FramePos = 0;
    FrameSpeed = 0;
}

TMyImageSprite* TMyImageSprite::Create(const SpriteContext& context, std::uint8_t imageList) {
    if (context.engine == nullptr) throw ESpriteError("The sprite context has no engine");
    return TSprite::Create<TMyImageSprite>(*context.engine, context, imageList);
}

TMyImageSprite* TMyImageSprite::CreateAt(const SpriteContext& context, std::uint8_t imageList,
                                         int imageIndex, int x, int y, int z) {
    TMyImageSprite* sprite = Create(context, imageList);
    sprite->PlaceAt(imageIndex, x, y, z);
    return sprite;
}

TMyImageSprite* TMyImageSprite::CreateCentred(const SpriteContext& context, std::uint8_t imageList,
                                              int imageIndex, int cx, int cy, int z) {
    TMyImageSprite* sprite = Create(context, imageList);
    sprite->PlaceCentred(imageIndex, cx, cy, z);
    return sprite;
}

void TMyImageSprite::PlaceAt(int imageIndex, int x, int y, int z) {
    SetImageByIndex(imageIndex);
    X = x;
    Y = y;
    SetZ(z);
}

void TMyImageSprite::PlaceCentred(int imageIndex, int cx, int cy, int z) {
    SetImageByIndex(imageIndex);
    // Exact halves: an odd-sized picture sits on a half pixel.
    X = cx - Width / 2.0;
    Y = cy - Height / 2.0;
    SetZ(z);
}

TPictureCollection* TMyImageSprite::List() const {
    if (ImageList == 1) return context_.imageList1;
    if (ImageList == 2) return context_.imageList2;
    return nullptr;
}

void TMyImageSprite::SetImageByIndex(int index) {
    // Any other list number keeps the old picture, but the size and animation are still
    // taken from it afresh.
    if (TPictureCollection* list = List()) SetImage(&list->Items(index));
    const TPictureCollectionItem* image = Image();
    Width = image != nullptr ? image->Width() : 0;
    Height = image != nullptr ? image->Height() : 0;
    FramePos = 0;
    FrameCount = image != nullptr ? image->PatternCount() : 0;
}

void TMyImageSprite::SetAnimation(int index, int rate) {
    SetImageByIndex(index);
    FramePos = 0;
    Looped = true;
    FrameCount = Image() != nullptr ? Image()->PatternCount() : 0;
    AnimRate = rate;
}

void TMyImageSprite::KillOnce() {
    if (killDone_) return;
    Kill();
    killDone_ = true;
}

void TMyImageSprite::MoveStep(int moveCount) {
    TImageSprite::MoveStep(moveCount);
    // The last pattern shows only while the position is below its middle, so rounding in the
    // draw never asks for a pattern past the end.
    if (FramePos > FrameCount - 0.5) FramePos = 0;
    if (AnimRate > 0) {
        // Below one millisecond per frame (over 1000 frames a second) count one, never zero.
        const int frameMs = context_.frameMs != nullptr ? std::max(*context_.frameMs, 1) : 1;
        FrameSpeed = AnimRate / (100.0 * frameMs);
    }
}

TDXDraw* TMyImageSprite::Target() const {
    if (context_.draw != nullptr) return context_.draw;
    return Engine() != nullptr ? Engine()->Surface() : nullptr;
}

void TMyImageSprite::DrawSelf() {
    if (!Visible || Image() == nullptr) return;
    if (AlphaOn && Alpha != 255) {
        TDXDraw* target = Target();
        if (target == nullptr) return;
        // The blended path truncates where the ordinary one rounds.
        const Rect dest{TruncToInt(X), TruncToInt(Y), TruncToInt(Width + X),
                        TruncToInt(Height + Y)};
        Image()->DrawAlpha(*target, dest, TruncToInt(FramePos), Alpha);
        return;
    }
    TImageSprite::DrawSelf();
}

TPointer::TPointer(TSprite* parent, const SpriteContext& context, std::uint8_t imageList,
                   int imageIndex, double rotCentreX, double rotCentreY, int anchorX, int anchorY)
    : TMyImageSprite(parent, context, imageList),
      RotCentreX(rotCentreX),
      RotCentreY(rotCentreY),
      AnchorX(anchorX),
      AnchorY(anchorY) {
    PlaceAt(imageIndex, anchorX, anchorY, 12);
}

TPointer* TPointer::Create(const SpriteContext& context, std::uint8_t imageList, int imageIndex,
                           double rotCentreX, double rotCentreY, int anchorX, int anchorY) {
    if (context.engine == nullptr) throw ESpriteError("The sprite context has no engine");
    return TSprite::Create<TPointer>(*context.engine, context, imageList, imageIndex, rotCentreX,
                                     rotCentreY, anchorX, anchorY);
}

void TPointer::DrawSelf() {
    const TPictureCollectionItem* image = Image();
    TDXDraw* target = Target();
    if (image == nullptr || target == nullptr) return;
    const int w = image->Width();
    const int h = image->Height();
    image->DrawRotate(*target, w + AnchorX, h + AnchorY, w, h, 0, RotCentreX, RotCentreY,
                      NeedleAngle);
}

}  // namespace vrumbal
