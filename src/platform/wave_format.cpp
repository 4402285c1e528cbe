// The PCM wave format record read into its fields, the extensible form included.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/audio.h"

namespace vrumbal {

namespace {

constexpr int kTagPcm = 1;
constexpr int kTagExtensible = 0xFFFE;
// The basic record: tag, channels, rate, bytes per second, block align, bits per sample.
constexpr std::size_t kBasicRecordSize = 16;
// The extensible record adds cbSize, valid bits, channel mask and the 16-byte sub-format.
constexpr std::size_t kExtensibleRecordSize = 40;
constexpr std::size_t kSubFormatOffset = 24;
// Rates outside this range are damaged records, not sounds anybody could hear.
constexpr std::uint32_t kMinRate = 100;
constexpr std::uint32_t kMaxRate = 384000;

std::uint32_t ReadU16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8;
}

std::uint32_t ReadU32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return ReadU16(bytes, at) | ReadU16(bytes, at + 2) << 16;
}

}  // namespace

bool ParseWaveFormat(const std::vector<std::uint8_t>& record, WaveFormat& out) {
    if (record.size() < kBasicRecordSize) return false;
    const auto tag = static_cast<int>(ReadU16(record, 0));
    const auto channels = static_cast<int>(ReadU16(record, 2));
    const std::uint32_t rate = ReadU32(record, 4);
    const auto bits = static_cast<int>(ReadU16(record, 14));

    if (tag == kTagExtensible) {
        // Only the integer PCM sub-format is playable; its GUID starts with the PCM tag.
        if (record.size() < kExtensibleRecordSize) return false;
        if (ReadU16(record, kSubFormatOffset) != kTagPcm) return false;
    } else if (tag != kTagPcm) {
        return false;
    }
    if (channels < 1 || channels > 2) return false;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    if (rate < kMinRate || rate > kMaxRate) return false;

    out.formatTag = tag;
    out.channels = channels;
    out.samplesPerSec = static_cast<int>(rate);
    out.bitsPerSample = bits;
    // Some writers store a wrong block size; the frame size follows from the other fields, and
    // trusting a bad value would make the mixer read frames across channel boundaries.
    out.blockAlign = channels * bits / 8;
    return true;
}

}  // namespace vrumbal
