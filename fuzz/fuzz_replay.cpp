// Feeds arbitrary bytes to the replay reader. A replay it accepts must write back to bytes
// that read as the same replay.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "game/replay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    vrumbal::Replay replay;
    if (!vrumbal::DecodeReplay(bytes, replay).empty()) return 0;
    const auto again = vrumbal::EncodeReplay(replay);
    vrumbal::Replay reread;
    const std::string_view view(reinterpret_cast<const char*>(again.data()), again.size());
    if (!vrumbal::DecodeReplay(view, reread).empty() || !(reread == replay)) std::abort();
    return 0;
}
