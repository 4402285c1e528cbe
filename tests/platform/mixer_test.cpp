#include "platform/mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <ostream>
#include <thread>
#include <vector>

namespace vrumbal {
namespace {

// Table rows show up in failure messages by their name.
template <typename Case>
requires requires(const Case& c) {
    c.name;
}
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

constexpr int kRate = 44100;

using Samples = std::shared_ptr<const std::vector<std::uint8_t>>;

WaveFormat Format(int rate, int bits, int channels) {
    return WaveFormat{1, channels, rate, bits, channels * bits / 8};
}

// 16-bit samples from values, interleaved when stereo.
Samples Pcm16(const std::vector<int>& values) {
    auto bytes = std::make_shared<std::vector<std::uint8_t>>();
    for (int v : values) {
        bytes->push_back(static_cast<std::uint8_t>(v & 0xFF));
        bytes->push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    return bytes;
}

Samples Constant16(int frames, int value) {
    return Pcm16(std::vector<int>(frames, value));
}

Samples Bytes(std::vector<std::uint8_t> bytes) {
    return std::make_shared<std::vector<std::uint8_t>>(std::move(bytes));
}

std::vector<std::int16_t> MixFrames(Mixer& mixer, int frames) {
    std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * 2, 12345);
    mixer.Mix(out.data(), frames);
    return out;
}

// --- Length and rate ---------------------------------------------------------------------

struct LengthCase {
    const char* name;
    int waveRate;
    int frequency;  // 0 = the wave's own rate
    int bits;
    int channels;
    int frames;
    int expectedOutputFrames;
};

class VoiceLength : public ::testing::TestWithParam<LengthCase> {};

TEST_P(VoiceLength, SoundsForItsResampledDurationThenStops) {
    const LengthCase& c = GetParam();
    const int frameBytes = c.bits / 8 * c.channels;
    // A steady non-zero level, so every sounding output frame is non-zero.
    auto bytes = std::vector<std::uint8_t>(static_cast<std::size_t>(c.frames) * frameBytes, 0x40);
    Mixer mixer(kRate);
    const auto voice = mixer.CreateVoice(Format(c.waveRate, c.bits, c.channels), Bytes(bytes));
    ASSERT_NE(voice, 0u);
    mixer.SetFrequency(voice, c.frequency);
    mixer.Play(voice, false);

    const auto body = MixFrames(mixer, c.expectedOutputFrames - 1);
    EXPECT_TRUE(mixer.IsPlaying(voice));
    EXPECT_TRUE(std::none_of(body.begin(), body.end(), [](std::int16_t s) { return s == 0; }));
    const auto last = MixFrames(mixer, 1);
    EXPECT_NE(last[0], 0);
    EXPECT_FALSE(mixer.IsPlaying(voice));
    const auto after = MixFrames(mixer, 4);
    EXPECT_TRUE(std::all_of(after.begin(), after.end(), [](std::int16_t s) { return s == 0; }));
}

INSTANTIATE_TEST_SUITE_P(
    Rates, VoiceLength,
    ::testing::Values(LengthCase{"SameRate", 44100, 0, 16, 1, 300, 300},
                      LengthCase{"HalfRate16", 22050, 0, 16, 1, 300, 600},
                      LengthCase{"HalfRate8Stereo", 22050, 0, 8, 2, 250, 500},
                      LengthCase{"QuarterRate", 11025, 0, 8, 1, 100, 400},
                      LengthCase{"DoubleRate", 88200, 0, 16, 2, 400, 200},
                      LengthCase{"FrequencyHalves", 44100, 22050, 16, 1, 300, 600},
                      LengthCase{"FrequencyDoubles", 22050, 44100, 8, 1, 300, 300}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Sample levels ---------------------------------------------------------------------

struct LevelCase {
    const char* name;
    WaveFormat format;
    std::vector<std::uint8_t> frame;
    int left;
    int right;
};

class SampleLevel : public ::testing::TestWithParam<LevelCase> {};

TEST_P(SampleLevel, MapsToTheSixteenBitRange) {
    const LevelCase& c = GetParam();
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 8; ++i) bytes.insert(bytes.end(), c.frame.begin(), c.frame.end());
    Mixer mixer(kRate);
    const auto voice = mixer.CreateVoice(c.format, Bytes(bytes));
    ASSERT_NE(voice, 0u);
    mixer.Play(voice, true);
    const auto out = MixFrames(mixer, 20);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(out[2 * i], c.left) << "frame " << i;
        EXPECT_EQ(out[2 * i + 1], c.right) << "frame " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, SampleLevel,
    ::testing::Values(
        LevelCase{"Unsigned8Silence", Format(22050, 8, 1), {0x80}, 0, 0},
        LevelCase{"Unsigned8StereoSilence", Format(11025, 8, 2), {0x80, 0x80}, 0, 0},
        LevelCase{"Unsigned8Top", Format(44100, 8, 1), {0xFF}, 32512, 32512},
        LevelCase{"Unsigned8Bottom", Format(44100, 8, 1), {0x00}, -32768, -32768},
        LevelCase{"Signed16Mono", Format(22050, 16, 1), {0x39, 0x30}, 12345, 12345},
        LevelCase{"Signed16Negative", Format(44100, 16, 1), {0x00, 0x80}, -32768, -32768},
        LevelCase{
            "Signed16StereoSides", Format(44100, 16, 2), {0xE8, 0x03, 0x18, 0xFC}, 1000, -1000},
        LevelCase{"Unsigned8StereoSides", Format(44100, 8, 2), {0x90, 0x70}, 4096, -4096},
        LevelCase{"Signed24", Format(44100, 24, 1), {0x00, 0x39, 0x30}, 12345, 12345},
        LevelCase{"Signed32Stereo",
                  Format(44100, 32, 2),
                  {0, 0, 0xE8, 0x03, 0, 0, 0x18, 0xFC},
                  1000,
                  -1000}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Looping ---------------------------------------------------------------------------

struct LoopCase {
    const char* name;
    int waveRate;
    int frequency;
};

class LoopedSine : public ::testing::TestWithParam<LoopCase> {};

TEST_P(LoopedSine, FollowsTheSineAcrossEveryWrap) {
    const LoopCase& c = GetParam();
    constexpr int kFrames = 441;
    constexpr int kPeriods = 4;
    constexpr double kAmplitude = 20000;
    std::vector<int> values;
    for (int i = 0; i < kFrames; ++i) {
        values.push_back(static_cast<int>(
            std::lround(kAmplitude * std::sin(2 * std::numbers::pi * kPeriods * i / kFrames))));
    }
    Mixer mixer(kRate);
    const auto voice = mixer.CreateVoice(Format(c.waveRate, 16, 1), Pcm16(values));
    mixer.SetFrequency(voice, c.frequency);
    mixer.Play(voice, true);
    const int rate = c.frequency == 0 ? c.waveRate : c.frequency;
    const int outFrames = 5 * kFrames * kRate / rate;
    const auto out = MixFrames(mixer, outFrames);
    EXPECT_TRUE(mixer.IsPlaying(voice));
    // A dropped, repeated or mis-interpolated frame at a wrap shifts the phase by a whole
    // frame, an error of over a thousand; interpolating a smooth sine is off by a few at most.
    double worst = 0;
    for (int i = 0; i < outFrames; ++i) {
        const double sourcePos = static_cast<double>(i) * rate / kRate;
        const double ideal =
            kAmplitude * std::sin(2 * std::numbers::pi * kPeriods * sourcePos / kFrames);
        worst = std::max(worst, std::abs(out[2 * i] - ideal));
    }
    EXPECT_LT(worst, 60.0);
}

INSTANTIATE_TEST_SUITE_P(Rates, LoopedSine,
                         ::testing::Values(LoopCase{"SameRate", 44100, 0},
                                           LoopCase{"HalfRate", 22050, 0},
                                           LoopCase{"UnevenRate", 32000, 0},
                                           LoopCase{"RaisedFrequency", 22050, 30000}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Position control ------------------------------------------------------------------

enum class Step { Play, PlayLooped, Stop, SetPosition, Mix };

struct Action {
    Step step;
    std::uint32_t argument;  // byte offset for SetPosition, frame count for Mix
    int expectFirst;         // first mixed sample after a Mix
    bool expectPlaying;
};

struct PositionCase {
    const char* name;
    std::vector<Action> actions;
};

class PlayPosition : public ::testing::TestWithParam<PositionCase> {};

TEST_P(PlayPosition, FollowsStopPlayAndSetPosition) {
    // A ramp of 100 frames: frame i holds 10 x (i + 1), so a sample tells where the voice is
    // and silence tells that it is not sounding.
    std::vector<int> ramp;
    for (int i = 0; i < 100; ++i) ramp.push_back(10 * (i + 1));
    Mixer mixer(kRate);
    const auto voice = mixer.CreateVoice(Format(kRate, 16, 1), Pcm16(ramp));
    int index = 0;
    for (const Action& a : GetParam().actions) {
        switch (a.step) {
            case Step::Play:
                mixer.Play(voice, false);
                break;
            case Step::PlayLooped:
                mixer.Play(voice, true);
                break;
            case Step::Stop:
                mixer.Stop(voice);
                break;
            case Step::SetPosition:
                mixer.SetPosition(voice, a.argument);
                break;
            case Step::Mix: {
                const auto out = MixFrames(mixer, static_cast<int>(a.argument));
                EXPECT_EQ(out[0], a.expectFirst) << "action " << index;
                break;
            }
        }
        EXPECT_EQ(mixer.IsPlaying(voice), a.expectPlaying) << "action " << index;
        ++index;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, PlayPosition,
    ::testing::Values(PositionCase{"StopKeepsPosition",
                                   {{Step::Play, 0, 0, true},
                                    {Step::Mix, 10, 10, true},
                                    {Step::Stop, 0, 0, false},
                                    {Step::Mix, 5, 0, false},
                                    {Step::Play, 0, 0, true},
                                    {Step::Mix, 1, 110, true}}},
                      PositionCase{"SetPositionZeroRestarts",
                                   {{Step::Play, 0, 0, true},
                                    {Step::Mix, 30, 10, true},
                                    {Step::Stop, 0, 0, false},
                                    {Step::SetPosition, 0, 0, false},
                                    {Step::Play, 0, 0, true},
                                    {Step::Mix, 1, 10, true}}},
                      PositionCase{"SetPositionWhilePlaying",
                                   {{Step::Play, 0, 0, true},
                                    {Step::Mix, 30, 10, true},
                                    {Step::SetPosition, 0, 0, true},
                                    {Step::Mix, 1, 10, true}}},
                      PositionCase{"SetPositionIsInBytes",
                                   {{Step::SetPosition, 100, 0, false},
                                    {Step::Play, 0, 0, true},
                                    {Step::Mix, 1, 510, true},
                                    // An odd offset falls back to the start of its frame.
                                    {Step::SetPosition, 41, 0, true},
                                    {Step::Mix, 1, 210, true}}},
                      PositionCase{"FinishedVoiceStartsOver",
                                   {{Step::Play, 0, 0, true},
                                    {Step::Mix, 100, 10, false},
                                    {Step::Mix, 1, 0, false},
                                    {Step::Play, 0, 0, true},
                                    {Step::Mix, 1, 10, true}}},
                      PositionCase{"PastTheEndPlaysNothing",
                                   {{Step::SetPosition, 5000, 0, false},
                                    {Step::Play, 0, 0, true},
                                    {Step::Mix, 2, 0, false}}},
                      PositionCase{"LoopWrapsToTheStart",
                                   {{Step::SetPosition, 196, 0, false},
                                    {Step::PlayLooped, 0, 0, true},
                                    {Step::Mix, 2, 990, true},
                                    {Step::Mix, 1, 10, true}}},
                      PositionCase{"LoopedThenOnce",
                                   {{Step::SetPosition, 196, 0, false},
                                    {Step::PlayLooped, 0, 0, true},
                                    {Step::Stop, 0, 0, false},
                                    {Step::Play, 0, 0, true},
                                    {Step::Mix, 3, 990, false}}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Duplicates --------------------------------------------------------------------------

TEST(MixerDuplicate, SharesSamplesAndPlaysIndependently) {
    std::vector<int> ramp;
    for (int i = 0; i < 200; ++i) ramp.push_back(i);
    const Samples samples = Pcm16(ramp);
    Mixer mixer(kRate);
    const auto original = mixer.CreateVoice(Format(kRate, 16, 1), samples);
    const auto copy = mixer.DuplicateVoice(original);
    ASSERT_NE(copy, 0u);
    ASSERT_NE(copy, original);
    EXPECT_EQ(samples.use_count(), 3);  // the test, the original and the copy: no second copy

    mixer.Play(original, false);
    MixFrames(mixer, 50);
    EXPECT_FALSE(mixer.IsPlaying(copy));
    mixer.Play(copy, false);
    EXPECT_EQ(MixFrames(mixer, 1)[0], 50 + 0);  // the original at 50, the copy from its start
    mixer.Stop(original);
    EXPECT_EQ(MixFrames(mixer, 1)[0], 1);  // the copy alone

    mixer.DestroyVoice(original);
    EXPECT_FALSE(mixer.HasVoice(original));
    EXPECT_EQ(samples.use_count(), 2);
    EXPECT_EQ(MixFrames(mixer, 1)[0], 2);  // the copy outlives the voice it was made from
    EXPECT_EQ(mixer.DuplicateVoice(original), 0u);
}

// --- Mixing levels -----------------------------------------------------------------------

struct SumCase {
    const char* name;
    std::vector<int> voiceLevels;
    int songLevel;
    int expected;
};

class Saturation : public ::testing::TestWithParam<SumCase> {};

TEST_P(Saturation, ClipsInsteadOfWrapping) {
    const SumCase& c = GetParam();
    Mixer mixer(kRate);
    for (int level : c.voiceLevels) {
        const auto voice = mixer.CreateVoice(Format(kRate, 16, 1), Constant16(64, level));
        mixer.Play(voice, true);
    }
    if (c.songLevel != 0) {
        const int level = c.songLevel;
        mixer.SetSongSource(
            [level](std::int16_t* frames, int count) {
                std::fill(frames, frames + 2 * count, static_cast<std::int16_t>(level));
            },
            1.0f);
    }
    const auto out = MixFrames(mixer, 100);
    for (std::int16_t s : out) ASSERT_EQ(s, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Sums, Saturation,
                         ::testing::Values(SumCase{"TwoFullPositive", {32767, 32767}, 0, 32767},
                                           SumCase{"TwoFullNegative", {-32768, -32768}, 0, -32768},
                                           SumCase{"JustOver", {20000, 12768}, 0, 32767},
                                           SumCase{"Cancelling", {30000, -30000}, 0, 0},
                                           SumCase{"PlainSum", {1000, 2000, -500}, 0, 2500},
                                           SumCase{"VoiceAndSong", {30000}, 30000, 32767},
                                           SumCase{"SongOnly", {}, -1234, -1234}),
                         [](const auto& info) { return std::string(info.param.name); });

struct GainCase {
    const char* name;
    int volume;
    int pan;
    double left;
    double right;
};

class VolumeAndPan : public ::testing::TestWithParam<GainCase> {};

TEST_P(VolumeAndPan, ScaleEachSide) {
    const GainCase& c = GetParam();
    constexpr int kLevel = 20000;
    Mixer mixer(kRate);
    const auto voice = mixer.CreateVoice(Format(kRate, 16, 1), Constant16(64, kLevel));
    mixer.SetVolume(voice, c.volume);
    mixer.SetPan(voice, c.pan);
    mixer.Play(voice, true);
    const auto out = MixFrames(mixer, 10);
    EXPECT_NEAR(out[0], kLevel * c.left, 1.0);
    EXPECT_NEAR(out[1], kLevel * c.right, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Settings, VolumeAndPan,
                         ::testing::Values(GainCase{"Full", 0, 0, 1.0, 1.0},
                                           GainCase{"Minus6dB", -600, 0, 0.501187, 0.501187},
                                           GainCase{"Minus20dB", -2000, 0, 0.1, 0.1},
                                           GainCase{"VolumeFloorIsSilence", -10000, 0, 0.0, 0.0},
                                           GainCase{"BelowFloorClamps", -30000, 0, 0.0, 0.0},
                                           GainCase{"AboveFullClamps", 500, 0, 1.0, 1.0},
                                           GainCase{"HardRight", 0, 10000, 0.0, 1.0},
                                           GainCase{"HardLeft", 0, -10000, 1.0, 0.0},
                                           GainCase{"BeyondRightClamps", 0, 25000, 0.0, 1.0},
                                           GainCase{"SomewhatRight", 0, 2000, 0.1, 1.0},
                                           GainCase{"SomewhatLeft", 0, -600, 1.0, 0.501187},
                                           GainCase{"QuietAndLeft", -2000, -2000, 0.1, 0.01}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Formats refused ---------------------------------------------------------------------

struct RefusedCase {
    const char* name;
    WaveFormat format;
};

class RefusedVoice : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedVoice, GetsNoId) {
    Mixer mixer(kRate);
    EXPECT_EQ(mixer.CreateVoice(GetParam().format, Constant16(10, 0)), 0u);
}

INSTANTIATE_TEST_SUITE_P(Formats, RefusedVoice,
                         ::testing::Values(RefusedCase{"NotPcm", {3, 1, 44100, 16, 2}},
                                           RefusedCase{"NoChannels", {1, 0, 44100, 16, 0}},
                                           RefusedCase{"SixChannels", {1, 6, 44100, 16, 12}},
                                           RefusedCase{"FourBits", {1, 1, 44100, 4, 1}},
                                           RefusedCase{"NoRate", {1, 1, 0, 16, 2}},
                                           RefusedCase{"NegativeRate", {1, 1, -44100, 16, 2}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MixerVoice, WithoutSamplesIsRefusedAndEmptySamplesStopAtOnce) {
    Mixer mixer(kRate);
    EXPECT_EQ(mixer.CreateVoice(Format(kRate, 16, 1), nullptr), 0u);
    // A single stray byte is less than one 16-bit frame: nothing to play.
    const auto voice = mixer.CreateVoice(Format(kRate, 16, 1), Bytes({0x7F}));
    ASSERT_NE(voice, 0u);
    mixer.Play(voice, true);
    const auto out = MixFrames(mixer, 8);
    EXPECT_FALSE(mixer.IsPlaying(voice));
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](std::int16_t s) { return s == 0; }));
}

// --- Advancing without output ------------------------------------------------------------

TEST(MixerSkip, MovesVoicesLikeMixing) {
    Mixer mixer(kRate);
    const auto once = mixer.CreateVoice(Format(22050, 16, 1), Constant16(100, 500));
    std::vector<int> ramp;
    for (int i = 0; i < 100; ++i) ramp.push_back(10 * i);
    const auto looped = mixer.CreateVoice(Format(kRate, 16, 1), Pcm16(ramp));
    mixer.Play(once, false);
    mixer.Play(looped, true);

    mixer.Skip(199);
    EXPECT_TRUE(mixer.IsPlaying(once));
    mixer.Skip(1);
    EXPECT_FALSE(mixer.IsPlaying(once));
    // 200 frames skipped: twice round the loop, back at its start; then 1234 more.
    EXPECT_EQ(MixFrames(mixer, 1)[0], 0);
    mixer.Skip(1234);
    EXPECT_TRUE(mixer.IsPlaying(looped));
    EXPECT_EQ(MixFrames(mixer, 1)[0], 10 * ((1 + 1234) % 100));
}

// --- Threads -----------------------------------------------------------------------------

TEST(MixerThreads, VoicesComeAndGoWhileAnotherThreadMixes) {
    Mixer mixer(kRate);
    std::atomic<bool> done{false};
    std::atomic<int> mixes{0};
    std::thread device([&] {
        std::vector<std::int16_t> out(2 * 256);
        while (!done.load()) {
            mixer.Mix(out.data(), 256);
            mixes.fetch_add(1);
        }
    });
    std::vector<Mixer::VoiceId> destroyed;
    for (int i = 0; i < 3000; ++i) {
        // Each round uses fresh samples, so a voice reading freed memory shows up under the
        // address sanitizer.
        const auto voice = mixer.CreateVoice(Format(22050, 8, 1 + i % 2),
                                             Bytes(std::vector<std::uint8_t>(64 + i % 50, 0x90)));
        const auto copy = mixer.DuplicateVoice(voice);
        mixer.Play(voice, i % 3 == 0);
        mixer.Play(copy, false);
        mixer.SetVolume(copy, -(i % 1000));
        mixer.SetPan(voice, i % 20000 - 10000);
        if (i % 7 == 0) std::this_thread::yield();
        mixer.DestroyVoice(voice);
        mixer.DestroyVoice(copy);
        if (i % 100 == 0) destroyed.push_back(voice);
    }
    // Let the device mix at least once after the last voice went.
    const int before = mixes.load();
    while (mixes.load() < before + 2) std::this_thread::yield();
    done = true;
    device.join();
    for (auto id : destroyed) EXPECT_FALSE(mixer.HasVoice(id));
    EXPECT_GT(mixes.load(), 0);
    const auto silence = MixFrames(mixer, 16);
    EXPECT_TRUE(std::all_of(silence.begin(), silence.end(), [](std::int16_t s) { return s == 0; }));
}

}  // namespace
}  // namespace vrumbal
