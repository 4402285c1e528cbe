#include "save/atomic_write.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace vrumbal {

namespace {

// Owns a POSIX file descriptor.
class UniqueFd final {
public:
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() {
        if (fd_ >= 0) ::close(fd_);
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // Closes now, so that a failing close (a delayed write error) can be reported.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;  // the descriptor, -1 when closed
};

std::string ErrnoText() {
    return std::error_code(errno, std::generic_category()).message();
}

SaveWriteResult Failure(const std::string& what, const std::filesystem::path& path,
                        const std::string& why) {
    return {false, what + " " + path.string() + ": " + why};
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Makes the rename itself durable; the new file is complete either way, so a folder that
// cannot be synced is no failure of the write.
void SyncFolder(const std::filesystem::path& folder) {
    const UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Valid()) ::fsync(dir.Get());
}

}  // namespace

SaveWriteResult WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    const std::filesystem::path folder =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) return Failure("cannot create the folder", folder, ec.message());

    std::filesystem::path temp = path;
    temp += ".tmp";
    UniqueFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!fd.Valid()) return Failure("cannot create", temp, ErrnoText());

    std::string error;
    if (!WriteAll(fd.Get(), bytes)) {
        error = ErrnoText();
    } else if (::fsync(fd.Get()) != 0) {
        error = ErrnoText();
    }
    if (!fd.Close() && error.empty()) error = ErrnoText();
    if (!error.empty()) {
        ::unlink(temp.c_str());
        return Failure("cannot write", temp, error);
    }

    if (::rename(temp.c_str(), path.c_str()) != 0) {
        error = ErrnoText();
        ::unlink(temp.c_str());
        return Failure("cannot replace", path, error);
    }
    SyncFolder(folder);
    return {};
}

}  // namespace vrumbal
