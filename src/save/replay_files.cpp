// The replay files beside the saves: written, read, tied to the table's rows and tidied up.
#include "save/replay_files.h"

#include <set>
#include <sstream>

#include "platform/digest.h"
#include "save/save_paths.h"

namespace vrumbal {
namespace {

constexpr char kExtension[] = ".vrr";

bool IsReplayFileName(const std::string& name) {
    if (name.size() != 16 + sizeof kExtension - 1) return false;
    for (std::size_t i = 0; i < 16; ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return name.compare(16, std::string::npos, kExtension) == 0;
}

}  // namespace

std::filesystem::path ReplayFolderPath(const std::filesystem::path& saveFolder) {
    return saveFolder / "replays";
}

std::string ReplayFileName(std::string_view bytes) {
    return DigestHex(DigestOf(bytes), 8) + kExtension;
}

SaveWriteResult WriteReplayFile(const std::filesystem::path& saveFolder, const std::string& name,
                                std::string_view bytes) {
    return WriteFileAtomically(ReplayFolderPath(saveFolder) / name, bytes);
}

std::optional<Replay> ReadReplayFile(const std::filesystem::path& path, std::string& error) {
    const auto bytes = ReadSaveFile(path);
    Replay replay;
    const std::string reason = bytes ? DecodeReplay(*bytes, replay) : "it cannot be read";
    if (!reason.empty()) {
        error = path.string() + ": " + reason;
        return std::nullopt;
    }
    return replay;
}

std::string FormatReplayIndex(const HighScoreTable& table) {
    std::string out;
    for (int k = 1; k <= kHighScoreTableSize; ++k) out += table.HighScores[k].replay + "\r\n";
    return out;
}

void ParseReplayIndex(HighScoreTable& table, std::string_view index, SaveFileSystem& fs,
                      const std::filesystem::path& saveFolder) {
    std::istringstream in{std::string(index)};
    std::string line;
    for (int k = 1; k <= kHighScoreTableSize; ++k) {
        HighScoreEntry& entry = table.HighScores[k];
        entry.replay.clear();
        if (!std::getline(in, line)) continue;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!IsReplayFileName(line)) continue;
        const auto bytes = fs.Read(ReplayFolderPath(saveFolder) / line);
        Replay replay;
        if (!bytes || !DecodeReplay(*bytes, replay).empty()) continue;
        if (!replay.finished || replay.score != entry.score || replay.name != entry.name) continue;
        entry.replay = line;
    }
}

void DropUnusedReplays(const std::filesystem::path& saveFolder, const HighScoreTable& table) {
    std::set<std::string> used;
    for (int k = 1; k <= kHighScoreTableSize; ++k) used.insert(table.HighScores[k].replay);
    std::error_code ec;
    for (const auto& file : std::filesystem::directory_iterator(ReplayFolderPath(saveFolder), ec)) {
        const std::string name = file.path().filename().string();
        // Only our own names go; anything else in the folder is the player's.
        if (!IsReplayFileName(name) || used.count(name) != 0) continue;
        std::error_code ignored;
        std::filesystem::remove(file.path(), ignored);
    }
}

}  // namespace vrumbal
