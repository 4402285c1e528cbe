// Rectangles of pixels and their overlap.
#pragma once

namespace vrumbal {

// A rectangle of pixels: left and top inside, right and bottom just outside.
struct Rect {
    int left = 0;    // first column
    int top = 0;     // first row
    int right = 0;   // one past the last column
    int bottom = 0;  // one past the last row
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool operator==(const Rect&) const = default;
};

// Strict overlap of two rectangles: touching edges do not count.
inline bool Overlaps(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace vrumbal
