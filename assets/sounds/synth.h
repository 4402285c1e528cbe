#pragma once
// The small synthesis kit behind every sound effect and every instrument of the songs: a
// seeded noise source, a Fourier transform for loops that must repeat without a seam, filters,
// envelopes and a room tail. Everything is deterministic: the same call gives the same samples.
#include <cmath>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace vrumbal::content::synth {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2.0 * kPi;

// A magnitude response: gain at a frequency in Hz.
using Response = std::function<double(double hz)>;

// A seeded pseudo-random source (splitmix64), identical on every machine.
class Noise final {
public:
    // A source started from a fixed seed.
    explicit Noise(std::uint64_t seed) : state_(seed) {}
    // The next 64 random bits.
    std::uint64_t Next();
    // Uniform in [0, 1).
    double Uniform();
    // Uniform in [-1, 1).
    double Bipolar() { return 2.0 * Uniform() - 1.0; }
    // Roughly normal with deviation 1 (sum of four uniforms).
    double Gauss();

private:
    std::uint64_t state_;  // advances on every draw
};

// In-place radix-2 transform; the size must be a power of two. The inverse is not scaled.
void Fft(std::vector<std::complex<double>>& data, bool inverse);

// Multiplies the spectrum of a signal by a magnitude response. Circular: a loop stays a loop.
// The length must be a power of two.
void FilterCircular(std::vector<double>& signal, double rate, const Response& response);

// Noise of the given length (a power of two) with the given magnitude spectrum; it repeats
// seamlessly, and its deviation is 1 for a flat response.
std::vector<double> ShapedNoise(std::size_t length, double rate, const Response& response,
                                Noise& rng);

// Filters a one-shot signal by a magnitude response without wrapping its tail round: the
// signal is padded to the next power of two at least `tail` samples longer.
void FilterPadded(std::vector<double>& signal, double rate, const Response& response,
                  std::size_t tail);

// Gain of a resonance at centre with quality q (1 at the centre).
double Resonance(double hz, double centre, double q);
// Gain of a two-pole low-pass with the cutoff and quality (0.707 = no peak).
double LowPass2(double hz, double cutoff, double q = 0.7071);
// Gain of a two-pole high-pass.
double HighPass2(double hz, double cutoff, double q = 0.7071);

// A state-variable filter whose cutoff may change on every sample.
class Svf final {
public:
    // Outputs of one step.
    struct Out {
        double low;
        double band;
        double high;
    };
    // Sets cutoff (Hz), quality and rate; keeps the state.
    void Set(double cutoff, double q, double rate);
    // Filters one sample.
    Out Step(double x);

private:
    double k_ = 1.4142, a1_ = 0, a2_ = 0, a3_ = 0;  // coefficients
    double ic1_ = 0, ic2_ = 0;                      // integrator states
};

// Exponential decay from 1 with the given time to fall to 1/e.
inline double Decay(double t, double tau) {
    return t < 0 ? 0.0 : std::exp(-t / tau);
}
// A linear-in-time attack then exponential decay: 0 at t = 0, 1 at t = attack.
double AttackDecay(double t, double attack, double tau);
// Raised-cosine fade over [0, 1]: 0 at 0, 1 at 1.
double Smooth(double x);

// Largest absolute value.
double Peak(const std::vector<double>& x);
// Root mean square.
double Rms(const std::vector<double>& x);
// Scales so that the peak is exactly `peak` (nothing for silence).
void NormalizePeak(std::vector<double>& x, double peak);
// Soft saturation with the given drive, keeping small signals nearly unchanged in level.
void Saturate(std::vector<double>& x, double drive);
// Fades the first and last samples in and out (raised cosine) so nothing clicks.
void FadeEdges(std::vector<double>& x, std::size_t fadeIn, std::size_t fadeOut);
// Adds src into dst starting at offset, scaled by gain; dst grows as needed.
void MixInto(std::vector<double>& dst, const std::vector<double>& src, std::size_t offset,
             double gain);
// A room tail: the dry signal plus a diffuse reverberation of the given decay time, mixed wet.
std::vector<double> Reverb(const std::vector<double>& dry, double rate, double decaySeconds,
                           double wet);
// A function of time in seconds (a pitch in Hz, a level).
using Curve = std::function<double(double t)>;
// The weight of harmonic h (1 = the fundamental) at time t.
using HarmonicWeight = std::function<double(int h, double t)>;
// Adds a voice of whole harmonics from `start` (seconds) for `seconds`: pitch and level follow
// curves; harmonics at or above maxHz are left out, so nothing folds back as aliasing.
void AddVoice(std::vector<double>& out, double rate, double start, double seconds, const Curve& hz,
              const Curve& level, int harmonics, const HarmonicWeight& weight, double maxHz);
// One sine partial of a loop.
struct Partial {
    double hz;         // frequency; moved to the nearest whole number of cycles per loop
    double amplitude;  // peak amplitude
    double phase;      // radians at the loop's start
};
// A loop of the given length (a power of two) summing the partials, each made to complete a
// whole number of cycles so the loop repeats without a seam.
std::vector<double> PartialLoop(std::size_t length, double rate,
                                const std::vector<Partial>& partials);
// Turns a loop so it begins where it is quietest, so starting it never pops.
void RotateToQuietStart(std::vector<double>& loop);
// Samples as floats for the sound library.
std::vector<float> ToFloat(const std::vector<double>& x);

}  // namespace vrumbal::content::synth
