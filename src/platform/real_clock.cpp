// The real clock: milliseconds of the system's monotonic clock.
#include <chrono>

#include "platform/clock.h"

namespace vrumbal {
namespace {

// The monotonic clock, so a change of the wall time never makes a frame look long or negative.
class RealClock final : public Clock {
public:
    std::uint32_t NowMs() override {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        // Truncating to 32 bits wraps the way the system tick count does; the frame timer
        // subtracts unsigned values, so the wrap is harmless.
        return static_cast<std::uint32_t>(ms.count());
    }
};

}  // namespace

std::unique_ptr<Clock> CreateRealClock() {
    return std::make_unique<RealClock>();
}

}  // namespace vrumbal
