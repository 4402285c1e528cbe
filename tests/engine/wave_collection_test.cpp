#include "engine/wave_collection.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "engine/library_error.h"
#include "support/test_support.h"

namespace vrumbal {
namespace {

// A sound buffer that only remembers what was done to it.
class FakeBuffer final : public SoundBuffer {
public:
    FakeBuffer(int id, std::vector<std::string>& log) : id(id), log_(log) {}
    void Stop() override {
        playing = false;
        Note("stop");
    }
    void SetPosition(std::uint32_t offset) override {
        position = offset;
        Note("pos" + std::to_string(offset));
    }
    void SetFrequency(int hz) override { frequency = hz; }
    void SetPan(int p) override { pan = p; }
    void SetVolume(int v) override { volume = v; }
    void Play(bool looping) override {
        playing = true;
        looped = looping;
        ++plays;
        Note(looping ? "loop" : "play");
    }
    bool IsPlaying() const override {
        if (playing && endsAfterChecks > 0 && ++checks >= endsAfterChecks) playing = false;
        return playing;
    }

    int id;                        // 0 = the main buffer, then copies in order of making
    mutable bool playing = false;  // what IsPlaying reports
    bool looped = false;           // last Play was looping
    int plays = 0;                 // Play calls
    std::uint32_t position = 99;   // last SetPosition
    int frequency = -1, pan = -1, volume = -1;
    int endsAfterChecks = 0;  // > 0: stops by itself after that many IsPlaying calls
    mutable int checks = 0;

private:
    void Note(const std::string& what) { log_.push_back(std::to_string(id) + ":" + what); }
    std::vector<std::string>& log_;
};

// An output that makes fake buffers and keeps a pointer to each.
class FakeOutput final : public AudioOutput {
public:
    bool IsOpen() const override { return true; }
    std::unique_ptr<SoundBuffer> CreateBuffer(
        const WaveFormat& format, std::shared_ptr<const std::vector<std::uint8_t>> s) override {
        ++creates;
        lastFormat = format;
        lastSamples = s;
        return Make();
    }
    std::unique_ptr<SoundBuffer> Duplicate(const SoundBuffer& original) override {
        ++duplicates;
        EXPECT_EQ(&original, buffers.empty() ? nullptr : buffers.front())
            << "copies are made from the main buffer";
        if (failDuplicates) return nullptr;
        return Make();
    }
    int SongLoadFromFile(const std::string&) override { return 0; }
    void SongPlay(int) override {}
    void SongFree(int) override {}

    std::vector<FakeBuffer*> buffers;  // every buffer made, main first (not owned)
    std::vector<std::string> log;      // what was done to them, in order
    int creates = 0, duplicates = 0;
    bool failDuplicates = false;
    WaveFormat lastFormat;
    std::shared_ptr<const std::vector<std::uint8_t>> lastSamples;

private:
    std::unique_ptr<SoundBuffer> Make() {
        auto b = std::make_unique<FakeBuffer>(static_cast<int>(buffers.size()), log);
        buffers.push_back(b.get());
        return b;
    }
};

// A PCM format record: 8-bit mono at 22050 Hz.
std::vector<std::uint8_t> PcmFormat() {
    return {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x22, 0x56, 0, 0, 1, 0, 8, 0};
}

WaveItemData Sound(bool looped, int maxPlaying, bool withSamples = true) {
    WaveItemData d;
    d.name = "snd";
    d.looped = looped;
    d.maxPlayingCount = maxPlaying;
    if (withSamples) {
        d.format = PcmFormat();
        d.samples.assign(441, 0x80);  // 20 ms
        d.hasWave = true;
    }
    return d;
}

struct Rig {
    FakeOutput output;
    TDXSound sound{&output};
    TDXWaveList list{&sound};
    Rig() { sound.Initialize(); }
    TWaveCollectionItem& Add(WaveItemData d) { return list.Items().Add(std::move(d)); }
};

TEST(SoundItem, RestoreMakesTheMainBufferFromTheWave) {
    Rig rig;
    auto& item = rig.Add(Sound(false, 0));
    ASSERT_NE(item.Buffer(), nullptr);
    EXPECT_EQ(rig.output.creates, 1);
    EXPECT_EQ(rig.output.lastFormat.samplesPerSec, 22050);
    EXPECT_EQ(rig.output.lastSamples, item.Samples()) << "samples are shared, not copied";
    EXPECT_EQ(rig.output.buffers[0]->plays, 0) << "the main buffer is only a template";
}

struct PoolCase {
    const char* what;
    int maxPlaying;
    int plays;
    std::vector<int> finishBefore;  // copies that have ended before each play (-1: none)
    int copiesAfter;
    std::vector<int> order;  // copy ids oldest first at the end
    std::vector<int> playsPerCopy;
};

// Names the case in failure messages.
void PrintTo(const PoolCase& c, std::ostream* os) {
    *os << c.what;
}

class SoundPool : public ::testing::TestWithParam<PoolCase> {};

TEST_P(SoundPool, ChoosesFreeNewOrOldestCopy) {
    const PoolCase& c = GetParam();
    Rig rig;
    auto& item = rig.Add(Sound(false, c.maxPlaying));
    for (int i = 0; i < c.plays; ++i) {
        const int done = c.finishBefore.empty() ? -1 : c.finishBefore[i];
        if (done > 0) rig.output.buffers[done]->playing = false;
        item.Play(false);
    }
    ASSERT_EQ(item.CopyCount(), c.copiesAfter) << c.what;
    EXPECT_EQ(rig.output.duplicates, c.copiesAfter) << c.what;
    for (int i = 0; i < item.CopyCount(); ++i) {
        const auto* copy = static_cast<const FakeBuffer*>(item.Copy(i));
        EXPECT_EQ(copy->id, c.order[i]) << c.what << " slot " << i;
        EXPECT_EQ(copy->plays, c.playsPerCopy[copy->id - 1]) << c.what << " copy " << copy->id;
        EXPECT_TRUE(copy->playing);
        EXPECT_FALSE(copy->looped);
    }
    EXPECT_EQ(rig.output.buffers[0]->plays, 0) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SoundPool,
    ::testing::Values(
        PoolCase{"limit 2, three plays restart the oldest", 2, 3, {}, 2, {2, 1}, {2, 1}},
        PoolCase{"limit 2, five plays cycle", 2, 5, {}, 2, {2, 1}, {3, 2}},
        PoolCase{"limit 1 always restarts the one copy", 1, 3, {}, 1, {1}, {3}},
        PoolCase{"no limit keeps adding", 0, 4, {}, 4, {1, 2, 3, 4}, {1, 1, 1, 1}},
        PoolCase{"an ended copy is reused", 0, 3, {-1, 1, 1}, 1, {1}, {3}},
        PoolCase{"first ended copy wins", 3, 4, {-1, -1, -1, 2}, 3, {1, 2, 3}, {1, 2, 1}}));

TEST(SoundItem, RestartedCopyStopsRewindsAndPlaysWithTheItemSettings) {
    Rig rig;
    auto& item = rig.Add(Sound(false, 2));
    item.SetFrequency(11025);
    item.SetPan(-300);
    item.SetVolume(-500);
    item.Play(false);
    item.Play(false);
    rig.output.log.clear();
    item.Play(false);
    EXPECT_EQ(rig.output.log, (std::vector<std::string>{"1:stop", "1:pos0", "1:play"}));
    const FakeBuffer& copy = *rig.output.buffers[1];
    EXPECT_EQ(copy.frequency, 11025);
    EXPECT_EQ(copy.pan, -300);
    EXPECT_EQ(copy.volume, -500);
}

TEST(SoundItem, LoopedSoundRestartsOnTheMainBufferAndNeverGetsCopies) {
    Rig rig;
    auto& item = rig.Add(Sound(true, 3));
    item.Play(false);
    item.Play(false);
    EXPECT_EQ(rig.output.log, (std::vector<std::string>{"0:stop", "0:pos0", "0:loop", "0:stop",
                                                        "0:pos0", "0:loop"}));
    EXPECT_EQ(item.CopyCount(), 0);
    EXPECT_EQ(rig.output.duplicates, 0);
    EXPECT_TRUE(rig.output.buffers[0]->playing);
}

TEST(SoundItem, WithoutWaveDataThereIsNeverABuffer) {
    Rig rig;
    for (const bool looped : {false, true}) {
        auto& item = rig.Add(Sound(looped, 0, false));
        item.Restore();
        item.Play(false);
        item.Stop();
        EXPECT_EQ(item.Buffer(), nullptr);
        EXPECT_EQ(item.CopyCount(), 0);
    }
    EXPECT_EQ(rig.output.creates, 0);
    EXPECT_EQ(rig.output.duplicates, 0);
    EXPECT_TRUE(rig.output.log.empty());
}

TEST(SoundItem, UnplayableFormatStaysSilent) {
    Rig rig;
    WaveItemData d = Sound(false, 0);
    d.format.resize(6);  // too short to be a format record
    auto& item = rig.Add(std::move(d));
    item.Play(false);
    EXPECT_EQ(item.Buffer(), nullptr);
    EXPECT_EQ(rig.output.creates, 0);
    EXPECT_EQ(rig.output.duplicates, 0);
}

TEST(SoundItem, NothingPlaysUntilTheOutputIsReady) {
    FakeOutput output;
    TDXSound sound(&output);
    TDXWaveList list(&sound);
    auto& item = list.Items().Add(Sound(false, 0));
    item.Play(false);
    EXPECT_FALSE(item.Initialized());
    EXPECT_EQ(output.creates, 0);
    sound.Initialize();
    EXPECT_TRUE(item.Initialized());
    EXPECT_EQ(output.creates, 1);
    item.Play(false);
    EXPECT_EQ(item.CopyCount(), 1);
    sound.Finalize();
    EXPECT_FALSE(item.Initialized());
    EXPECT_EQ(item.Buffer(), nullptr);
    EXPECT_EQ(item.CopyCount(), 0);
}

TEST(SoundItem, StopReachesTheMainBufferAndEveryCopy) {
    Rig rig;
    auto& item = rig.Add(Sound(false, 0));
    item.Play(false);
    item.Play(false);
    rig.output.log.clear();
    item.Stop();
    EXPECT_EQ(rig.output.log, (std::vector<std::string>{"0:stop", "1:stop", "2:stop"}));
}

TEST(SoundItem, ChangingLoopedStopsTheSound) {
    Rig rig;
    auto& item = rig.Add(Sound(false, 0));
    item.Play(false);
    rig.output.log.clear();
    item.SetLooped(false);  // unchanged: nothing happens
    EXPECT_TRUE(rig.output.log.empty());
    item.SetLooped(true);
    EXPECT_EQ(rig.output.log, (std::vector<std::string>{"0:stop", "1:stop"}));
    EXPECT_TRUE(item.Looped());
}

TEST(SoundItem, MaxPlayingCountClampsAndFreesCopiesOnChange) {
    Rig rig;
    auto& item = rig.Add(Sound(false, -4));
    EXPECT_EQ(item.MaxPlayingCount(), 0);
    item.Play(false);
    item.Play(false);
    item.SetMaxPlayingCount(-1);  // still 0: the copies stay
    EXPECT_EQ(item.CopyCount(), 2);
    item.SetMaxPlayingCount(1);
    EXPECT_EQ(item.CopyCount(), 0);
    item.Play(false);
    EXPECT_EQ(item.CopyCount(), 1);

    TWaveCollection loose;  // not initialised: the value changes, nothing else
    auto& idle = loose.Add(Sound(false, 0));
    idle.SetMaxPlayingCount(-7);
    EXPECT_EQ(idle.MaxPlayingCount(), 0);
    idle.SetMaxPlayingCount(5);
    EXPECT_EQ(idle.MaxPlayingCount(), 5);
}

TEST(SoundItem, FailedDuplicatePlaysNothing) {
    Rig rig;
    rig.output.failDuplicates = true;
    auto& item = rig.Add(Sound(false, 0));
    item.Play(false);
    EXPECT_EQ(item.CopyCount(), 0);
    EXPECT_EQ(rig.output.buffers[0]->plays, 0);
}

TEST(SoundItem, WaitReturnsWhenTheSoundEndsOrIsOverdue) {
    Rig rig;
    auto& item = rig.Add(Sound(false, 0));
    item.Play(false);
    rig.output.buffers[1]->playing = false;
    rig.output.buffers[1]->endsAfterChecks = 3;
    item.Play(true);  // reuses copy 1, which ends on its third check
    EXPECT_FALSE(rig.output.buffers[1]->playing);
    EXPECT_EQ(rig.output.buffers[1]->checks, 3);

    // A buffer that never reports its end does not hold the game for ever.
    rig.output.buffers[1]->endsAfterChecks = 0;
    const auto start = std::chrono::steady_clock::now();
    item.Play(true);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(rig.output.buffers[1]->playing);
    EXPECT_GE(waited, std::chrono::seconds(1));  // it gave the sound its second
    EXPECT_LT(waited, std::chrono::seconds(1) + test::Patience(std::chrono::seconds(2)));
}

// A sound library with one looped item whose MaxPlayingCount is stored negative.
std::vector<std::uint8_t> OneSoundLibrary() {
    std::vector<std::uint8_t> out = {0xFF, 0x0A, 0x00, 'S', 0, 0x30, 0x10, 0, 0, 0, 0};
    auto text = [&](const std::string& t) { out.insert(out.end(), t.begin(), t.end()); };
    auto shortString = [&](const std::string& t) {
        out.push_back(static_cast<std::uint8_t>(t.size()));
        text(t);
    };
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 0xFF);
    };
    text("TPF0");
    shortString("TWaveCollectionComponent");
    shortString("");
    shortString("List");
    out.push_back(0x0E);
    out.push_back(0x01);
    shortString("Name");
    out.push_back(0x06);
    shortString("engine");
    shortString("Looped");
    out.push_back(0x09);
    shortString("MaxPlayingCount");
    out.push_back(0x02);
    out.push_back(0xFD);  // -3
    shortString("Wave.WAVE");
    out.push_back(0x0A);
    const std::vector<std::uint8_t> format = PcmFormat();
    u32(12 + 8 + 16 + 8 + 4);
    text("RIFF");
    u32(4 + 8 + 16 + 8 + 4);
    text("WAVE");
    text("fmt ");
    u32(16);
    out.insert(out.end(), format.begin(), format.end());
    text("data");
    u32(4);
    u32(0x80808080);
    out.push_back(0x00);  // end of the item
    out.push_back(0x00);  // end of the collection
    out.push_back(0x00);  // end of the root's properties
    out.push_back(0x00);  // no children
    return out;
}

TEST(SoundCollection, LoadsALibraryAndRestoresOnAReadyOutput) {
    Rig rig;
    rig.Add(Sound(false, 0));  // replaced by the load
    rig.list.Items().LoadFromBytes(OneSoundLibrary());
    ASSERT_EQ(rig.list.Items().Count(), 1);
    auto& item = rig.list.Items().Items(0);
    EXPECT_EQ(item.Name(), "engine");
    EXPECT_TRUE(item.Looped());
    EXPECT_EQ(item.MaxPlayingCount(), 0);
    EXPECT_EQ(item.Samples()->size(), 4u);
    EXPECT_TRUE(item.Initialized());
    EXPECT_NE(item.Buffer(), nullptr);
    item.Play(false);
    EXPECT_TRUE(static_cast<const FakeBuffer*>(item.Buffer())->looped);
}

TEST(SoundCollection, IndexOutsideTheListFailsAndBadBytesKeepNothing) {
    TWaveCollection c;
    c.Add(Sound(false, 0));
    try {
        c.Items(1);
        ADD_FAILURE() << "no error";
    } catch (const LibraryError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (1)");
    }
    const std::vector<std::uint8_t> junk = {0xFF, 0x0B, 0x00};
    EXPECT_THROW(c.LoadFromBytes(junk), LibraryError);
    EXPECT_EQ(c.Count(), 0);
}

}  // namespace
}  // namespace vrumbal
