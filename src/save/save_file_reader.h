// Reading a save file's texts and numbers line by line, whatever its line ends.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace vrumbal {

// How a number line of a save file turned out.
enum class NumberStatus : std::uint8_t {
    kRead,        // a whole number was read
    kMissing,     // the file ended first
    kUnreadable,  // the line does not start with a whole number (or it does not fit 32 bits)
};

// One number read from a save file; value is 0 unless it was read.
struct NumberRead {
    NumberStatus status = NumberStatus::kMissing;  // what was found
    std::int32_t value = 0;                        // the number, 0 when missing or unreadable
};

// Reads a save file line by line: texts are whole lines, numbers skip the blanks and line
// ends before them and the rest of their own line after them. Lines may end in CR LF, LF or
// CR; reading past the end gives empty texts and missing numbers.
class SaveFileReader final {
public:
    // Reads from a copy of the file's bytes.
    explicit SaveFileReader(std::string bytes);

    // The next whole line without its line end; empty at the end of the file.
    std::string ReadLine();
    // The next number; an unreadable line is skipped so later reads stay in step.
    NumberRead ReadNumber();
    // True when every byte has been consumed.
    bool AtEnd() const { return pos_ >= bytes_.size(); }

private:
    // Moves past the rest of the current line and its line end.
    void SkipRestOfLine();

    std::string bytes_;    // the file
    std::size_t pos_ = 0;  // next byte to read
};

}  // namespace vrumbal
