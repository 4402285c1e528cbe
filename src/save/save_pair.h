// The options and high-score files replaced together or not at all, with a mark that says an
// update is complete.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>

#include "save/atomic_write.h"
#include "save/save_file_system.h"

namespace vrumbal {

// The options file and the high-score file are one record: the options carry the check text
// of the table, and a table without its matching options is thrown away at the next start.
// So they are replaced together or not at all: both new files are written in full and forced
// to the disk, then a mark says the update is complete, and only then is each put in place.
// A start that finds the mark finishes the update; new files found without it are thrown
// away. The pair on the disk is always the old one or the new one.

// Name of the mark, in the save folder while an update is being put in place.
inline constexpr char kSaveUpdateMark[] = "saving";

// Replaces the pair in folder (made when missing) with the given bytes of Data/Save/options
// and Data/Save/hs, and with them the index of the table's replays (Data/Save/hs-replays),
// which is one record with the table in the same way. On failure the set on the disk is the
// old or, when a later file could not be put in place, the new one once the next start has
// finished the update.
SaveWriteResult WriteSavePair(SaveFileSystem& fs, const std::filesystem::path& folder,
                              std::string_view options, std::string_view table,
                              std::string_view replayIndex);

// Finishes an update of folder that was cut off after its mark was set, or throws away one
// that was cut off before. Returns false, with the reason in error, when an update is left
// half done (the next try goes on from there).
bool SettleSavePair(SaveFileSystem& fs, const std::filesystem::path& folder, std::string& error);

}  // namespace vrumbal
