#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace vrumbal {
namespace {

struct CodepageCase {
    const char* name;
    std::string cp1251;
    std::string utf8;
};

TEST(Codepage, ConvertsBothWays) {
    const CodepageCase cases[] = {
        {"ASCII", "Score 10 : 05", "Score 10 : 05"},
        {"capital A", "\xC0", "\xD0\x90"},
        {"small ya", "\xFF", "\xD1\x8F"},
        {"capital Yo", "\xA8", "\xD0\x81"},
        {"small yo", "\xB8", "\xD1\x91"},
        {"numero sign", "\xB9", "\xE2\x84\x96"},
        {"euro sign", "\x88", "\xE2\x82\xAC"},
        {"no-break space", "\xA0", "\xC2\xA0"},
        {"a word", "\xD3\xD0\xCE\xC2\xC5\xCD\xDC",
         "\xD0\xA3\xD0\xA0\xD0\x9E\xD0\x92\xD0\x95"
         "\xD0\x9D\xD0\xAC"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Cp1251ToUtf8(c.cp1251), c.utf8) << c.name;
        EXPECT_EQ(Utf8ToCp1251(c.utf8), c.cp1251) << c.name;
    }
}

TEST(Codepage, EveryByteRoundTrips) {
    for (int b = 1; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(one)), one) << b;
    }
}

TEST(Codepage, TheWholeCyrillicAlphabetIsContiguous) {
    // А..я are 0xC0..0xFF in order: U+0410..U+044F, each as its own two UTF-8 bytes.
    for (int b = 0xC0; b <= 0xFF; ++b) {
        const std::string utf8 = Cp1251ToUtf8(std::string(1, static_cast<char>(b)));
        ASSERT_EQ(utf8.size(), 2u) << b;
        const int codePoint = ((static_cast<unsigned char>(utf8[0]) & 0x1F) << 6) |
                              (static_cast<unsigned char>(utf8[1]) & 0x3F);
        EXPECT_EQ(codePoint, 0x0410 + (b - 0xC0)) << b;
    }
}

TEST(Codepage, WhatTheCodePageLacksOrWhatIsBrokenBecomesOneQuestionMark) {
    const CodepageCase cases[] = {
        {"CJK character", "a?b",
         "a\xE4\xB8\xAD"
         "b"},
        {"emoji", "?", "\xF0\x9F\x98\x80"},
        {"stray continuation byte", "?x", "\x80x"},
        {"byte that never starts a character", "?", "\xFF"},
        {"sequence cut off by the end", "a?", "a\xE2\x82"},
        {"sequence cut off by another character", "?x", "\xE2\x82x"},
        // An overlong spelling of 'A' must not pass as 'A'.
        {"overlong A", "?", "\xC1\x81"},
        {"overlong slash", "?", "\xE0\x80\xAF"},
        {"beyond the last code point", "?", "\xF4\x90\x80\x80"},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8ToCp1251(c.utf8), c.cp1251) << c.name;
}

}  // namespace
}  // namespace vrumbal
