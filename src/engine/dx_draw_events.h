// The notices the drawing surface sends to the picture libraries bound to it.
#pragma once

namespace vrumbal {

class TDXDraw;

// What the drawing surface tells the picture libraries bound to it.
enum class DrawNotification { Destroying, Initialized, Finalized, Restored };

// Something that wants to hear of the drawing surface's life (the image lists).
class DrawListener {
public:
    virtual ~DrawListener() = default;
    // Called by the drawing surface for each of its notifications.
    virtual void DrawNotify(TDXDraw& sender, DrawNotification what) = 0;
};

}  // namespace vrumbal
