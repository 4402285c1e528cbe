// The results waiting to reach the world table: kept beside the saves until the server has
// answered for each, so that a result sent while the server could not be reached is not lost.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "save/atomic_write.h"

namespace vrumbal {

// One result waiting to be sent.
struct OutboxEntry {
    std::string name;     // its file in the outbox, named by its replay
    std::string country;  // the country it is sent with (code page 1251)
    std::string replay;   // the replay file's bytes, which carry the name and score
};

// Keeps a result until it is taken out, atomically, under a name given by its replay: the
// same game kept twice is one entry. Returns the entry's name, or nothing when it could not
// be written.
std::optional<std::string> KeepInOutbox(const std::filesystem::path& saveFolder,
                                        std::string_view country, std::string_view replay);
// The results waiting, oldest first; files that are not whole entries are passed over.
std::vector<OutboxEntry> ReadOutbox(const std::filesystem::path& saveFolder);
// Takes a result out: the server has answered for it.
void TakeFromOutbox(const std::filesystem::path& saveFolder, const std::string& name);

}  // namespace vrumbal
