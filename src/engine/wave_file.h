// RIFF WAVE images: reading a wave's format and samples, and writing them back.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace vrumbal {

// The message of a block that is not a RIFF WAVE image.
inline constexpr const char* kWaveInvalid = "Wave is invalid";

// The two parts of a wave that a sound buffer needs.
struct WaveParts {
    std::vector<std::uint8_t> format;   // the "fmt " chunk body, whole
    std::vector<std::uint8_t> samples;  // the "data" chunk body
};

// Reads a RIFF WAVE image; throws LibraryError ("Wave is invalid", "Stream read error").
// Chunks are taken back to back: a library's wave blocks carry no pad byte after a chunk of
// odd size, while ordinary wave files do (padOddChunks). The last chunk of a kind wins.
WaveParts ReadWave(std::span<const std::uint8_t> bytes, bool padOddChunks = false);

// A RIFF WAVE image of one format record and its samples, with no other chunks.
std::vector<std::uint8_t> WriteWave(std::span<const std::uint8_t> format,
                                    std::span<const std::uint8_t> samples);

}  // namespace vrumbal
