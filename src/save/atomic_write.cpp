// One file replaced safely: written beside itself, forced to the disk, then renamed over the old.
#include "save/atomic_write.h"

#include "save/save_file_system.h"

namespace vrumbal {

SaveWriteResult WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    PosixSaveFileSystem fs;
    const std::filesystem::path folder =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    std::string error;
    if (!fs.CreateFolder(folder, error)) return {false, error};

    std::filesystem::path temp = path;
    temp += ".tmp";
    if (!fs.Write(temp, bytes, error) || !fs.Flush(temp, error) ||
        !fs.Rename(temp, path, error)) {
        std::string ignored;
        fs.Remove(temp, ignored);
        return {false, error};
    }
    // Makes the rename itself durable; the new file is complete either way, so a folder that
    // cannot be synced is no failure of the write.
    fs.FlushFolder(folder, error);
    return {};
}

}  // namespace vrumbal
