// The container of the picture and sound libraries: its value types, a checked byte cursor, and
// the reader that walks a root component's properties and collections into objects.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vrumbal {

// The type byte that starts every value of a component stream.
enum class ValueType : std::uint8_t {
    Null = 0x00,        // end of a list
    List = 0x01,        // values up to an end-of-list byte
    Int8 = 0x02,        // 1 byte, signed
    Int16 = 0x03,       // 2 bytes, signed
    Int32 = 0x04,       // 4 bytes, signed
    Extended = 0x05,    // 10-byte float
    String = 0x06,      // uint8 length, characters
    Ident = 0x07,       // uint8 length, characters
    False = 0x08,       // no payload
    True = 0x09,        // no payload
    Binary = 0x0A,      // uint32 length, bytes
    Set = 0x0B,         // short strings up to an empty one
    LString = 0x0C,     // uint32 length, characters
    Nil = 0x0D,         // no payload
    Collection = 0x0E,  // items up to an end-of-list byte
    Single = 0x0F,      // 4-byte float
    Currency = 0x10,    // 8 bytes
    Date = 0x11,        // 8-byte float
    WString = 0x12,     // uint32 count, count UTF-16 units
    Int64 = 0x13,       // 8 bytes
    Utf8String = 0x14,  // uint32 length, bytes
};

// The messages a load fails with.
inline constexpr const char* kInvalidStreamFormat = "Invalid stream format";
inline constexpr const char* kStreamReadError = "Stream read error";
inline constexpr const char* kInvalidPropertyPath = "Invalid property path";
inline constexpr const char* kInvalidPropertyValue = "Invalid property value";

// Throws LibraryError carrying the message (keeps the throwing sites short).
[[noreturn]] void ThrowLoadError(const std::string& message);
// Throws LibraryError "Property <name> does not exist".
[[noreturn]] void ThrowPropertyDoesNotExist(std::string_view name);
// True when both names are equal ignoring the case of ASCII letters.
bool SameName(std::string_view a, std::string_view b);

// A read position in a byte block; every read is checked against what remains and fails with
// "Stream read error" instead of running past the end.
class ByteCursor {
public:
    // A cursor at the start of the bytes (which must outlive it).
    explicit ByteCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    // Offset of the next byte to read.
    std::size_t Position() const { return pos_; }
    // Bytes left after the position.
    std::size_t Remaining() const { return bytes_.size() - pos_; }
    // Moves to an offset; an offset past the end leaves nothing to read.
    void Seek(std::size_t offset) { pos_ = offset < bytes_.size() ? offset : bytes_.size(); }
    // The next byte without consuming it.
    std::uint8_t PeekU8() const;
    // Reads a byte.
    std::uint8_t ReadU8();
    // Reads a little-endian uint16.
    std::uint16_t ReadU16();
    // Reads a little-endian uint32.
    std::uint32_t ReadU32();
    // Reads a little-endian int8.
    std::int8_t ReadI8() { return static_cast<std::int8_t>(ReadU8()); }
    // Reads a little-endian int16.
    std::int16_t ReadI16() { return static_cast<std::int16_t>(ReadU16()); }
    // Reads a little-endian int32.
    std::int32_t ReadI32() { return static_cast<std::int32_t>(ReadU32()); }
    // The next n bytes, consumed.
    std::span<const std::uint8_t> ReadBytes(std::size_t n);
    // Consumes n bytes.
    void Skip(std::size_t n) { ReadBytes(n); }
    // The bytes from the position to the end, consumed.
    std::span<const std::uint8_t> ReadRest() { return ReadBytes(Remaining()); }

private:
    std::span<const std::uint8_t> bytes_;  // the whole block
    std::size_t pos_ = 0;                  // next byte to read
};

class ComponentStreamReader;

// An object that a property list is read into.
class StreamObject {
public:
    virtual ~StreamObject() = default;
    // The object behind a non-final path name; throws "Property %s does not exist" for an
    // unknown name and "Invalid property path" for a property that holds no object.
    virtual StreamObject& Child(std::string_view name) = 0;
    // Reads the value of the final path name (a published property or a data block of the
    // object); throws "Property %s does not exist" when the name is neither.
    virtual void ReadProperty(std::string_view name, ComponentStreamReader& reader) = 0;
};

// A collection whose items are read from a collection value.
class StreamCollection {
public:
    virtual ~StreamCollection() = default;
    // Removes every item.
    virtual void Clear() = 0;
    // Appends a fresh item and returns it for its property list to be read into.
    virtual StreamObject& Add() = 0;
};

// What an object-valued property received.
enum class ObjectValue {
    Collection,  // a collection value, read into the given collection
    Nil,         // the reference is to be cleared
    Reference,   // a named component; these files never contain one, so it is ignored
};

// What precedes the root's property list.
struct RootHeader {
    std::optional<std::uint8_t> prefix;    // the prefix byte, when present
    std::optional<std::int32_t> childPos;  // the Integer after a prefix with bit 1 set
    std::string className;                 // the root's class name
    std::string name;                      // the root component's name
};

// Reads the container of a library file: the resource header, the signature and a root
// component with nested property lists and collections.
class ComponentStreamReader {
public:
    // A reader at the start of the bytes (which must outlive it).
    explicit ComponentStreamReader(std::span<const std::uint8_t> bytes) : cursor_(bytes) {}
    // The byte cursor.
    ByteCursor& Cursor() { return cursor_; }

    // Checks and skips the resource header ("Invalid stream format" when it is not one).
    void ReadResourceHeader();
    // Checks the "TPF0" signature.
    void ReadSignature();
    // Reads the optional prefix, class name and component name of the root.
    RootHeader ReadRootHeader();
    // Reads the root: header, properties into root, the end of its lists. Returns the header.
    RootHeader ReadRoot(StreamObject& root);

    // Reads the type byte of the next value ("Invalid property value" beyond the known types).
    ValueType ReadValueType();
    // The type of the next value without consuming it.
    ValueType PeekValueType();
    // True when the next byte ends a list (the byte is not consumed).
    bool EndOfList();
    // Consumes the byte that ends a list.
    void ReadListEnd();
    // Reads a length byte and that many characters.
    std::string ReadShortString();

    // Reads an Integer value (int8, int16 or int32).
    std::int32_t ReadInteger();
    // Reads a colour value: an Integer or a colour identifier.
    std::uint32_t ReadColor();
    // Reads a Boolean value: false / true or the identifiers "False" / "True".
    bool ReadBoolean();
    // Reads a string value (string, long string, wide or UTF-8 string) as 8-bit text.
    std::string ReadString();
    // Reads an identifier value (identifier, false, true, nil) as its text.
    std::string ReadIdent();
    // Reads a data block, which must be a binary value.
    std::span<const std::uint8_t> ReadBinary();
    // Reads the value of an object property; a collection value is read into collection,
    // which must not be null for a collection to be accepted.
    ObjectValue ReadObject(StreamCollection* collection);
    // Skips one value of any type.
    void SkipValue();

    // Reads a property list up to and including its end byte into an object.
    void ReadProperties(StreamObject& object);
    // Reads one property: its path and its value.
    void ReadPropertyEntry(StreamObject& object);
    // Reads the items of a collection value (after its type byte) into a collection.
    void ReadCollectionItems(StreamCollection& collection);

private:
    // Skips one value whose type byte has been read; depth bounds nested lists.
    void SkipValueOfType(ValueType type, int depth);
    // Reads a uint32-length block.
    std::span<const std::uint8_t> ReadLengthBlock();

    ByteCursor cursor_;  // the read position
};

// The colour value of an identifier ("clFuchsia", "clBtnFace", ...), matched ignoring case.
std::optional<std::uint32_t> ColorFromIdent(std::string_view ident);

// The root class name of a library file, or "" when the container cannot be read that far.
std::string PeekRootClassName(std::span<const std::uint8_t> bytes);

}  // namespace vrumbal
