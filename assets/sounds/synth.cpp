#include "synth.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace vrumbal::content::synth {

std::uint64_t Noise::Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double Noise::Uniform() {
    return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0);
}

double Noise::Gauss() {
    // Four uniforms have deviation sqrt(4 / 12); rescale to 1.
    double sum = 0;
    for (int i = 0; i < 4; ++i) sum += Uniform();
    return (sum - 2.0) * std::sqrt(3.0);
}

namespace {

bool IsPowerOfTwo(std::size_t n) {
    return n >= 2 && (n & (n - 1)) == 0;
}

std::size_t NextPowerOfTwo(std::size_t n) {
    std::size_t p = 2;
    while (p < n) p <<= 1;
    return p;
}

// The response applied to a spectrum of the given length; bin k and its mirror get one gain.
void ApplyResponse(std::vector<std::complex<double>>& spectrum, double rate,
                   const Response& response) {
    const std::size_t n = spectrum.size();
    spectrum[0] *= response(0.0);
    for (std::size_t k = 1; k <= n / 2; ++k) {
        const double gain = response(static_cast<double>(k) * rate / static_cast<double>(n));
        spectrum[k] *= gain;
        if (k != n - k) spectrum[n - k] *= gain;
    }
}

}  // namespace

void Fft(std::vector<std::complex<double>>& a, bool inverse) {
    const std::size_t n = a.size();
    if (!IsPowerOfTwo(n)) throw std::invalid_argument("transform size must be a power of two");
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const double angle = (inverse ? kTwoPi : -kTwoPi) / static_cast<double>(len);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> w(1.0, 0.0);
            for (std::size_t j = 0; j < len / 2; ++j) {
                const auto u = a[i + j];
                const auto v = a[i + j + len / 2] * w;
                a[i + j] = u + v;
                a[i + j + len / 2] = u - v;
                // Recomputing the twiddle every 64 steps keeps rounding from drifting.
                w = ((j + 1) % 64 == 0) ? std::polar(1.0, angle * static_cast<double>(j + 1))
                                        : w * step;
            }
        }
    }
}

void FilterCircular(std::vector<double>& signal, double rate, const Response& response) {
    std::vector<std::complex<double>> spectrum(signal.begin(), signal.end());
    Fft(spectrum, false);
    ApplyResponse(spectrum, rate, response);
    Fft(spectrum, true);
    const double scale = 1.0 / static_cast<double>(signal.size());
    for (std::size_t i = 0; i < signal.size(); ++i) signal[i] = spectrum[i].real() * scale;
}

std::vector<double> ShapedNoise(std::size_t length, double rate, const Response& response,
                                Noise& rng) {
    if (!IsPowerOfTwo(length)) throw std::invalid_argument("noise length must be a power of two");
    // Random phases with the response as magnitude: exactly periodic over the length.
    std::vector<std::complex<double>> spectrum(length);
    for (std::size_t k = 1; k < length / 2; ++k) {
        const double hz = static_cast<double>(k) * rate / static_cast<double>(length);
        const auto value = std::polar(response(hz), kTwoPi * rng.Uniform());
        spectrum[k] = value;
        spectrum[length - k] = std::conj(value);
    }
    Fft(spectrum, true);
    // A flat response of 1 on every bin gives a deviation of sqrt(length).
    const double scale = 1.0 / std::sqrt(static_cast<double>(length));
    std::vector<double> out(length);
    for (std::size_t i = 0; i < length; ++i) out[i] = spectrum[i].real() * scale;
    return out;
}

void FilterPadded(std::vector<double>& signal, double rate, const Response& response,
                  std::size_t tail) {
    const std::size_t original = signal.size();
    const std::size_t n = NextPowerOfTwo(original + tail);
    std::vector<std::complex<double>> spectrum(n);
    for (std::size_t i = 0; i < original; ++i) spectrum[i] = signal[i];
    Fft(spectrum, false);
    ApplyResponse(spectrum, rate, response);
    Fft(spectrum, true);
    signal.resize(original + tail);
    const double scale = 1.0 / static_cast<double>(n);
    for (std::size_t i = 0; i < signal.size(); ++i) signal[i] = spectrum[i].real() * scale;
}

double Resonance(double hz, double centre, double q) {
    if (hz <= 0) return 0.0;
    const double detune = hz / centre - centre / hz;
    return 1.0 / std::sqrt(1.0 + q * q * detune * detune);
}

double LowPass2(double hz, double cutoff, double q) {
    const double r = hz / cutoff;
    const double a = 1.0 - r * r;
    const double b = r / q;
    return 1.0 / std::sqrt(a * a + b * b);
}

double HighPass2(double hz, double cutoff, double q) {
    const double r = hz / cutoff;
    return r * r * LowPass2(hz, cutoff, q);
}

void Svf::Set(double cutoff, double q, double rate) {
    const double clamped = std::clamp(cutoff, 10.0, rate * 0.49);
    const double g = std::tan(kPi * clamped / rate);
    k_ = 1.0 / q;
    a1_ = 1.0 / (1.0 + g * (g + k_));
    a2_ = g * a1_;
    a3_ = g * a2_;
}

Svf::Out Svf::Step(double x) {
    const double v3 = x - ic2_;
    const double v1 = a1_ * ic1_ + a2_ * v3;
    const double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    return {v2, v1, x - k_ * v1 - v2};
}

double AttackDecay(double t, double attack, double tau) {
    if (t < 0) return 0.0;
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / tau);
}

double Smooth(double x) {
    const double c = std::clamp(x, 0.0, 1.0);
    return 0.5 - 0.5 * std::cos(kPi * c);
}

double Peak(const std::vector<double>& x) {
    double peak = 0;
    for (double v : x) peak = std::max(peak, std::abs(v));
    return peak;
}

double Rms(const std::vector<double>& x) {
    if (x.empty()) return 0.0;
    double sum = 0;
    for (double v : x) sum += v * v;
    return std::sqrt(sum / static_cast<double>(x.size()));
}

void NormalizePeak(std::vector<double>& x, double peak) {
    const double current = Peak(x);
    if (current <= 0) return;
    for (double& v : x) v *= peak / current;
}

void Saturate(std::vector<double>& x, double drive) {
    for (double& v : x) v = std::tanh(drive * v) / drive;
}

void FadeEdges(std::vector<double>& x, std::size_t fadeIn, std::size_t fadeOut) {
    const std::size_t n = x.size();
    for (std::size_t i = 0; i < fadeIn && i < n; ++i) {
        x[i] *= Smooth(static_cast<double>(i) / static_cast<double>(fadeIn));
    }
    for (std::size_t i = 0; i < fadeOut && i < n; ++i) {
        x[n - 1 - i] *= Smooth(static_cast<double>(i) / static_cast<double>(fadeOut));
    }
}

void MixInto(std::vector<double>& dst, const std::vector<double>& src, std::size_t offset,
             double gain) {
    if (dst.size() < offset + src.size()) dst.resize(offset + src.size(), 0.0);
    for (std::size_t i = 0; i < src.size(); ++i) dst[offset + i] += gain * src[i];
}

std::vector<double> Reverb(const std::vector<double>& dry, double rate, double decaySeconds,
                           double wet) {
    // Four parallel feedback combs with damping, then two all-passes: a small bright room.
    const double combMs[] = {29.7, 37.1, 41.1, 43.7};
    const double allpassMs[] = {5.0, 1.7};
    const std::size_t tail = static_cast<std::size_t>(decaySeconds * rate);
    std::vector<double> input(dry);
    input.resize(dry.size() + tail, 0.0);
    std::vector<double> sum(input.size(), 0.0);
    for (double ms : combMs) {
        const std::size_t delay = static_cast<std::size_t>(ms * 0.001 * rate);
        // Feedback for a fall of 60 dB over the decay time.
        const double feedback = std::pow(10.0, -3.0 * (ms * 0.001) / decaySeconds);
        std::vector<double> line(delay, 0.0);
        double damped = 0;
        std::size_t pos = 0;
        for (std::size_t i = 0; i < input.size(); ++i) {
            const double out = line[pos];
            damped = 0.7 * out + 0.3 * damped;
            line[pos] = input[i] + feedback * damped;
            pos = (pos + 1) % delay;
            sum[i] += out * 0.25;
        }
    }
    for (double ms : allpassMs) {
        const std::size_t delay = static_cast<std::size_t>(ms * 0.001 * rate);
        std::vector<double> line(delay, 0.0);
        std::size_t pos = 0;
        for (double& v : sum) {
            const double buffered = line[pos];
            const double out = -0.5 * v + buffered;
            line[pos] = v + 0.5 * buffered;
            pos = (pos + 1) % delay;
            v = out;
        }
    }
    for (std::size_t i = 0; i < input.size(); ++i) sum[i] = input[i] + wet * sum[i];
    return sum;
}

void AddVoice(std::vector<double>& out, double rate, double start, double seconds, const Curve& hz,
              const Curve& level, int harmonics, const HarmonicWeight& weight, double maxHz) {
    const auto first = static_cast<std::size_t>(start * rate);
    const auto count = static_cast<std::size_t>(seconds * rate);
    if (out.size() < first + count) out.resize(first + count, 0.0);
    double phase = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double f = hz(t);
        const double amp = level(t);
        if (amp != 0.0) {
            double sum = 0;
            for (int h = 1; h <= harmonics && h * f < maxHz; ++h) {
                sum += weight(h, t) * std::sin(h * phase);
            }
            out[first + i] += amp * sum;
        }
        phase = std::fmod(phase + kTwoPi * f / rate, kTwoPi);
    }
}

std::vector<double> PartialLoop(std::size_t length, double rate,
                                const std::vector<Partial>& partials) {
    if (!IsPowerOfTwo(length)) throw std::invalid_argument("loop length must be a power of two");
    std::vector<std::complex<double>> spectrum(length);
    const double binHz = rate / static_cast<double>(length);
    for (const Partial& p : partials) {
        const auto bin = static_cast<std::size_t>(std::lround(p.hz / binHz));
        if (bin == 0 || bin >= length / 2) continue;
        // cos(2 pi k n / N + phase) splits evenly between bin k and its mirror.
        const auto value = std::polar(0.5 * p.amplitude, p.phase);
        spectrum[bin] += value;
        spectrum[length - bin] += std::conj(value);
    }
    Fft(spectrum, true);
    std::vector<double> out(length);
    for (std::size_t i = 0; i < length; ++i) out[i] = spectrum[i].real();
    return out;
}

void RotateToQuietStart(std::vector<double>& loop) {
    const std::size_t n = loop.size();
    if (n < 2) return;
    std::size_t best = 0;
    double bestScore = 1e300;
    for (std::size_t i = 0; i < n; ++i) {
        const double step = loop[(i + 1) % n] - loop[i];
        const double score = std::abs(loop[i]) + 0.5 * std::abs(step);
        if (score < bestScore) {
            bestScore = score;
            best = i;
        }
    }
    std::rotate(loop.begin(), loop.begin() + static_cast<std::ptrdiff_t>(best), loop.end());
}

std::vector<float> ToFloat(const std::vector<double>& x) {
    return std::vector<float>(x.begin(), x.end());
}

}  // namespace vrumbal::content::synth
