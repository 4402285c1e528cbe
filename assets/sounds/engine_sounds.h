#pragma once
// The bike's engine: one twin-cylinder model heard at different speeds and loads, so that the
// idle, the gears, the coasting and the top-speed sounds blend into one machine.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vrumbal::content {

// How the engine runs in one looped sound.
struct EngineSetting {
    double firingHz = 20;    // combustion pulses per second (two per engine cycle)
    double load = 0.5;       // 0 closed throttle .. 1 full throttle: pulse strength, brightness
    double roughness = 0.1;  // cycle-to-cycle unevenness of the pulses
    double crackle = 0;      // exhaust pops per second on a closed throttle
    double squeal = 0;       // tyre squeal laid over the engine (0 = none, 1 = full)
    std::uint64_t seed = 1;  // makes each sound's unevenness its own
};

// One loop of the engine, `length` samples (a power of two) that repeat without a seam. The
// firing rate is rounded so that a whole number of engine cycles fills the loop.
std::vector<double> EngineLoop(const EngineSetting& setting, double rate, std::size_t length);

// The shift between gears, once: the revs fall from fromHz to toHz as the throttle closes,
// the exhaust pops, then the engine pulls again in the next gear.
std::vector<double> EngineShift(double rate, double fromHz, double toHz);

}  // namespace vrumbal::content
