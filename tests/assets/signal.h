#pragma once
// Measurements on rendered audio shared by the content audio tests.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

namespace vrumbal::test {

// Level of a frequency in a stretch of samples (Goertzel), as an amplitude: a full-scale sine
// at that frequency gives about its own amplitude.
inline double ToneLevel(std::span<const double> x, double rate, double hz) {
    const double w = 2.0 * 3.14159265358979323846 * hz / rate;
    const double c = 2.0 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (double v : x) {
        const double s0 = v + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - c * s1 * s2;
    return 2.0 * std::sqrt(std::max(power, 0.0)) / static_cast<double>(x.size());
}

// Root mean square.
inline double Rms(std::span<const double> x) {
    if (x.empty()) return 0.0;
    double sum = 0;
    for (double v : x) sum += v * v;
    return std::sqrt(sum / static_cast<double>(x.size()));
}

// Largest absolute value.
inline double Peak(std::span<const double> x) {
    double peak = 0;
    for (double v : x) peak = std::max(peak, std::abs(v));
    return peak;
}

// Decibels relative to full scale (1.0).
inline double Dbfs(double level) {
    return 20.0 * std::log10(std::max(level, 1e-12));
}

// Little-endian 16-bit PCM bytes as samples in -1..1.
inline std::vector<double> Pcm16(std::span<const std::uint8_t> bytes) {
    std::vector<double> out(bytes.size() / 2);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto v = static_cast<std::int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        out[i] = v / 32768.0;
    }
    return out;
}

}  // namespace vrumbal::test
