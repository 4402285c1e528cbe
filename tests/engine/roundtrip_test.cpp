// Writing and reading libraries back, and damaged files: every cut and many flipped bytes must
// end in success or one of the load errors, never a crash.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "engine/stream_builders.h"

namespace vrumbal::test {
namespace {

PictureLibraryData SamplePictures() {
    PictureLibraryData lib;
    for (std::size_t i = 0; i < lib.colorTable.size(); ++i) {
        lib.colorTable[i] = static_cast<std::uint8_t>(i * 13);
    }
    PictureItemData a;
    a.name = "bike";
    a.patternWidth = 4;
    a.patternHeight = 3;
    a.transparentColor = 0xFF00FF;
    a.picture = Pattern(8, 6, 1);
    PictureItemData b;
    b.name = "road";
    b.skipWidth = 2;
    b.skipHeight = 1;
    b.systemMemory = true;
    b.transparent = false;
    b.transparentColor = 0x123456;
    b.picture = Pattern(5, 3, 2);
    PictureItemData c;  // no picture at all
    c.name = std::string(300, 'n');
    lib.items = {a, b, c};
    return lib;
}

WaveLibraryData SampleSounds() {
    WaveLibraryData lib;
    WaveItemData a;
    a.name = "crash";
    a.maxPlayingCount = 2;
    a.format = PcmFormat(22050);
    a.samples = {1, 2, 3, 4, 5};
    a.hasWave = true;
    WaveItemData b;
    b.name = "silent";
    b.looped = true;
    lib.items = {a, b};
    return lib;
}

void ExpectSame(const PictureItemData& a, const PictureItemData& b) {
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.patternWidth, b.patternWidth);
    EXPECT_EQ(a.patternHeight, b.patternHeight);
    EXPECT_EQ(a.skipWidth, b.skipWidth);
    EXPECT_EQ(a.skipHeight, b.skipHeight);
    EXPECT_EQ(a.systemMemory, b.systemMemory);
    EXPECT_EQ(a.transparent, b.transparent);
    EXPECT_EQ(a.transparentColor, b.transparentColor);
    EXPECT_EQ(a.picture.width, b.picture.width);
    EXPECT_EQ(a.picture.height, b.picture.height);
    EXPECT_EQ(a.picture.pixels, b.picture.pixels);
}

bool Contains(const std::vector<std::uint8_t>& bytes, const std::string& text) {
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

TEST(RoundTrip, PictureLibrary) {
    const PictureLibraryData lib = SamplePictures();
    const auto bytes = WritePictureLibrary(lib);
    PictureLibraryData back;
    ASSERT_EQ(ReadPictureLibrary(bytes, back), "");
    ASSERT_EQ(back.items.size(), lib.items.size());
    for (std::size_t i = 0; i < lib.items.size(); ++i) ExpectSame(lib.items[i], back.items[i]);
    EXPECT_EQ(back.colorTable, lib.colorTable);
    EXPECT_EQ(WritePictureLibrary(back), bytes);
    EXPECT_EQ(WritePictureLibrary(lib), bytes);

    // Skips are written only when set, and an empty picture writes no data block.
    PictureLibraryData plain;
    plain.items.resize(1);
    const auto plainBytes = WritePictureLibrary(plain);
    EXPECT_FALSE(Contains(plainBytes, "Skip"));
    EXPECT_FALSE(Contains(plainBytes, "Picture.Data"));
    EXPECT_TRUE(Contains(bytes, "SkipWidth"));
    EXPECT_TRUE(Contains(bytes, "Picture.Data"));
}

TEST(RoundTrip, SoundLibrary) {
    const WaveLibraryData lib = SampleSounds();
    const auto bytes = WriteWaveLibrary(lib);
    WaveLibraryData back;
    ASSERT_EQ(ReadWaveLibrary(bytes, back), "");
    ASSERT_EQ(back.items.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(back.items[i].name, lib.items[i].name);
        EXPECT_EQ(back.items[i].looped, lib.items[i].looped);
        EXPECT_EQ(back.items[i].maxPlayingCount, lib.items[i].maxPlayingCount);
        EXPECT_EQ(back.items[i].hasWave, lib.items[i].hasWave);
        EXPECT_EQ(back.items[i].format, lib.items[i].format);
        EXPECT_EQ(back.items[i].samples, lib.items[i].samples);
    }
    EXPECT_EQ(WriteWaveLibrary(back), bytes);
}

const std::set<std::string>& KnownErrors() {
    static const std::set<std::string> known = {
        "Invalid stream format",  "Stream read error", "Invalid property path",
        "Invalid property value", "DIB is invalid",    "PixelFormat in invalid",
        "Wave is invalid",
    };
    return known;
}

// True for "" or one of the load errors (the ones with a name or number in them by shape).
bool IsLoadResult(const std::string& result) {
    if (result.empty() || KnownErrors().count(result)) return true;
    if (result.rfind("Property ", 0) == 0 && result.size() > 22 &&
        result.compare(result.size() - 15, 15, " does not exist") == 0) {
        return true;
    }
    return result.rfind("Bitcount in invalid (", 0) == 0 && result.back() == ')';
}

// A picture library using 8-bit, run-length and bit-field bitmaps as well as a bitmap file.
std::vector<std::uint8_t> VariedPictures() {
    const std::vector<std::uint8_t> indices = {0, 1, 1, 2, 2, 2, 0, 1, 3, 3, 3, 3};
    const std::vector<std::uint32_t> palette = {0, 0xFF0000, 0x00FF00, 0x0000FF};
    DibParts s565;
    s565.width = 2;
    s565.height = -1;
    s565.bitCount = 16;
    s565.compression = 3;
    s565.masks = {0xF800, 0x07E0, 0x1F};
    s565.pixels = {0x00, 0xF8, 0xE0, 0x07};
    return PictureLibrary({
        [&](auto& w) {
            w.Property("Name");
            w.String("plain");
            w.Property("Picture.Data");
            w.Binary(PictureBlock("TDIB", EncodeDib8(4, 3, indices, palette, false)));
            w.Property("TransparentColor");
            w.Ident("clFuchsia");
        },
        [&](auto& w) {
            w.Property("Picture.Data");
            w.Binary(PictureBlock("TDIB", EncodeDib8(4, 3, indices, palette, true)));
        },
        [&](auto& w) {
            w.Property("Picture.Data");
            w.Binary(PictureBlock("TDIB", EncodeDib(s565)));
            w.Property("Transparent");
            w.Boolean(false);
        },
    });
}

std::vector<std::vector<std::uint8_t>> Originals() {
    return {WritePictureLibrary(SamplePictures()), WriteWaveLibrary(SampleSounds()),
            VariedPictures()};
}

std::string Load(const std::vector<std::uint8_t>& bytes, bool pictures) {
    if (pictures) {
        PictureLibraryData data;
        const std::string result = ReadPictureLibrary(bytes, data);
        for (const auto& item : data.items) {
            EXPECT_EQ(item.picture.pixels.size(),
                      static_cast<std::size_t>(std::max(0, item.picture.width)) *
                          static_cast<std::size_t>(std::max(0, item.picture.height)));
        }
        return result;
    }
    WaveLibraryData data;
    return ReadWaveLibrary(bytes, data);
}

TEST(DamagedFiles, EveryTruncationEndsInAnError) {
    const auto originals = Originals();
    for (std::size_t f = 0; f < originals.size(); ++f) {
        const auto& original = originals[f];
        const bool pictures = f != 1;
        ASSERT_EQ(Load(original, pictures), "");
        for (std::size_t n = 0; n < original.size(); ++n) {
            const std::vector<std::uint8_t> cut(original.begin(), original.begin() + n);
            const std::string result = Load(cut, pictures);
            // Nothing but the whole file is complete: the last byte ends the root.
            EXPECT_FALSE(result.empty()) << "file " << f << " cut at " << n;
            EXPECT_TRUE(IsLoadResult(result)) << "file " << f << " cut at " << n << ": " << result;
        }
    }
}

TEST(DamagedFiles, FlippedBytesNeverCrash) {
    std::mt19937 random(1234);
    const auto originals = Originals();
    for (std::size_t f = 0; f < originals.size(); ++f) {
        const auto& original = originals[f];
        const bool pictures = f != 1;
        int failures = 0;
        for (int round = 0; round < 3000; ++round) {
            auto damaged = original;
            const int flips = 1 + round % 4;
            for (int k = 0; k < flips; ++k) {
                const std::size_t at = random() % damaged.size();
                const int kind = static_cast<int>(random() % 3);
                if (kind == 0) {
                    damaged[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
                } else if (kind == 1) {
                    damaged[at] = 0xFF;
                } else {
                    damaged[at] = static_cast<std::uint8_t>(random());
                }
            }
            const std::string result = Load(damaged, pictures);
            EXPECT_TRUE(IsLoadResult(result))
                << "file " << f << " round " << round << ": " << result;
            failures += result.empty() ? 0 : 1;
        }
        EXPECT_GT(failures, 0) << "file " << f;  // the damage is noticed at least sometimes
    }
}

TEST(DamagedFiles, ClaimedSizesBeyondTheFile) {
    // Every uint32 position of each file set to a huge value: lengths, counts and sizes that
    // run past the end must fail without reading or allocating beyond the file.
    const auto originals = Originals();
    for (std::size_t f = 0; f < originals.size(); ++f) {
        for (std::size_t at = 0; at + 4 <= originals[f].size(); ++at) {
            for (std::uint32_t value : {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x00FFFFFFu}) {
                auto damaged = originals[f];
                for (int i = 0; i < 4; ++i)
                    damaged[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
                const std::string result = Load(damaged, f != 1);
                EXPECT_TRUE(IsLoadResult(result)) << "file " << f << " at " << at << ": " << result;
            }
        }
    }
}

}  // namespace
}  // namespace vrumbal::test
