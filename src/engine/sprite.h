// A node of the sprite tree: position, size, depth, owned children and the move and draw passes.
#pragma once
#include <climits>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/geometry.h"

namespace vrumbal {

class TSpriteEngine;

// Rounds to the nearest whole number, halves to even (2.5 -> 2, 3.5 -> 4); clamped to int.
int RoundHalfEven(double value);
// Drops the fraction (toward zero); clamped to int (NaN gives 0). Inline: the race's contact
// tests take it thousands of times a frame.
inline int TruncToInt(double value) {
    if (!(value > -2147483649.0)) return value != value ? 0 : INT_MIN;  // below the range, NaN
    if (value >= 2147483648.0) return INT_MAX;
    return static_cast<int>(value);  // a conversion drops the fraction toward zero
}

// Raised by the sprite tree, e.g. when a child is asked of a sprite without children.
class ESpriteError final : public std::runtime_error {
public:
    // An error with the given message.
    explicit ESpriteError(const std::string& message) : std::runtime_error(message) {}
};

// One node of the sprite tree: a box with a position relative to its parent, a depth, and
// virtual move and draw steps.
//
// Ownership: a parent owns its children. Sprites are made with Create<T>(parent, args...),
// which builds the sprite (its constructor takes the parent pointer first), hands it to the
// parent and returns a non-owning pointer; the sprite then lives until its parent dies or the
// engine's clean-up frees it after Kill. Only a root (a TSpriteEngine) is owned from outside.
//
// Plain properties (position, size, the move and visible switches) are public fields; those
// with side effects (depth, the parent links, the kill flag) go through methods.
class TSprite {
public:
    // A sprite under the given parent (null for a root). Use Create<T> for every non-root
    // sprite: only that hands it to the parent, which owns it.
    explicit TSprite(TSprite* parent);
    // Destroys the children, last child first, and leaves the kill list.
    virtual ~TSprite();
    TSprite(const TSprite&) = delete;
    TSprite& operator=(const TSprite&) = delete;

    // Builds a T(&parent, args...) as the parent's newest child; the parent owns it.
    template <class T, class... Args>
    static T* Create(TSprite& parent, Args&&... args) {
        auto sprite = std::make_unique<T>(&parent, std::forward<Args>(args)...);
        T* result = sprite.get();
        parent.AdoptChild(std::move(sprite));
        return result;
    }

    // Position of the top-left corner relative to the parent.
    double X = 0;
    double Y = 0;
    // Size of the sprite's box.
    int Width = 0;
    int Height = 0;
    // When false the sprite and its subtree are skipped by the move pass.
    bool MoveEnabled = true;
    // When false the sprite and its subtree are not drawn, and the sprite is not hit by SpriteAt.
    bool Visible = true;

    // The root of the tree this sprite belongs to; null for a root.
    TSpriteEngine* Engine() const { return engine_; }
    // The owning sprite; null for a root.
    TSprite* Parent() const { return parent_; }
    // True once the sprite has been queued for removal.
    bool Killed() const { return killed_; }
    // Drawing depth: larger is drawn later (on top).
    int Z() const { return z_; }
    // Changes the depth and re-sorts the sprite among its siblings; the same value changes nothing.
    void SetZ(int value);

    // The move pass over this subtree.
    void Move(int moveCount);
    // The draw pass over this subtree.
    void Draw();
    // Queues the sprite for the engine's next clean-up (once; nothing without an engine).
    void Kill();
    // Destroys the sprite now, together with its subtree. Never call it during a move or
    // draw pass; the game removes sprites through Kill.
    void Free();
    // The topmost sprite of this subtree whose square (side Width) holds the point.
    TSprite* SpriteAt(int x, int y);
    // Number of children.
    int ChildCount() const { return static_cast<int>(children_.size()); }
    // The child at index in creation order; ESpriteError without children, std::out_of_range
    // outside the list.
    TSprite* Child(int index) const;
    // The children sorted by depth, in drawing order.
    const std::vector<TSprite*>& DrawList() const { return drawList_; }
    // X in root coordinates.
    double WorldX() const;
    // Y in root coordinates.
    double WorldY() const;
    // The sprite's box in root coordinates.
    virtual Rect BoundsRect() const;

protected:
    // Draws this sprite only.
    virtual void DrawSelf() {}
    // Advances this sprite only.
    virtual void MoveStep(int moveCount) { (void)moveCount; }
    // Destroys every child, last child first (a root does so before its own fields go).
    void DestroyChildren();

private:
    void AdoptChild(std::unique_ptr<TSprite> child);
    std::unique_ptr<TSprite> TakeChild(TSprite* child);
    void InsertIntoDrawList(TSprite* child);
    void HitTest(double px, double py, TSprite*& result);

    TSpriteEngine* engine_ = nullptr;                 // the root (not owned)
    TSprite* parent_ = nullptr;                       // the owner (not owned)
    std::vector<std::unique_ptr<TSprite>> children_;  // in creation order; owned
    std::vector<TSprite*> drawList_;                  // the children by depth ascending
    bool killed_ = false;                             // queued for removal
    int z_ = 0;                                       // drawing depth
};

}  // namespace vrumbal
