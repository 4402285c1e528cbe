// The replays kept beside the saves: one file for each game of the high-score table, named by
// its own digest, the last game's, and the index that ties the table's rows to their files.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/high_scores.h"
#include "game/replay.h"
#include "save/atomic_write.h"
#include "save/save_file_system.h"

namespace vrumbal {

// The folder of the replays in the save folder: Save/replays.
std::filesystem::path ReplayFolderPath(const std::filesystem::path& saveFolder);
// The index beside the table, a member of the save set: Save/hs-replays.
inline constexpr char kReplayIndexName[] = "hs-replays";
// The last game's replay, in the replays folder.
inline constexpr char kLastReplayName[] = "last";

// The name a replay's bytes are kept under: the first 16 hexadecimal digits of their digest
// and ".vrr". The same game is the same file; another game is another file.
std::string ReplayFileName(std::string_view bytes);
// Writes a replay's bytes into the replays folder under the given name, atomically.
SaveWriteResult WriteReplayFile(const std::filesystem::path& saveFolder, const std::string& name,
                                std::string_view bytes);
// Reads and checks the replay file; nothing when it cannot be read or is not a good replay,
// with "PATH: the reason" in error.
std::optional<Replay> ReadReplayFile(const std::filesystem::path& path, std::string& error);

// The index of the table's rows 1..10: one line each, the row's replay file name or empty.
std::string FormatReplayIndex(const HighScoreTable& table);
// Gives each row of the table the replay file the index names for it, but only when that file
// holds a finished game whose result is the row's (name and score): a row never shows another
// game's replay. Rows without one get none.
void ParseReplayIndex(HighScoreTable& table, std::string_view index, SaveFileSystem& fs,
                      const std::filesystem::path& saveFolder);
// Removes the replay files no row of the table names (the last game's stays).
void DropUnusedReplays(const std::filesystem::path& saveFolder, const HighScoreTable& table);

}  // namespace vrumbal
