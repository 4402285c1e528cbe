// The file operations the save files are written and read with, one step at a time, and the
// ones on the machine's own disk.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vrumbal {

// The file operations the save files are written and read with, one step at a time, so that
// an update can be cut off at any step (by a test, as by a crash) and checked afterwards.
// Each returns false and sets error when the step fails; nothing is thrown.
class SaveFileSystem {
public:
    virtual ~SaveFileSystem() = default;
    // Makes the folder and its parents when they are missing.
    virtual bool CreateFolder(const std::filesystem::path& folder, std::string& error) = 0;
    // Creates or empties the file and writes bytes into it (not yet forced to the disk).
    virtual bool Write(const std::filesystem::path& path, std::string_view bytes,
                       std::string& error) = 0;
    // Forces the file's bytes to the disk.
    virtual bool Flush(const std::filesystem::path& path, std::string& error) = 0;
    // Forces the folder's names (files made, renamed or removed in it) to the disk.
    virtual bool FlushFolder(const std::filesystem::path& folder, std::string& error) = 0;
    // Gives the file at from the name to, replacing a file there in one step.
    virtual bool Rename(const std::filesystem::path& from, const std::filesystem::path& to,
                        std::string& error) = 0;
    // Removes the file; a missing file is no failure.
    virtual bool Remove(const std::filesystem::path& path, std::string& error) = 0;
    // True when a file (not a folder) of that name is there.
    virtual bool Exists(const std::filesystem::path& path) = 0;
    // The whole file, or nothing when it is missing or cannot be read.
    virtual std::optional<std::string> Read(const std::filesystem::path& path) = 0;
};

// The save files on the machine's own disk.
class PosixSaveFileSystem final : public SaveFileSystem {
public:
    bool CreateFolder(const std::filesystem::path& folder, std::string& error) override;
    bool Write(const std::filesystem::path& path, std::string_view bytes,
               std::string& error) override;
    bool Flush(const std::filesystem::path& path, std::string& error) override;
    bool FlushFolder(const std::filesystem::path& folder, std::string& error) override;
    bool Rename(const std::filesystem::path& from, const std::filesystem::path& to,
                std::string& error) override;
    bool Remove(const std::filesystem::path& path, std::string& error) override;
    bool Exists(const std::filesystem::path& path) override;
    std::optional<std::string> Read(const std::filesystem::path& path) override;
};

}  // namespace vrumbal
