// The game's own image sprite, which takes its pictures by number from an image list, and the
// speedometer needle.
#pragma once
#include <cstdint>

#include "engine/image_sprite.h"
#include "engine/sprite_context.h"

namespace vrumbal {

class TDXDraw;
class TPictureCollection;

// The game's image sprite: picks its picture by index from image list 1 or 2, can be placed
// by its corner or its centre, drawn with an opacity, and animated at a fixed rate whatever
// the frame rate.
class TMyImageSprite : public TImageSprite {
public:
    // A sprite without a picture under the given parent; looped, at pattern 0, standing still.
    TMyImageSprite(TSprite* parent, const SpriteContext& context, std::uint8_t imageList);

    // A new sprite under the context's engine root, without a picture.
    static TMyImageSprite* Create(const SpriteContext& context, std::uint8_t imageList);
    // A new sprite showing picture imageIndex with its top-left corner at (x, y), depth z.
    static TMyImageSprite* CreateAt(const SpriteContext& context, std::uint8_t imageList,
                                    int imageIndex, int x, int y, int z);
    // A new sprite showing picture imageIndex centred on (cx, cy), depth z.
    static TMyImageSprite* CreateCentred(const SpriteContext& context, std::uint8_t imageList,
                                         int imageIndex, int cx, int cy, int z);

    // Draw with opacity Alpha.
    bool AlphaOn = false;
    // Opacity, 0 (invisible) .. 255 (opaque); 255 draws the ordinary way even with AlphaOn.
    int Alpha = 255;
    // When above 0, the animation speed in hundredths of a pattern per frame.
    int AnimRate = 0;
    // 1 or 2: the image list SetImageByIndex takes pictures from; other values take none.
    std::uint8_t ImageList = 0;

    // True once KillOnce has queued the sprite.
    bool KillDone() const { return killDone_; }
    // Shows picture index of the chosen image list and restarts the animation.
    void SetImageByIndex(int index);
    // Shows picture index looped at the given rate (hundredths of a pattern per frame).
    void SetAnimation(int index, int rate);
    // Queues the sprite for removal, once.
    void KillOnce();
    // Takes picture imageIndex, puts the top-left corner at (x, y) and the depth to z.
    void PlaceAt(int imageIndex, int x, int y, int z);
    // Takes picture imageIndex, centres it on (cx, cy) and sets the depth to z.
    void PlaceCentred(int imageIndex, int cx, int cy, int z);
    // What the sprite knows of the form.
    const SpriteContext& Context() const { return context_; }

protected:
    // The looped step; the last pattern only until its middle; the rate sets the speed.
    void MoveStep(int moveCount) override;
    // With an opacity below 255 a blended, truncated draw; otherwise the ordinary one.
    void DrawSelf() override;
    // The surface game sprites draw on: the form's, else the engine's.
    TDXDraw* Target() const;

private:
    TPictureCollection* List() const;

    SpriteContext context_;  // pointers into the form
    bool killDone_ = false;  // KillOnce has run
};

// The speedometer needle: pattern 0 of its picture turned about a fixed point.
class TPointer final : public TMyImageSprite {
public:
    // A needle at depth 12 showing picture imageIndex, turning about the point at the fractions
    // (rotCentreX, rotCentreY) of the picture, anchored at (anchorX, anchorY).
    TPointer(TSprite* parent, const SpriteContext& context, std::uint8_t imageList, int imageIndex,
             double rotCentreX, double rotCentreY, int anchorX, int anchorY);
    // A new needle under the context's engine root.
    static TPointer* Create(const SpriteContext& context, std::uint8_t imageList, int imageIndex,
                            double rotCentreX, double rotCentreY, int anchorX, int anchorY);

    // Rotation centre as fractions of the picture's width and height.
    double RotCentreX = 0;
    double RotCentreY = 0;
    // Where the needle is anchored, relative to the picture's size.
    int AnchorX = 0;
    int AnchorY = 0;
    // Needle angle in 256ths of a turn, clockwise from up.
    int NeedleAngle = 0;

protected:
    // Draws pattern 0 rotated by NeedleAngle.
    void DrawSelf() override;
};

}  // namespace vrumbal
