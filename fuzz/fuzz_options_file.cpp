// Feeds arbitrary bytes to the options file parser. What it reads must survive being written
// and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/game_state.h"
#include "save/options_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    vrumbal::GameState first;
    (void)vrumbal::ParseOptionsFile(first, bytes);
    const std::string written = vrumbal::FormatOptionsFile(first);
    vrumbal::GameState second;
    (void)vrumbal::ParseOptionsFile(second, written);
    if (vrumbal::FormatOptionsFile(second) != written) std::abort();
    return 0;
}
