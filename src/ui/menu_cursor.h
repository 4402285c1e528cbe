// The blinking text cursor of the name and country fields.
#pragma once
#include <cstdint>

#include "engine/my_image_sprite.h"

namespace vrumbal {

// The blinking text cursor of the name and country fields. It starts hidden; the owning
// screen starts and stops the blink through Blinking.
class TMyCursor final : public TMyImageSprite {
public:
    // A hidden cursor under the given parent showing picture at (x, y), depth z, blinking in
    // phases of blinkMs milliseconds once started.
    TMyCursor(TSprite* parent, const SpriteContext& context, std::uint8_t imageList, int blinkMs,
              int z, int y, int x, int picture);
    // A new cursor under the context's engine root (ESpriteError without an engine).
    static TMyCursor* Create(const SpriteContext& context, std::uint8_t imageList, int blinkMs,
                             int z, int y, int x, int picture);

    // Length of one shown or hidden phase, ms.
    int BlinkMs = 0;
    // Milliseconds left of the current phase.
    int BlinkTimer = 0;
    // The cursor blinks; otherwise it stays hidden.
    bool Blinking = false;

protected:
    // Counts the phase down in whole frames and flips the visibility when it runs out.
    void MoveStep(int moveCount) override;
};

}  // namespace vrumbal
