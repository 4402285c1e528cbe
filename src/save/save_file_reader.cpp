// The save file reader's steps over lines, blanks and whole numbers.
#include "save/save_file_reader.h"

#include <limits>
#include <utility>

namespace vrumbal {

namespace {

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Blanks and line ends that a number read steps over before the number.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

SaveFileReader::SaveFileReader(std::string bytes) : bytes_(std::move(bytes)) {}

void SaveFileReader::SkipRestOfLine() {
    while (pos_ < bytes_.size() && !IsLineEnd(bytes_[pos_])) ++pos_;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\r') ++pos_;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
}

std::string SaveFileReader::ReadLine() {
    const std::size_t start = pos_;
    while (pos_ < bytes_.size() && !IsLineEnd(bytes_[pos_])) ++pos_;
    std::string line = bytes_.substr(start, pos_ - start);
    SkipRestOfLine();
    return line;
}

NumberRead SaveFileReader::ReadNumber() {
    while (pos_ < bytes_.size() && IsBlank(bytes_[pos_])) ++pos_;
    if (AtEnd()) return {NumberStatus::kMissing, 0};

    std::size_t p = pos_;
    bool negative = false;
    if (bytes_[p] == '+' || bytes_[p] == '-') {
        negative = bytes_[p] == '-';
        ++p;
    }
    // Accumulate as a negative magnitude so that the lowest 32-bit value still fits.
    constexpr std::int64_t kLowest = std::numeric_limits<std::int32_t>::min();
    std::int64_t magnitude = 0;
    bool anyDigit = false;
    bool overflow = false;
    for (; p < bytes_.size() && IsDigit(bytes_[p]); ++p) {
        anyDigit = true;
        if (!overflow) {
            magnitude = magnitude * 10 - (bytes_[p] - '0');
            if (magnitude < kLowest) overflow = true;
        }
    }
    pos_ = p;
    SkipRestOfLine();
    if (!anyDigit || overflow) return {NumberStatus::kUnreadable, 0};
    if (!negative && magnitude == kLowest) return {NumberStatus::kUnreadable, 0};
    return {NumberStatus::kRead, static_cast<std::int32_t>(negative ? magnitude : -magnitude)};
}

}  // namespace vrumbal
