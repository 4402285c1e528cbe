// The save files' operations on the machine's own disk through POSIX calls, each failure told
// with its reason.
#include "save/save_file_system.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "save/save_paths.h"

namespace vrumbal {
namespace {

// Owns a POSIX file descriptor.
class Descriptor final {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // Closes now, so that a failing close (a delayed write error) is seen.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;  // -1 once closed
};

bool Fail(std::string& error, const std::string& what, const std::filesystem::path& path,
          int code) {
    error = what + " " + path.string() + ": " +
            std::error_code(code, std::generic_category()).message();
    return false;
}

}  // namespace

bool PosixSaveFileSystem::CreateFolder(const std::filesystem::path& folder, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!ec) return true;
    error = "cannot create the folder " + folder.string() + ": " + ec.message();
    return false;
}

bool PosixSaveFileSystem::Write(const std::filesystem::path& path, std::string_view bytes,
                                std::string& error) {
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!fd.Valid()) return Fail(error, "cannot create", path, errno);
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd.Get(), bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return Fail(error, "cannot write", path, errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    if (!fd.Close()) return Fail(error, "cannot write", path, errno);
    return true;
}

bool PosixSaveFileSystem::Flush(const std::filesystem::path& path, std::string& error) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) return Fail(error, "cannot open", path, errno);
    if (::fsync(fd.Get()) != 0) return Fail(error, "cannot write", path, errno);
    return true;
}

bool PosixSaveFileSystem::FlushFolder(const std::filesystem::path& folder, std::string& error) {
    Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.Valid()) return Fail(error, "cannot open the folder", folder, errno);
    // Some file systems cannot sync a folder at all; their renames are as safe as they get.
    if (::fsync(fd.Get()) != 0 && errno != EINVAL) {
        return Fail(error, "cannot write the folder", folder, errno);
    }
    return true;
}

bool PosixSaveFileSystem::Rename(const std::filesystem::path& from, const std::filesystem::path& to,
                                 std::string& error) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    return Fail(error, "cannot replace", to, errno);
}

bool PosixSaveFileSystem::Remove(const std::filesystem::path& path, std::string& error) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) return true;
    return Fail(error, "cannot remove", path, errno);
}

bool PosixSaveFileSystem::Exists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

std::optional<std::string> PosixSaveFileSystem::Read(const std::filesystem::path& path) {
    return ReadSaveFile(path);
}

}  // namespace vrumbal
