// Scaling an RGB565 frame into a window's own 32-bit pixels, sharp or smooth, with black bars.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/pixel_buffer.h"
#include "platform/window_fit.h"

namespace vrumbal {

// A 32-bit target of 0x00RRGGBB pixels (the top byte is left 0): a window's own pixels.
struct Pixels32 {
    std::uint32_t* pixels = nullptr;  // top row first
    int width = 0;                    // pixels across
    int height = 0;                   // rows
    int pitch = 0;                    // pixels from one row to the next
};

// Scales an RGB565 frame into a rectangle of a 32-bit target, converting as it goes: by a
// whole number with every pixel repeated (sharp), else bilinearly (smooth). Everything of
// the target outside the rectangle is filled black when clearBars is set. The rectangle must
// lie inside the target.
class FrameScaler final {
public:
    // Scales frame into area of target.
    void Scale(const PixelBuffer& frame, const Pixels32& target, const PixelRect& area,
               bool clearBars);

private:
    void ScaleWhole(const PixelBuffer& frame, const Pixels32& target, const PixelRect& area,
                    int multiple);
    void ScaleSmooth(const PixelBuffer& frame, const Pixels32& target, const PixelRect& area);
    void Prepare(const PixelBuffer& frame, const PixelRect& area);

    // Bilinear tables for the last sizes seen, rebuilt when they change.
    int tableFrameW_ = 0, tableFrameH_ = 0, tableW_ = 0, tableH_ = 0;
    std::vector<int> columnSource_;           // first source column of each target column
    std::vector<std::uint32_t> columnWeight_;  // weight of the second, 0..256
    std::vector<int> rowSource_;              // first source row of each target row
    std::vector<std::uint32_t> rowWeight_;    // weight of the second, 0..256
    std::vector<std::uint32_t> wide_;           // one source row widened, and its last again
    std::vector<std::uint32_t> upper_, lower_;  // two source rows stretched across
};

}  // namespace vrumbal
