// The bitmap decoder: headers, colour masks and palettes, every row depth and run-length data,
// with the sizes a damaged bitmap may claim held in check.
#include "engine/dib.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "engine/library_error.h"

namespace vrumbal {

namespace {

// Length of the lowest run of set bits of a colour mask.
int LowestRunLength(std::uint32_t mask) {
    if (mask == 0) return 0;
    while ((mask & 1) == 0) mask >>= 1;
    int n = 0;
    while (mask & 1) {
        mask >>= 1;
        ++n;
    }
    return n;
}

// Widens a colour channel of the given bit length to 8 bits by repeating its top bits.
std::uint32_t Widen(std::uint32_t v, int bits) {
    if (bits >= 8) return v & 0xFF;
    return ((v << (8 - bits)) | (v >> (2 * bits - 8 > 0 ? 2 * bits - 8 : 0))) & 0xFF;
}

// What the header said about the bitmap.
struct DibLayout {
    std::int64_t width = 0;
    std::int64_t height = 0;  // always positive here
    bool topDown = false;     // rows stored top row first
    int bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 0;
    int greenBits = 5;                   // 5 or 6 for 16-bit pictures
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB
};

std::uint32_t PaletteColor(const DibLayout& d, std::uint32_t index) {
    return index < d.palette.size() ? d.palette[index] : 0;
}

// Decodes one stored row of an uncompressed bitmap into a picture row.
void DecodeRow(const DibLayout& d, const std::uint8_t* src, std::uint32_t* dst) {
    const std::int64_t w = d.width;
    switch (d.bitCount) {
        case 1:
            for (std::int64_t x = 0; x < w; ++x) {
                dst[x] = PaletteColor(d, (src[x >> 3] >> (7 - (x & 7))) & 1);
            }
            break;
        case 4:
            for (std::int64_t x = 0; x < w; ++x) {
                const std::uint8_t b = src[x >> 1];
                dst[x] = PaletteColor(d, (x & 1) ? (b & 0x0F) : (b >> 4));
            }
            break;
        case 8:
            for (std::int64_t x = 0; x < w; ++x) dst[x] = PaletteColor(d, src[x]);
            break;
        case 16:
            for (std::int64_t x = 0; x < w; ++x) {
                const std::uint32_t v = src[2 * x] | (src[2 * x + 1] << 8);
                const std::uint32_t b = Widen(v & 0x1F, 5);
                const std::uint32_t g = Widen((v >> 5) & ((1u << d.greenBits) - 1), d.greenBits);
                const std::uint32_t r = Widen((v >> (5 + d.greenBits)) & 0x1F, 5);
                dst[x] = (r << 16) | (g << 8) | b;
            }
            break;
        case 24:
            for (std::int64_t x = 0; x < w; ++x) {
                const std::uint8_t* p = src + 3 * x;
                dst[x] = (p[2] << 16) | (p[1] << 8) | p[0];
            }
            break;
        case 32:
            for (std::int64_t x = 0; x < w; ++x) {
                const std::uint8_t* p = src + 4 * x;
                dst[x] = (p[2] << 16) | (p[1] << 8) | p[0];
            }
            break;
        default:
            break;
    }
}

// Decodes run-length data into palette indices, stored row 0 first. Pixels the data never
// reaches keep index 0; pixels beyond the picture's edges are dropped.
std::vector<std::uint8_t> DecodeRle(const DibLayout& d, std::span<const std::uint8_t> data) {
    const std::int64_t w = d.width;
    const std::int64_t h = d.height;
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(w * h), 0);
    const bool rle4 = d.compression == 2;
    std::int64_t x = 0;
    std::int64_t y = 0;
    auto put = [&](std::uint8_t index) {
        if (x < w && y < h) indices[static_cast<std::size_t>(y * w + x)] = index;
        ++x;
    };
    std::size_t i = 0;
    while (i + 1 < data.size() && y < h) {
        const std::uint8_t count = data[i];
        const std::uint8_t value = data[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count; ++k) {
                put(rle4 ? ((k & 1) ? (value & 0x0F) : (value >> 4)) : value);
            }
        } else if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // delta
            if (i + 2 > data.size()) break;
            x += data[i];
            y += data[i + 1];
            i += 2;
        } else {  // absolute run, padded to a whole number of 16-bit words
            const std::size_t bytes = rle4 ? (value + 1u) / 2u : value;
            if (i + bytes > data.size()) break;
            for (int k = 0; k < value; ++k) {
                if (rle4) {
                    const std::uint8_t b = data[i + k / 2];
                    put((k & 1) ? (b & 0x0F) : (b >> 4));
                } else {
                    put(data[i + k]);
                }
            }
            i += bytes + (bytes & 1);
        }
    }
    return indices;
}

void CheckPixelCount(const DibLayout& d, std::uint64_t limit) {
    if (static_cast<std::uint64_t>(d.width) * static_cast<std::uint64_t>(d.height) > limit) {
        ThrowLoadError(kDibInvalid);
    }
}

}  // namespace

void ReadDib(ByteCursor& cursor, Picture& out, std::size_t pixelOffset) {
    out = Picture{};
    if (cursor.Remaining() == 0) return;
    if (cursor.Remaining() < 4) ThrowLoadError(kDibInvalid);
    const std::size_t start = cursor.Position();
    const std::uint32_t headerSize = cursor.ReadU32();
    DibLayout d;
    std::uint32_t colorsUsed = 0;
    std::size_t entrySize = 4;
    if (headerSize == 12) {
        d.width = cursor.ReadU16();
        d.height = cursor.ReadU16();
        cursor.ReadU16();  // planes
        d.bitCount = cursor.ReadU16();
        entrySize = 3;
    } else if (headerSize == 40) {
        d.width = cursor.ReadI32();
        d.height = cursor.ReadI32();
        cursor.ReadU16();  // planes
        d.bitCount = cursor.ReadU16();
        d.compression = cursor.ReadU32();
        d.imageSize = cursor.ReadU32();
        cursor.Skip(8);  // pixels per metre
        colorsUsed = cursor.ReadU32();
        cursor.ReadU32();  // colours important
    } else {
        ThrowLoadError(kDibInvalid);
    }
    if (d.width < 0) ThrowLoadError(kDibInvalid);
    if (d.height < 0) {
        d.topDown = true;
        d.height = -d.height;
    }

    std::array<int, 3> lengths =
        d.bitCount == 16 ? std::array<int, 3>{5, 5, 5} : std::array<int, 3>{8, 8, 8};
    if (d.compression == 3) {
        for (int& length : lengths) length = LowestRunLength(cursor.ReadU32());
    }

    std::size_t paletteCount = 0;
    if (colorsUsed > 0) {
        paletteCount = std::min<std::uint32_t>(colorsUsed, 256);
    } else if (d.bitCount <= 8) {
        paletteCount = std::size_t{1} << d.bitCount;
    }
    const auto paletteBytes = cursor.ReadBytes(paletteCount * entrySize);
    d.palette.resize(paletteCount);
    for (std::size_t i = 0; i < paletteCount; ++i) {
        const std::uint8_t* e = paletteBytes.data() + i * entrySize;
        d.palette[i] = (e[2] << 16) | (e[1] << 8) | e[0];
    }

    switch (d.bitCount) {
        case 1:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32:
            break;
        default:
            ThrowLoadError("Bitcount in invalid (" + std::to_string(d.bitCount) + ")");
    }
    if (d.bitCount == 16) {
        const bool is555 = lengths == std::array<int, 3>{5, 5, 5};
        const bool is565 = lengths == std::array<int, 3>{5, 6, 5};
        if (!is555 && !is565) ThrowLoadError(kPixelFormatInvalid);
        d.greenBits = is565 ? 6 : 5;
    } else if (lengths != std::array<int, 3>{8, 8, 8}) {
        ThrowLoadError(kPixelFormatInvalid);
    }

    if (pixelOffset > cursor.Position() - start) cursor.Seek(start + pixelOffset);

    // Computed in 64 bits: a 32-bit width times 32 bits per pixel overflows 32 bits.
    const std::uint64_t rowBytes =
        (static_cast<std::uint64_t>(d.bitCount) * static_cast<std::uint64_t>(d.width) + 31) / 32 *
        4;
    std::vector<std::uint8_t> rleIndices;
    if (d.compression == 0 || d.compression == 3) {
        if (d.height > 0 && rowBytes > cursor.Remaining() / static_cast<std::uint64_t>(d.height)) {
            ThrowLoadError(kStreamReadError);
        }
        CheckPixelCount(d, kMaxDibPixels);
    } else if ((d.compression == 1 && d.bitCount == 8) || (d.compression == 2 && d.bitCount == 4)) {
        const auto data = cursor.ReadBytes(d.imageSize);
        CheckPixelCount(d, kMaxRleDibPixels);
        rleIndices = DecodeRle(d, data);
    } else {
        ThrowLoadError(kDibInvalid);
    }

    if (d.width == 0 || d.height == 0) return;
    Picture picture;
    picture.width = static_cast<int>(d.width);
    picture.height = static_cast<int>(d.height);
    picture.pixels.resize(static_cast<std::size_t>(d.width * d.height));
    for (std::int64_t row = 0; row < d.height; ++row) {
        const std::int64_t y = d.topDown ? row : d.height - 1 - row;
        std::uint32_t* dst = picture.pixels.data() + y * d.width;
        if (rleIndices.empty()) {
            DecodeRow(d, cursor.ReadBytes(rowBytes).data(), dst);
        } else {
            const std::uint8_t* src = rleIndices.data() + row * d.width;
            for (std::int64_t x = 0; x < d.width; ++x) dst[x] = PaletteColor(d, src[x]);
        }
    }
    out = std::move(picture);
}

void ReadBitmapFile(ByteCursor& cursor, Picture& out) {
    out = Picture{};
    const std::uint32_t length = cursor.ReadU32();
    if (length == 0) return;
    ByteCursor file(cursor.ReadBytes(length));
    const auto header = file.ReadBytes(14);
    if (header[0] != 'B' || header[1] != 'M') ThrowLoadError(kDibInvalid);
    const std::uint32_t offBits = header[10] | (header[11] << 8) | (header[12] << 16) |
                                  (static_cast<std::uint32_t>(header[13]) << 24);
    ReadDib(file, out, offBits > 14 ? offBits - 14 : 0);
}

void ReadPictureBlock(std::span<const std::uint8_t> block, Picture& out) {
    out = Picture{};
    ByteCursor cursor(block);
    if (cursor.Remaining() == 0) return;
    const std::uint8_t n = cursor.ReadU8();
    if (n > cursor.Remaining()) return;  // no class can be named: an unknown class
    const auto nameBytes = cursor.ReadBytes(n);
    const std::string className(reinterpret_cast<const char*>(nameBytes.data()), n);
    if (SameName(className, "TDIB")) {
        ReadDib(cursor, out);
    } else if (SameName(className, "TBitmap")) {
        ReadBitmapFile(cursor, out);
    }
}

}  // namespace vrumbal
