// The sprite tree's root and its component: binding the surface, running the passes and freeing
// the killed sprites.
#include "engine/sprite_engine.h"

#include "engine/dx_draw.h"

namespace vrumbal {

TSpriteEngine::TSpriteEngine() : TSprite(nullptr) {}

TSpriteEngine::~TSpriteEngine() {
    // The sprites leave the kill list as they go, so they must go while the list still exists.
    DestroyChildren();
}

void TSpriteEngine::SetSurface(TDXDraw* surface) {
    surface_ = surface;
    if (surface_ == nullptr) return;
    const vrumbal::Surface& back = surface_->BackSurface();
    surfaceRect_ = {0, 0, back.Width(), back.Height()};
    Width = back.Width();
    Height = back.Height();
}

void TSpriteEngine::FreeKilled() {
    while (!killList_.empty()) {
        TSprite* last = killList_.back();
        killList_.pop_back();
        // Freeing takes the sprite's queued children off the list as well.
        last->Free();
    }
}

TDXSpriteEngine::TDXSpriteEngine(TDXDraw* draw) : engine_(std::make_unique<TSpriteEngine>()) {
    SetDXDraw(draw);
}

TDXSpriteEngine::~TDXSpriteEngine() {
    SetDXDraw(nullptr);
}

void TDXSpriteEngine::SetDXDraw(TDXDraw* draw) {
    if (draw == draw_) return;
    if (draw_ != nullptr) {
        draw_->RemoveListener(this);
        // No pointer to a surface the component no longer hears from.
        engine_->SetSurface(nullptr);
    }
    draw_ = draw;
    // An initialised surface answers the registration at once with its Initialized notice.
    if (draw_ != nullptr) draw_->AddListener(this);
}

void TDXSpriteEngine::Move(int moveCount) {
    engine_->Move(moveCount);
}

void TDXSpriteEngine::Draw() {
    if (draw_ != nullptr && draw_->Initialized()) engine_->DrawAll();
}

void TDXSpriteEngine::FreeKilled() {
    engine_->FreeKilled();
}

void TDXSpriteEngine::DrawNotify(TDXDraw& sender, DrawNotification what) {
    switch (what) {
        case DrawNotification::Initialized:
            engine_->SetSurface(&sender);
            break;
        case DrawNotification::Finalized:
            engine_->SetSurface(nullptr);
            break;
        case DrawNotification::Destroying:
            draw_ = nullptr;
            // The root must not keep a pointer to a surface that is about to go.
            if (engine_->Surface() == &sender) engine_->SetSurface(nullptr);
            break;
        case DrawNotification::Restored:
            break;
    }
}

}  // namespace vrumbal
