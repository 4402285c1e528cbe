// The one seedable random generator that all of the game's randomness comes from.
#pragma once
#include <array>
#include <cstdint>

namespace vrumbal {

// The one seedable generator all game randomness comes from (a small, fast xoshiro128++).
class Random {
public:
    // A generator seeded with the given value.
    explicit Random(std::uint64_t seed = 0) { Seed(seed); }
    // Starts the sequence again from a seed.
    void Seed(std::uint64_t seed);
    // The generator's whole state, to go on from later exactly where it is now.
    std::array<std::uint32_t, 4> State() const { return {s_[0], s_[1], s_[2], s_[3]}; }
    // Goes on from a state State gave; the all-zero state (which never leaves zero) is refused
    // and the generator then keeps its own.
    bool SetState(const std::array<std::uint32_t, 4>& state) {
        if ((state[0] | state[1] | state[2] | state[3]) == 0) return false;
        for (std::size_t i = 0; i < 4; ++i) s_[i] = state[i];
        return true;
    }
    // A uniform whole number in 0 .. range - 1; 0 when range is 0 or less.
    int Next(int range) {
        if (range <= 0) return 0;
        // Multiply-shift maps 32 random bits onto the range without a division.
        return static_cast<int>((std::uint64_t{NextBits()} * static_cast<std::uint32_t>(range)) >>
                                32);
    }
    // A uniform number in [0, 1).
    double NextDouble() { return NextBits() * (1.0 / 4294967296.0); }
    // The next raw 32 bits. Inline: a track generation draws about two million numbers.
    std::uint32_t NextBits() {
        const std::uint32_t result = Rotl(s_[0] + s_[3], 7) + s_[0];
        const std::uint32_t t = s_[1] << 9;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = Rotl(s_[3], 11);
        return result;
    }

private:
    static std::uint32_t Rotl(std::uint32_t x, int k) { return (x << k) | (x >> (32 - k)); }

    std::uint32_t s_[4] = {};  // generator state
};

}  // namespace vrumbal
