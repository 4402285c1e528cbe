// The root of the sprite tree and the main form's sprite engine component around it.
#pragma once
#include <memory>
#include <vector>

#include "engine/dx_draw_events.h"
#include "engine/geometry.h"
#include "engine/sprite.h"

namespace vrumbal {

class TDXDraw;

// The root of a sprite tree: it holds the drawing surface the tree is drawn on and the queue
// of sprites waiting to be freed at the end of the frame.
class TSpriteEngine final : public TSprite {
public:
    // A root with no parent and no surface yet.
    TSpriteEngine();
    // Frees the whole tree before the kill list goes.
    ~TSpriteEngine() override;

    // Binds the surface to draw on (null: none); a surface also sets SurfaceRect and the size.
    void SetSurface(TDXDraw* surface);
    // The surface the tree is drawn on, or null.
    TDXDraw* Surface() const { return surface_; }
    // (0, 0, surface width, surface height) of the last surface bound.
    const Rect& SurfaceRect() const { return surfaceRect_; }
    // Runs the draw pass over the tree.
    void DrawAll() { Draw(); }
    // Frees the queued sprites, the last queued first.
    void FreeKilled();
    // The sprites queued for removal, in the order of their Kill calls.
    const std::vector<TSprite*>& KillList() const { return killList_; }

private:
    friend class TSprite;  // Kill and destruction maintain the kill list

    std::vector<TSprite*> killList_;  // queued sprites (owned by their parents)
    TDXDraw* surface_ = nullptr;      // not owned
    Rect surfaceRect_;                // the drawing area sprites are clipped against
};

// The sprite engine component of the main form: owns the root and keeps it bound to the
// drawing surface component through that component's notifications.
class TDXSpriteEngine final : public DrawListener {
public:
    // A component bound to the given drawing surface component (may be null).
    explicit TDXSpriteEngine(TDXDraw* draw = nullptr);
    // Unregisters from the drawing surface and frees the tree.
    ~TDXSpriteEngine() override;
    TDXSpriteEngine(const TDXSpriteEngine&) = delete;
    TDXSpriteEngine& operator=(const TDXSpriteEngine&) = delete;

    // The root every game sprite is created under.
    TSpriteEngine& Engine() { return *engine_; }
    // The bound drawing surface component, or null.
    TDXDraw* DXDraw() const { return draw_; }
    // Binds another drawing surface component (null: none).
    void SetDXDraw(TDXDraw* draw);

    // Runs the move pass over the tree.
    void Move(int moveCount);
    // Runs the draw pass, only while the bound drawing surface is initialised.
    void Draw();
    // Frees the sprites that were killed.
    void FreeKilled();

    // Follows the drawing surface: its surface on initialise, none on finalise, forgotten when
    // it is destroyed.
    void DrawNotify(TDXDraw& sender, DrawNotification what) override;

private:
    std::unique_ptr<TSpriteEngine> engine_;  // the root
    TDXDraw* draw_ = nullptr;                // bound component (not owned)
};

}  // namespace vrumbal
