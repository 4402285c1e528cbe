// The sprite tree at work: adoption and depth order, the move and draw passes, kills, hit tests
// and root coordinates.
#include "engine/sprite.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "engine/sprite_engine.h"

namespace vrumbal {
namespace {

// Keeps a double inside the int range before converting, so far-off positions cannot overflow.
double ClampToInt(double value) {
    if (std::isnan(value)) return 0.0;
    return std::clamp(value, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX));
}

}  // namespace

int RoundHalfEven(double value) {
    // nearbyint follows the current rounding mode, which is round-to-nearest-even by default.
    return static_cast<int>(ClampToInt(std::nearbyint(ClampToInt(value))));
}

TSprite::TSprite(TSprite* parent) : parent_(parent) {
    if (parent_ == nullptr) return;
    // Children of the root belong to it directly; deeper sprites share their parent's root.
    if (auto* root = dynamic_cast<TSpriteEngine*>(parent_)) {
        engine_ = root;
    } else {
        engine_ = parent_->engine_;
    }
}

TSprite::~TSprite() {
    DestroyChildren();
    if (killed_ && engine_ != nullptr) {
        auto& list = engine_->killList_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void TSprite::DestroyChildren() {
    while (!children_.empty()) children_.back()->Free();
}

void TSprite::AdoptChild(std::unique_ptr<TSprite> child) {
    TSprite* raw = child.get();
    children_.push_back(std::move(child));
    InsertIntoDrawList(raw);
}

std::unique_ptr<TSprite> TSprite::TakeChild(TSprite* child) {
    std::unique_ptr<TSprite> owned;
    auto it = std::find_if(children_.begin(), children_.end(),
                           [child](const std::unique_ptr<TSprite>& c) { return c.get() == child; });
    if (it == children_.end()) return owned;
    owned = std::move(*it);
    children_.erase(it);
    drawList_.erase(std::remove(drawList_.begin(), drawList_.end(), child), drawList_.end());
    if (children_.empty()) {
        // An empty parent gives its lists back, as if it never had children.
        children_.shrink_to_fit();
        drawList_.shrink_to_fit();
    }
    return owned;
}

void TSprite::InsertIntoDrawList(TSprite* child) {
    // The lower bound puts the sprite in front of every sibling of equal depth, so among equal
    // depths the one inserted last is drawn first (beneath the others).
    auto at = std::lower_bound(drawList_.begin(), drawList_.end(), child->z_,
                               [](const TSprite* s, int z) { return s->z_ < z; });
    drawList_.insert(at, child);
}

void TSprite::SetZ(int value) {
    if (value == z_) return;
    z_ = value;
    if (parent_ == nullptr) return;
    auto& list = parent_->drawList_;
    auto it = std::find(list.begin(), list.end(), this);
    // A sprite still inside its constructor is not listed yet; adoption sorts it in by depth.
    if (it == list.end()) return;
    list.erase(it);
    parent_->InsertIntoDrawList(this);
}

void TSprite::Move(int moveCount) {
    if (!MoveEnabled) return;
    MoveStep(moveCount);
    // Children created during the pass wait for the next one.
    const std::size_t count = children_.size();
    for (std::size_t i = 0; i < count && i < children_.size(); ++i) children_[i]->Move(moveCount);
}

void TSprite::Draw() {
    if (!Visible) return;
    if (engine_ != nullptr && Overlaps(BoundsRect(), engine_->SurfaceRect())) DrawSelf();
    const std::size_t count = drawList_.size();
    for (std::size_t i = 0; i < count && i < drawList_.size(); ++i) drawList_[i]->Draw();
}

void TSprite::Kill() {
    if (engine_ == nullptr || killed_) return;
    killed_ = true;
    engine_->killList_.push_back(this);
}

void TSprite::Free() {
    // The owner lets go first; the unique pointer going out of scope runs the destructor.
    if (parent_ != nullptr) parent_->TakeChild(this);
}

TSprite* TSprite::SpriteAt(int x, int y) {
    TSprite* result = nullptr;
    const double px = x - X;
    const double py = y - Y;
    const std::size_t count = children_.size();
    for (std::size_t i = 0; i < count; ++i) children_[i]->HitTest(px, py, result);
    return result;
}

void TSprite::HitTest(double px, double py, TSprite*& result) {
    if (Visible) {
        const int hx = RoundHalfEven(px);
        const int hy = RoundHalfEven(py);
        const int left = RoundHalfEven(X);
        const int top = RoundHalfEven(Y);
        // The hit box is a square of side Width, edges included.
        if (hx >= left && hx <= left + Width && hy >= top && hy <= top + Width) {
            if (result == nullptr || result->z_ < z_) result = this;
        }
    }
    // Children of an invisible sprite can still be hit.
    for (std::size_t i = 0; i < children_.size(); ++i)
        children_[i]->HitTest(px - X, py - Y, result);
}

TSprite* TSprite::Child(int index) const {
    if (children_.empty()) {
        char message[80];
        std::snprintf(message, sizeof message, "Index of the list exceeds the range. (%d)", index);
        throw ESpriteError(message);
    }
    if (index < 0 || index >= ChildCount()) {
        char message[64];
        std::snprintf(message, sizeof message, "List index out of bounds (%d)", index);
        throw std::out_of_range(message);
    }
    return children_[static_cast<std::size_t>(index)].get();
}

double TSprite::WorldX() const {
    return parent_ != nullptr ? X + parent_->WorldX() : X;
}

double TSprite::WorldY() const {
    return parent_ != nullptr ? Y + parent_->WorldY() : Y;
}

Rect TSprite::BoundsRect() const {
    const int left = RoundHalfEven(WorldX());
    const int top = RoundHalfEven(WorldY());
    return {left, top, left + Width, top + Height};
}

}  // namespace vrumbal
