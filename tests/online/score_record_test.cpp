#include "online/score_record.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "online/score_protocol.h"
#include "platform/codepage.h"

namespace vrumbal {
namespace {

// The alphabet character of a five-bit value.
std::string Letters(std::initializer_list<int> values) {
    std::string text;
    for (int v : values) text += ScoreAlphabet[static_cast<std::size_t>(v)];
    return text;
}

std::string Key() {
    return std::string(1, kRecordKey);
}

TEST(ScoreAlphabetTest, HasTwentyThreeCapitalsAndNineDigitsOnce) {
    int letters = 0, digits = 0;
    for (std::size_t i = 0; i < ScoreAlphabet.size(); ++i) {
        const char c = ScoreAlphabet[i];
        letters += c >= 'A' && c <= 'Z';
        digits += c >= '0' && c <= '9';
        EXPECT_EQ(ScoreAlphabet.find(c), i) << "repeated " << c;
    }
    EXPECT_EQ(letters, 23);
    EXPECT_EQ(digits, 9);
    EXPECT_TRUE(kRecordKey >= 'A' && kRecordKey <= 'Z');
}

TEST(ScoreRecordTextTest, PadsThePiecesToWholeBlocksOfFive) {
    struct Case {
        std::string name;
        std::int32_t score;
        std::string country;
        std::string expected;
    };
    const std::vector<Case> cases = {
        // 49 bytes of pieces: one "0".
        {"Ann", 120, "_______", "type=0|name=Ann|score=120|key=" + Key() + "|p=|add=_______|z=0"},
        // 50 bytes: nothing appended.
        {"Anna", 120, "_______", "type=0|name=Anna|score=120|key=" + Key() + "|p=|add=_______|z="},
        // 51, 52, 53 bytes: four, three, two.
        {"Annab", 120, "_______",
         "type=0|name=Annab|score=120|key=" + Key() + "|p=|add=_______|z=0000"},
        {"Annabe", 120, "_______",
         "type=0|name=Annabe|score=120|key=" + Key() + "|p=|add=_______|z=000"},
        {"Ann", 1200000, "_______",
         "type=0|name=Ann|score=1200000|key=" + Key() + "|p=|add=_______|z=00"},
        // An empty name leaves nothing between its label and the score.
        {"", 0, "", "type=0|name=|score=0|key=" + Key() + "|p=|add=|z=000"},
    };
    for (const Case& c : cases) {
        const std::string text = ScoreRecordText({c.name, c.score, c.country});
        EXPECT_EQ(text, c.expected) << c.name;
        EXPECT_EQ(text.size() % 5, 0u) << c.name;
    }
    EXPECT_EQ(ScoreRecordText({"Ann", 120, "_______"}).size(), 50u);
}

TEST(BinaryDigitsTest, EightDigitsPerByteMostSignificantFirst) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"t", "01110100"},
        {"\xC0", "11000000"},  // capital Cyrillic A
        {std::string(1, '\0'), "00000000"},
        {"\xFF\x01", "1111111100000001"},
        {"type", "01110100011110010111000001100101"},
    };
    for (const auto& [text, digits] : cases) EXPECT_EQ(BinaryDigits(text), digits);
}

TEST(FiveBitTextTest, GroupsOfFiveBecomeAlphabetCharacters) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"00000", Letters({0})},
        {"11111", Letters({31})},
        {"1", Letters({1})},           // four zeros in front
        {"111111", Letters({1, 31})},  // 0000 1 | 11111
        {"x0000", Letters({16})},      // any non-zero character is a one
        {"0111001111", Letters({14, 15})},
    };
    for (const auto& [digits, text] : cases) EXPECT_EQ(FiveBitText(digits), text) << digits;
}

TEST(EncodeRecordTest, TypeStartsWithGroupsFourteenSeventeenTwentyEightTwentyThree) {
    const std::string code = EncodeRecord(ScoreRecordText({"Ann", 120, "_______"}));
    EXPECT_EQ(code.substr(0, 4), Letters({14, 17, 28, 23}));
    EXPECT_EQ(code.size(), 80u);  // 8 x 50 / 5
    for (char c : code) EXPECT_NE(ScoreAlphabet.find(c), std::string_view::npos) << c;
}

TEST(EncodeRecordTest, CyrillicNamesTravelAsTheirSingleByteCodes) {
    const std::string name = Utf8ToCp1251("АБя");
    ASSERT_EQ(name, "\xC0\xC1\xFF");
    const std::string text = ScoreRecordText({name, 7, Utf8ToCp1251("Россия")});
    // "type=0|name=" is twelve bytes: the name's bits start at digit 96.
    EXPECT_EQ(BinaryDigits(text).substr(96, 24), "110000001100000111111111");
    const auto decoded = DecodeRecord(EncodeRecord(text));
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->name, name);
    EXPECT_EQ(Cp1251ToUtf8(decoded->country), "Россия");
}

TEST(DecodeFiveBitTextTest, RefusesWhatNoByteStringEncodesTo) {
    const std::string good = EncodeRecord("type=0|nam");
    ASSERT_EQ(DecodeFiveBitText(good), "type=0|nam");
    std::string foreign = good;
    foreign[3] = '0';  // zero is not in the alphabet
    std::string lower = good;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::vector<std::string> bad = {
        "",
        good.substr(0, 7),
        good + "H",
        foreign,
        good.substr(0, 8) + "I" + good.substr(9),
        std::string(520, ScoreAlphabet[0]),
        std::string("\0\0\0\0\0\0\0\0", 8),
    };
    EXPECT_FALSE(DecodeFiveBitText(lower));
    for (const std::string& code : bad) EXPECT_FALSE(DecodeFiveBitText(code)) << code;
}

// The record text with the padding the game would append.
std::string Padded(std::string text) {
    while (text.size() % 5 != 0) text += '0';
    return text;
}

TEST(ParseRecordTextTest, AcceptsOnlyTheGamesOwnStructure) {
    const std::string k = Key();
    const std::string other(1, kRecordKey == 'Q' ? 'R' : 'Q');
    struct Case {
        std::string text;
        bool accepted;
    };
    const std::vector<Case> cases = {
        {Padded("type=0|name=Ann|score=120|key=" + k + "|p=|add=_______|z="), true},
        {Padded("type=0|name=|score=0|key=" + k + "|p=|add=|z="), true},
        {Padded("type=0|name=Ann|score=2147483647|key=" + k + "|p=|add=RU|z="), true},
        {Padded("type=0|name=" + std::string(32, 'A') + "|score=1|key=" + k + "|p=|add=|z="), true},
        {Padded("type=0|name=\xC0|score=1|key=" + k + "|p=|add=\xD0\xEE\xF1\xF1\xE8\xFF|z="), true},
        // Ё and ё, which code page 1251 keeps apart from the other letters.
        {Padded("type=0|name=\xA8\xE6\xE8\xEA|score=1|key=" + k + "|p=|add=\xB8|z="), true},
        // The wrong key, or none, or two.
        {Padded("type=0|name=Ann|score=120|key=" + other + "|p=|add=_______|z="), false},
        {Padded("type=0|name=Ann|score=120|key=|p=|add=_______|z="), false},
        {Padded("type=0|name=Ann|score=120|key=" + k + k + "|p=|add=_______|z="), false},
        // Pieces missing, out of order or changed.
        {Padded("type=1|name=Ann|score=120|key=" + k + "|p=|add=_______|z="), false},
        {Padded("type=0|name=Ann|score=120|key=" + k + "|add=_______|z="), false},
        {Padded("type=0|score=120|name=Ann|key=" + k + "|p=|add=_______|z="), false},
        {Padded("type=0|name=Ann|score=120|key=" + k + "|p=x|add=_______|z="), false},
        {Padded("type=0|name=Ann|score=120|key=" + k + "|p=|add=_______"), false},
        {Padded("xtype=0|name=Ann|score=120|key=" + k + "|p=|add=_______|z="), false},
        // Scores that are not whole unpadded numbers within range.
        {Padded("type=0|name=Ann|score=|key=" + k + "|p=|add=_______|z="), false},
        {Padded("type=0|name=Ann|score=12a|key=" + k + "|p=|add=_______|z="), false},
        {Padded("type=0|name=Ann|score=-12|key=" + k + "|p=|add=_______|z="), false},
        {Padded("type=0|name=Ann|score=0120|key=" + k + "|p=|add=_______|z="), false},
        {Padded("type=0|name=Ann|score=2147483648|key=" + k + "|p=|add=RU|z="), false},
        {Padded("type=0|name=Ann|score=1.5|key=" + k + "|p=|add=_______|z="), false},
        // Padding missing, too long, or not zeros.
        {"type=0|name=Ann|score=120|key=" + k + "|p=|add=_______|z=", false},
        {"type=0|name=Ann|score=120|key=" + k + "|p=|add=_______|z=000000", false},
        {"type=0|name=Ann|score=120|key=" + k + "|p=|add=_______|z=1", false},
        {"type=0|name=Anna|score=120|key=" + k + "|p=|add=_______|z=00000", false},
        // Names too long, names and countries holding control bytes or a separator (a country
        // too long is cut instead: see below).
        {Padded("type=0|name=" + std::string(33, 'A') + "|score=1|key=" + k + "|p=|add=|z="),
         false},
        {Padded("type=0|name=|score=1|key=" + k + "|p=|add=" + std::string(33, 'B') + "|z="), true},
        {Padded("type=0|name=A\nB|score=1|key=" + k + "|p=|add=|z="), false},
        {Padded("type=0|name=A\x7F|score=1|key=" + k + "|p=|add=|z="), false},
        {Padded("type=0|name=|score=1|key=" + k + "|p=|add=R|U|z="), false},
        {Padded(std::string("type=0|name=A\0|score=1|key=", 28) + k + "|p=|add=|z="), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseRecordText(c.text).has_value(), c.accepted) << c.text;
        if (c.text.size() % 5 == 0) {
            EXPECT_EQ(DecodeRecord(EncodeRecord(c.text)).has_value(), c.accepted) << c.text;
        }
    }
    // A country past the limit reaches the table cut to it, so its player is not turned away.
    for (std::size_t length : {kMaxCountryBytes, kMaxCountryBytes + 1, std::size_t{200}}) {
        const auto record = ParseRecordText(Padded("type=0|name=Ann|score=1|key=" + k +
                                                   "|p=|add=" + std::string(length, 'C') + "|z="));
        ASSERT_TRUE(record.has_value()) << length;
        EXPECT_EQ(record->country, std::string(kMaxCountryBytes, 'C'));
    }
}

// Random results of the kind the game can send survive the trip through the letters.
TEST(ScoreRecordRoundTripTest, RandomRecordsDecodeToThemselves) {
    std::mt19937 random(20240531);
    std::string nameBytes = " ";
    for (int c = '0'; c <= '9'; ++c) nameBytes += static_cast<char>(c);
    for (int c = 'A'; c <= 'Z'; ++c) nameBytes += static_cast<char>(c);
    for (int c = 'a'; c <= 'z'; ++c) nameBytes += static_cast<char>(c);
    for (int c = 192; c <= 255; ++c) nameBytes += static_cast<char>(c);
    std::string countryBytes;
    for (int c = 0x20; c <= 0xFF; ++c) {
        if (c != '|' && c != 0x7F && c != 0x98) countryBytes += static_cast<char>(c);
    }
    auto text = [&](const std::string& from, int maxLength) {
        std::string out(std::uniform_int_distribution<int>(0, maxLength)(random), ' ');
        for (char& c : out) {
            c = from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
        }
        return out;
    };
    for (int i = 0; i < 2000; ++i) {
        ScoreRecord record;
        record.name = text(nameBytes, 12);
        record.score = std::uniform_int_distribution<std::int32_t>(0, INT32_MAX)(random);
        record.country = text(countryBytes, 16);
        const std::string code = EncodeRecord(ScoreRecordText(record));
        const auto back = DecodeRecord(code);
        ASSERT_TRUE(back.has_value()) << code;
        EXPECT_EQ(back->name, record.name);
        EXPECT_EQ(back->score, record.score);
        EXPECT_EQ(back->country, record.country);
    }
    for (int i = 0; i < 500; ++i) {
        std::string bytes(5 * std::uniform_int_distribution<int>(1, 20)(random), '\0');
        for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
        EXPECT_EQ(DecodeFiveBitText(EncodeRecord(bytes)), bytes);
    }
}

}  // namespace
}  // namespace vrumbal
