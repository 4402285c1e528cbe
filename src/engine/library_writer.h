// Writing component streams, bitmaps and whole library files, for the content build and the tests.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/library_data.h"
#include "engine/picture.h"

namespace vrumbal {

// Composes component streams byte by byte: every value type of the container, so that tests
// can build well-formed and damaged library files alike.
class ComponentStreamWriter {
public:
    // The resource header; its size field is filled in by Finish.
    void ResourceHeader(std::string_view name);
    // The "TPF0" signature.
    void Signature();
    // The root's optional prefix byte (with its Integer when given), class and component name.
    void RootHeader(std::string_view className, std::string_view name,
                    std::optional<std::uint8_t> prefix = std::nullopt,
                    std::optional<std::int32_t> childPos = std::nullopt);

    // One raw byte.
    void Byte(std::uint8_t value) { bytes_.push_back(value); }
    // A little-endian uint16.
    void U16(std::uint16_t value);
    // A little-endian uint32.
    void U32(std::uint32_t value);
    // Raw bytes.
    void Raw(std::span<const std::uint8_t> bytes);
    // A length byte and the characters.
    void ShortString(std::string_view text);
    // A property path.
    void Property(std::string_view path) { ShortString(path); }

    // An Integer in its smallest encoding (int8, int16 or int32).
    void Integer(std::int32_t value);
    // An int8 value.
    void Int8(std::int8_t value);
    // An int16 value.
    void Int16(std::int16_t value);
    // An int32 value.
    void Int32(std::int32_t value);
    // An int64 value.
    void Int64(std::int64_t value);
    // An extended value from its 10 raw bytes.
    void Extended(const std::array<std::uint8_t, 10>& raw);
    // A single-precision float value.
    void Single(float value);
    // A currency value (scaled by 10000).
    void Currency(std::int64_t value);
    // A date value.
    void Date(double value);
    // A string value: short when it fits in 255 characters, else a long string.
    void String(std::string_view text);
    // A long string value.
    void LongString(std::string_view text);
    // A wide string value from UTF-16 units.
    void WideString(std::u16string_view text);
    // A UTF-8 string value.
    void Utf8String(std::string_view text);
    // An identifier value.
    void Ident(std::string_view text);
    // A false or true value.
    void Boolean(bool value);
    // A nil value.
    void Nil();
    // A binary value.
    void Binary(std::span<const std::uint8_t> bytes);
    // A set value of identifiers.
    void Set(const std::vector<std::string>& names);
    // A list value's start (values follow, then End).
    void ListBegin();
    // An end-of-list byte.
    void End();
    // A collection value's start (items follow, then End).
    void CollectionBegin();
    // A collection item's start: its order number when given, then the list byte.
    void ItemBegin(std::optional<std::int32_t> order = std::nullopt);

    // The bytes written so far, with the resource header's size filled in.
    std::vector<std::uint8_t> Finish() const;

private:
    std::vector<std::uint8_t> bytes_;       // everything written
    std::optional<std::size_t> sizeField_;  // offset of the resource header's size
};

// A Picture.Data block: the class name and its data.
std::vector<std::uint8_t> PictureBlock(std::string_view className,
                                       std::span<const std::uint8_t> data);

// The parts of a device-independent bitmap, written as given (for crafting test bitmaps).
struct DibParts {
    std::uint32_t headerSize = 40;           // 12 (core) or 40 (info); anything for bad ones
    std::int32_t width = 0;                  // pixels per row
    std::int32_t height = 0;                 // rows; negative = top row first
    std::uint16_t bitCount = 24;             // bits per pixel
    std::uint32_t compression = 0;           // 0 plain, 1 RLE8, 2 RLE4, 3 bit fields
    std::optional<std::uint32_t> imageSize;  // default: the size of pixels
    std::uint32_t colorsUsed = 0;            // palette entries (0 = by bit count)
    std::vector<std::uint32_t> masks;        // written after the header (bit fields)
    std::vector<std::uint32_t> palette;      // 0x00RRGGBB each
    std::vector<std::uint8_t> pixels;        // row or run-length bytes, as stored
};

// TDIB data (without the class name) of the parts as given.
std::vector<std::uint8_t> EncodeDib(const DibParts& parts);
// TDIB data of a picture as a 24-bit bottom-up bitmap.
std::vector<std::uint8_t> EncodeDib24(const Picture& picture);
// TDIB data of an 8-bit paletted picture; indices are top row first; rle8 compresses them.
std::vector<std::uint8_t> EncodeDib8(int width, int height, std::span<const std::uint8_t> indices,
                                     std::span<const std::uint32_t> palette, bool rle8);

// A picture library file holding the items; each non-empty picture is stored as a 24-bit TDIB.
std::vector<std::uint8_t> WritePictureLibrary(const PictureLibraryData& library);
// A sound library file holding the items; items with a wave carry a RIFF WAVE block.
std::vector<std::uint8_t> WriteWaveLibrary(const WaveLibraryData& library);

}  // namespace vrumbal
