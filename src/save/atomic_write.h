// Replacing a save file so that a crash or a power cut never leaves half of it behind.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace vrumbal {

// Outcome of writing a save file: ok, or why it failed.
struct SaveWriteResult {
    bool ok = true;       // the file now holds the new bytes
    std::string message;  // what went wrong; empty when ok

    // True when the write succeeded.
    explicit operator bool() const { return ok; }
};

// Replaces the file at path with bytes so that a crash or power cut never leaves a half-written
// file: the bytes go to path + ".tmp" in the same folder, are flushed to the disk and then
// renamed over the old file. A missing folder is created. On failure the old file is left as
// it was and no temporary file stays behind.
SaveWriteResult WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace vrumbal
