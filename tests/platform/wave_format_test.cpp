#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "platform/audio.h"

namespace vrumbal {
namespace {

// Table rows show up in failure messages by their name.
template <typename Case>
requires requires(const Case& c) {
    c.name;
}
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

void PutU16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    PutU16(out, at, value & 0xFFFF);
    PutU16(out, at + 2, value >> 16);
}

// A format record as a wave file stores it, with a free hand over every field.
std::vector<std::uint8_t> Record(int tag, int channels, std::uint32_t rate, int bits,
                                 int blockAlign, std::size_t size = 16) {
    std::vector<std::uint8_t> out(size, 0);
    if (size < 16) return out;
    PutU16(out, 0, tag);
    PutU16(out, 2, channels);
    PutU32(out, 4, rate);
    PutU32(out, 8, rate * blockAlign);
    PutU16(out, 12, blockAlign);
    PutU16(out, 14, bits);
    return out;
}

struct ValidCase {
    const char* name;
    std::vector<std::uint8_t> record;
    WaveFormat expected;
};

class ValidFormat : public ::testing::TestWithParam<ValidCase> {};

TEST_P(ValidFormat, ReadsEveryField) {
    const ValidCase& c = GetParam();
    WaveFormat out;
    out.samplesPerSec = -1;
    ASSERT_TRUE(ParseWaveFormat(c.record, out));
    EXPECT_EQ(out.formatTag, c.expected.formatTag);
    EXPECT_EQ(out.channels, c.expected.channels);
    EXPECT_EQ(out.samplesPerSec, c.expected.samplesPerSec);
    EXPECT_EQ(out.bitsPerSample, c.expected.bitsPerSample);
    EXPECT_EQ(out.blockAlign, c.expected.blockAlign);
}

std::vector<std::uint8_t> Extensible(std::uint16_t subFormat) {
    auto record = Record(0xFFFE, 2, 48000, 16, 4, 40);
    PutU16(record, 16, 22);  // extra bytes that follow
    PutU16(record, 18, 16);  // valid bits
    PutU16(record, 24, subFormat);
    return record;
}

INSTANTIATE_TEST_SUITE_P(
    Records, ValidFormat,
    ::testing::Values(
        ValidCase{"Mono8", Record(1, 1, 22050, 8, 1), {1, 1, 22050, 8, 1}},
        ValidCase{"Stereo8", Record(1, 2, 11025, 8, 2), {1, 2, 11025, 8, 2}},
        ValidCase{"Mono16", Record(1, 1, 44100, 16, 2), {1, 1, 44100, 16, 2}},
        ValidCase{"Stereo16", Record(1, 2, 44100, 16, 4), {1, 2, 44100, 16, 4}},
        ValidCase{"Stereo24", Record(1, 2, 48000, 24, 6), {1, 2, 48000, 24, 6}},
        ValidCase{"Mono32", Record(1, 1, 8000, 32, 4), {1, 1, 8000, 32, 4}},
        // A record with the extra-size field and trailing bytes still reads.
        ValidCase{"WithExtraBytes", Record(1, 1, 22050, 16, 2, 18), {1, 1, 22050, 16, 2}},
        // A wrong stored block size is replaced by the true frame size.
        ValidCase{"WrongBlockAlign", Record(1, 2, 22050, 16, 1), {1, 2, 22050, 16, 4}},
        ValidCase{"ExtensiblePcm", Extensible(1), {0xFFFE, 2, 48000, 16, 4}}),
    [](const auto& info) { return std::string(info.param.name); });

struct InvalidCase {
    const char* name;
    std::vector<std::uint8_t> record;
};

class InvalidFormat : public ::testing::TestWithParam<InvalidCase> {};

TEST_P(InvalidFormat, IsRefusedAndLeavesTheOutputAlone) {
    WaveFormat out;
    out.samplesPerSec = 1234;
    EXPECT_FALSE(ParseWaveFormat(GetParam().record, out));
    EXPECT_EQ(out.samplesPerSec, 1234);
}

std::vector<std::uint8_t> Truncated(std::size_t size) {
    auto record = Record(1, 1, 22050, 8, 1);
    record.resize(size);
    return record;
}

INSTANTIATE_TEST_SUITE_P(
    Records, InvalidFormat,
    ::testing::Values(InvalidCase{"Empty", {}}, InvalidCase{"FifteenBytes", Truncated(15)},
                      InvalidCase{"EightBytes", Truncated(8)},
                      InvalidCase{"AdpcmTag", Record(2, 1, 22050, 4, 256)},
                      InvalidCase{"FloatTag", Record(3, 2, 44100, 32, 8)},
                      InvalidCase{"ExtensibleFloat", Extensible(3)},
                      InvalidCase{"ExtensibleTooShort", Record(0xFFFE, 2, 48000, 16, 4, 24)},
                      InvalidCase{"NoChannels", Record(1, 0, 22050, 8, 1)},
                      InvalidCase{"ThreeChannels", Record(1, 3, 22050, 8, 3)},
                      InvalidCase{"TwelveBits", Record(1, 1, 22050, 12, 2)},
                      InvalidCase{"ZeroBits", Record(1, 1, 22050, 0, 1)},
                      InvalidCase{"ZeroRate", Record(1, 1, 0, 8, 1)},
                      InvalidCase{"AbsurdRate", Record(1, 1, 0xFFFFFFFFu, 8, 1)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vrumbal
