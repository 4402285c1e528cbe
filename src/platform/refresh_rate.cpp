// The believable refresh rates, 20 to 1000 Hz; anything else the system reports paces at 60 Hz.
#include "platform/refresh_rate.h"

namespace vrumbal {

int UsableRefreshRate(int reported) {
    // Nothing real refreshes slower than film or faster than the fastest gaming panels by far.
    constexpr int kSlowest = 20;
    constexpr int kFastest = 1000;
    constexpr int kDefault = 60;
    return reported >= kSlowest && reported <= kFastest ? reported : kDefault;
}

}  // namespace vrumbal
