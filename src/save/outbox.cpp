// The outbox's files: "VRMBOUT1", a line with the country, then the replay file's bytes.
#include "save/outbox.h"

#include <algorithm>
#include <system_error>

#include "game/replay.h"
#include "save/replay_files.h"
#include "save/save_paths.h"

namespace vrumbal {
namespace {

constexpr std::string_view kMagic = "VRMBOUT1\n";
constexpr std::string_view kExtension = ".out";
// Whatever is larger cannot hold a replay the game writes.
constexpr std::uintmax_t kLargestEntry = kReplayMaxFileBytes + 4096;

// The folder of the waiting results in the save folder: Save/outbox.
std::filesystem::path OutboxFolderPath(const std::filesystem::path& saveFolder) {
    return saveFolder / "outbox";
}

}  // namespace

std::optional<std::string> KeepInOutbox(const std::filesystem::path& saveFolder,
                                        std::string_view country, std::string_view replay) {
    std::string name = ReplayFileName(replay);
    name.replace(name.size() - 4, 4, kExtension);  // "<digest>.vrr" -> "<digest>.out"
    std::string bytes(kMagic);
    // The country is printable text of the options: a line end cannot be part of it.
    for (char c : country) {
        if (c != '\n' && c != '\r') bytes += c;
    }
    bytes += '\n';
    bytes.append(replay);
    if (!WriteFileAtomically(OutboxFolderPath(saveFolder) / name, bytes)) return std::nullopt;
    return name;
}

std::vector<OutboxEntry> ReadOutbox(const std::filesystem::path& saveFolder) {
    std::vector<std::pair<std::filesystem::file_time_type, OutboxEntry>> found;
    std::error_code ec;
    for (const auto& item : std::filesystem::directory_iterator(OutboxFolderPath(saveFolder), ec)) {
        const std::filesystem::path& path = item.path();
        if (path.extension() != kExtension || !item.is_regular_file(ec)) continue;
        if (item.file_size(ec) > kLargestEntry || ec) continue;
        const std::string bytes = ReadSaveFile(path).value_or("");
        if (bytes.compare(0, kMagic.size(), kMagic) != 0) continue;
        const auto end = bytes.find('\n', kMagic.size());
        if (end == std::string::npos) continue;
        OutboxEntry entry;
        entry.name = path.filename().string();
        entry.country = bytes.substr(kMagic.size(), end - kMagic.size());
        entry.replay = bytes.substr(end + 1);
        found.emplace_back(item.last_write_time(ec), std::move(entry));
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.name < b.second.name;
    });
    std::vector<OutboxEntry> entries;
    for (auto& [time, entry] : found) entries.push_back(std::move(entry));
    return entries;
}

void TakeFromOutbox(const std::filesystem::path& saveFolder, const std::string& name) {
    std::error_code ec;
    std::filesystem::remove(OutboxFolderPath(saveFolder) / name, ec);
}

}  // namespace vrumbal
