// Where the save files live under the data root, and reading them whole.
#pragma once
#include <filesystem>
#include <optional>
#include <string>

namespace vrumbal {

// The save folder under the data root: Data/Save.
std::filesystem::path SaveFolderPath(const std::filesystem::path& dataRoot);
// The options file under the data root: Data/Save/options.
std::filesystem::path OptionsFilePath(const std::filesystem::path& dataRoot);
// The high-score file under the data root: Data/Save/hs.
std::filesystem::path HighScoreFilePath(const std::filesystem::path& dataRoot);

// True when the path is not empty and names a file that can be opened for reading.
bool SaveFileExists(const std::filesystem::path& path);
// The whole file's bytes, or nothing when it cannot be opened or read.
std::optional<std::string> ReadSaveFile(const std::filesystem::path& path);

}  // namespace vrumbal
