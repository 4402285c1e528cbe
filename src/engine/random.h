#pragma once
#include <cstdint>

namespace vrumbal {

// The one seedable generator all game randomness comes from (a small, fast xoshiro128++).
class Random {
public:
    // A generator seeded with the given value.
    explicit Random(std::uint64_t seed = 0) { Seed(seed); }
    // Starts the sequence again from a seed.
    void Seed(std::uint64_t seed);
    // A uniform whole number in 0 .. range - 1; 0 when range is 0 or less.
    int Next(int range);
    // A uniform number in [0, 1).
    double NextDouble();
    // The next raw 32 bits.
    std::uint32_t NextBits();

private:
    std::uint32_t s_[4] = {};  // generator state
};

}  // namespace vrumbal
