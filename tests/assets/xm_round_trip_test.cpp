// Modules from the XM writer, played back through the game's own tracker player: pitches,
// sample formats and loops, envelopes, the order list and the restart position must come out
// as written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <stdexcept>

#include "assets/signal.h"
#include "platform/xm_song.h"
#include "support/test_support.h"
#include "xm_writer.h"

namespace vrumbal::test {
namespace {

using content::WriteXm;
using content::XmCell;
using content::XmInstrument;
using content::XmLoop;
using content::XmModule;
using content::XmPattern;
using content::XmSample;

constexpr int kRate = 44100;
// Speed 6 at 125 beats per minute: 0.12 s a row.
constexpr double kRowSeconds = 0.12;
constexpr int kC4 = 49;

// A sine of exactly `period` samples per cycle; the sample is tuned so C-4 plays it at 44100 Hz.
XmSample Sine(int period, int cycles, bool eightBit) {
    XmSample s;
    for (int i = 0; i < period * cycles; ++i) {
        s.data.push_back(static_cast<std::int16_t>(
            std::lround(30000.0 * std::sin(2.0 * 3.14159265358979 * i / period))));
    }
    s.eightBit = eightBit;
    const auto tuning = content::TuneSample(kRate, kC4);
    s.relativeNote = tuning.relativeNote;
    s.finetune = tuning.finetune;
    return s;
}

// An instrument that holds the note until released, then falls silent within two ticks.
XmInstrument Holding(XmSample sample) {
    XmInstrument ins;
    ins.samples.push_back(std::move(sample));
    ins.volumeEnvelope.points = {{0, 64}, {1, 64}, {3, 0}};
    ins.volumeEnvelope.sustain = 1;
    return ins;
}

XmModule OnePattern(int rows, int channels) {
    XmModule m;
    m.name = "round trip";
    m.channels = channels;
    m.speed = 6;
    m.bpm = 125;
    m.order = {0};
    m.patterns.emplace_back(rows, channels);
    return m;
}

void SetNote(XmPattern& p, int row, int channel, int note, int instrument) {
    XmCell& c = p.At(row, channel);
    c.note = static_cast<std::uint8_t>(note);
    c.instrument = static_cast<std::uint8_t>(instrument);
    c.volume = 0x50;
}

void SetKeyOff(XmPattern& p, int row, int channel) {
    p.At(row, channel).note = content::kXmKeyOff;
}

// Plays the module through the game's player; the mono mix of the given seconds.
std::vector<double> Play(const XmModule& module, double seconds) {
    const auto bytes = WriteXm(module);
    TempDir dir;
    const auto path = dir.Path() / "song.xm";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    auto song = XmSong::LoadFromFile(path.string());
    if (!song) throw std::runtime_error("the player refused the module");
    if (!song->Start(kRate)) throw std::runtime_error("the player did not start");
    const int frames = static_cast<int>(seconds * kRate);
    std::vector<std::int16_t> stereo(2 * static_cast<std::size_t>(frames));
    song->Render(stereo.data(), frames);
    std::vector<double> mono(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) mono[i] = (stereo[2 * i] + stereo[2 * i + 1]) / 65536.0;
    return mono;
}

std::span<const double> Window(const std::vector<double>& x, double from, double to) {
    const auto a = static_cast<std::size_t>(from * kRate);
    const auto b = std::min(x.size(), static_cast<std::size_t>(to * kRate));
    return std::span<const double>(x).subspan(a, b - a);
}

// Frequency from the upward zero crossings of a stretch.
double CrossingHz(std::span<const double> x) {
    double first = -1, last = -1;
    int count = 0;
    for (std::size_t i = 1; i < x.size(); ++i) {
        if (x[i - 1] < 0 && x[i] >= 0) {
            const double t = (static_cast<double>(i) - x[i] / (x[i] - x[i - 1])) / kRate;
            if (first < 0) first = t;
            last = t;
            ++count;
        }
    }
    return count > 1 ? (count - 1) / (last - first) : 0.0;
}

// 8800 samples: 100-sample cycles, except samples 4400..6599, which hold 50-sample cycles (an
// octave up). The loop, where there is one, spans 2200..6599: a loop that is held must sound both
// octaves; one cut short or moved sounds only one.
XmSample TwoPartSample(bool eightBit) {
    XmSample s = Sine(100, 88, eightBit);
    const XmSample upper = Sine(50, 44, eightBit);
    std::copy(upper.data.begin(), upper.data.end(), s.data.begin() + 4400);
    return s;
}

TEST(XmRoundTrip, PitchFormatLoopAndRelease) {
    struct Case {
        const char* label;
        bool eightBit;
        XmLoop loop;
        int note;
        double hz;  // 441 Hz at C-4: 100 samples a cycle played at 44100 Hz
    };
    const Case cases[] = {
        {"16-bit one-shot at C-4", false, XmLoop::kNone, kC4, 441.0},
        {"8-bit one-shot at C-4", true, XmLoop::kNone, kC4, 441.0},
        {"16-bit forward loop at C-5", false, XmLoop::kForward, kC4 + 12, 882.0},
        {"8-bit forward loop at C-4", true, XmLoop::kForward, kC4, 441.0},
        {"16-bit ping-pong loop at G-4", false, XmLoop::kPingPong, kC4 + 7,
         441.0 * std::pow(2.0, 7.0 / 12.0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        XmSample sample = TwoPartSample(c.eightBit);
        sample.loop = c.loop;
        if (c.loop != XmLoop::kNone) {
            sample.loopStart = 2200;
            sample.loopLength = 4400;
        }
        // Seconds per sample as played.
        const double unit = 441.0 / c.hz / kRate;
        XmModule m = OnePattern(16, 2);
        m.instruments.push_back(Holding(sample));
        SetNote(m.patterns[0], 2, 0, c.note, 1);
        SetKeyOff(m.patterns[0], 8, 0);
        const auto out = Play(m, 16 * kRowSeconds);

        const double start = 2 * kRowSeconds;
        EXPECT_LT(Peak(Window(out, 0.0, start - 0.005)), 1e-3) << "sound before the note";
        const auto opening = Window(out, start + 0.005, start + 4400 * unit - 0.003);
        EXPECT_GT(Rms(opening), 0.05);
        EXPECT_NEAR(CrossingHz(opening), c.hz, c.hz * 0.005);
        if (c.loop == XmLoop::kNone) {
            const auto upper =
                Window(out, start + 4400 * unit + 0.003, start + 6600 * unit - 0.003);
            EXPECT_NEAR(CrossingHz(upper), 2 * c.hz, c.hz * 0.01);
            EXPECT_LT(Peak(Window(out, start + 8800 * unit + 0.02, 8 * kRowSeconds)), 1e-3)
                << "a one-shot sample went on past its end";
        } else {
            const auto held = Window(out, 5 * kRowSeconds, 8 * kRowSeconds - 0.005);
            const double low = ToneLevel(held, kRate, c.hz),
                         high = ToneLevel(held, kRate, 2 * c.hz);
            // Half the loop is each octave, so the two sound about equally.
            EXPECT_GT(low, 0.6 * high) << "the loop lost part of its first half";
            EXPECT_GT(high, 0.6 * low) << "the loop lost part of its second half";
            EXPECT_GT(Rms(held), 0.05) << "the loop did not hold the note";
        }
        EXPECT_LT(Peak(Window(out, 8.5 * kRowSeconds, 16 * kRowSeconds)), 1e-3)
            << "the note was not released";
    }
}

TEST(XmRoundTrip, OrderListChannelsAndRestart) {
    // Pattern 0 sounds 441 Hz on channel 0, pattern 1 735 Hz on channel 1; each releases the
    // other channel. Played in the order 1, 0, 1 and then from the restart position 1 again.
    XmModule m = OnePattern(8, 4);
    m.patterns.emplace_back(8, 4);
    m.instruments.push_back(Holding(Sine(100, 40, false)));
    m.instruments.push_back(Holding(Sine(60, 60, true)));
    for (auto* ins : {&m.instruments[0], &m.instruments[1]}) {
        ins->samples[0].loop = XmLoop::kForward;
        ins->samples[0].loopLength = static_cast<std::uint32_t>(ins->samples[0].data.size());
    }
    SetNote(m.patterns[0], 0, 0, kC4, 1);
    // A cell with all five fields filled is stored unpacked: set volume 0x40 as the effect.
    m.patterns[0].At(0, 0).effect = 0x0C;
    m.patterns[0].At(0, 0).param = 0x40;
    SetKeyOff(m.patterns[0], 0, 1);
    SetNote(m.patterns[1], 0, 1, kC4, 2);
    SetKeyOff(m.patterns[1], 0, 0);
    // An effect alone in a cell (packed): row 4 of pattern 1 turns channel 1 down to 16.
    m.patterns[1].At(4, 1).effect = 0x0C;
    m.patterns[1].At(4, 1).param = 0x10;
    m.order = {1, 0, 1};
    m.restart = 1;
    const double pattern = 8 * kRowSeconds;
    const auto out = Play(m, 4 * pattern);

    const double expected[] = {735.0, 441.0, 735.0, 441.0};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE("order position " + std::to_string(i));
        const auto w = Window(out, i * pattern + kRowSeconds, (i + 1) * pattern - 0.01);
        const double other = expected[i] == 441.0 ? 735.0 : 441.0;
        EXPECT_GT(ToneLevel(w, kRate, expected[i]), 0.05);
        EXPECT_LT(ToneLevel(w, kRate, other), 0.1 * ToneLevel(w, kRate, expected[i]));
    }
    // In the first pass through pattern 1 the volume command quarters the level from row 4.
    const double before = ToneLevel(Window(out, kRowSeconds, 4 * kRowSeconds), kRate, 735.0);
    const double after = ToneLevel(Window(out, 5 * kRowSeconds, 8 * kRowSeconds), kRate, 735.0);
    EXPECT_NEAR(after / before, 0.25, 0.05);
}

TEST(XmRoundTrip, RefusesModulesTheFormatCannotHold) {
    auto valid = [] {
        XmModule m = OnePattern(4, 2);
        XmSample s = Sine(100, 10, false);
        s.loop = XmLoop::kForward;
        s.loopStart = 0;
        s.loopLength = 1000;
        m.instruments.push_back(Holding(s));
        SetNote(m.patterns[0], 0, 0, kC4, 1);
        return m;
    };
    ASSERT_NO_THROW(WriteXm(valid()));
    const std::vector<std::pair<const char*, std::function<void(XmModule&)>>> cases = {
        {"order names a missing pattern", [](XmModule& m) { m.order.push_back(1); }},
        {"restart beyond the orders", [](XmModule& m) { m.restart = 1; }},
        {"no orders", [](XmModule& m) { m.order.clear(); }},
        {"33 channels", [](XmModule& m) { m.channels = 33; }},
        {"pattern width differs", [](XmModule& m) { m.patterns.emplace_back(4, 3); }},
        {"cell names a missing instrument",
         [](XmModule& m) { m.patterns[0].At(1, 1).instrument = 2; }},
        {"note value 98", [](XmModule& m) { m.patterns[0].At(0, 0).note = 98; }},
        {"loop past the sample end",
         [](XmModule& m) { m.instruments[0].samples[0].loopStart = 1; }},
        {"empty loop", [](XmModule& m) { m.instruments[0].samples[0].loopLength = 0; }},
        {"sample volume 65", [](XmModule& m) { m.instruments[0].samples[0].volume = 65; }},
        {"envelope ticks not rising",
         [](XmModule& m) { m.instruments[0].volumeEnvelope.points[2].tick = 1; }},
        {"envelope sustain outside",
         [](XmModule& m) { m.instruments[0].volumeEnvelope.sustain = 3; }},
        {"envelope with 13 points",
         [](XmModule& m) {
             auto& points = m.instruments[0].volumeEnvelope.points;
             while (points.size() < 13)
                 points.push_back({static_cast<std::uint16_t>(points.size() * 4), 0});
         }},
        {"keymap names a missing sample", [](XmModule& m) { m.instruments[0].keymap[40] = 1; }},
        {"speed 0", [](XmModule& m) { m.speed = 0; }},
        {"tempo 300", [](XmModule& m) { m.bpm = 300; }},
    };
    for (const auto& [label, spoil] : cases) {
        SCOPED_TRACE(label);
        XmModule m = valid();
        spoil(m);
        EXPECT_THROW(WriteXm(m), std::invalid_argument);
    }
}

TEST(XmRoundTrip, TuningPlaysTheSampleAtItsOwnRate) {
    struct Case {
        double rate;
        int baseNote;
        int relative;  // -1000: only the realised pitch is checked
        int finetune;
    };
    const Case cases[] = {
        {8363, kC4, 0, 0},      {16726, kC4, 12, 0},   {8363, kC4 + 12, -12, 0},
        {22050, kC4, -1000, 0}, {33488, 25, -1000, 0}, {44100, 61, -1000, 0},
        {48000, 1, -1000, 0},   {11025, 73, -1000, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.rate) + " Hz at note " + std::to_string(c.baseNote));
        const auto t = content::TuneSample(c.rate, c.baseNote);
        if (c.relative != -1000) {
            EXPECT_EQ(t.relativeNote, c.relative);
            EXPECT_EQ(t.finetune, c.finetune);
        }
        EXPECT_GE(t.finetune, -64);
        EXPECT_LE(t.finetune, 63);
        // With the linear table the note plays at 8363 Hz x 2^((note - 49 + shift) / 12).
        const double played =
            8363.0 * std::pow(2.0, (c.baseNote - 49 + t.relativeNote + t.finetune / 128.0) / 12.0);
        EXPECT_NEAR(12.0 * std::log2(played / c.rate), 0.0, 0.5 / 128.0);
    }
}

}  // namespace
}  // namespace vrumbal::test
