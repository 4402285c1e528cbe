#include "save/save_file_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace vrumbal {
namespace {

struct NumberCase {
    std::string bytes;     // the file
    NumberStatus status;   // first read's outcome
    int value;             // first read's value
    std::string nextLine;  // what a following text read gives
};

class ReadNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(ReadNumberTest, ReadsAndSkipsTheRestOfItsLine) {
    const NumberCase& c = GetParam();
    SaveFileReader reader(c.bytes);
    const NumberRead n = reader.ReadNumber();
    EXPECT_EQ(n.status, c.status);
    EXPECT_EQ(n.value, c.value);
    EXPECT_EQ(reader.ReadLine(), c.nextLine);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadNumberTest,
    testing::Values(
        NumberCase{"12\r\nnext\r\n", NumberStatus::kRead, 12, "next"},
        NumberCase{"  \t42 trailing words\r\nnext\r\n", NumberStatus::kRead, 42, "next"},
        NumberCase{"-5\r\nnext", NumberStatus::kRead, -5, "next"},
        NumberCase{"+7\nnext", NumberStatus::kRead, 7, "next"},
        NumberCase{"12abc\rnext\r", NumberStatus::kRead, 12, "next"},
        NumberCase{"007\r\n", NumberStatus::kRead, 7, ""},
        // Blank lines before a number are stepped over.
        NumberCase{"\r\n\r\n  3\r\nnext\r\n", NumberStatus::kRead, 3, "next"},
        NumberCase{"2147483647\r\nx", NumberStatus::kRead, 2147483647, "x"},
        NumberCase{"-2147483648\r\nx", NumberStatus::kRead, -2147483647 - 1, "x"},
        // Lines that are no number are skipped whole and read as 0.
        NumberCase{"abc\r\nnext\r\n", NumberStatus::kUnreadable, 0, "next"},
        NumberCase{"-\r\nnext", NumberStatus::kUnreadable, 0, "next"},
        NumberCase{"- 5\r\nnext", NumberStatus::kUnreadable, 0, "next"},
        NumberCase{"2147483648\r\nnext", NumberStatus::kUnreadable, 0, "next"},
        NumberCase{"-2147483649\r\nnext", NumberStatus::kUnreadable, 0, "next"},
        NumberCase{"99999999999999999999999\r\nnext", NumberStatus::kUnreadable, 0, "next"},
        // Nothing left.
        NumberCase{"", NumberStatus::kMissing, 0, ""},
        NumberCase{"  \r\n\r\n", NumberStatus::kMissing, 0, ""}));

TEST(ReadLineTest, WholeLinesWithEveryLineEnd) {
    SaveFileReader reader(std::string("one\r\n\r\n two \nthree\rfour\xC7\xF3"));
    EXPECT_EQ(reader.ReadLine(), "one");
    EXPECT_EQ(reader.ReadLine(), "");
    EXPECT_EQ(reader.ReadLine(), " two ");
    EXPECT_EQ(reader.ReadLine(), "three");
    EXPECT_EQ(reader.ReadLine(), "four\xC7\xF3");
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.ReadLine(), "");
    EXPECT_EQ(reader.ReadNumber().status, NumberStatus::kMissing);
}

}  // namespace
}  // namespace vrumbal
