// The millisecond clock the frame timer reads: the system's own, or a simulated one that only
// moves when told to.
#pragma once
#include <cstdint>
#include <memory>

namespace vrumbal {

// The millisecond clock the frame timer reads; the game never reads the time any other way.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start; wraps like a 32-bit system tick count.
    virtual std::uint32_t NowMs() = 0;
    // True for a clock that only moves when told to: nothing may then wait on real time.
    virtual bool IsSimulated() const { return false; }
};

// The system's monotonic clock.
std::unique_ptr<Clock> CreateRealClock();

// A clock that stands still until it is advanced; tests and the developer tool drive it.
class SimulatedClock final : public Clock {
public:
    explicit SimulatedClock(std::uint32_t startMs = 0) : micros_(std::uint64_t{startMs} * 1000) {}
    std::uint32_t NowMs() override { return static_cast<std::uint32_t>(micros_ / 1000); }
    bool IsSimulated() const override { return true; }
    // Moves the clock on by the given number of microseconds.
    void AdvanceMicros(std::uint64_t us) { micros_ += us; }
    // Moves the clock on by the given number of milliseconds.
    void AdvanceMs(std::uint32_t ms) { micros_ += std::uint64_t{ms} * 1000; }

private:
    std::uint64_t micros_;  // current time in microseconds, so fractional frame times add up
};

}  // namespace vrumbal
