// The text cursor's blink, counted down in whole frames.
#include "ui/menu_cursor.h"

#include "engine/sprite_engine.h"

namespace vrumbal {

TMyCursor::TMyCursor(TSprite* parent, const SpriteContext& context, std::uint8_t imageList,
                     int blinkMs, int z, int y, int x, int picture)
    : TMyImageSprite(parent, context, imageList), BlinkMs(blinkMs) {
    PlaceAt(picture, x, y, z);
    Visible = false;
}

TMyCursor* TMyCursor::Create(const SpriteContext& context, std::uint8_t imageList, int blinkMs,
                             int z, int y, int x, int picture) {
    if (context.engine == nullptr) throw ESpriteError("The sprite context has no engine");
    return TSprite::Create<TMyCursor>(*context.engine, context, imageList, blinkMs, z, y, x,
                                      picture);
}

void TMyCursor::MoveStep(int moveCount) {
    TMyImageSprite::MoveStep(moveCount);
    if (!Blinking) {
        // A screen may have shown it; without the blink it stays hidden.
        Visible = false;
        return;
    }
    const int frameMs = Context().frameMs != nullptr ? *Context().frameMs : 0;
    if (BlinkTimer - frameMs >= 0) {
        BlinkTimer -= frameMs;
    } else {
        BlinkTimer = BlinkMs;
        Visible = !Visible;
    }
}

}  // namespace vrumbal
