// Feeds arbitrary bytes to the replay reader three ways: as they come (the check sum turns
// most away at the door), with the check sum made right (the header's checks are reached),
// and as the frames alone, packed and sealed into a file with a good header (the frames'
// reader is reached). A replay it accepts must write back to bytes that read the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "game/replay.h"
#include "platform/compression.h"

namespace {

void Check(std::string_view bytes) {
    vrumbal::Replay replay;
    if (!vrumbal::DecodeReplay(bytes, replay).empty()) return;
    const auto again = vrumbal::EncodeReplay(replay);
    vrumbal::Replay reread;
    const std::string_view view(reinterpret_cast<const char*>(again.data()), again.size());
    if (!vrumbal::DecodeReplay(view, reread).empty() || !(reread == replay)) std::abort();
}

std::string Sealed(std::string bytes) {
    const std::uint32_t crc = vrumbal::Crc32(bytes);
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>(crc >> (8 * i));
    return bytes;
}

void Put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i));
}

// A file whose header is a plain game's and whose frames are the given bytes: the frame count
// is the input's first byte, the rest is the unpacked body.
std::string AroundBody(std::string_view input) {
    const std::uint32_t frames = input.empty() ? 1 : static_cast<std::uint8_t>(input[0]) + 1;
    const std::string_view body = input.empty() ? input : input.substr(1);
    std::string out = "VRMBRPLY";
    out += std::string("\x01\x00\x01\x00", 4);  // format 1, finished
    out +=
        "\x05"
        "1.0.0";
    out += std::string(32, '\x11');  // content
    for (std::uint32_t w : {1u, 2u, 3u, 4u}) Put32(out, w);
    out += "\x01\x01";            // bike, start level
    out += std::string(8, '\0');  // key levels
    for (int k = 0; k < 10; ++k) Put32(out, 1000);
    Put32(out, 0);  // score
    Put32(out, 1);  // level
    out += '\0';    // no name
    Put32(out, frames);
    const std::vector<std::uint8_t> packed = vrumbal::Deflate(body);
    Put32(out, static_cast<std::uint32_t>(body.size()));
    Put32(out, static_cast<std::uint32_t>(packed.size()));
    out.append(packed.begin(), packed.end());
    return Sealed(out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Check(bytes);
    if (size >= 4) Check(Sealed(std::string(bytes.substr(0, size - 4))));
    Check(AroundBody(bytes));
    return 0;
}
