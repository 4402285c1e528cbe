// The library writer: every value type of the component stream, bitmaps in their plain and
// run-length forms, and whole picture and sound library files.
#include "engine/library_writer.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "engine/wave_file.h"

namespace vrumbal {

namespace {

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutU64(std::vector<std::uint8_t>& out, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// The run-length form of 8-bit rows stored bottom row first: encoded runs only, an end of
// line after each row but the last, and an end of bitmap.
std::vector<std::uint8_t> Rle8(int width, int height, std::span<const std::uint8_t> indices) {
    std::vector<std::uint8_t> out;
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* src =
            indices.data() + static_cast<std::size_t>(height - 1 - row) * width;
        int x = 0;
        while (x < width) {
            int run = 1;
            while (x + run < width && run < 255 && src[x + run] == src[x]) ++run;
            out.push_back(static_cast<std::uint8_t>(run));
            out.push_back(src[x]);
            x += run;
        }
        if (row + 1 < height) {
            out.push_back(0);
            out.push_back(0);
        }
    }
    out.push_back(0);
    out.push_back(1);
    return out;
}

constexpr const char* kPictureRoot = "TPictureCollectionComponent";
constexpr const char* kWaveRoot = "TWaveCollectionComponent";

}  // namespace

void ComponentStreamWriter::ResourceHeader(std::string_view name) {
    Byte(0xFF);
    U16(10);
    Raw({reinterpret_cast<const std::uint8_t*>(name.data()), name.size()});
    Byte(0);
    U16(0x1030);
    sizeField_ = bytes_.size();
    U32(0);
}

void ComponentStreamWriter::Signature() {
    Raw({reinterpret_cast<const std::uint8_t*>("TPF0"), 4});
}

void ComponentStreamWriter::RootHeader(std::string_view className, std::string_view name,
                                       std::optional<std::uint8_t> prefix,
                                       std::optional<std::int32_t> childPos) {
    if (prefix) {
        Byte(*prefix);
        if (childPos) Integer(*childPos);
    }
    ShortString(className);
    ShortString(name);
}

void ComponentStreamWriter::U16(std::uint16_t value) {
    PutU16(bytes_, value);
}

void ComponentStreamWriter::U32(std::uint32_t value) {
    PutU32(bytes_, value);
}

void ComponentStreamWriter::Raw(std::span<const std::uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

void ComponentStreamWriter::ShortString(std::string_view text) {
    const std::size_t n = std::min<std::size_t>(text.size(), 255);
    Byte(static_cast<std::uint8_t>(n));
    Raw({reinterpret_cast<const std::uint8_t*>(text.data()), n});
}

void ComponentStreamWriter::Integer(std::int32_t value) {
    if (value >= -128 && value <= 127) {
        Int8(static_cast<std::int8_t>(value));
    } else if (value >= -32768 && value <= 32767) {
        Int16(static_cast<std::int16_t>(value));
    } else {
        Int32(value);
    }
}

void ComponentStreamWriter::Int8(std::int8_t value) {
    Byte(0x02);
    Byte(static_cast<std::uint8_t>(value));
}

void ComponentStreamWriter::Int16(std::int16_t value) {
    Byte(0x03);
    U16(static_cast<std::uint16_t>(value));
}

void ComponentStreamWriter::Int32(std::int32_t value) {
    Byte(0x04);
    U32(static_cast<std::uint32_t>(value));
}

void ComponentStreamWriter::Int64(std::int64_t value) {
    Byte(0x13);
    PutU64(bytes_, static_cast<std::uint64_t>(value));
}

void ComponentStreamWriter::Extended(const std::array<std::uint8_t, 10>& raw) {
    Byte(0x05);
    Raw(raw);
}

void ComponentStreamWriter::Single(float value) {
    Byte(0x0F);
    U32(std::bit_cast<std::uint32_t>(value));
}

void ComponentStreamWriter::Currency(std::int64_t value) {
    Byte(0x10);
    PutU64(bytes_, static_cast<std::uint64_t>(value));
}

void ComponentStreamWriter::Date(double value) {
    Byte(0x11);
    PutU64(bytes_, std::bit_cast<std::uint64_t>(value));
}

void ComponentStreamWriter::String(std::string_view text) {
    if (text.size() > 255) {
        LongString(text);
        return;
    }
    Byte(0x06);
    ShortString(text);
}

void ComponentStreamWriter::LongString(std::string_view text) {
    Byte(0x0C);
    U32(static_cast<std::uint32_t>(text.size()));
    Raw({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

void ComponentStreamWriter::WideString(std::u16string_view text) {
    Byte(0x12);
    U32(static_cast<std::uint32_t>(text.size()));
    for (char16_t unit : text) U16(static_cast<std::uint16_t>(unit));
}

void ComponentStreamWriter::Utf8String(std::string_view text) {
    Byte(0x14);
    U32(static_cast<std::uint32_t>(text.size()));
    Raw({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

void ComponentStreamWriter::Ident(std::string_view text) {
    Byte(0x07);
    ShortString(text);
}

void ComponentStreamWriter::Boolean(bool value) {
    Byte(value ? 0x09 : 0x08);
}

void ComponentStreamWriter::Nil() {
    Byte(0x0D);
}

void ComponentStreamWriter::Binary(std::span<const std::uint8_t> bytes) {
    Byte(0x0A);
    U32(static_cast<std::uint32_t>(bytes.size()));
    Raw(bytes);
}

void ComponentStreamWriter::Set(const std::vector<std::string>& names) {
    Byte(0x0B);
    for (const auto& name : names) ShortString(name);
    Byte(0);
}

void ComponentStreamWriter::ListBegin() {
    Byte(0x01);
}

void ComponentStreamWriter::End() {
    Byte(0x00);
}

void ComponentStreamWriter::CollectionBegin() {
    Byte(0x0E);
}

void ComponentStreamWriter::ItemBegin(std::optional<std::int32_t> order) {
    if (order) Integer(*order);
    ListBegin();
}

std::vector<std::uint8_t> ComponentStreamWriter::Finish() const {
    std::vector<std::uint8_t> out = bytes_;
    if (sizeField_) {
        const std::uint32_t size = static_cast<std::uint32_t>(out.size() - *sizeField_ - 4);
        for (int i = 0; i < 4; ++i)
            out[*sizeField_ + i] = static_cast<std::uint8_t>(size >> (8 * i));
    }
    return out;
}

std::vector<std::uint8_t> PictureBlock(std::string_view className,
                                       std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> out(1 + className.size() + data.size());
    out[0] = static_cast<std::uint8_t>(className.size());
    std::copy(className.begin(), className.end(), out.begin() + 1);
    std::copy(data.begin(), data.end(), out.begin() + 1 + static_cast<std::ptrdiff_t>(className.size()));
    return out;
}

std::vector<std::uint8_t> EncodeDib(const DibParts& parts) {
    std::vector<std::uint8_t> out;
    PutU32(out, parts.headerSize);
    const bool core = parts.headerSize == 12;
    if (core) {
        PutU16(out, static_cast<std::uint16_t>(parts.width));
        PutU16(out, static_cast<std::uint16_t>(parts.height));
        PutU16(out, 1);
        PutU16(out, parts.bitCount);
    } else {
        PutU32(out, static_cast<std::uint32_t>(parts.width));
        PutU32(out, static_cast<std::uint32_t>(parts.height));
        PutU16(out, 1);
        PutU16(out, parts.bitCount);
        PutU32(out, parts.compression);
        PutU32(out, parts.imageSize.value_or(static_cast<std::uint32_t>(parts.pixels.size())));
        PutU32(out, 2835);  // 72 dots per inch
        PutU32(out, 2835);
        PutU32(out, parts.colorsUsed);
        PutU32(out, 0);
    }
    for (std::uint32_t mask : parts.masks) PutU32(out, mask);
    for (std::uint32_t color : parts.palette) {
        out.push_back(static_cast<std::uint8_t>(color));
        out.push_back(static_cast<std::uint8_t>(color >> 8));
        out.push_back(static_cast<std::uint8_t>(color >> 16));
        if (!core) out.push_back(0);
    }
    out.insert(out.end(), parts.pixels.begin(), parts.pixels.end());
    return out;
}

std::vector<std::uint8_t> EncodeDib24(const Picture& picture) {
    DibParts parts;
    parts.width = picture.width;
    parts.height = picture.height;
    parts.bitCount = 24;
    const std::size_t rowBytes = (static_cast<std::size_t>(picture.width) * 24 + 31) / 32 * 4;
    parts.pixels.assign(rowBytes * picture.height, 0);
    for (int row = 0; row < picture.height; ++row) {
        std::uint8_t* dst = parts.pixels.data() + rowBytes * row;
        const int y = picture.height - 1 - row;
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t c = picture.At(x, y);
            dst[3 * x] = static_cast<std::uint8_t>(c);
            dst[3 * x + 1] = static_cast<std::uint8_t>(c >> 8);
            dst[3 * x + 2] = static_cast<std::uint8_t>(c >> 16);
        }
    }
    return EncodeDib(parts);
}

std::vector<std::uint8_t> EncodeDib8(int width, int height, std::span<const std::uint8_t> indices,
                                     std::span<const std::uint32_t> palette, bool rle8) {
    DibParts parts;
    parts.width = width;
    parts.height = height;
    parts.bitCount = 8;
    parts.colorsUsed = static_cast<std::uint32_t>(palette.size());
    parts.palette.assign(palette.begin(), palette.end());
    if (rle8) {
        parts.compression = 1;
        parts.pixels = Rle8(width, height, indices);
    } else {
        const std::size_t rowBytes = (static_cast<std::size_t>(width) + 3) / 4 * 4;
        parts.pixels.assign(rowBytes * height, 0);
        for (int row = 0; row < height; ++row) {
            const std::uint8_t* src =
                indices.data() + static_cast<std::size_t>(height - 1 - row) * width;
            std::memcpy(parts.pixels.data() + rowBytes * row, src, width);
        }
    }
    return EncodeDib(parts);
}

std::vector<std::uint8_t> WritePictureLibrary(const PictureLibraryData& library) {
    ComponentStreamWriter w;
    w.ResourceHeader("TPICTURECOLLECTIONCOMPONENT");
    w.Signature();
    w.RootHeader(kPictureRoot, "PictureLibrary");
    w.Property("List.ColorTable");
    w.Binary(library.colorTable);
    w.Property("List");
    w.CollectionBegin();
    for (const PictureItemData& item : library.items) {
        w.ItemBegin();
        w.Property("Name");
        w.String(item.name);
        w.Property("PatternHeight");
        w.Integer(item.patternHeight);
        w.Property("PatternWidth");
        w.Integer(item.patternWidth);
        if (!item.picture.Empty()) {
            w.Property("Picture.Data");
            w.Binary(PictureBlock("TDIB", EncodeDib24(item.picture)));
        }
        if (item.skipHeight != 0) {
            w.Property("SkipHeight");
            w.Integer(item.skipHeight);
        }
        if (item.skipWidth != 0) {
            w.Property("SkipWidth");
            w.Integer(item.skipWidth);
        }
        w.Property("SystemMemory");
        w.Boolean(item.systemMemory);
        w.Property("Transparent");
        w.Boolean(item.transparent);
        w.Property("TransparentColor");
        w.Int32(static_cast<std::int32_t>(item.transparentColor));
        w.End();
    }
    w.End();  // the collection
    w.End();  // the root's properties
    w.End();  // the root's children
    return w.Finish();
}

std::vector<std::uint8_t> WriteWaveLibrary(const WaveLibraryData& library) {
    ComponentStreamWriter w;
    w.ResourceHeader("TWAVECOLLECTIONCOMPONENT");
    w.Signature();
    w.RootHeader(kWaveRoot, "WaveLibrary");
    w.Property("List");
    w.CollectionBegin();
    for (const WaveItemData& item : library.items) {
        w.ItemBegin();
        w.Property("Name");
        w.String(item.name);
        w.Property("Looped");
        w.Boolean(item.looped);
        w.Property("MaxPlayingCount");
        w.Integer(item.maxPlayingCount);
        if (item.hasWave) {
            w.Property("Wave.WAVE");
            w.Binary(WriteWave(item.format, item.samples));
        }
        w.End();
    }
    w.End();
    w.End();
    w.End();
    return w.Finish();
}

}  // namespace vrumbal
