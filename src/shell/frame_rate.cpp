// The pace from a measured frame rate: the refresh rate stands in for one close below it, well
// above it, or not yet measured.
#include "shell/frame_rate.h"

namespace vrumbal {

FramePace PaceForFrameRate(int measured, int refresh) {
    const int f = measured;
    const int r = refresh;
    int use = r;  // a rate of 0 (the first second) uses the refresh
    if (f > 0) use = f;
    if (r - 3 <= f && f <= r) use = r;
    if (f > r + 2) use = r;
    if (use <= 0) use = 60;  // never divide by zero, whatever the display said
    FramePace pace;
    pace.speedFactor = 85.0 / use;
    pace.frameMs = static_cast<std::int32_t>(1000.0 / use);
    return pace;
}

}  // namespace vrumbal
