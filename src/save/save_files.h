#pragma once
#include <filesystem>

#include "save/atomic_write.h"
#include "shell/game_state.h"

namespace vrumbal {

// Start-up: reads the table, then the options, and falls back to the default table unless
// the check text stored with the options matches it (so a table edited by hand, or one
// without its options file, is replaced).
void LoadSaveFiles(GameState& state, const std::filesystem::path& dataRoot);
// Orderly exit: writes the options (with the table's fresh check text), then the table.
// Both are attempted; the result reports every failure.
SaveWriteResult WriteSaveFiles(const GameState& state, const std::filesystem::path& dataRoot);

}  // namespace vrumbal
