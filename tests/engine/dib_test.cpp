// Bitmap decoding: every depth and compression, palettes, row order, bitmap files, and the
// errors of damaged bitmaps.
#include "engine/dib.h"

#include <gtest/gtest.h>

#include "engine/stream_builders.h"

namespace vrumbal::test {
namespace {

constexpr std::uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF, K = 0x000000;

struct DibCase {
    const char* label;
    DibParts parts;
    std::vector<std::uint32_t> expected;  // top row first
    int width;
    int height;
};

DibParts Parts(int w, int h, int bits, std::vector<std::uint8_t> pixels,
               std::vector<std::uint32_t> palette = {}, std::uint32_t compression = 0,
               std::vector<std::uint32_t> masks = {}) {
    DibParts s;
    s.width = w;
    s.height = h;
    s.bitCount = static_cast<std::uint16_t>(bits);
    s.pixels = std::move(pixels);
    s.palette = std::move(palette);
    s.compression = compression;
    s.masks = std::move(masks);
    return s;
}

DibParts Core(DibParts s) {
    s.headerSize = 12;
    return s;
}

DibParts Used(DibParts s, std::uint32_t used) {
    s.colorsUsed = used;
    return s;
}

std::vector<DibCase> Cases() {
    // Rows below are stored bottom row first unless the height is negative.
    return {
        {"1 bit",
         Parts(3, 2, 1, {0b10100000, 0, 0, 0, 0b01000000, 0, 0, 0}, {R, G}),
         {R, G, R, G, R, G},
         3,
         2},
        {"4 bit",
         Used(Parts(3, 2, 4, {0x01, 0x20, 0, 0, 0x22, 0x10, 0, 0}, {R, G, B}), 3),
         {B, B, G, R, G, B},
         3,
         2},
        {"8 bit full palette",
         Parts(2, 2, 8, {3, 0, 0, 0, 255, 1, 0, 0},
               [] {
                   std::vector<std::uint32_t> p(256, K);
                   p[1] = G;
                   p[3] = B;
                   p[255] = W;
                   return p;
               }()),
         {W, G, B, K},
         2,
         2},
        {"8 bit colours used", Used(Parts(2, 1, 8, {1, 0, 0, 0}, {R, G}), 2), {G, R}, 2, 1},
        {"8 bit index past palette", Used(Parts(2, 1, 8, {1, 9, 0, 0}, {R, G}), 2), {G, K}, 2, 1},
        {"16 bit 555", Parts(2, 1, 16, {0x00, 0x7C, 0xFF, 0x7F}), {R, W}, 2, 1},
        {"16 bit 555 bit fields",
         Parts(2, 1, 16, {0xE0, 0x03, 0x1F, 0x00}, {}, 3, {0x7C00, 0x03E0, 0x1F}),
         {G, B},
         2,
         1},
        {"16 bit 565 bit fields",
         Parts(3, 1, 16, {0x00, 0xF8, 0xE0, 0x07, 0x10, 0x84, 0, 0}, {}, 3, {0xF800, 0x07E0, 0x1F}),
         {R, G, 0x848284},
         3,
         1},
        {"24 bit",
         Parts(2, 2, 24, {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 1, 2, 3, 4, 5, 6, 0, 0}),
         {0x030201, 0x060504, B, G},
         2,
         2},
        {"24 bit top-down",
         Parts(2, -2, 24, {1, 2, 3, 4, 5, 6, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0}),
         {0x030201, 0x060504, B, G},
         2,
         2},
        {"32 bit", Parts(1, 2, 32, {1, 2, 3, 99, 4, 5, 6, 99}), {0x060504, 0x030201}, 1, 2},
        {"32 bit bit fields",
         Parts(1, 1, 32, {1, 2, 3, 0}, {}, 3, {0xFF0000, 0xFF00, 0xFF}),
         {0x030201},
         1,
         1},
        {"core 24 bit",
         Core(Parts(1, 2, 24, {1, 2, 3, 0, 4, 5, 6, 0})),
         {0x060504, 0x030201},
         1,
         2},
        {"core 1 bit", Core(Parts(2, 1, 1, {0b01000000, 0, 0, 0}, {R, B})), {R, B}, 2, 1},
        {"palette on a 24-bit picture",
         Used(Parts(1, 1, 24, {7, 8, 9, 0}, {R, G}), 2),
         {0x090807},
         1,
         1},
        {"RLE8 runs, end of line, delta, absolute",
         Used(Parts(4, 3, 8,
                    {2, 1,              // row 0: two of index 1
                     0, 0,              // end of line
                     0, 3, 2, 1, 2, 0,  // row 1: absolute 2 1 2 (padded)
                     0, 2, 1, 1,        // delta one right, one down: row 2, x = 4
                     0, 1},             // end of bitmap
                    {K, R, G}, 1),
              3),
         {K, K, K, K, G, R, G, K, R, R, K, K},
         4,
         3},
        {"RLE4 runs, delta, absolute",
         Used(Parts(5, 2, 4,
                    {3, 0x12,     // row 0: 1 2 1
                     0, 2, 1, 0,  // delta one right: x = 4
                     1, 0x20,     // 2
                     0, 0,        // end of line
                     0, 5, 0x21, 0x02, 0x10,
                     0,  // row 1: absolute 2 1 0 2 1, three bytes padded to four
                     0, 1},
                    {K, R, G}, 2),
              3),
         {G, R, K, G, R, R, G, R, K, G},
         5,
         2},
        {"RLE8 top-down",
         Used(Parts(2, -2, 8, {2, 1, 0, 0, 1, 2, 0, 1}, {K, R, G}, 1), 3),
         {R, R, G, K},
         2,
         2},
    };
}

TEST(Dib, DecodesEveryLayout) {
    for (const auto& c : Cases()) {
        Picture p;
        ASSERT_EQ(DecodeDib(EncodeDib(c.parts), p), "") << c.label;
        EXPECT_EQ(p.width, c.width) << c.label;
        EXPECT_EQ(p.height, c.height) << c.label;
        EXPECT_EQ(p.pixels, c.expected) << c.label;
    }
}

TEST(Dib, TopDownEqualsBottomUp) {
    const Picture source = Pattern(5, 4, 9);
    const auto bottomUp = EncodeDib24(source);
    // The same rows in the other order, with a negative height.
    DibParts s = Parts(5, -4, 24, {});
    const std::size_t rowBytes = 16;
    const std::size_t headerEnd = bottomUp.size() - rowBytes * 4;
    for (int row = 3; row >= 0; --row) {
        s.pixels.insert(s.pixels.end(), bottomUp.begin() + headerEnd + rowBytes * row,
                        bottomUp.begin() + headerEnd + rowBytes * (row + 1));
    }
    Picture a, b;
    ASSERT_EQ(DecodeDib(bottomUp, a), "");
    ASSERT_EQ(DecodeDib(EncodeDib(s), b), "");
    EXPECT_EQ(a.pixels, source.pixels);
    EXPECT_EQ(b.pixels, source.pixels);
}

TEST(Dib, EightBitHelpersPlainAndRunLength) {
    const int w = 7, h = 3;
    std::vector<std::uint8_t> indices;
    for (int i = 0; i < w * h; ++i) indices.push_back(static_cast<std::uint8_t>(i / 3 % 4));
    const std::vector<std::uint32_t> palette = {R, G, B, W};
    Picture plain, rle;
    ASSERT_EQ(DecodeDib(EncodeDib8(w, h, indices, palette, false), plain), "");
    ASSERT_EQ(DecodeDib(EncodeDib8(w, h, indices, palette, true), rle), "");
    ASSERT_EQ(plain.pixels.size(), indices.size());
    for (std::size_t i = 0; i < indices.size(); ++i)
        EXPECT_EQ(plain.pixels[i], palette[indices[i]]);
    EXPECT_EQ(rle.pixels, plain.pixels);
}

TEST(Dib, PaletteIsCutTo256Entries) {
    std::vector<std::uint32_t> palette(256, K);
    palette[200] = B;
    DibParts s = Used(Parts(1, 1, 8, {200, 0, 0, 0}, palette), 300);
    Picture p;
    ASSERT_EQ(DecodeDib(EncodeDib(s), p), "");
    EXPECT_EQ(p.pixels, std::vector<std::uint32_t>{B});
}

TEST(Dib, Errors) {
    struct Case {
        const char* label;
        std::vector<std::uint8_t> bytes;
        std::string error;
    };
    auto enc = [](DibParts s) { return EncodeDib(s); };
    auto cut = [](std::vector<std::uint8_t> b, std::size_t n) {
        b.resize(n);
        return b;
    };
    DibParts header20 = Parts(1, 1, 24, {0, 0, 0, 0});
    header20.headerSize = 20;
    DibParts huge = Parts(60000, 60000, 24, std::vector<std::uint8_t>(10));
    DibParts hugeRle = Used(Parts(60000, 60000, 8, {0, 1}, {K}, 1), 1);
    DibParts widest = Parts(0x7FFFFFFF, 0x7FFFFFFF, 32, std::vector<std::uint8_t>(10));
    DibParts lowest = Parts(4, INT32_MIN, 32, std::vector<std::uint8_t>(10));
    DibParts negativeWidth = Parts(-4, 1, 24, std::vector<std::uint8_t>(16));
    DibParts rleTooLong = Used(Parts(2, 2, 8, {0, 1}, {K}, 1), 1);
    rleTooLong.imageSize = 50;
    const std::vector<Case> cases = {
        {"1 byte", {40}, "DIB is invalid"},
        {"3 bytes", {40, 0, 0}, "DIB is invalid"},
        {"header size 20", enc(header20), "DIB is invalid"},
        {"header cut", cut(enc(Parts(1, 1, 24, {0, 0, 0, 0})), 20), "Stream read error"},
        {"bit count 7", enc(Parts(1, 1, 7, {0, 0, 0, 0}, std::vector<std::uint32_t>(128))),
         "Bitcount in invalid (7)"},
        {"bit count 0", enc(Parts(1, 1, 0, {0, 0, 0, 0}, {K})), "Bitcount in invalid (0)"},
        {"bit count 64", enc(Parts(1, 1, 64, {0, 0, 0, 0, 0, 0, 0, 0})),
         "Bitcount in invalid (64)"},
        {"16 bit 444", enc(Parts(1, 1, 16, {0, 0, 0, 0}, {}, 3, {0xF00, 0xF0, 0xF})),
         "PixelFormat in invalid"},
        {"24 bit 565", enc(Parts(1, 1, 24, {0, 0, 0, 0}, {}, 3, {0xF800, 0x7E0, 0x1F})),
         "PixelFormat in invalid"},
        {"compression 4", enc(Parts(1, 1, 24, {0, 0, 0, 0}, {}, 4)), "DIB is invalid"},
        {"RLE8 on 4 bits", enc(Parts(1, 1, 4, {0, 1}, std::vector<std::uint32_t>(16), 1)),
         "DIB is invalid"},
        {"rows cut", cut(enc(Parts(2, 2, 24, std::vector<std::uint8_t>(16))), 40 + 12),
         "Stream read error"},
        {"palette cut",
         cut(enc(Parts(1, 1, 8, {0, 0, 0, 0}, std::vector<std::uint32_t>(256))), 100),
         "Stream read error"},
        {"60000 x 60000 in 10 bytes", enc(huge), "Stream read error"},
        {"60000 x 60000 run-length", enc(hugeRle), "DIB is invalid"},
        {"widest and tallest", enc(widest), "Stream read error"},
        {"lowest height", enc(lowest), "Stream read error"},
        {"negative width", enc(negativeWidth), "DIB is invalid"},
        {"run-length size past the end", enc(rleTooLong), "Stream read error"},
    };
    for (const auto& c : cases) {
        Picture p;
        EXPECT_EQ(DecodeDib(c.bytes, p), c.error) << c.label;
        EXPECT_TRUE(p.Empty()) << c.label;
    }
}

TEST(Dib, NoBytesIsAnEmptyPicture) {
    Picture p = Pattern(2, 2, 0);
    EXPECT_EQ(DecodeDib({}, p), "");
    EXPECT_TRUE(p.Empty());
}

std::vector<std::uint8_t> BitmapFile(const std::vector<std::uint8_t>& dib, std::uint32_t offBits,
                                     const char* magic = "BM") {
    std::vector<std::uint8_t> file = {static_cast<std::uint8_t>(magic[0]),
                                      static_cast<std::uint8_t>(magic[1])};
    const std::uint32_t size = static_cast<std::uint32_t>(14 + dib.size());
    for (std::uint32_t v : {size, 0u, offBits}) {
        for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    file.insert(file.end(), dib.begin(), dib.end());
    std::vector<std::uint8_t> block(4 + file.size());
    for (int i = 0; i < 4; ++i) block[i] = static_cast<std::uint8_t>(file.size() >> (8 * i));
    std::copy(file.begin(), file.end(), block.begin() + 4);
    return block;
}

TEST(Dib, PictureBlocksOfEachClass) {
    const Picture source = Pattern(3, 2, 5);
    const auto dib = EncodeDib24(source);
    // A bitmap file whose rows start 6 bytes after the header, as its offset says.
    std::vector<std::uint8_t> gapped(dib.begin(), dib.begin() + 40);
    gapped.insert(gapped.end(), 6, 0xEE);
    gapped.insert(gapped.end(), dib.begin() + 40, dib.end());
    struct Case {
        const char* label;
        std::vector<std::uint8_t> block;
        std::string error;
        bool empty;
    };
    const std::vector<Case> cases = {
        {"TDIB", PictureBlock("TDIB", dib), "", false},
        {"TBitmap", PictureBlock("TBitmap", BitmapFile(dib, 54)), "", false},
        {"TBitmap with a gap", PictureBlock("TBitmap", BitmapFile(gapped, 60)), "", false},
        {"TBitmap of length 0", PictureBlock("TBitmap", std::vector<std::uint8_t>(4, 0)), "", true},
        {"TBitmap not BM", PictureBlock("TBitmap", BitmapFile(dib, 54, "XM")), "DIB is invalid",
         true},
        {"TBitmap length past the end",
         PictureBlock("TBitmap", std::vector<std::uint8_t>{200, 0, 0, 0, 'B', 'M'}),
         "Stream read error", true},
        {"unknown class", PictureBlock("TJPEGImage", dib), "", true},
        {"empty block", {}, "", true},
        {"TDIB without data", PictureBlock("TDIB", {}), "", true},
    };
    for (const auto& c : cases) {
        PictureLibraryData data;
        const auto bytes = PictureLibrary({[&](auto& w) {
                                               w.Property("Picture.Data");
                                               w.Binary(c.block);
                                           },
                                           [](auto& w) {
                                               w.Property("Name");
                                               w.String("next");
                                           }});
        EXPECT_EQ(ReadPictureLibrary(bytes, data), c.error) << c.label;
        ASSERT_GE(data.items.size(), 1u) << c.label;
        EXPECT_EQ(data.items[0].picture.Empty(), c.empty) << c.label;
        if (!c.empty) {
            EXPECT_EQ(data.items[0].picture.pixels, source.pixels) << c.label;
        }
        if (c.error.empty()) {  // the load goes on behind the picture
            ASSERT_EQ(data.items.size(), 2u) << c.label;
            EXPECT_EQ(data.items[1].name, "next") << c.label;
        }
    }
}

}  // namespace
}  // namespace vrumbal::test
