// Library files written byte by byte here, from the file layout alone, not by the game's
// writer: a reading fault that the writer shares would pass the round trips but not these.
// Each value type the loaders take and those they refuse, a core-header DIB, a wave block, and
// the load errors.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/library_data.h"
#include "engine/library_reader.h"

namespace vrumbal::test {
namespace {

// The bytes of a file, appended piece by piece.
struct Bytes {
    std::vector<std::uint8_t> b;
    Bytes& U8(unsigned v) {
        b.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    Bytes& U16(unsigned v) { return U8(v & 0xFF).U8(v >> 8); }
    Bytes& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    Bytes& Raw(const std::string& s) {
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    Bytes& Raw(const std::vector<std::uint8_t>& v) {
        b.insert(b.end(), v.begin(), v.end());
        return *this;
    }
    // A short string: its length in one byte, then its characters.
    Bytes& Short(const std::string& s) { return U8(static_cast<unsigned>(s.size())).Raw(s); }
};

// The resource header and the signature in front of every library file.
Bytes Header() {
    Bytes f;
    f.U8(0xFF).U16(10).Raw("LIB").U8(0).U16(0x1030).U32(0);
    f.Raw("TPF0");
    return f;
}

// A 2 x 1 picture with a core header: 1 bit, palette red and blue (blue, green, red bytes).
std::vector<std::uint8_t> CoreDib() {
    Bytes d;
    d.Short("TDIB");
    d.U32(12).U16(2).U16(1).U16(1).U16(1);
    d.U8(0x00).U8(0x00).U8(0xFF);  // index 0: red
    d.U8(0xFF).U8(0x00).U8(0x00);  // index 1: blue
    d.U8(0x40).U8(0).U8(0).U8(0);  // one row: 0 then 1, padded to four bytes
    return d.b;
}

std::vector<std::uint8_t> PictureLibrary() {
    Bytes f = Header();
    f.U8(0xF0);  // a root prefix without its integer
    f.Short("TPictureCollectionComponent").Short("Pictures");
    f.Short("List").U8(0x0E);  // a collection
    // Item 0: a string, an int8, an int16, true, a colour identifier, the picture.
    f.U8(0x01);
    f.Short("Name").U8(0x06).Short("Tiles");
    f.Short("PatternWidth").U8(0x02).U8(2);
    f.Short("PatternHeight").U8(0x03).U16(1);
    f.Short("Transparent").U8(0x09);
    f.Short("TransparentColor").U8(0x07).Short("clFuchsia");
    const std::vector<std::uint8_t> dib = CoreDib();
    f.Short("Picture.Data").U8(0x0A).U32(static_cast<std::uint32_t>(dib.size())).Raw(dib);
    f.U8(0x00);
    // Item 1, with an order number: a wide string, a boolean identifier, an int32, false, a
    // colour as a number, a negative int16, a path in other letter case.
    f.U8(0x02).U8(5).U8(0x01);
    f.Short("Name").U8(0x12).U32(1).U16(0x0416);  // "Ж"
    f.Short("SystemMemory").U8(0x07).Short("True");
    f.Short("PatternWidth").U8(0x04).U32(300);
    f.Short("TRANSPARENT").U8(0x08);
    f.Short("TransparentColor").U8(0x04).U32(0x00123456);
    f.Short("SkipWidth").U8(0x03).U16(0xFFFE);  // -2
    f.U8(0x00);
    // Item 2: a UTF-8 name and nothing else.
    f.U8(0x01);
    f.Short("Name").U8(0x14).U32(2).U8(0xD0).U8(0x96);  // "Ж" in UTF-8
    f.U8(0x00);
    f.U8(0x00);  // end of the collection
    f.U8(0x00);  // end of the root's properties
    f.U8(0x00);  // no children
    return f.b;
}

// A library of one item whose properties item writes, in the collection of component.
std::vector<std::uint8_t> OneItemLibrary(const std::string& component,
                                         const std::function<void(Bytes&)>& item) {
    Bytes f = Header();
    f.Short(component).Short("L");
    f.Short("List").U8(0x0E).U8(0x01);
    item(f);
    f.U8(0x00).U8(0x00).U8(0x00).U8(0x00);  // ends of the item, collection, root, children
    return f.b;
}

TEST(HandWrittenFiles, APictureLibraryOfEveryValueType) {
    PictureLibraryData data;
    ASSERT_EQ(ReadPictureLibrary(PictureLibrary(), data), "");
    ASSERT_EQ(data.items.size(), 3u);
    const PictureItemData& a = data.items[0];
    EXPECT_EQ(a.name, "Tiles");
    EXPECT_EQ(a.patternWidth, 2);
    EXPECT_EQ(a.patternHeight, 1);
    EXPECT_TRUE(a.transparent);
    EXPECT_EQ(a.transparentColor, 0xFF00FFu);
    ASSERT_EQ(a.picture.width, 2);
    ASSERT_EQ(a.picture.height, 1);
    EXPECT_EQ(a.picture.At(0, 0), 0xFF0000u);
    EXPECT_EQ(a.picture.At(1, 0), 0x0000FFu);
    const PictureItemData& b = data.items[1];
    EXPECT_EQ(b.name, "\xC6");  // code page 1251
    EXPECT_TRUE(b.systemMemory);
    EXPECT_EQ(b.patternWidth, 300);
    EXPECT_FALSE(b.transparent);
    EXPECT_EQ(b.transparentColor, 0x123456u);
    EXPECT_EQ(b.skipWidth, -2);
    EXPECT_TRUE(b.picture.Empty());
    const PictureItemData& c = data.items[2];
    EXPECT_EQ(c.name, "\xC6");
    // Absent properties keep their defaults.
    EXPECT_EQ(c.patternWidth, 0);
    EXPECT_TRUE(c.transparent);
    EXPECT_FALSE(c.systemMemory);
}

TEST(HandWrittenFiles, ASoundLibrary) {
    Bytes wave;
    wave.Raw("RIFF").U32(0).Raw("WAVE");
    wave.Raw("fmt ").U32(16).U16(1).U16(1).U32(22050).U32(44100).U16(2).U16(16);
    wave.Raw("LIST").U32(2).U8('x').U8('y');  // skipped by its size
    wave.Raw("data").U32(4).U8(1).U8(2).U8(3).U8(4);
    Bytes f = Header();
    f.Short("TWaveCollectionComponent").Short("Sounds");
    f.Short("List").U8(0x0E).U8(0x01);
    f.Short("Name").U8(0x0C).U32(4).Raw("Horn");  // a long string
    f.Short("Looped").U8(0x09);
    f.Short("MaxPlayingCount").U8(0x02).U8(0xFD);  // -3 is kept as 0
    f.Short("Wave.WAVE").U8(0x0A).U32(static_cast<std::uint32_t>(wave.b.size())).Raw(wave.b);
    f.U8(0x00).U8(0x00).U8(0x00).U8(0x00);
    WaveLibraryData data;
    ASSERT_EQ(ReadWaveLibrary(f.b, data), "");
    ASSERT_EQ(data.items.size(), 1u);
    const WaveItemData& s = data.items[0];
    EXPECT_EQ(s.name, "Horn");
    EXPECT_TRUE(s.looped);
    EXPECT_EQ(s.maxPlayingCount, 0);
    EXPECT_TRUE(s.hasWave);
    EXPECT_EQ(s.format.size(), 16u);
    EXPECT_EQ(s.format[4], 0x22);  // 22050 = 0x5622, little-endian
    EXPECT_EQ(s.samples, (std::vector<std::uint8_t>{1, 2, 3, 4}));
}

TEST(HandWrittenFiles, TheLoadErrorsNameWhatIsWrong) {
    auto library = [](const std::function<void(Bytes&)>& item) {
        return OneItemLibrary("TPictureCollectionComponent", item);
    };
    std::vector<std::uint8_t> badSignature = PictureLibrary();
    badSignature[13 + 3] = '1';  // "TPF1" after the 13 bytes of the resource header
    std::vector<std::uint8_t> cut = PictureLibrary();
    cut.resize(cut.size() - 40);
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::string error;
    } cases[] = {
        {"an unknown property", library([](Bytes& f) { f.Short("Bogus").U8(0x02).U8(1).U8(0x00); }),
         "Property Bogus does not exist"},
        {"a data block that is no binary",
         library([](Bytes& f) { f.Short("Picture.Data").U8(0x02).U8(1).U8(0x00); }),
         "Invalid property value"},
        {"a bitmap of 7 bits", library([](Bytes& f) {
             Bytes d;
             d.Short("TDIB").U32(40).U32(1).U32(1).U16(1).U16(7).U32(0).U32(0).U32(0).U32(0);
             d.U32(0).U32(0);
             // Its palette comes first: 2 to the 7th entries of four bytes.
             d.Raw(std::vector<std::uint8_t>(128 * 4, 0));
             f.Short("Picture.Data").U8(0x0A).U32(static_cast<std::uint32_t>(d.b.size()));
             f.Raw(d.b).U8(0x00);
         }),
         "Bitcount in invalid (7)"},
        {"a bitmap header of 20 bytes", library([](Bytes& f) {
             Bytes d;
             d.Short("TDIB").U32(20).U32(1).U32(1).U32(0).U32(0);
             f.Short("Picture.Data").U8(0x0A).U32(static_cast<std::uint32_t>(d.b.size()));
             f.Raw(d.b).U8(0x00);
         }),
         "DIB is invalid"},
        {"a file cut short", cut, "Stream read error"},
    };
    for (const auto& c : cases) {
        PictureLibraryData data;
        EXPECT_EQ(ReadPictureLibrary(c.bytes, data), c.error) << c.what;
    }
    PictureLibraryData data;
    EXPECT_EQ(ReadPictureLibrary(badSignature, data), "Invalid stream format");
}

// The value types no property of a library takes, each with its payload as the layout lays it
// out: every property refuses every one of them, and a picture may be nil.
TEST(HandWrittenFiles, EveryPropertyRefusesTheValueTypesItDoesNotTake) {
    struct Refused {
        const char* type;
        std::function<void(Bytes&)> value;  // the type byte and its payload
    };
    const Refused refused[] = {
        {"list", [](Bytes& f) { f.U8(0x01).U8(0x02).U8(7).U8(0x00); }},
        {"extended", [](Bytes& f) { f.U8(0x05).Raw(std::vector<std::uint8_t>(10, 0x3F)); }},
        {"set", [](Bytes& f) { f.U8(0x0B).Short("fsBold").Short(""); }},
        {"nil", [](Bytes& f) { f.U8(0x0D); }},
        {"single", [](Bytes& f) { f.U8(0x0F).U32(0x3F800000); }},
        {"currency", [](Bytes& f) { f.U8(0x10).U32(10000).U32(0); }},
        {"date", [](Bytes& f) { f.U8(0x11).U32(0).U32(0x40E00000); }},
        {"int64", [](Bytes& f) { f.U8(0x13).U32(7).U32(0); }},
        {"collection", [](Bytes& f) { f.U8(0x0E).U8(0x00); }},
        {"a type past the last", [](Bytes& f) { f.U8(0x15).U8(0); }},
    };
    // Properties that read an integer, a string, a boolean, a colour and a data block.
    const char* properties[] = {"PatternWidth", "Name", "Transparent", "TransparentColor",
                                "Picture.Data"};
    auto withValue = [](const char* property, const Refused& r) {
        return [property, &r](Bytes& f) {
            f.Short(property);
            r.value(f);
        };
    };
    for (const Refused& r : refused) {
        for (const char* property : properties) {
            PictureLibraryData data;
            EXPECT_EQ(
                ReadPictureLibrary(
                    OneItemLibrary("TPictureCollectionComponent", withValue(property, r)), data),
                "Invalid property value")
                << r.type << " for " << property;
        }
        // The same in a sound library.
        for (const char* property : {"Looped", "MaxPlayingCount", "Name", "Wave.WAVE"}) {
            WaveLibraryData data;
            EXPECT_EQ(ReadWaveLibrary(
                          OneItemLibrary("TWaveCollectionComponent", withValue(property, r)), data),
                      "Invalid property value")
                << r.type << " for " << property;
        }
    }
    // Nil is what a picture holds when it has none: taken, and the picture stays empty.
    PictureLibraryData data;
    ASSERT_EQ(ReadPictureLibrary(OneItemLibrary("TPictureCollectionComponent",
                                                [](Bytes& f) {
                                                    f.Short("Name").U8(0x06).Short("Empty");
                                                    f.Short("Picture").U8(0x0D);
                                                }),
                                 data),
              "");
    ASSERT_EQ(data.items.size(), 1u);
    EXPECT_EQ(data.items[0].name, "Empty");
    EXPECT_TRUE(data.items[0].picture.Empty());
}

}  // namespace
}  // namespace vrumbal::test
