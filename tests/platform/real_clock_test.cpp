#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/clock.h"

namespace vrumbal {
namespace {

TEST(RealClock, CountsRealMillisecondsAndIsNotSimulated) {
    auto clock = CreateRealClock();
    EXPECT_FALSE(clock->IsSimulated());
    const std::uint32_t before = clock->NowMs();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const std::uint32_t after = clock->NowMs();
    // Unsigned difference, as the frame timer takes it, so a wrap in between does no harm.
    const std::uint32_t elapsed = after - before;
    EXPECT_GE(elapsed, 30u);
    EXPECT_LT(elapsed, 10000u);  // milliseconds, not microseconds, on however busy a machine
}

}  // namespace
}  // namespace vrumbal
