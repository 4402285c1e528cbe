// Deflate, inflate with a bound on what comes out, and CRC-32, through zlib.
#include "platform/compression.h"

#include <zlib.h>

#include <algorithm>

namespace vrumbal {

std::uint32_t Crc32(std::string_view bytes) {
    uLong crc = crc32(0L, Z_NULL, 0);
    const auto* data = reinterpret_cast<const Bytef*>(bytes.data());
    std::size_t left = bytes.size();
    // zlib counts in unsigned ints: long inputs go in slices.
    while (left > 0) {
        const auto slice = static_cast<uInt>(std::min<std::size_t>(left, 1u << 30));
        crc = crc32(crc, data, slice);
        data += slice;
        left -= slice;
    }
    return static_cast<std::uint32_t>(crc);
}

std::vector<std::uint8_t> Deflate(std::string_view bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::vector<std::uint8_t> out(size);
    if (compress2(out.data(), &size, reinterpret_cast<const Bytef*>(bytes.data()),
                  static_cast<uLong>(bytes.size()), Z_BEST_COMPRESSION) != Z_OK) {
        return {};
    }
    out.resize(size);
    return out;
}

std::optional<std::vector<std::uint8_t>> Inflate(std::string_view stream, std::size_t maxBytes) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return std::nullopt;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
    z.avail_in = static_cast<uInt>(stream.size());
    std::vector<std::uint8_t> out;
    std::uint8_t chunk[16384];
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = chunk;
        z.avail_out = sizeof chunk;
        status = inflate(&z, Z_NO_FLUSH);
        const std::size_t produced = sizeof chunk - z.avail_out;
        if (out.size() + produced > maxBytes) {
            status = Z_BUF_ERROR;
            break;
        }
        out.insert(out.end(), chunk, chunk + produced);
        // No input left and no progress: the stream ends early.
        if (status == Z_OK && z.avail_in == 0 && produced == 0) status = Z_BUF_ERROR;
    }
    inflateEnd(&z);
    // Whole only when the stream ended exactly where the bytes do.
    if (status != Z_STREAM_END || z.avail_in != 0) return std::nullopt;
    return out;
}

}  // namespace vrumbal
