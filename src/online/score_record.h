// One result on its way to the world table, and its record text in the server's letters and back.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vrumbal {

// One result on its way to the world table. Texts are code page 1251 bytes, as typed.
struct ScoreRecord {
    std::string name;        // the player's name from the name entry
    std::int32_t score = 0;  // points of the game
    std::string country;     // the country from the options
};

// The record text "type=0|name=..|score=..|key=..|p=|add=..|z=" padded with "0" to a
// multiple of five bytes.
std::string ScoreRecordText(const ScoreRecord& record);

// Each byte as eight "0"/"1" characters, most significant bit first.
std::string BinaryDigits(std::string_view text);

// Groups of five digits (zero-filled in front to a multiple of five) as ScoreAlphabet
// characters; any digit other than '0' counts as 1.
std::string FiveBitText(std::string_view digits);

// The record text in the server's letters: FiveBitText(BinaryDigits(record)).
std::string EncodeRecord(std::string_view record);

// The bytes behind an encoded text; nothing unless it is whole bytes (a multiple of eight
// characters, none of them empty) of ScoreAlphabet characters only.
std::optional<std::string> DecodeFiveBitText(std::string_view code);

// The result in a record text; nothing unless every piece is there in order with the record
// key, a whole non-negative score without padding, a name of printable bytes within its
// length limit, a country of printable bytes (cut to its limit), and exactly the "0" padding
// the game appends.
std::optional<ScoreRecord> ParseRecordText(std::string_view record);

// The result in an encoded text as the game sends it; nothing when it is malformed.
std::optional<ScoreRecord> DecodeRecord(std::string_view code);

}  // namespace vrumbal
