// Feeds arbitrary bytes to the high-score file parser. A table it reads must survive being
// written and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/game_state.h"
#include "save/high_score_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    vrumbal::GameState first;
    (void)vrumbal::ParseHighScoreFile(first, bytes);
    const std::string written = vrumbal::FormatHighScoreFile(first);
    vrumbal::GameState second;
    if (vrumbal::ParseHighScoreFile(second, written) != vrumbal::HighScoreLoad::kFromFile) {
        std::abort();
    }
    if (vrumbal::FormatHighScoreFile(second) != written) std::abort();
    return 0;
}
