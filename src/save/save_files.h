// Loading and writing the options and the high-score table together, as the game does.
#pragma once
#include <filesystem>

#include "game/game_state.h"
#include "save/atomic_write.h"
#include "save/save_file_system.h"

namespace vrumbal {

// Start-up: reads the table, then the options, and falls back to the default table unless
// the check text stored with the options matches it (so a table edited by hand, or one
// without its options file, is replaced).
// An update of the pair that was cut off is finished (or thrown away) first.
void LoadSaveFiles(GameState& state, const std::filesystem::path& dataRoot);
// The same from the given save folder through the given file operations.
void LoadSaveFiles(GameState& state, SaveFileSystem& fs, const std::filesystem::path& folder);
// Writes the options (with the table's fresh check text) and the table as one update: the
// pair on the disk is the old one or the new one, whatever happens on the way.
SaveWriteResult WriteSaveFiles(const GameState& state, const std::filesystem::path& dataRoot);
// The same into the given save folder through the given file operations.
SaveWriteResult WriteSaveFiles(const GameState& state, SaveFileSystem& fs,
                               const std::filesystem::path& folder);

}  // namespace vrumbal
