// The RIFF WAVE chunk walk, and the writing of a plain wave of two chunks.
#include "engine/wave_file.h"

#include <cstring>

#include "engine/component_stream.h"

namespace vrumbal {

namespace {

std::uint32_t U32At(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutTag(std::vector<std::uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

}  // namespace

WaveParts ReadWave(std::span<const std::uint8_t> bytes, bool padOddChunks) {
    ByteCursor cursor(bytes);
    const auto head = cursor.ReadBytes(12);
    if (std::memcmp(head.data(), "RIFF", 4) != 0 || std::memcmp(head.data() + 8, "WAVE", 4) != 0) {
        ThrowLoadError(kWaveInvalid);
    }
    WaveParts wave;
    bool haveData = false;
    std::uint64_t dataStart = 0;
    std::uint64_t dataSize = 0;
    // Positions are kept in 64 bits: a chunk size may point far beyond the block.
    std::uint64_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        const auto id = bytes.subspan(static_cast<std::size_t>(pos), 4);
        const std::uint32_t size = U32At(bytes, static_cast<std::size_t>(pos) + 4);
        const std::uint64_t body = pos + 8;
        if (std::memcmp(id.data(), "fmt ", 4) == 0) {
            cursor.Seek(static_cast<std::size_t>(body));
            const auto record = cursor.ReadBytes(size);
            wave.format.assign(record.begin(), record.end());
        } else if (std::memcmp(id.data(), "data", 4) == 0) {
            haveData = true;
            dataStart = body;
            dataSize = size;
        } else if (std::memcmp(id.data(), "\0\0\0\0", 4) == 0) {
            break;  // identifier 0 ends the chunks
        }
        pos = body + size;
        if (padOddChunks && (size & 1)) ++pos;
    }
    if (haveData) {
        if (dataStart > bytes.size() || dataSize > bytes.size() - dataStart) {
            ThrowLoadError(kStreamReadError);
        }
        const auto samples =
            bytes.subspan(static_cast<std::size_t>(dataStart), static_cast<std::size_t>(dataSize));
        wave.samples.assign(samples.begin(), samples.end());
    }
    return wave;
}

std::vector<std::uint8_t> WriteWave(std::span<const std::uint8_t> format,
                                    std::span<const std::uint8_t> samples) {
    std::vector<std::uint8_t> out;
    out.reserve(20 + format.size() + 8 + samples.size());
    PutTag(out, "RIFF");
    PutU32(out, static_cast<std::uint32_t>(4 + 8 + format.size() + 8 + samples.size()));
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutU32(out, static_cast<std::uint32_t>(format.size()));
    out.insert(out.end(), format.begin(), format.end());
    PutTag(out, "data");
    PutU32(out, static_cast<std::uint32_t>(samples.size()));
    out.insert(out.end(), samples.begin(), samples.end());
    return out;
}

}  // namespace vrumbal
