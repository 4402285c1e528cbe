#include "instruments.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "../sounds/synth.h"

namespace vrumbal::content::music {

namespace {

using synth::kPi;
using synth::kTwoPi;

// Drums and effects are rendered at this rate and played at their own pitch at C-5.
constexpr double kDrumRate = 44100.0;
constexpr int kDrumBase = 61;
constexpr double kFullScale = 32767.0 * 0.95;

double NoteHz(int note) {
    return 440.0 * std::pow(2.0, (note - 58) / 12.0);
}

// The signed weight of harmonic h of a wave, for a cosine partial with the phase returned in
// `phase` (relative to the oscillator's own phase times h).
double HarmonicWeight(Wave wave, int h, double& phase) {
    phase = -kPi / 2;  // sine series: cos(x - pi / 2) = sin(x)
    switch (wave) {
        case Wave::kSaw:
            return 1.0 / h;
        case Wave::kSquare:
            return h % 2 ? 1.0 / h : 0.0;
        case Wave::kPulse25:
            phase = 0;
            return std::sin(kPi * h * 0.25) / h;
        case Wave::kTriangle:
            return h % 2 ? ((h / 2) % 2 ? -1.0 : 1.0) / (h * h) : 0.0;
        case Wave::kSine:
            return h == 1 ? 1.0 : 0.0;
    }
    return 0.0;
}

struct Component {
    double bin;        // whole cycles per loop
    double amplitude;  // with the sustained filter applied
    double phase;      // at sample 0
    double hz;         // at the base note
};

XmSample Finish(std::vector<double> samples, const std::string& name, double rate, int baseNote) {
    synth::NormalizePeak(samples, 1.0);
    XmSample s;
    s.name = name;
    s.data.reserve(samples.size());
    for (double v : samples)
        s.data.push_back(static_cast<std::int16_t>(std::lround(v * kFullScale)));
    const XmTuning tuning = TuneSample(rate, baseNote);
    s.relativeNote = tuning.relativeNote;
    s.finetune = tuning.finetune;
    return s;
}

XmSample Drum(std::vector<double> samples, const std::string& name) {
    synth::FadeEdges(samples, 0, static_cast<std::size_t>(0.01 * kDrumRate));
    return Finish(std::move(samples), name, kDrumRate, kDrumBase);
}

// Six square waves at inharmonic ratios, as in classic drum machines' cymbals.
double Metal(double t) {
    static constexpr double kHz[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    double sum = 0;
    for (double hz : kHz) sum += std::sin(kTwoPi * hz * 2.0 * t) > 0 ? 1.0 : -1.0;
    return sum / 6.0;
}

}  // namespace

XmSample MakeTone(const ToneRecipe& r) {
    const auto length = r.loopLength;
    const double rate = NoteHz(r.baseNote) * static_cast<double>(length) / r.cyclesPerLoop;
    const double binHz = rate / static_cast<double>(length);
    synth::Noise rng(r.seed);

    std::vector<Component> parts;
    for (int semis : r.chord) {
        const double ratio = std::pow(2.0, semis / 12.0);
        for (const Oscillator& osc : r.oscillators) {
            const double fundamental =
                (r.cyclesPerLoop + osc.detune) * ratio * std::pow(2.0, osc.octave);
            const double oscPhase = osc.detune == 0 && semis == 0 ? 0.0 : kTwoPi * rng.Uniform();
            for (int h = 1;; ++h) {
                const double bin = std::round(h * fundamental);
                const double hz = bin * binHz;
                if (hz >= r.maxHz || bin >= static_cast<double>(length / 2)) break;
                double phase = 0;
                const double weight = HarmonicWeight(osc.wave, h, phase);
                if (weight == 0.0) continue;
                const double gain = synth::LowPass2(hz, r.cutoff, r.resonance);
                parts.push_back({bin, osc.level * weight * gain, phase + h * oscPhase, hz});
            }
        }
    }

    // The loop: every partial makes whole cycles in it.
    std::vector<synth::Partial> partials;
    partials.reserve(parts.size());
    for (const Component& c : parts) partials.push_back({c.bin * binHz, c.amplitude, c.phase});
    const auto loop = synth::PartialLoop(length, rate, partials);

    // The opening: the same partials while the filter closes from attackCutoff to cutoff.
    const auto head = static_cast<std::size_t>(r.attackSeconds * rate);
    std::vector<double> samples(head + length, 0.0);
    for (std::size_t i = 0; i < head; ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(head);
        const double cutoff = r.attackCutoff * std::pow(r.cutoff / r.attackCutoff, x);
        double sum = 0;
        for (const Component& c : parts) {
            const double opening = synth::LowPass2(c.hz, cutoff, r.resonance) /
                                   synth::LowPass2(c.hz, r.cutoff, r.resonance);
            sum += c.amplitude * opening *
                   std::cos(kTwoPi * c.bin * static_cast<double>(i) / static_cast<double>(length) +
                            c.phase);
        }
        samples[i] = sum;
    }
    for (std::size_t i = 0; i < length; ++i) samples[head + i] = loop[(head + i) % length];

    if (r.drive > 0) {
        synth::NormalizePeak(samples, 1.0);
        synth::Saturate(samples, r.drive);
    }
    XmSample s = Finish(std::move(samples), r.name, rate, r.baseNote);
    s.loop = XmLoop::kForward;
    s.loopStart = static_cast<std::uint32_t>(head);
    s.loopLength = static_cast<std::uint32_t>(length);
    return s;
}

XmInstrument MakeInstrument(const std::string& name, XmSample sample, XmEnvelope volumeEnvelope,
                            std::uint16_t fadeout) {
    XmInstrument ins;
    ins.name = name;
    ins.samples.push_back(std::move(sample));
    ins.volumeEnvelope = std::move(volumeEnvelope);
    ins.fadeout = fadeout;
    return ins;
}

XmEnvelope Envelope(std::vector<XmEnvelope::Point> points, int sustain) {
    XmEnvelope env;
    env.points = std::move(points);
    if (sustain >= 0) env.sustain = static_cast<std::uint8_t>(sustain);
    return env;
}

XmSample KickSample(double punch) {
    synth::Noise rng(201);
    const auto n = static_cast<std::size_t>(0.45 * kDrumRate);
    std::vector<double> out(n);
    double phase = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kDrumRate;
        const double hz = 47.0 + (140.0 + 70.0 * punch) * std::exp(-t / 0.032);
        phase += kTwoPi * hz / kDrumRate;
        const double body = synth::AttackDecay(t, 0.0008, 0.17 + 0.05 * punch) * std::sin(phase);
        const double click = rng.Bipolar() * synth::Decay(t, 0.0015) * (0.25 + 0.2 * punch);
        out[i] = body + click;
    }
    synth::Saturate(out, 1.5 + 1.5 * punch);
    return Drum(std::move(out), "kick");
}

XmSample SnareSample() {
    synth::Noise rng(202);
    const auto n = static_cast<std::size_t>(0.3 * kDrumRate);
    std::vector<double> out(n);
    synth::Svf high, band;
    high.Set(1500, 0.7, kDrumRate);
    band.Set(4200, 0.9, kDrumRate);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kDrumRate;
        const double tone = 0.55 * std::sin(kTwoPi * 185.0 * t) * synth::Decay(t, 0.045) +
                            0.3 * std::sin(kTwoPi * 330.0 * t) * synth::Decay(t, 0.03);
        const double white = rng.Bipolar();
        const double noise = (0.7 * high.Step(white).high + 0.6 * band.Step(white).band) *
                             synth::AttackDecay(t, 0.0005, 0.085);
        out[i] = synth::Smooth(t / 0.0006) * tone + noise;
    }
    auto wet = synth::Reverb(out, kDrumRate, 0.35, 0.18);
    wet.resize(n);
    return Drum(std::move(wet), "snare");
}

XmSample ClapSample() {
    synth::Noise rng(203);
    const auto n = static_cast<std::size_t>(0.35 * kDrumRate);
    std::vector<double> out(n);
    synth::Svf band;
    band.Set(1300, 1.3, kDrumRate);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kDrumRate;
        // Three quick claps then the ringing of the room.
        double env = 0;
        for (int k = 0; k < 3; ++k) env += synth::AttackDecay(t - 0.011 * k, 0.0004, 0.004);
        env += 0.8 * synth::AttackDecay(t - 0.033, 0.0005, 0.07);
        out[i] = env * band.Step(rng.Bipolar()).band;
    }
    auto wet = synth::Reverb(out, kDrumRate, 0.5, 0.25);
    wet.resize(n);
    return Drum(std::move(wet), "clap");
}

XmSample HatSample(double seconds) {
    synth::Noise rng(seconds < 0.1 ? 204 : 205);
    const auto n = static_cast<std::size_t>(seconds * kDrumRate);
    std::vector<double> out(n);
    synth::Svf high;
    high.Set(7500, 0.8, kDrumRate);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kDrumRate;
        const double source = 0.6 * Metal(t) + 0.5 * rng.Bipolar();
        out[i] = high.Step(source).high * synth::AttackDecay(t, 0.0003, seconds / 4.0);
    }
    return Drum(std::move(out), seconds < 0.1 ? "closed hat" : "open hat");
}

XmSample CrashSample() {
    synth::Noise rng(206);
    const auto n = static_cast<std::size_t>(2.0 * kDrumRate);
    std::vector<double> out(n);
    synth::Svf high, body;
    high.Set(5000, 0.7, kDrumRate);
    body.Set(2500, 0.6, kDrumRate);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kDrumRate;
        const double source = 0.5 * Metal(t * 1.37) + rng.Bipolar();
        out[i] = (high.Step(source).high + 0.3 * body.Step(source).band) *
                 synth::AttackDecay(t, 0.001, 0.55);
    }
    return Drum(std::move(out), "crash");
}

XmSample TomSample() {
    synth::Noise rng(207);
    const auto n = static_cast<std::size_t>(0.45 * kDrumRate);
    std::vector<double> out(n);
    double phase = 0;
    synth::Svf band;
    band.Set(900, 0.8, kDrumRate);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kDrumRate;
        phase += kTwoPi * (120.0 + 60.0 * std::exp(-t / 0.06)) / kDrumRate;
        out[i] = std::sin(phase) * synth::AttackDecay(t, 0.001, 0.14) +
                 0.3 * band.Step(rng.Bipolar()).band * synth::Decay(t, 0.02);
    }
    synth::Saturate(out, 1.3);
    return Drum(std::move(out), "tom");
}

XmSample BellSample() {
    const double hz = NoteHz(kDrumBase);
    const auto n = static_cast<std::size_t>(1.8 * kDrumRate);
    std::vector<double> out(n, 0.0);
    // A struck bar: a few partials, the inharmonic ones dying first.
    const struct {
        double ratio, level, tau;
    } partials[] = {{1.0, 1.0, 0.6},    {2.0, 0.35, 0.35}, {3.0, 0.12, 0.2},
                    {4.16, 0.18, 0.12}, {5.43, 0.1, 0.07}, {0.5, 0.12, 0.5}};
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kDrumRate;
        double sum = 0;
        for (const auto& p : partials) {
            sum += p.level * std::sin(kTwoPi * hz * p.ratio * t) * synth::Decay(t, p.tau);
        }
        out[i] = synth::Smooth(t / 0.001) * sum;
    }
    return Drum(std::move(out), "bell");
}

XmSample RiserSample() {
    synth::Noise rng(208);
    const double seconds = 3.2;
    const auto n = static_cast<std::size_t>(seconds * kDrumRate);
    std::vector<double> out(n);
    synth::Svf band;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kDrumRate;
        band.Set(300.0 * std::pow(30.0, t / seconds), 2.0, kDrumRate);
        out[i] = band.Step(rng.Bipolar()).band * std::pow(t / seconds, 1.5);
    }
    return Drum(std::move(out), "riser");
}

int NoteValue(const std::string& name) {
    static constexpr int kSemis[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') {
        throw std::invalid_argument("bad note name: " + name);
    }
    int semis = kSemis[name[0] - 'A'];
    std::size_t pos = 1;
    if (name[pos] == '#') {
        ++semis;
        ++pos;
    } else if (name[pos] == 'b') {
        --semis;
        ++pos;
    } else if (name[pos] == '-') {
        ++pos;
    }
    if (pos + 1 != name.size() || name[pos] < '0' || name[pos] > '7') {
        throw std::invalid_argument("bad note name: " + name);
    }
    const int value = (name[pos] - '0') * 12 + semis + 1;
    if (value < 1 || value > kXmLastNote) throw std::invalid_argument("note out of range: " + name);
    return value;
}

}  // namespace vrumbal::content::music
