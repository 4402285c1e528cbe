#include "effect_sounds.h"

#include <algorithm>
#include <cmath>

#include "synth.h"

namespace vrumbal::content {

namespace {

using synth::kPi;
using synth::kTwoPi;

std::size_t Samples(double seconds, double rate) {
    return static_cast<std::size_t>(seconds * rate);
}

// A struck resonator: a decaying sine starting at `start`.
void AddPing(std::vector<double>& out, double rate, double start, double hz, double tau,
             double level, double phase = 0.0) {
    const auto first = Samples(start, rate);
    const auto count = Samples(std::min(8.0 * tau, 4.0), rate);
    if (out.size() < first + count) out.resize(first + count, 0.0);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        // A 0.3 ms rise keeps the strike from clicking.
        out[first + i] +=
            level * synth::AttackDecay(t, 0.0003, tau) * std::sin(kTwoPi * hz * t + phase);
    }
}

// A noise burst through a band-pass, decaying with tau.
void AddNoiseBurst(std::vector<double>& out, double rate, double start, double seconds,
                   double centre, double q, double attack, double tau, double level,
                   synth::Noise& rng) {
    const auto first = Samples(start, rate);
    const auto count = Samples(seconds, rate);
    if (out.size() < first + count) out.resize(first + count, 0.0);
    synth::Svf filter;
    filter.Set(centre, q, rate);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        out[first + i] +=
            level * synth::AttackDecay(t, attack, tau) * filter.Step(rng.Bipolar()).band;
    }
}

// Soft square-like timbre: odd harmonics falling faster than a square's.
double SoftSquare(int h, double) {
    return (h % 2 == 1) ? 1.0 / (h * h * 0.6 + 0.4) : 0.0;
}

// A bell-like voice: a few whole harmonics and one inharmonic partial, each decaying.
void AddBell(std::vector<double>& out, double rate, double start, double hz, double tau,
             double level) {
    AddPing(out, rate, start, hz, tau, level);
    AddPing(out, rate, start, 2.0 * hz, tau * 0.5, level * 0.35);
    AddPing(out, rate, start, 3.0 * hz, tau * 0.3, level * 0.12);
    AddPing(out, rate, start, 2.76 * hz, tau * 0.25, level * 0.18);
}

double Semitone(double hz, double semis) {
    return hz * std::pow(2.0, semis / 12.0);
}

}  // namespace

std::vector<double> MenuSlideSound(double rate) {
    synth::Noise rng(101);
    const double seconds = 0.8;
    const auto n = Samples(seconds, rate);
    std::vector<double> out(n, 0.0);
    synth::Svf air, airHigh;
    double tonePhase = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / rate;
        // The sweep climbs to its brightest as the menu arrives, then settles.
        const double sweep = t < 0.34 ? 350.0 * std::pow(12.0, t / 0.34)
                                      : 4200.0 * std::pow(0.35, (t - 0.34) / 0.46);
        air.Set(sweep, 1.6, rate);
        airHigh.Set(sweep * 1.9, 2.5, rate);
        const double swell = synth::Smooth(t / 0.3) * synth::Decay(t - 0.34, 0.16);
        const double noise = rng.Bipolar();
        const double whoosh = air.Step(noise).band + 0.4 * airHigh.Step(noise).band;
        // A low tone gliding down under the air, like something heavy passing by.
        const double toneHz = 180.0 * std::pow(0.45, t / seconds);
        tonePhase += kTwoPi * toneHz / rate;
        const double tone =
            0.35 * std::sin(tonePhase) * synth::Smooth(t / 0.2) * synth::Decay(t - 0.3, 0.15);
        out[i] = swell * whoosh + tone;
    }
    // The landing: a soft thump and a short high shimmer.
    AddPing(out, rate, 0.34, 95.0, 0.07, 0.45);
    AddBell(out, rate, 0.34, 1568.0, 0.12, 0.08);
    auto wet = synth::Reverb(out, rate, 0.6, 0.25);
    wet.resize(Samples(1.1, rate));
    synth::FadeEdges(wet, Samples(0.005, rate), Samples(0.2, rate));
    return wet;
}

std::vector<double> SelectionTickSound(double rate) {
    synth::Noise rng(102);
    std::vector<double> out(Samples(0.06, rate), 0.0);
    AddPing(out, rate, 0.0, 2350.0, 0.009, 1.0);
    AddPing(out, rate, 0.0, 4700.0, 0.004, 0.25);
    AddNoiseBurst(out, rate, 0.0, 0.01, 5000.0, 1.0, 0.0002, 0.0012, 0.6, rng);
    out.resize(Samples(0.06, rate));
    synth::FadeEdges(out, 0, Samples(0.01, rate));
    return out;
}

std::vector<double> ClickSound(double rate) {
    synth::Noise rng(103);
    std::vector<double> out;
    // Body: a pitch that drops quickly, like a key bottoming out.
    synth::AddVoice(
        out, rate, 0.0, 0.13, [](double t) { return 900.0 + 650.0 * std::exp(-t / 0.012); },
        [](double t) { return synth::AttackDecay(t, 0.0008, 0.028); }, 4,
        [](int h, double) { return h == 1 ? 1.0 : (h == 2 ? 0.3 : 0.12 / h); }, 9000.0);
    AddPing(out, rate, 0.0, 190.0, 0.022, 0.5);
    AddNoiseBurst(out, rate, 0.0, 0.02, 3200.0, 0.9, 0.0002, 0.003, 0.8, rng);
    out.resize(Samples(0.13, rate));
    synth::FadeEdges(out, 0, Samples(0.02, rate));
    return out;
}

std::vector<double> ArrowSound(double rate) {
    std::vector<double> out;
    synth::AddVoice(
        out, rate, 0.0, 0.16, [](double t) { return 880.0 + 295.0 * synth::Smooth(t / 0.025); },
        [](double t) { return synth::AttackDecay(t, 0.002, 0.045); }, 9,
        [](int h, double) { return (h % 2 == 1) ? 1.0 / (h * h) : 0.0; }, 10000.0);
    // A faint octave sparkle on top.
    AddPing(out, rate, 0.012, 2350.0, 0.03, 0.12);
    auto wet = synth::Reverb(out, rate, 0.35, 0.15);
    wet.resize(Samples(0.22, rate));
    synth::FadeEdges(wet, 0, Samples(0.04, rate));
    return wet;
}

std::vector<double> HornLoop(double rate, std::size_t length) {
    // An electric twin-tone horn: two buzzy notes a minor third apart through a bright flare.
    std::vector<synth::Partial> partials;
    synth::Noise rng(108);
    for (double base : {415.0, 494.0}) {
        for (int h = 1; h * base < 7000.0; ++h) {
            const double hz = h * base;
            const double flare = (0.5 * synth::Resonance(hz, 2400, 1.4) +
                                  0.6 * synth::Resonance(hz, 900, 1.2) + 0.25) *
                                 synth::LowPass2(hz, 3200, 0.8);
            partials.push_back({hz, flare / std::pow(h, 0.9), kTwoPi * rng.Uniform()});
        }
    }
    auto out = synth::PartialLoop(length, rate, partials);
    synth::NormalizePeak(out, 1.0);
    synth::Saturate(out, 1.6);
    synth::RotateToQuietStart(out);
    return out;
}

std::vector<double> PointsSound(double rate) {
    std::vector<double> out;
    const double first = 987.77, second = 1318.51;  // B5 then E6
    synth::AddVoice(
        out, rate, 0.0, 0.075, [&](double) { return first; },
        [](double t) { return synth::AttackDecay(t, 0.002, 0.2) * (t < 0.07 ? 1.0 : 0.0); }, 9,
        SoftSquare, 10000.0);
    synth::AddVoice(
        out, rate, 0.07, 0.4, [&](double) { return second; },
        [](double t) { return synth::AttackDecay(t, 0.001, 0.11); }, 9, SoftSquare, 10000.0);
    AddBell(out, rate, 0.07, second * 2.0, 0.08, 0.15);
    auto wet = synth::Reverb(out, rate, 0.5, 0.2);
    wet.resize(Samples(0.5, rate));
    synth::FadeEdges(wet, Samples(0.001, rate), Samples(0.08, rate));
    return wet;
}

std::vector<double> LifeSound(double rate) {
    std::vector<double> out;
    // G5 B5 D6 G6 B6: a major arpeggio climbing, each note a bell.
    const double notes[] = {783.99, 987.77, 1174.66, 1567.98, 1975.53};
    for (int i = 0; i < 5; ++i) {
        AddBell(out, rate, 0.065 * i, notes[i], i == 4 ? 0.35 : 0.2, i == 4 ? 0.9 : 0.7);
        AddPing(out, rate, 0.065 * i, notes[i] / 2.0, 0.15, 0.25);
    }
    // Sparkle: quick high pings scattered over the tail.
    synth::Noise rng(115);
    for (int i = 0; i < 10; ++i) {
        const double at = 0.3 + 0.05 * i + 0.02 * rng.Uniform();
        const double hz = Semitone(3135.96, 12.0 * rng.Uniform() - 5.0);
        AddPing(out, rate, at, hz, 0.04, 0.12 * (1.0 - 0.07 * i));
    }
    auto wet = synth::Reverb(out, rate, 0.9, 0.3);
    wet.resize(Samples(1.2, rate));
    synth::FadeEdges(wet, Samples(0.001, rate), Samples(0.25, rate));
    return wet;
}

std::vector<double> BoostSound(double rate) {
    synth::Noise rng(116);
    const double seconds = 0.65;
    std::vector<double> out;
    auto hz = [](double t) { return 180.0 * std::pow(4.5, synth::Smooth(t / 0.5)); };
    // A saw rising two octaves with its filter opening.
    synth::AddVoice(
        out, rate, 0.0, seconds, hz,
        [&](double t) { return synth::Smooth(t / 0.08) * synth::Decay(t - 0.4, 0.1); }, 40,
        [](int h, double t) {
            const double cutoff = 600.0 + 3500.0 * synth::Smooth(t / 0.45);
            return synth::LowPass2(h * 180.0 * std::pow(4.5, synth::Smooth(t / 0.5)), cutoff, 1.2) /
                   h;
        },
        9000.0);
    synth::Svf air;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        air.Set(1.5 * hz(t) + 800.0, 1.2, rate);
        out[i] += 0.35 * air.Step(rng.Bipolar()).band * synth::Smooth(t / 0.3) *
                  synth::Decay(t - 0.4, 0.08);
    }
    auto wet = synth::Reverb(out, rate, 0.5, 0.2);
    wet.resize(Samples(0.8, rate));
    synth::FadeEdges(wet, Samples(0.003, rate), Samples(0.15, rate));
    return wet;
}

std::vector<double> BumpSound(double rate) {
    synth::Noise rng(117);
    std::vector<double> out;
    // The thud: a low sine pushed down in pitch.
    synth::AddVoice(
        out, rate, 0.0, 0.35, [](double t) { return 45.0 + 75.0 * std::exp(-t / 0.03); },
        [](double t) { return synth::AttackDecay(t, 0.001, 0.07); }, 1,
        [](int, double) { return 1.0; }, 1000.0);
    synth::Saturate(out, 1.8);
    AddNoiseBurst(out, rate, 0.0, 0.12, 500.0, 0.7, 0.0005, 0.025, 0.9, rng);
    // Bodywork knock and a loose rattle.
    AddPing(out, rate, 0.002, 520.0, 0.02, 0.3);
    AddPing(out, rate, 0.004, 1330.0, 0.015, 0.12);
    for (int i = 0; i < 4; ++i) {
        AddNoiseBurst(out, rate, 0.03 + 0.035 * i + 0.01 * rng.Uniform(), 0.04, 2400.0, 3.0, 0.0003,
                      0.006, 0.25 * (1.0 - 0.2 * i), rng);
    }
    out.resize(Samples(0.35, rate));
    synth::FadeEdges(out, 0, Samples(0.08, rate));
    return out;
}

std::vector<double> ClockTickSound(double rate) {
    synth::Noise rng(118);
    std::vector<double> out(Samples(0.1, rate), 0.0);
    AddPing(out, rate, 0.0, 1040.0, 0.02, 1.0);
    AddPing(out, rate, 0.0, 2660.0, 0.008, 0.45, kPi / 3);
    AddPing(out, rate, 0.0, 520.0, 0.012, 0.25);
    AddNoiseBurst(out, rate, 0.0, 0.01, 4000.0, 1.2, 0.0002, 0.0015, 0.5, rng);
    out.resize(Samples(0.1, rate));
    synth::FadeEdges(out, 0, Samples(0.02, rate));
    return out;
}

std::vector<double> GearBlipSound(double rate) {
    synth::Noise rng(119);
    std::vector<double> out(Samples(0.16, rate), 0.0);
    // Two metal parts meeting: a clunk and a sharper click just after.
    AddNoiseBurst(out, rate, 0.0, 0.08, 330.0, 4.0, 0.0004, 0.022, 1.2, rng);
    AddNoiseBurst(out, rate, 0.012, 0.05, 1300.0, 5.0, 0.0002, 0.01, 0.8, rng);
    AddPing(out, rate, 0.012, 2650.0, 0.012, 0.15);
    out.resize(Samples(0.16, rate));
    synth::FadeEdges(out, 0, Samples(0.03, rate));
    return out;
}

std::vector<double> CrashSound(double rate) {
    synth::Noise rng(120);
    const double seconds = 1.7;
    std::vector<double> out(Samples(seconds, rate), 0.0);
    // The impact: a deep boom and a burst of broadband noise.
    synth::AddVoice(
        out, rate, 0.0, 0.6, [](double t) { return 38.0 + 50.0 * std::exp(-t / 0.05); },
        [](double t) { return synth::AttackDecay(t, 0.001, 0.16); }, 2,
        [](int h, double) { return h == 1 ? 1.0 : 0.3; }, 1000.0);
    AddNoiseBurst(out, rate, 0.0, 0.4, 700.0, 0.5, 0.0005, 0.07, 1.4, rng);
    AddNoiseBurst(out, rate, 0.0, 0.2, 3000.0, 0.7, 0.0003, 0.03, 0.6, rng);
    // Parts hitting the road: struck metal, each with its own inharmonic partials.
    const double hits[] = {0.0, 0.06, 0.13, 0.21, 0.33, 0.46, 0.6, 0.77, 0.95, 1.15};
    for (int i = 0; i < 10; ++i) {
        const double level = 0.55 * std::pow(0.8, i) * (0.7 + 0.3 * rng.Uniform());
        const double base = 500.0 + 900.0 * rng.Uniform();
        for (double ratio : {1.0, 2.32, 3.71, 5.13}) {
            AddPing(out, rate, hits[i], base * ratio, 0.05 + 0.08 * rng.Uniform(), level / ratio,
                    kTwoPi * rng.Uniform());
        }
        AddNoiseBurst(out, rate, hits[i], 0.05, 2500.0, 1.0, 0.0003, 0.008, level, rng);
    }
    // Scraping along the tarmac.
    synth::Svf scrape;
    scrape.Set(2300.0, 1.4, rate);
    double rough = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        rough = 0.995 * rough + 0.005 * std::abs(rng.Bipolar());
        const double level = synth::Smooth((t - 0.03) / 0.1) * synth::Decay(t - 0.15, 0.35);
        out[i] += 0.9 * level * (0.4 + 2.0 * rough) * scrape.Step(rng.Bipolar()).band;
    }
    // Bits of plastic skittering away.
    for (int i = 0; i < 8; ++i) {
        AddPing(out, rate, 0.2 + 0.12 * i + 0.05 * rng.Uniform(), 3500.0 + 3000.0 * rng.Uniform(),
                0.012, 0.12);
    }
    auto wet = synth::Reverb(out, rate, 0.8, 0.2);
    wet.resize(Samples(seconds, rate));
    synth::FadeEdges(wet, Samples(0.001, rate), Samples(0.4, rate));
    return wet;
}

std::vector<double> RaceWonSound(double rate) {
    std::vector<double> out;
    // Brass: a saw whose upper harmonics open with the note's loudness.
    auto brass = [&](double start, double seconds, double hz, double level, double vibrato) {
        auto envelope = [seconds](double t) {
            return synth::Smooth(t / 0.025) * (0.8 + 0.2 * std::exp(-t / 0.08)) *
                   (1.0 - synth::Smooth((t - seconds + 0.12) / 0.12));
        };
        synth::AddVoice(
            out, rate, start, seconds,
            [=](double t) {
                return hz * (1.0 +
                             vibrato * synth::Smooth((t - 0.2) / 0.3) * std::sin(kTwoPi * 5.5 * t));
            },
            [=](double t) { return level * envelope(t); }, 30,
            [=](int h, double t) {
                const double open = 1500.0 + 2500.0 * envelope(t);
                return synth::LowPass2(h * hz, open, 1.1) / h;
            },
            10000.0);
    };
    // G4 C5 E5 G5 ... E5 G5 C6, then the C major chord held.
    const double g4 = 392.0, c5 = 523.25, e5 = 659.26, g5 = 783.99, c6 = 1046.5;
    brass(0.00, 0.14, g4, 0.6, 0.0);
    brass(0.13, 0.14, c5, 0.6, 0.0);
    brass(0.26, 0.14, e5, 0.6, 0.0);
    brass(0.39, 0.36, g5, 0.7, 0.0);
    brass(0.78, 0.13, e5, 0.55, 0.0);
    brass(0.91, 0.13, g5, 0.6, 0.0);
    brass(1.04, 1.1, c6, 0.75, 0.006);
    brass(1.04, 1.1, g5, 0.45, 0.005);
    brass(1.04, 1.1, e5, 0.45, 0.004);
    brass(1.04, 1.1, c5, 0.4, 0.0);
    // Timpani-like weight under the beats.
    for (double at : {0.0, 0.39, 1.04}) AddPing(out, rate, at, 98.0, 0.18, 0.45);
    auto wet = synth::Reverb(out, rate, 1.2, 0.3);
    wet.resize(Samples(2.5, rate));
    synth::FadeEdges(wet, Samples(0.002, rate), Samples(0.4, rate));
    return wet;
}

}  // namespace vrumbal::content
