#include "engine_sounds.h"

#include <algorithm>
#include <cmath>

#include "synth.h"

namespace vrumbal::content {

namespace {

using synth::kPi;
using synth::kTwoPi;

// The second cylinder fires 270 degrees of the 720-degree cycle after the first: the uneven
// beat that gives the twin its lope at low revs.
constexpr double kSecondFiring = 270.0 / 720.0;

// One half of an exhaust pulse: a pressure push of width w seconds followed by a softer
// suck-back.
double PushAndPull(double t, double w) {
    if (t < 0) return 0.0;
    if (t < w) {
        const double s = std::sin(kPi * t / w);
        return s * s;
    }
    const double back = 1.8 * w;
    if (t < w + back) {
        const double s = std::sin(kPi * (t - w) / back);
        return -0.45 * s * s;
    }
    return 0.0;
}

// Widths of the pulse's sharp front and its broad body: shorter at high revs, never so long
// that they smear the beat.
struct PulseWidths {
    double sharp;
    double body;
};
PulseWidths PulseWidth(double firingHz) {
    return {std::clamp(0.03 / firingHz, 0.0003, 0.0011), std::clamp(0.2 / firingHz, 0.0012, 0.005)};
}

// One exhaust pulse: the sharp bark of the valve opening over the thump of the gas column.
double PulseShape(double t, PulseWidths w) {
    return PushAndPull(t, w.sharp) + 0.55 * PushAndPull(t, w.body);
}

// How long a pulse lasts.
double PulseSpan(PulseWidths w) {
    return 2.8 * std::max(w.sharp, w.body);
}

// The exhaust pipe and silencer: a few pipe resonances over a gentle floor, and a top end that
// opens up with the throttle.
double ExhaustResponse(double hz, double load) {
    const double body =
        0.8 * synth::Resonance(hz, 105, 1.3) + 0.75 * synth::Resonance(hz, 240, 2.0) +
        0.8 * synth::Resonance(hz, 560, 2.4) + 0.7 * synth::Resonance(hz, 1250, 2.8) + 0.25;
    const double cutoff = 1400.0 + 3600.0 * load;
    return body * synth::HighPass2(hz, 32.0) * synth::LowPass2(hz, cutoff, 0.8);
}

// Combustion hiss: the sharp part of each firing, heard more under load.
double HissResponse(double hz) {
    return synth::Resonance(hz, 1900, 0.8) * synth::HighPass2(hz, 400.0);
}

// Adds a short function of time at position t0 (seconds) into a loop, wrapping round.
template <typename F>
void AddWrapped(std::vector<double>& loop, double rate, double t0, double span, F shape) {
    const auto n = static_cast<long>(loop.size());
    const long first = static_cast<long>(std::ceil(t0 * rate));
    const long last = static_cast<long>(std::floor((t0 + span) * rate));
    for (long i = first; i <= last; ++i) {
        const double value = shape(static_cast<double>(i) / rate - t0);
        loop[static_cast<std::size_t>(((i % n) + n) % n)] += value;
    }
}

// A firing: its time and strength.
struct Firing {
    double time;
    double strength;
};

// Firings of a loop: a whole number of cycles, each slightly uneven.
std::vector<Firing> LoopFirings(const EngineSetting& s, double seconds, synth::Noise& rng,
                                double& firingHz) {
    const int cycles = std::max(1, static_cast<int>(std::lround(s.firingHz / 2.0 * seconds)));
    const double cycle = seconds / cycles;
    firingHz = 2.0 / cycle;
    std::vector<Firing> firings;
    for (int c = 0; c < cycles; ++c) {
        for (int cyl = 0; cyl < 2; ++cyl) {
            const double nominal = (c + (cyl == 0 ? 0.0 : kSecondFiring)) * cycle;
            const double jitter = 0.006 * cycle * rng.Gauss() * (0.5 + s.roughness * 5.0);
            // The second cylinder is a touch weaker: the pair never sounds quite alike.
            const double strength =
                (cyl == 0 ? 1.0 : 0.88) * std::max(0.3, 1.0 + s.roughness * rng.Gauss());
            firings.push_back({nominal + jitter, strength});
        }
    }
    return firings;
}

// The tyre squeal of a skid: a few wavering partials near 1 kHz and a rubber scrub, repeating
// exactly over the loop (every frequency makes whole cycles in it).
std::vector<double> Squeal(double rate, std::size_t length, synth::Noise& rng) {
    const double seconds = static_cast<double>(length) / rate;
    auto whole = [&](double hz) { return std::round(hz * seconds) / seconds; };
    std::vector<double> out(length, 0.0);
    const struct {
        double hz;
        double level;
    } partials[] = {{1040, 1.0}, {1385, 0.55}, {2080, 0.25}, {2770, 0.12}};
    const double wobbleA = whole(5.3), wobbleB = whole(8.1), swell = whole(2.7);
    const double phaseA = kTwoPi * rng.Uniform(), phaseB = kTwoPi * rng.Uniform();
    for (const auto& p : partials) {
        const double f = whole(p.hz);
        const double phase0 = kTwoPi * rng.Uniform();
        for (std::size_t i = 0; i < length; ++i) {
            const double t = static_cast<double>(i) / rate;
            // Frequency wobble of about 3 %, integrated exactly so the phase closes.
            const double phase = kTwoPi * f * t -
                                 f * 0.03 * std::cos(kTwoPi * wobbleA * t + phaseA) / wobbleA -
                                 f * 0.012 * std::cos(kTwoPi * wobbleB * t + phaseB) / wobbleB;
            const double amp = 0.75 + 0.25 * std::sin(kTwoPi * swell * t + phaseB);
            out[i] += p.level * amp * std::sin(phase + phase0);
        }
    }
    auto scrub = synth::ShapedNoise(
        length, rate,
        [](double hz) { return synth::Resonance(hz, 2600, 0.9) * synth::HighPass2(hz, 800); }, rng);
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / rate;
        out[i] += 0.35 * scrub[i] * (0.7 + 0.3 * std::sin(kTwoPi * wobbleB * t));
    }
    return out;
}

}  // namespace

std::vector<double> EngineLoop(const EngineSetting& s, double rate, std::size_t length) {
    synth::Noise rng(s.seed);
    const double seconds = static_cast<double>(length) / rate;
    double firingHz = s.firingHz;
    const auto firings = LoopFirings(s, seconds, rng, firingHz);
    const PulseWidths width = PulseWidth(firingHz);
    const double drive = 0.8 + 1.6 * s.load;

    // The exhaust: pulses through the pipe.
    std::vector<double> pulses(length, 0.0);
    for (const Firing& f : firings) {
        AddWrapped(pulses, rate, f.time, PulseSpan(width) + 1.0 / rate,
                   [&](double t) { return f.strength * (0.55 + s.load) * PulseShape(t, width); });
    }
    synth::FilterCircular(pulses, rate, [&](double hz) { return ExhaustResponse(hz, s.load); });

    // Combustion hiss and valve clatter, each shaped by the firings.
    auto hiss = synth::ShapedNoise(length, rate, HissResponse, rng);
    auto clatter = synth::ShapedNoise(
        length, rate,
        [](double hz) { return synth::HighPass2(hz, 3500) * synth::LowPass2(hz, 8000); }, rng);
    std::vector<double> hissEnvelope(length, 0.0), clatterEnvelope(length, 0.0);
    const double hissTau = 0.22 / firingHz;
    for (const Firing& f : firings) {
        AddWrapped(hissEnvelope, rate, f.time, 6.0 * hissTau,
                   [&](double t) { return f.strength * synth::Decay(t, hissTau); });
        AddWrapped(clatterEnvelope, rate, f.time + 0.5 / firingHz, 0.006,
                   [&](double t) { return synth::Decay(t, 0.0012); });
    }

    // The intake's roar under load.
    auto roar = synth::ShapedNoise(
        length, rate,
        [](double hz) { return synth::LowPass2(hz, 700, 0.9) * synth::HighPass2(hz, 90); }, rng);

    std::vector<double> out(length);
    const double peakPulse = std::max(synth::Peak(pulses), 1e-9);
    for (std::size_t i = 0; i < length; ++i) {
        out[i] = pulses[i] / peakPulse + 0.12 * (0.3 + s.load) * hiss[i] * hissEnvelope[i] +
                 0.012 * clatter[i] * clatterEnvelope[i] + 0.045 * s.load * roar[i];
    }

    // Overrun pops on a closed throttle.
    const int pops = static_cast<int>(std::lround(s.crackle * seconds));
    for (int p = 0; p < pops; ++p) {
        const double at = (p + 0.2 + 0.6 * rng.Uniform()) * seconds / pops;
        const double strength = 0.35 + 0.45 * rng.Uniform();
        std::vector<double> burst(static_cast<std::size_t>(0.012 * rate));
        synth::Svf band;
        band.Set(1100 + 900 * rng.Uniform(), 1.2, rate);
        for (std::size_t i = 0; i < burst.size(); ++i) {
            const double t = static_cast<double>(i) / rate;
            burst[i] = band.Step(rng.Bipolar()).band * synth::AttackDecay(t, 0.0004, 0.0025);
        }
        AddWrapped(out, rate, at, static_cast<double>(burst.size() - 1) / rate, [&](double t) {
            const auto k = std::min(burst.size() - 1, static_cast<std::size_t>(t * rate + 0.5));
            return strength * 2.2 * burst[k];
        });
    }

    synth::Saturate(out, drive);
    if (s.squeal > 0) {
        const auto squeal = Squeal(rate, length, rng);
        const double scale =
            s.squeal * 0.6 * synth::Peak(out) / std::max(synth::Peak(squeal), 1e-9);
        for (std::size_t i = 0; i < length; ++i) out[i] += scale * squeal[i];
    }
    synth::RotateToQuietStart(out);
    return out;
}

std::vector<double> EngineShift(double rate, double fromHz, double toHz) {
    synth::Noise rng(5150);
    const double seconds = 0.5;
    const auto n = static_cast<std::size_t>(seconds * rate);
    // Revs fall while the clutch is in, then the next gear takes up the drive.
    auto revs = [&](double t) {
        const double fall = synth::Smooth(t / 0.14);
        const double pull = synth::Smooth((t - 0.26) / 0.2);
        return fromHz + (toHz - fromHz) * fall + 0.08 * toHz * pull;
    };
    auto load = [&](double t) {
        return 0.9 * (1.0 - synth::Smooth(t / 0.03)) + 0.6 * synth::Smooth((t - 0.24) / 0.08);
    };
    std::vector<double> pulses(n, 0.0);
    double phase = 0;  // engine cycles turned so far
    double nextCycle = 0;
    bool second = false;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double f = revs(t);
        const double target = second ? nextCycle + kSecondFiring : nextCycle;
        if (phase >= target) {
            const PulseWidths width = PulseWidth(f);
            const double strength =
                (0.55 + load(t)) * (second ? 0.88 : 1.0) * std::max(0.3, 1.0 + 0.08 * rng.Gauss());
            for (std::size_t k = i;
                 k < n && k < i + static_cast<std::size_t>(PulseSpan(width) * rate) + 2; ++k) {
                pulses[k] += strength * PulseShape(static_cast<double>(k - i) / rate, width);
            }
            if (second) nextCycle += 1.0;
            second = !second;
        }
        phase += f / 2.0 / rate;
    }
    synth::FilterPadded(
        pulses, rate, [](double hz) { return ExhaustResponse(hz, 0.5); }, 0);
    synth::NormalizePeak(pulses, 1.0);
    // The pop as the throttle snaps shut, then a metallic clunk of the gearbox.
    synth::Svf band;
    band.Set(1500, 1.0, rate);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double pop = synth::AttackDecay(t - 0.07, 0.0005, 0.004);
        pulses[i] += 0.9 * pop * band.Step(rng.Bipolar()).band;
    }
    std::vector<double> out(pulses);
    synth::Saturate(out, 1.0);
    synth::FadeEdges(out, static_cast<std::size_t>(0.002 * rate),
                     static_cast<std::size_t>(0.12 * rate));
    return out;
}

}  // namespace vrumbal::content
