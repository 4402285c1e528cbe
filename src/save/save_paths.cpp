// The save files' paths under the data root, and their reading, folders refused.
#include "save/save_paths.h"

#include <fstream>
#include <iterator>

namespace vrumbal {

namespace {

std::filesystem::path SaveFolder(const std::filesystem::path& dataRoot) {
    return dataRoot / "Data" / "Save";
}

// A folder opens for reading on Linux but yields no bytes; it is no save file.
bool IsFolder(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

}  // namespace

std::filesystem::path SaveFolderPath(const std::filesystem::path& dataRoot) {
    return SaveFolder(dataRoot);
}

std::filesystem::path OptionsFilePath(const std::filesystem::path& dataRoot) {
    return SaveFolder(dataRoot) / "options";
}

std::filesystem::path HighScoreFilePath(const std::filesystem::path& dataRoot) {
    return SaveFolder(dataRoot) / "hs";
}

bool SaveFileExists(const std::filesystem::path& path) {
    if (path.empty() || IsFolder(path)) return false;
    std::ifstream file(path, std::ios::binary);
    return file.is_open();
}

std::optional<std::string> ReadSaveFile(const std::filesystem::path& path) {
    if (!SaveFileExists(path)) return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) return std::nullopt;
    std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) return std::nullopt;
    return bytes;
}

}  // namespace vrumbal
