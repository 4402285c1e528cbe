// The result records written out and read back: the record text, its five-bit letters, and the
// checks a decoded record must pass.
#include "online/score_record.h"

#include <array>
#include <charconv>

#include "online/score_protocol.h"

namespace vrumbal {
namespace {

constexpr std::size_t kRecordBlock = 5;  // the record is padded to whole blocks of this
constexpr std::size_t kGroupBits = 5;    // bits per alphabet character
// Longest encoded text the decoder looks at: two full-length texts and the fixed pieces fit
// well inside, and nothing a hostile query sends costs more than this.
constexpr std::size_t kMaxCodeLength = 512;

// Value of every byte in ScoreAlphabet, -1 for bytes outside it.
constexpr std::array<int, 256> AlphabetValues() {
    std::array<int, 256> values{};
    for (int& v : values) v = -1;
    for (std::size_t i = 0; i < ScoreAlphabet.size(); ++i) {
        values[static_cast<unsigned char>(ScoreAlphabet[i])] = static_cast<int>(i);
    }
    return values;
}
constexpr std::array<int, 256> kAlphabetValues = AlphabetValues();
static_assert(ScoreAlphabet.size() == 32, "five bits need 32 characters");

// Reads a record text piece by piece from the front.
class RecordReader {
public:
    explicit RecordReader(std::string_view text) : rest_(text) {}
    // Takes the fixed text if the record continues with it.
    bool Take(std::string_view fixed) {
        if (rest_.substr(0, fixed.size()) != fixed) return false;
        rest_.remove_prefix(fixed.size());
        return true;
    }
    // Takes everything up to the next separator.
    std::string_view TakeValue() {
        const std::size_t end = rest_.find('|');
        const std::string_view value = rest_.substr(0, end);
        rest_.remove_prefix(value.size());
        return value;
    }
    std::string_view Rest() const { return rest_; }

private:
    std::string_view rest_;  // the part not yet read
};

// Names and countries are printable single-byte text: no control bytes, no separator, and
// not the one byte code page 1251 leaves undefined.
bool SaneText(std::string_view text, std::size_t maxBytes) {
    if (text.size() > maxBytes) return false;
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || b == 0x98 || c == '|') return false;
    }
    return true;
}

std::optional<std::int32_t> ParseScore(std::string_view digits) {
    if (digits.empty() || (digits.size() > 1 && digits[0] == '0')) return std::nullopt;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

}  // namespace

std::string ScoreRecordText(const ScoreRecord& record) {
    std::string text = "type=0|name=" + record.name + "|score=" + std::to_string(record.score) +
                       "|key=" + kRecordKey + "|p=|add=" + record.country + "|z=";
    while (text.size() % kRecordBlock != 0) text += '0';
    return text;
}

std::string BinaryDigits(std::string_view text) {
    std::string digits;
    digits.reserve(text.size() * 8);
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        for (int bit = 7; bit >= 0; --bit) digits += ((b >> bit) & 1) ? '1' : '0';
    }
    return digits;
}

std::string FiveBitText(std::string_view digits) {
    const std::size_t fill = (kGroupBits - digits.size() % kGroupBits) % kGroupBits;
    const std::string padded = std::string(fill, '0') + std::string(digits);
    std::string text;
    text.reserve(padded.size() / kGroupBits);
    for (std::size_t i = 0; i < padded.size(); i += kGroupBits) {
        unsigned value = 0;
        for (std::size_t j = 0; j < kGroupBits; ++j) value = value * 2 + (padded[i + j] != '0');
        text += ScoreAlphabet[value];
    }
    return text;
}

std::string EncodeRecord(std::string_view record) {
    return FiveBitText(BinaryDigits(record));
}

std::optional<std::string> DecodeFiveBitText(std::string_view code) {
    // Eight characters carry exactly five bytes; any other length was not made from bytes.
    if (code.empty() || code.size() % 8 != 0 || code.size() > kMaxCodeLength) return std::nullopt;
    std::string bytes;
    bytes.reserve(code.size() * kGroupBits / 8);
    unsigned buffer = 0;
    int bits = 0;
    for (char c : code) {
        const int value = kAlphabetValues[static_cast<unsigned char>(c)];
        if (value < 0) return std::nullopt;
        buffer = (buffer << kGroupBits) | static_cast<unsigned>(value);
        bits += static_cast<int>(kGroupBits);
        if (bits >= 8) {
            bits -= 8;
            bytes += static_cast<char>((buffer >> bits) & 0xFF);
            buffer &= (1u << bits) - 1;
        }
    }
    return bytes;
}

std::optional<ScoreRecord> ParseRecordText(std::string_view record) {
    RecordReader reader(record);
    ScoreRecord result;
    if (!reader.Take("type=0|name=")) return std::nullopt;
    const std::string_view name = reader.TakeValue();
    if (!SaneText(name, kMaxNameBytes) || !reader.Take("|score=")) return std::nullopt;
    const std::optional<std::int32_t> score = ParseScore(reader.TakeValue());
    if (!score) return std::nullopt;
    const char key[] = {kRecordKey, '\0'};
    if (!reader.Take("|key=") || !reader.Take(key) || !reader.Take("|p=|add=")) {
        return std::nullopt;
    }
    const std::string_view country = reader.TakeValue();
    // A country past the limit is cut rather than refused: the player still reaches the table.
    if (!SaneText(country, std::string_view::npos) || !reader.Take("|z=")) return std::nullopt;
    // Only the padding the game appends may follow: as many "0" as fill the last block.
    const std::size_t unpadded = record.size() - reader.Rest().size();
    const std::size_t fill = (kRecordBlock - unpadded % kRecordBlock) % kRecordBlock;
    if (reader.Rest() != std::string(fill, '0')) return std::nullopt;
    result.name = std::string(name);
    result.score = *score;
    result.country = std::string(country.substr(0, kMaxCountryBytes));
    return result;
}

std::optional<ScoreRecord> DecodeRecord(std::string_view code) {
    const std::optional<std::string> text = DecodeFiveBitText(code);
    if (!text) return std::nullopt;
    return ParseRecordText(*text);
}

}  // namespace vrumbal
