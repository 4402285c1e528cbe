#include "support/test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <stdexcept>

namespace vrumbal::test {
namespace {

// Every test program, and every program a test starts, runs on SDL's dummy video and sound
// drivers: no display, no sound card. Set before main, unless the caller chose otherwise.
const bool kDummyDrivers = [] {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    return true;
}();

}  // namespace

int TimeScale() {
    if (const char* forced = std::getenv("VRUMBAL_TEST_TIME_SCALE")) {
        const int scale = std::atoi(forced);
        if (scale >= 1) return scale;
    }
#if defined(__SANITIZE_ADDRESS__)
    return 4;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return 4;
#else
    return 1;
#endif
#else
    return 1;
#endif
}

TempDir::TempDir() {
    std::random_device rd;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate =
            base / ("vrumbal-test-" + std::to_string(getpid()) + "-" + std::to_string(rd()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void LinkBuiltData(const std::filesystem::path& root) {
    const std::filesystem::path built = std::filesystem::path(VRUMBAL_BUILD_DIR) / "Data";
    std::filesystem::create_directories(root / "Data");
    for (const char* folder : {"Res", "Music"}) {
        std::filesystem::create_directory_symlink(built / folder, root / "Data" / folder);
    }
}

int RunCommand(const std::string& command, std::string* output) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        if (output) output->append(buffer.data(), n);
    }
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace vrumbal::test
