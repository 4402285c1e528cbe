#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "support/test_support.h"

namespace vrumbal {
namespace {

using namespace std::chrono_literals;

const WaveFormat kMono8{1, 1, 22050, 8, 1};

std::shared_ptr<const std::vector<std::uint8_t>> Tone(double seconds) {
    const auto frames = static_cast<std::size_t>(seconds * kMono8.samplesPerSec);
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(frames);
    for (std::size_t i = 0; i < frames; ++i) (*bytes)[i] = (i / 25) % 2 == 0 ? 0xA0 : 0x60;
    return bytes;
}

// Polls until the buffer stops or the time runs out; true when it stopped.
bool StopsWithin(const SoundBuffer& buffer, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (buffer.IsPlaying()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// Plays a short once buffer and a looped one and checks how long each lasts; used with and
// without a device, since the game must see the same behaviour either way.
void CheckPlayTimes(AudioOutput& output) {
    auto once = output.CreateBuffer(kMono8, Tone(0.15));
    auto looped = output.CreateBuffer(kMono8, Tone(0.05));
    ASSERT_NE(once, nullptr);
    ASSERT_NE(looped, nullptr);
    const auto started = std::chrono::steady_clock::now();
    once->Play(false);
    looped->Play(true);
    EXPECT_TRUE(once->IsPlaying());
    EXPECT_TRUE(StopsWithin(*once, test::Patience(3s)));
    // It was not cut short. The device takes its first samples before Play returns and a
    // loaded machine wakes this thread late, so only most of its 150 ms are asked for.
    EXPECT_GE(std::chrono::steady_clock::now() - started, 100ms);
    EXPECT_TRUE(looped->IsPlaying());
    looped->Stop();
    EXPECT_FALSE(looped->IsPlaying());
}

class SdlAudioOutput : public ::testing::Test {
protected:
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 0); }
};

TEST_F(SdlAudioOutput, OpensAndPlaysBuffersForTheirDuration) {
    auto output = CreateSdlAudio();
    ASSERT_NE(output, nullptr);
    EXPECT_TRUE(output->IsOpen());
    CheckPlayTimes(*output);
}

TEST_F(SdlAudioOutput, RefusesUnplayableFormatsAndForeignBuffers) {
    auto output = CreateSdlAudio();
    auto other = CreateSdlAudio();
    EXPECT_EQ(output->CreateBuffer(WaveFormat{2, 1, 22050, 4, 1}, Tone(0.01)), nullptr);
    EXPECT_EQ(output->CreateBuffer(WaveFormat{1, 1, 0, 8, 1}, Tone(0.01)), nullptr);
    EXPECT_EQ(output->CreateBuffer(kMono8, nullptr), nullptr);
    auto mine = output->CreateBuffer(kMono8, Tone(0.01));
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(other->Duplicate(*mine), nullptr);
    EXPECT_NE(output->Duplicate(*mine), nullptr);
}

TEST_F(SdlAudioOutput, DuplicatesPlayOnTheirOwn) {
    auto output = CreateSdlAudio();
    auto original = output->CreateBuffer(kMono8, Tone(2.0));
    ASSERT_NE(original, nullptr);
    auto copy = output->Duplicate(*original);
    ASSERT_NE(copy, nullptr);
    copy->Play(false);
    EXPECT_TRUE(copy->IsPlaying());
    EXPECT_FALSE(original->IsPlaying());
    // The copy keeps playing when the buffer it came from goes.
    original.reset();
    EXPECT_TRUE(copy->IsPlaying());
    copy->Stop();
    EXPECT_FALSE(copy->IsPlaying());
}

TEST_F(SdlAudioOutput, BuffersDestroyedWhileTheDeviceMixes) {
    auto output = CreateSdlAudio();
    const auto tone = Tone(0.02);
    // At least 200 rounds however busy the machine, then as many more as 400 ms allow.
    const auto deadline = std::chrono::steady_clock::now() + 400ms;
    int rounds = 0;
    std::vector<std::unique_ptr<SoundBuffer>> kept;
    while ((rounds < 200 || std::chrono::steady_clock::now() < deadline) && rounds < 20000) {
        auto buffer = output->CreateBuffer(kMono8, tone);
        ASSERT_NE(buffer, nullptr);
        auto copy = output->Duplicate(*buffer);
        ASSERT_NE(copy, nullptr);
        buffer->Play(rounds % 2 == 0);
        copy->Play(false);
        if (rounds % 5 == 0) std::this_thread::sleep_for(1ms);
        // Some buffers are kept past the output itself.
        if (rounds % 500 == 0) kept.push_back(std::move(copy));
        ++rounds;
    }
    output.reset();
    for (auto& buffer : kept) {
        buffer->Stop();
        EXPECT_FALSE(buffer->IsPlaying());
    }
}

// Without any device the output reports itself closed, yet buffers start and stop as they
// would with sound, timed by the clock. Run in a fresh process, since the audio driver is
// chosen when the audio system first starts.
TEST(SilentAudioOutput, KeepsPlayTimesWithoutADevice) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
            auto output = CreateSdlAudio();
            if (output->IsOpen()) std::exit(2);
            CheckPlayTimes(*output);
            std::exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace vrumbal
