// What game sprites need of the main form: the engine root, the three image lists, the drawing
// surface and the frame timing.
#pragma once

namespace vrumbal {

class TDXDraw;
class TPictureCollection;
class TSpriteEngine;

// What game sprites need of the main form. The form owns everything pointed at, fills this in
// once its components exist, and outlives every sprite; sprites keep a copy.
struct SpriteContext {
    TSpriteEngine* engine = nullptr;           // the root game sprites are created under
    TPictureCollection* imageList1 = nullptr;  // pictures of image list 1
    TPictureCollection* imageList2 = nullptr;  // pictures of image list 2
    TPictureCollection* imageList3 = nullptr;  // pictures of image list 3
    TDXDraw* draw = nullptr;                   // the drawing surface the form presents
    const int* frameMs = nullptr;              // whole milliseconds per frame (FrameMs)
    const double* speedFactor = nullptr;       // 85 / frames per second (SpeedFactor)
};

}  // namespace vrumbal
