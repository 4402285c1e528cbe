// Packing bytes small and checking them whole: deflate and its inverse, and the CRC-32 check
// sum, over zlib.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vrumbal {

// The CRC-32 of the bytes (the check sum of zip and PNG files).
std::uint32_t Crc32(std::string_view bytes);
// The bytes deflated (a zlib stream at the best compression).
std::vector<std::uint8_t> Deflate(std::string_view bytes);
// The bytes of a zlib stream inflated; nothing when the stream is damaged or truncated, or
// when it would inflate to more than maxBytes.
std::optional<std::vector<std::uint8_t>> Inflate(std::string_view stream, std::size_t maxBytes);

}  // namespace vrumbal
