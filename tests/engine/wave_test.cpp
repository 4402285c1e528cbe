// RIFF WAVE blocks of sound items: the chunk scan and the sound item properties.
#include <gtest/gtest.h>

#include "engine/stream_builders.h"
#include "engine/wave_file.h"

namespace vrumbal::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A chunk: identifier, size field and body (the size field may lie about the body).
Bytes Chunk(const char* id, const Bytes& body, std::optional<std::uint32_t> size = std::nullopt) {
    Bytes out(id, id + 4);
    const std::uint32_t n = size.value_or(static_cast<std::uint32_t>(body.size()));
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(n >> (8 * i)));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes Riff(const std::vector<Bytes>& chunks, const char* riff = "RIFF", const char* wave = "WAVE") {
    Bytes out(riff, riff + 4);
    out.insert(out.end(), {0x11, 0x22, 0x33, 0x44});  // the size is not looked at
    out.insert(out.end(), wave, wave + 4);
    for (const auto& c : chunks) out.insert(out.end(), c.begin(), c.end());
    return out;
}

TEST(Wave, ChunkScan) {
    const Bytes fmtA = PcmFormat(22050), fmtB = PcmFormat(44100, 2);
    struct Case {
        const char* label;
        Bytes block;
        std::string error;
        Bytes format;
        Bytes samples;
    };
    const std::vector<Case> cases = {
        {"plain", Riff({Chunk("fmt ", fmtA), Chunk("data", {1, 2, 3, 4})}), "", fmtA, {1, 2, 3, 4}},
        {"data first", Riff({Chunk("data", {9}), Chunk("fmt ", fmtA)}), "", fmtA, {9}},
        {"unknown chunk skipped",
         Riff({Chunk("LIST", {1, 2, 3, 4, 5, 6}), Chunk("fmt ", fmtA), Chunk("data", {7})}),
         "",
         fmtA,
         {7}},
        {"last fmt wins",
         Riff({Chunk("fmt ", fmtA), Chunk("fmt ", fmtB), Chunk("data", {})}),
         "",
         fmtB,
         {}},
        {"last data wins",
         Riff({Chunk("fmt ", fmtA), Chunk("data", {1}), Chunk("data", {2, 3})}),
         "",
         fmtA,
         {2, 3}},
        // An odd chunk is followed directly by the next header: no pad byte is skipped.
        {"odd chunk without pad",
         Riff({Chunk("junk", {1, 2, 3}), Chunk("fmt ", fmtA), Chunk("data", {5})}),
         "",
         fmtA,
         {5}},
        {"odd chunk with a pad byte",
         Riff({Chunk("junk", {1, 2, 3}), Bytes{0}, Chunk("fmt ", fmtA), Chunk("data", {5})}),
         "",
         {},
         {}},
        {"identifier 0 stops",
         Riff({Chunk("fmt ", fmtA), Chunk("\0\0\0\0", {}), Chunk("data", {5})}),
         "",
         fmtA,
         {}},
        {"short header stops",
         [&] {
             Bytes b = Riff({Chunk("fmt ", fmtA), Chunk("data", {6})});
             b.insert(b.end(), {'d', 'a', 't', 'a', 1});
             return b;
         }(),
         "",
         fmtA,
         {6}},
        {"no chunks", Riff({}), "", {}, {}},
        {"odd format record kept whole", Riff({Chunk("fmt ", {1, 2, 3})}), "", {1, 2, 3}, {}},
        {"not RIFF", Riff({Chunk("fmt ", fmtA)}, "RIFX"), "Wave is invalid", {}, {}},
        {"not WAVE", Riff({Chunk("fmt ", fmtA)}, "RIFF", "AVI "), "Wave is invalid", {}, {}},
        {"shorter than 12 bytes", Bytes{'R', 'I', 'F', 'F', 0, 0}, "Stream read error", {}, {}},
        {"data size past the end",
         Riff({Chunk("fmt ", fmtA), Chunk("data", {1, 2}, 100)}),
         "Stream read error",
         {},
         {}},
        {"fmt size past the end", Riff({Chunk("fmt ", fmtA, 1000)}), "Stream read error", {}, {}},
        {"huge skip ends the scan",
         Riff({Chunk("fmt ", fmtA), Chunk("junk", {}, 0xFFFFFFF0u)}),
         "",
         fmtA,
         {}},
    };
    for (const auto& c : cases) {
        try {
            const WaveParts wave = ReadWave(c.block);
            EXPECT_EQ(c.error, "") << c.label;
            EXPECT_EQ(wave.format, c.format) << c.label;
            EXPECT_EQ(wave.samples, c.samples) << c.label;
        } catch (const LibraryError& e) {
            EXPECT_EQ(e.what(), c.error) << c.label;
        }
    }
}

TEST(Wave, PaddedFilesReadWithPadding) {
    const Bytes fmt = PcmFormat(8000);
    const Bytes file =
        Riff({Chunk("junk", {1, 2, 3}), Bytes{0}, Chunk("fmt ", fmt), Chunk("data", {5})});
    const WaveParts wave = ReadWave(file, true);
    EXPECT_EQ(wave.format, fmt);
    EXPECT_EQ(wave.samples, Bytes{5});
    const Bytes written = WriteWave(wave.format, wave.samples);
    const Bytes expected = Riff({Chunk("fmt ", fmt), Chunk("data", {5})});
    ASSERT_EQ(written.size(), expected.size());
    EXPECT_TRUE(std::equal(written.begin() + 8, written.end(), expected.begin() + 8));
    EXPECT_EQ(written[4], written.size() - 8);  // the RIFF size counts what follows it
}

TEST(Wave, SoundItemProperties) {
    const Bytes fmt = PcmFormat(11025);
    const auto bytes = WaveLibrary({
        [&](auto& w) {
            w.Property("Name");
            w.String("engine");
            w.Property("Looped");
            w.Ident("True");
            w.Property("MaxPlayingCount");
            w.Int8(-3);
            w.Property("Wave.WAVE");
            w.Binary(WriteWave(fmt, Bytes{1, 2, 3}));
        },
        [](auto& w) {
            w.Property("maxplayingcount");
            w.Int16(300);
        },
        [](auto& w) {
            w.Property("wave.wave");
            w.Binary(Riff({}, "RIFF", "WAVX"));
        },
        [](auto& w) {
            w.Property("Name");
            w.String("never");
        },
    });
    WaveLibraryData data;
    EXPECT_EQ(ReadWaveLibrary(bytes, data), "Wave is invalid");
    ASSERT_EQ(data.items.size(), 3u);
    EXPECT_EQ(data.items[0].name, "engine");
    EXPECT_TRUE(data.items[0].looped);
    EXPECT_EQ(data.items[0].maxPlayingCount, 0);
    EXPECT_TRUE(data.items[0].hasWave);
    EXPECT_EQ(data.items[0].format, fmt);
    EXPECT_EQ(data.items[0].samples, (Bytes{1, 2, 3}));
    EXPECT_EQ(data.items[1].maxPlayingCount, 300);
    EXPECT_FALSE(data.items[1].hasWave);
    EXPECT_FALSE(data.items[1].looped);
}

TEST(Wave, SoundItemErrors) {
    struct Case {
        const char* label;
        WriteFn item;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"unknown property",
         [](auto& w) {
             w.Property("Volume");
             w.Int8(0);
         },
         "Property Volume does not exist"},
        {"path through a boolean",
         [](auto& w) {
             w.Property("Looped.X");
             w.Int8(0);
         },
         "Invalid property path"},
        {"wave block not binary",
         [](auto& w) {
             w.Property("Wave.WAVE");
             w.LongString("RIFF");
         },
         "Invalid property value"},
        {"empty wave block",
         [](auto& w) {
             w.Property("Wave.WAVE");
             w.Binary(Bytes{});
         },
         "Stream read error"},
        {"picture property",
         [](auto& w) {
             w.Property("Picture.Data");
             w.Binary(Bytes{});
         },
         "Property Picture does not exist"},
        {"nil wave",
         [](auto& w) {
             w.Property("Wave");
             w.Nil();
         },
         ""},
    };
    for (const auto& c : cases) {
        WaveLibraryData data;
        EXPECT_EQ(ReadWaveLibrary(WaveLibrary({c.item}), data), c.error) << c.label;
        EXPECT_EQ(data.items.size(), 1u) << c.label;
    }
}

}  // namespace
}  // namespace vrumbal::test
