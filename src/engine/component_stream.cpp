// The component stream reader: checked byte reads, every value type, property lists and
// collections, the skipping of what the game does not use, and the named colours.
#include "engine/component_stream.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "engine/library_error.h"
#include "platform/codepage.h"

namespace vrumbal {

namespace {

// Nested lists deeper than this are taken as damage rather than recursed into.
constexpr int kMaxSkipDepth = 64;

struct NamedColor {
    const char* name;     // identifier
    std::uint32_t value;  // 0x00BBGGRR, or 0xFF0000nn for a system colour
};

constexpr std::array<NamedColor, 52> kColorNames = {{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
    {"clScrollBar", 0xFF000000},
    {"clBackground", 0xFF000001},
    {"clActiveCaption", 0xFF000002},
    {"clInactiveCaption", 0xFF000003},
    {"clMenu", 0xFF000004},
    {"clWindow", 0xFF000005},
    {"clWindowFrame", 0xFF000006},
    {"clMenuText", 0xFF000007},
    {"clWindowText", 0xFF000008},
    {"clCaptionText", 0xFF000009},
    {"clActiveBorder", 0xFF00000A},
    {"clInactiveBorder", 0xFF00000B},
    {"clAppWorkSpace", 0xFF00000C},
    {"clHighlight", 0xFF00000D},
    {"clHighlightText", 0xFF00000E},
    {"clBtnFace", 0xFF00000F},
    {"clBtnShadow", 0xFF000010},
    {"clGrayText", 0xFF000011},
    {"clBtnText", 0xFF000012},
    {"clInactiveCaptionText", 0xFF000013},
    {"clBtnHighlight", 0xFF000014},
    {"cl3DDkShadow", 0xFF000015},
    {"cl3DLight", 0xFF000016},
    {"clInfoText", 0xFF000017},
    {"clInfoBk", 0xFF000018},
    {"clHotLight", 0xFF00001A},
    {"clGradientActiveCaption", 0xFF00001B},
    {"clGradientInactiveCaption", 0xFF00001C},
    {"clMenuHighlight", 0xFF00001D},
    {"clMenuBar", 0xFF00001E},
}};

// Appends a code point as UTF-8.
void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// UTF-16 little-endian units to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::span<const std::uint8_t> bytes) {
    std::string out;
    const std::size_t count = bytes.size() / 2;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t u = bytes[2 * i] | (bytes[2 * i + 1] << 8);
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < count) {
            const std::uint32_t low = bytes[2 * i + 2] | (bytes[2 * i + 3] << 8);
            if (low >= 0xDC00 && low < 0xE000) {
                u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            } else {
                u = 0xFFFD;
            }
        } else if (u >= 0xD800 && u < 0xE000) {
            u = 0xFFFD;
        }
        AppendUtf8(out, u);
    }
    return out;
}

std::string AsText(std::span<const std::uint8_t> bytes) {
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

}  // namespace

void ThrowLoadError(const std::string& message) {
    throw LibraryError(message);
}

void ThrowPropertyDoesNotExist(std::string_view name) {
    // A zero byte in a damaged name would cut the message short.
    std::string shown(name);
    std::replace(shown.begin(), shown.end(), '\0', '?');
    throw LibraryError("Property " + shown + " does not exist");
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::optional<std::uint32_t> ColorFromIdent(std::string_view ident) {
    for (const auto& entry : kColorNames) {
        if (SameName(ident, entry.name)) return entry.value;
    }
    return std::nullopt;
}

std::uint8_t ByteCursor::PeekU8() const {
    if (Remaining() < 1) ThrowLoadError(kStreamReadError);
    return bytes_[pos_];
}

std::uint8_t ByteCursor::ReadU8() {
    return ReadBytes(1)[0];
}

std::uint16_t ByteCursor::ReadU16() {
    const auto b = ReadBytes(2);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t ByteCursor::ReadU32() {
    const auto b = ReadBytes(4);
    return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
           (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::span<const std::uint8_t> ByteCursor::ReadBytes(std::size_t n) {
    if (n > Remaining()) ThrowLoadError(kStreamReadError);
    const auto out = bytes_.subspan(pos_, n);
    pos_ += n;
    return out;
}

void ComponentStreamReader::ReadResourceHeader() {
    // The header is looked at through a zero-filled window of 80 bytes of which at most 79
    // come from the file, so the name always ends within the window.
    std::array<std::uint8_t, 80> window{};
    const std::size_t n = std::min<std::size_t>(79, cursor_.Remaining());
    const auto head = cursor_.ReadBytes(n);
    std::copy(head.begin(), head.end(), window.begin());
    if (window[0] != 0xFF || window[1] != 10 || window[2] != 0) {
        ThrowLoadError(kInvalidStreamFormat);
    }
    const std::size_t nameLength = std::strlen(reinterpret_cast<const char*>(window.data() + 3));
    cursor_.Seek(3 + nameLength + 7);
}

void ComponentStreamReader::ReadSignature() {
    const auto sig = cursor_.ReadBytes(4);
    if (std::memcmp(sig.data(), "TPF0", 4) != 0) ThrowLoadError(kInvalidStreamFormat);
}

RootHeader ComponentStreamReader::ReadRootHeader() {
    RootHeader header;
    const std::uint8_t first = cursor_.PeekU8();
    if ((first & 0xF0) == 0xF0) {
        header.prefix = cursor_.ReadU8();
        if (first & 0x02) header.childPos = ReadInteger();
    }
    header.className = ReadShortString();
    header.name = ReadShortString();
    return header;
}

RootHeader ComponentStreamReader::ReadRoot(StreamObject& root) {
    ReadResourceHeader();
    ReadSignature();
    RootHeader header = ReadRootHeader();
    ReadProperties(root);
    // The root of a library owns no child components.
    if (cursor_.ReadU8() != 0) ThrowLoadError(kInvalidStreamFormat);
    return header;
}

ValueType ComponentStreamReader::ReadValueType() {
    const std::uint8_t b = cursor_.ReadU8();
    if (b > static_cast<std::uint8_t>(ValueType::Utf8String)) ThrowLoadError(kInvalidPropertyValue);
    return static_cast<ValueType>(b);
}

ValueType ComponentStreamReader::PeekValueType() {
    const std::uint8_t b = cursor_.PeekU8();
    if (b > static_cast<std::uint8_t>(ValueType::Utf8String)) ThrowLoadError(kInvalidPropertyValue);
    return static_cast<ValueType>(b);
}

bool ComponentStreamReader::EndOfList() {
    return cursor_.PeekU8() == 0;
}

void ComponentStreamReader::ReadListEnd() {
    if (ReadValueType() != ValueType::Null) ThrowLoadError(kInvalidPropertyValue);
}

std::string ComponentStreamReader::ReadShortString() {
    const std::uint8_t n = cursor_.ReadU8();
    return AsText(cursor_.ReadBytes(n));
}

std::span<const std::uint8_t> ComponentStreamReader::ReadLengthBlock() {
    const std::uint32_t n = cursor_.ReadU32();
    return cursor_.ReadBytes(n);
}

std::int32_t ComponentStreamReader::ReadInteger() {
    switch (ReadValueType()) {
        case ValueType::Int8:
            return cursor_.ReadI8();
        case ValueType::Int16:
            return cursor_.ReadI16();
        case ValueType::Int32:
            return cursor_.ReadI32();
        default:
            ThrowLoadError(kInvalidPropertyValue);
    }
}

std::uint32_t ComponentStreamReader::ReadColor() {
    if (PeekValueType() == ValueType::Ident) {
        cursor_.ReadU8();
        const auto color = ColorFromIdent(ReadShortString());
        if (!color) ThrowLoadError(kInvalidPropertyValue);
        return *color;
    }
    return static_cast<std::uint32_t>(ReadInteger());
}

bool ComponentStreamReader::ReadBoolean() {
    const std::string ident = ReadIdent();
    if (SameName(ident, "False")) return false;
    if (SameName(ident, "True")) return true;
    ThrowLoadError(kInvalidPropertyValue);
}

std::string ComponentStreamReader::ReadString() {
    switch (ReadValueType()) {
        case ValueType::String:
            return ReadShortString();
        case ValueType::LString:
            return AsText(ReadLengthBlock());
        case ValueType::WString: {
            const std::uint64_t units = cursor_.ReadU32();
            if (units * 2 > cursor_.Remaining()) ThrowLoadError(kStreamReadError);
            return Utf8ToCp1251(Utf16ToUtf8(cursor_.ReadBytes(units * 2)));
        }
        case ValueType::Utf8String:
            return Utf8ToCp1251(AsText(ReadLengthBlock()));
        default:
            ThrowLoadError(kInvalidPropertyValue);
    }
}

std::string ComponentStreamReader::ReadIdent() {
    switch (ReadValueType()) {
        case ValueType::Ident:
            return ReadShortString();
        case ValueType::False:
            return "False";
        case ValueType::True:
            return "True";
        case ValueType::Nil:
            return "nil";
        default:
            ThrowLoadError(kInvalidPropertyValue);
    }
}

std::span<const std::uint8_t> ComponentStreamReader::ReadBinary() {
    if (ReadValueType() != ValueType::Binary) ThrowLoadError(kInvalidPropertyValue);
    return ReadLengthBlock();
}

ObjectValue ComponentStreamReader::ReadObject(StreamCollection* collection) {
    switch (PeekValueType()) {
        case ValueType::Nil:
            cursor_.ReadU8();
            return ObjectValue::Nil;
        case ValueType::Collection:
            if (!collection) ThrowLoadError(kInvalidPropertyValue);
            cursor_.ReadU8();
            ReadCollectionItems(*collection);
            return ObjectValue::Collection;
        default:
            ReadIdent();
            return ObjectValue::Reference;
    }
}

void ComponentStreamReader::SkipValue() {
    SkipValueOfType(ReadValueType(), 0);
}

void ComponentStreamReader::SkipValueOfType(ValueType type, int depth) {
    if (depth > kMaxSkipDepth) ThrowLoadError(kInvalidPropertyValue);
    switch (type) {
        case ValueType::Null:
        case ValueType::False:
        case ValueType::True:
        case ValueType::Nil:
            return;
        case ValueType::List:
            while (!EndOfList()) SkipValueOfType(ReadValueType(), depth + 1);
            ReadListEnd();
            return;
        case ValueType::Int8:
            cursor_.Skip(1);
            return;
        case ValueType::Int16:
            cursor_.Skip(2);
            return;
        case ValueType::Int32:
        case ValueType::Single:
            cursor_.Skip(4);
            return;
        case ValueType::Extended:
            cursor_.Skip(10);
            return;
        case ValueType::Currency:
        case ValueType::Date:
        case ValueType::Int64:
            cursor_.Skip(8);
            return;
        case ValueType::String:
        case ValueType::Ident:
            ReadShortString();
            return;
        case ValueType::Binary:
        case ValueType::LString:
        case ValueType::Utf8String:
            ReadLengthBlock();
            return;
        case ValueType::WString: {
            const std::uint64_t units = cursor_.ReadU32();
            if (units * 2 > cursor_.Remaining()) ThrowLoadError(kStreamReadError);
            cursor_.Skip(units * 2);
            return;
        }
        case ValueType::Set:
            while (!ReadShortString().empty()) {
            }
            return;
        case ValueType::Collection:
            while (!EndOfList()) {
                const ValueType next = PeekValueType();
                if (next == ValueType::Int8 || next == ValueType::Int16 ||
                    next == ValueType::Int32) {
                    ReadInteger();
                }
                if (ReadValueType() != ValueType::List) ThrowLoadError(kInvalidPropertyValue);
                while (!EndOfList()) {
                    ReadShortString();
                    SkipValueOfType(ReadValueType(), depth + 1);
                }
                ReadListEnd();
            }
            ReadListEnd();
            return;
    }
}

void ComponentStreamReader::ReadProperties(StreamObject& object) {
    while (!EndOfList()) ReadPropertyEntry(object);
    ReadListEnd();
}

void ComponentStreamReader::ReadPropertyEntry(StreamObject& object) {
    const std::string path = ReadShortString();
    StreamObject* target = &object;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = path.find('.', start);
        const std::string_view name =
            std::string_view(path).substr(start, dot == std::string::npos ? dot : dot - start);
        if (name.empty()) ThrowLoadError(kInvalidPropertyPath);
        if (dot == std::string::npos) {
            target->ReadProperty(name, *this);
            return;
        }
        target = &target->Child(name);
        start = dot + 1;
    }
}

void ComponentStreamReader::ReadCollectionItems(StreamCollection& collection) {
    if (!EndOfList()) collection.Clear();
    while (!EndOfList()) {
        const ValueType next = PeekValueType();
        if (next == ValueType::Int8 || next == ValueType::Int16 || next == ValueType::Int32) {
            ReadInteger();  // the item's order number, which plays no part
        }
        // An item counts as read once started, so a damaged item still shows up afterwards.
        StreamObject& item = collection.Add();
        if (ReadValueType() != ValueType::List) ThrowLoadError(kInvalidPropertyValue);
        ReadProperties(item);
    }
    ReadListEnd();
}

std::string PeekRootClassName(std::span<const std::uint8_t> bytes) {
    try {
        ComponentStreamReader reader(bytes);
        reader.ReadResourceHeader();
        reader.ReadSignature();
        return reader.ReadRootHeader().className;
    } catch (const LibraryError&) {
        return "";
    }
}

}  // namespace vrumbal
