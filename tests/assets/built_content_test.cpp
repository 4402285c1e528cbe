// The sound library and the two songs as the content build makes them: formats, loop flags,
// seamless engine loops, levels, and songs that load, last and keep changing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>

#include "assets/signal.h"
#include "engine/library_reader.h"
#include "platform/audio.h"
#include "platform/xm_song.h"
#include "support/test_support.h"

namespace vrumbal::test {
namespace {

constexpr int kSoundCount = 22;
// Sounds that repeat until stopped: the engine group and the horn.
const std::set<int> kLooped = {4, 6, 7, 8, 9, 10, 11, 12, 13};
// The engine sounds in order of rising revs: idle, gears 1 to 4, top speed.
constexpr int kRisingEngine[] = {4, 9, 10, 11, 12, 13};

class BuiltContent : public ::testing::Test {
protected:
    // The build's own content, read once for all tests here.
    static void SetUpTestSuite() {
        std::vector<std::uint8_t> bytes;
        ASSERT_EQ(ReadFileBytes((Data() / "Res/Sounds.dxw").string(), bytes), "");
        library_ = std::make_unique<WaveLibraryData>();
        ASSERT_EQ(ReadWaveLibrary(bytes, *library_), "");
    }
    static void TearDownTestSuite() { library_.reset(); }
    static std::filesystem::path Data() {
        return std::filesystem::path(VRUMBAL_BUILD_DIR) / "Data";
    }

    static std::filesystem::path Music(const char* name) { return Data() / "Music" / name; }
    static std::vector<double> Samples(int index) {
        return Pcm16(library_->items.at(index).samples);
    }

    static std::unique_ptr<WaveLibraryData> library_;
};

std::unique_ptr<WaveLibraryData> BuiltContent::library_;

TEST_F(BuiltContent, SoundLibraryHoldsEveryEffectAsMonoPcm) {
    ASSERT_EQ(library_->items.size(), static_cast<std::size_t>(kSoundCount));
    for (int i = 0; i < kSoundCount; ++i) {
        SCOPED_TRACE("sound " + std::to_string(i));
        const WaveItemData& item = library_->items[i];
        EXPECT_TRUE(item.hasWave);
        EXPECT_EQ(item.looped, kLooped.count(i) == 1);
        EXPECT_GE(item.maxPlayingCount, 1);
        WaveFormat format;
        ASSERT_TRUE(ParseWaveFormat(item.format, format));
        EXPECT_EQ(format.formatTag, 1);
        EXPECT_EQ(format.channels, 1);
        EXPECT_EQ(format.bitsPerSample, 16);
        EXPECT_EQ(format.samplesPerSec, 22050);
        EXPECT_EQ(item.samples.size() % 2, 0u);
        // Long enough to hear, short enough not to bloat the library.
        const double seconds = item.samples.size() / 2.0 / format.samplesPerSec;
        EXPECT_GE(seconds, 0.04);
        EXPECT_LE(seconds, 3.0);
    }
}

TEST_F(BuiltContent, LoopsJoinWithoutAClick) {
    for (int i : kLooped) {
        SCOPED_TRACE("sound " + std::to_string(i));
        const auto x = Samples(i);
        ASSERT_GT(x.size(), 1000u);
        std::vector<double> steps;
        for (std::size_t k = 1; k < x.size(); ++k) steps.push_back(std::abs(x[k] - x[k - 1]));
        std::sort(steps.begin(), steps.end());
        const double typical = steps[steps.size() * 95 / 100];
        const double seam = std::abs(x.front() - x.back());
        EXPECT_LE(seam, typical) << "the jump from the last sample to the first stands out";
    }
}

TEST_F(BuiltContent, EffectsAreAudibleAndNeverClip) {
    for (int i = 0; i < kSoundCount; ++i) {
        SCOPED_TRACE("sound " + std::to_string(i));
        const auto x = Samples(i);
        const double peak = Dbfs(Peak(x));
        EXPECT_LE(peak, -1.0) << "no headroom";
        EXPECT_GE(peak, kLooped.count(i) || i == 5 ? -14.0 : -7.0) << "too quiet";
        EXPECT_GE(Dbfs(Rms(x)), -35.0) << "mostly silence";
        // Starting an effect must not pop: it opens near zero.
        EXPECT_LT(std::abs(x.front()), 0.02);
    }
}

TEST_F(BuiltContent, EngineSitsBelowTheEffects) {
    double loudestEngine = 0;
    for (int i : {4, 5, 6, 7, 9, 10, 11, 12, 13})
        loudestEngine = std::max(loudestEngine, Peak(Samples(i)));
    for (int i : {0, 2, 14, 15, 17, 20, 21}) {
        SCOPED_TRACE("sound " + std::to_string(i));
        EXPECT_GT(Dbfs(Peak(Samples(i))), Dbfs(loudestEngine) + 3.0);
    }
}

// The engine's repeat period: the lag (5..120 ms) where the loop best matches itself.
double EnginePeriod(const std::vector<double>& x) {
    // Averaging four samples keeps the search cheap and ignores the hiss.
    std::vector<double> y;
    for (std::size_t i = 0; i + 4 <= x.size(); i += 4)
        y.push_back(x[i] + x[i + 1] + x[i + 2] + x[i + 3]);
    const double rate = 22050.0 / 4;
    const auto n = y.size();
    double energy = 0;
    for (double v : y) energy += v * v;
    std::vector<double> match;
    const int minLag = static_cast<int>(0.005 * rate), maxLag = static_cast<int>(0.12 * rate);
    for (int lag = minLag; lag <= maxLag; ++lag) {
        double sum = 0;
        for (std::size_t i = 0; i < n; ++i) sum += y[i] * y[(i + lag) % n];
        match.push_back(sum / energy);
    }
    // The first lag that comes close to the best match: the period, not a multiple of it.
    const double best = *std::max_element(match.begin(), match.end());
    for (std::size_t k = 0; k < match.size(); ++k) {
        const bool peak = (k == 0 || match[k] >= match[k - 1]) &&
                          (k + 1 == match.size() || match[k] >= match[k + 1]);
        if (peak && match[k] >= 0.85 * best) return (minLag + static_cast<double>(k)) / rate;
    }
    return 0;
}

TEST_F(BuiltContent, EngineRevsRiseFromIdleThroughTheGearsToTopSpeed) {
    double previous = 1.0;
    for (int i : kRisingEngine) {
        SCOPED_TRACE("sound " + std::to_string(i));
        const double period = EnginePeriod(Samples(i));
        ASSERT_GT(period, 0.0);
        EXPECT_LT(period, previous * 0.97) << "not faster than the sound before";
        previous = period;
    }
}

// The time one pass through a module's order list takes from a position to the end, read from
// the file itself: the header's tempo and the rows of each pattern, following speed and tempo
// commands (Fxx) and cutting a pattern short at a break (Dxx) or a jump (Bxx).
struct XmTiming {
    double whole = 0;   // seconds from the first order to the end
    double repeat = 0;  // seconds from the restart position to the end
};

XmTiming ReadTiming(const std::vector<std::uint8_t>& b) {
    auto u16 = [&](std::size_t at) { return static_cast<int>(b.at(at) | (b.at(at + 1) << 8)); };
    auto u32 = [&](std::size_t at) {
        return static_cast<std::size_t>(u16(at)) | (static_cast<std::size_t>(u16(at + 2)) << 16);
    };
    const std::size_t headerSize = u32(60);
    const int length = u16(64), restart = u16(66), channels = u16(68), patterns = u16(70);
    int speed = u16(76), bpm = u16(78);
    std::vector<int> order(b.begin() + 80, b.begin() + 80 + length);
    // Per pattern: rows, and per row the speed/tempo commands and whether it ends the pattern.
    struct Row {
        int speed = 0, bpm = 0;
        bool ends = false;
    };
    std::vector<std::vector<Row>> rows(patterns);
    std::size_t at = 60 + headerSize;
    for (int p = 0; p < patterns; ++p) {
        const std::size_t header = u32(at);
        const int count = u16(at + 5);
        const std::size_t packed = static_cast<std::size_t>(u16(at + 7));
        std::size_t pos = at + header;
        const std::size_t end = pos + packed;
        rows[p].resize(count);
        for (int r = 0; r < count && packed > 0; ++r) {
            for (int c = 0; c < channels; ++c) {
                std::uint8_t flags = b.at(pos);
                std::uint8_t cell[5] = {0, 0, 0, 0, 0};
                if (flags & 0x80) {
                    ++pos;
                    for (int f = 0; f < 5; ++f) {
                        if (flags & (1 << f)) cell[f] = b.at(pos++);
                    }
                } else {
                    for (int f = 0; f < 5; ++f) cell[f] = b.at(pos++);
                }
                if (cell[3] == 0x0F && cell[4] > 0) {
                    (cell[4] < 32 ? rows[p][r].speed : rows[p][r].bpm) = cell[4];
                }
                if (cell[3] == 0x0B || cell[3] == 0x0D) rows[p][r].ends = true;
            }
        }
        EXPECT_EQ(pos, end) << "pattern " << p << " is not as long as its header says";
        at = end;
    }
    XmTiming t;
    for (int o = 0; o < length; ++o) {
        for (const Row& row : rows.at(order[o])) {
            if (row.speed) speed = row.speed;
            if (row.bpm) bpm = row.bpm;
            const double seconds = speed * 2.5 / bpm;
            t.whole += seconds;
            if (o >= restart) t.repeat += seconds;
            if (row.ends) break;
        }
    }
    return t;
}

TEST_F(BuiltContent, SongsLoadLastAMinuteAndKeepChanging) {
    for (const char* name : {"Menu.xm", "Race.xm"}) {
        SCOPED_TRACE(name);
        std::vector<std::uint8_t> bytes;
        ASSERT_EQ(ReadFileBytes(Music(name).string(), bytes), "");
        const XmTiming timing = ReadTiming(bytes);
        EXPECT_GE(timing.repeat, 60.0) << "the song repeats too soon";
        EXPECT_LE(timing.whole, 240.0);

        auto song = XmSong::LoadFromFile(Music(name).string());
        ASSERT_NE(song, nullptr);
        ASSERT_TRUE(song->Start(44100));
        // A minute of the song in blocks of three seconds.
        constexpr int kBlock = 3 * 44100;
        std::vector<double> blockRms;
        double peak = 0;
        std::vector<std::int16_t> frames(2 * kBlock);
        for (int b = 0; b < 20; ++b) {
            song->Render(frames.data(), kBlock);
            std::vector<double> mono(kBlock);
            for (int i = 0; i < kBlock; ++i)
                mono[i] = (frames[2 * i] + frames[2 * i + 1]) / 65536.0;
            blockRms.push_back(Rms(mono));
            peak = std::max(peak, Peak(mono));
        }
        EXPECT_LT(Dbfs(peak), -1.0) << "the song clips";
        EXPECT_GT(Dbfs(peak), -12.0) << "the song is too quiet";
        // Every block sounds, and the song has loud and quiet parts rather than one level.
        const auto [quietest, loudest] = std::minmax_element(blockRms.begin(), blockRms.end());
        EXPECT_GT(Dbfs(*quietest), -40.0) << "a silent stretch in the first minute";
        EXPECT_GT(Dbfs(*loudest) - Dbfs(*quietest), 3.0) << "the song never changes its level";
    }
}

}  // namespace
}  // namespace vrumbal::test
