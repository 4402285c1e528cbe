#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/mixer.h"
#include "platform/xm_song.h"
#include "support/test_support.h"

namespace vrumbal {
namespace {

constexpr int kRate = 44100;
// Speed 6 at 125 beats per minute: a row lasts 6 x 2.5 / 125 = 0.12 s.
constexpr double kRowSeconds = 0.12;
constexpr int kRows = 8;
constexpr double kSongSeconds = kRows * kRowSeconds;
// The note's sample: 2000 frames sounded at 8363 Hz, about 0.24 s, then the song is silent
// until it comes round again.
constexpr int kSampleFrames = 2000;

class Writer {
public:
    void U8(int v) { bytes_.push_back(static_cast<std::uint8_t>(v)); }
    void U16(int v) {
        U8(v & 0xFF);
        U8((v >> 8) & 0xFF);
    }
    void U32(std::uint32_t v) {
        U16(static_cast<int>(v & 0xFFFF));
        U16(static_cast<int>(v >> 16));
    }
    void Text(const std::string& text, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i) U8(i < text.size() ? text[i] : 0);
    }
    void PadTo(std::size_t size) {
        while (bytes_.size() < size) U8(0);
    }
    std::size_t Size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

// A two-channel XM module of one 8-row pattern with a single note at its first row, played by
// one instrument holding a short 8-bit square wave.
std::vector<std::uint8_t> TinyModule() {
    Writer w;
    w.Text("Extended Module: ", 17);
    w.Text("test song", 20);
    w.U8(0x1A);
    w.Text("test writer", 20);
    w.U16(0x0104);
    w.U32(276);       // header size, counted from this field
    w.U16(1);         // song length in orders
    w.U16(0);         // restart position
    w.U16(2);         // channels
    w.U16(1);         // patterns
    w.U16(1);         // instruments
    w.U16(1);         // linear frequency table
    w.U16(6);         // speed
    w.U16(125);       // beats per minute
    w.Text("", 256);  // order table: pattern 0

    // Pattern 0: C-4 with instrument 1 on channel 0 at row 0, nothing else.
    w.U32(9);
    w.U8(0);
    w.U16(kRows);
    const int packedSize = 3 + 1 + (kRows - 1) * 2;
    w.U16(packedSize);
    w.U8(0x83);
    w.U8(49);
    w.U8(1);
    w.U8(0x80);
    for (int row = 1; row < kRows; ++row) {
        w.U8(0x80);
        w.U8(0x80);
    }

    // Instrument 1 with one sample.
    const std::size_t instrumentStart = w.Size();
    w.U32(263);
    w.Text("square", 22);
    w.U8(0);
    w.U16(1);
    w.U32(40);                       // sample header size
    w.PadTo(instrumentStart + 263);  // key map, envelopes and the rest all zero

    w.U32(kSampleFrames);
    w.U32(0);   // loop start
    w.U32(0);   // loop length
    w.U8(64);   // volume
    w.U8(0);    // fine tune
    w.U8(0);    // no loop, 8-bit
    w.U8(128);  // panning
    w.U8(0);    // relative note
    w.U8(0);
    w.Text("square", 22);

    // Sample data is stored as differences from the previous sample.
    int previous = 0;
    for (int i = 0; i < kSampleFrames; ++i) {
        const int value = (i / 16) % 2 == 0 ? 64 : -64;
        w.U8((value - previous) & 0xFF);
        previous = value;
    }
    return w.Bytes();
}

std::string WriteFile(const test::TempDir& dir, const std::string& name,
                      const std::vector<std::uint8_t>& bytes) {
    const auto path = dir.Path() / name;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

// The loudest sample of the frames between two times.
int PeakBetween(const std::vector<std::int16_t>& out, double fromSeconds, double toSeconds) {
    const auto from = static_cast<std::size_t>(fromSeconds * kRate) * 2;
    const auto to = std::min(out.size(), static_cast<std::size_t>(toSeconds * kRate) * 2);
    int peak = 0;
    for (std::size_t i = from; i < to; ++i) peak = std::max(peak, std::abs(int{out[i]}));
    return peak;
}

class SongFiles : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        module_ = WriteFile(dir_, "tiny.xm", TinyModule());
        garbage_ = WriteFile(dir_, "garbage.xm", std::vector<std::uint8_t>(3000, 0x5A));
        auto truncated = TinyModule();
        truncated.resize(40);
        truncated_ = WriteFile(dir_, "truncated.xm", truncated);
        missing_ = (dir_.Path() / "missing.xm").string();
    }

    test::TempDir dir_;
    std::string module_;
    std::string garbage_;
    std::string truncated_;
    std::string missing_;
};

TEST_F(SongFiles, OnlyARealModuleLoads) {
    EXPECT_NE(XmSong::LoadFromFile(module_), nullptr);
    EXPECT_EQ(XmSong::LoadFromFile(missing_), nullptr);
    EXPECT_EQ(XmSong::LoadFromFile(garbage_), nullptr);
    EXPECT_EQ(XmSong::LoadFromFile(truncated_), nullptr);

    auto output = CreateSdlAudio();
    const int first = output->SongLoadFromFile(module_);
    const int second = output->SongLoadFromFile(module_);
    EXPECT_NE(first, 0);
    EXPECT_NE(second, 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(output->SongLoadFromFile(missing_), 0);
    EXPECT_EQ(output->SongLoadFromFile(garbage_), 0);
    EXPECT_EQ(output->SongLoadFromFile(truncated_), 0);
}

TEST_F(SongFiles, MixedSongSoundsAndComesRoundAgain) {
    auto song = XmSong::LoadFromFile(module_);
    ASSERT_NE(song, nullptr);
    ASSERT_TRUE(song->Start(kRate));
    Mixer mixer(kRate);
    mixer.SetSongSource([&song](std::int16_t* frames, int count) { song->Render(frames, count); },
                        1.0f);

    // Mixed in device-sized pieces, three and a half times the song's length.
    const int total = static_cast<int>(3.5 * kSongSeconds * kRate);
    std::vector<std::int16_t> out(static_cast<std::size_t>(total) * 2);
    for (int done = 0; done < total; done += 1024) {
        mixer.Mix(out.data() + 2 * done, std::min(1024, total - done));
    }

    for (int pass = 0; pass < 3; ++pass) {
        const double start = pass * kSongSeconds;
        // The note sounds at the start of every pass ...
        EXPECT_GT(PeakBetween(out, start + 0.01, start + 0.2), 1000) << "pass " << pass;
        // ... and has died away well before the pass ends, so the sound at the next start is the
        // song coming round again, not a note still ringing.
        EXPECT_LT(PeakBetween(out, start + 0.45, start + kSongSeconds - 0.05), 50)
            << "pass " << pass;
    }

    // A stopped song gives silence.
    song->Stop();
    std::vector<std::int16_t> after(2 * 2048, 1);
    mixer.Mix(after.data(), 2048);
    EXPECT_TRUE(std::all_of(after.begin(), after.end(), [](std::int16_t s) { return s == 0; }));
}

TEST_F(SongFiles, PlayingAndFreeingHandlesInAnyOrderIsSafe) {
    auto output = CreateSdlAudio();
    const int first = output->SongLoadFromFile(module_);
    const int second = output->SongLoadFromFile(module_);
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    // Unknown handles, replaying, switching songs and freeing the playing one.
    output->SongPlay(0);
    output->SongPlay(12345);
    output->SongPlay(first);
    output->SongPlay(first);
    output->SongPlay(second);
    output->SongFree(second);
    output->SongPlay(second);
    output->SongFree(second);
    output->SongFree(-1);
    output->SongPlay(first);
    // Handles are never reused, so a stale handle cannot reach a later song.
    const int third = output->SongLoadFromFile(module_);
    EXPECT_NE(third, 0);
    EXPECT_NE(third, first);
    EXPECT_NE(third, second);
    output->SongPlay(third);
    output->SongFree(first);
    // The output goes with a song still playing.
}

}  // namespace
}  // namespace vrumbal
