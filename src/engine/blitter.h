// The three ways a picture reaches the back surface: copied, scaled and blended, or turned.
#pragma once
#include "engine/geometry.h"
#include "engine/image_surface.h"
#include "engine/surface.h"

namespace vrumbal {

// Copies src (a rectangle of source) to (x, y) of dest at its own size, clipped to dest; with
// transparent, keyed pixels leave dest unchanged.
void BlitPlain(Surface& dest, int x, int y, const ImageSurface& source, const Rect& src,
               bool transparent);

// Draws src scaled to destRect, blended over dest with opacity alpha (0..255), clipped.
void BlitAlpha(Surface& dest, const Rect& destRect, const ImageSurface& source, const Rect& src,
               bool transparent, int alpha);

// Draws src scaled to width x height and turned clockwise by angle (256ths of a turn) so that
// the box point (centerX x width, centerY x height) lands on (x, y); drawn by inverse mapping
// so the result has no holes; clipped.
void BlitRotate(Surface& dest, int x, int y, int width, int height, const ImageSurface& source,
                const Rect& src, double centerX, double centerY, bool transparent, int angle);

}  // namespace vrumbal
