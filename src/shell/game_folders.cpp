// The search for the data and the save folder: installed, portable or in the working
// directory, the XDG data home, and the window's icon.
#include "shell/game_folders.h"

#include <cstdlib>
#include <system_error>

#include "game/build_info.h"

namespace vrumbal {
namespace {

// A Data folder with the libraries in it, not just any folder of that name.
bool HoldsGameData(const std::filesystem::path& root) {
    std::error_code ec;
    return std::filesystem::is_directory(root / "Data" / "Res", ec);
}

std::optional<std::string> Environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

}  // namespace

std::filesystem::path XdgDataHome(const std::optional<std::string>& xdgDataHome,
                                  const std::optional<std::string>& home) {
    // A relative XDG_DATA_HOME is invalid and is to be ignored.
    if (xdgDataHome && !xdgDataHome->empty() && xdgDataHome->front() == '/') return *xdgDataHome;
    if (home && !home->empty()) return std::filesystem::path(*home) / ".local" / "share";
    return {};
}

std::filesystem::path WindowFilePath(const std::filesystem::path& saveFolder) {
    return saveFolder / "window";
}

namespace {

// The 64-pixel icon of the icon theme: beside share/vrumbal when installed, in icons/ of a
// build tree.
std::filesystem::path IconFile(const GameFolders& folders) {
    const std::filesystem::path theme =
        std::filesystem::path("icons/hicolor/64x64/apps") / (std::string(kAppId) + ".png");
    const std::filesystem::path base = folders.layout == GameLayout::kInstalled
                                           ? folders.dataRoot.parent_path()
                                           : folders.dataRoot;
    std::error_code ec;
    return std::filesystem::is_regular_file(base / theme, ec) ? base / theme
                                                              : std::filesystem::path();
}

}  // namespace

GameFolders FindGameFolders(const FolderSearch& search) {
    GameFolders folders;
    const std::filesystem::path bin = search.executable.parent_path();
    const std::filesystem::path shared = (bin / ".." / "share" / "vrumbal").lexically_normal();
    if (!search.executable.empty() && HoldsGameData(shared)) {
        const std::filesystem::path dataHome = XdgDataHome(search.xdgDataHome, search.home);
        if (!dataHome.empty()) {
            folders.layout = GameLayout::kInstalled;
            folders.dataRoot = shared;
            folders.saveFolder = dataHome / "vrumbal" / "Save";
            folders.iconFile = IconFile(folders);
            return folders;
        }
    }
    if (!search.executable.empty() && HoldsGameData(bin)) {
        folders.layout = GameLayout::kPortable;
        folders.dataRoot = bin;
    } else {
        folders.layout = GameLayout::kWorkingDirectory;
        folders.dataRoot = search.workingDirectory;
    }
    folders.saveFolder = folders.dataRoot / "Data" / "Save";
    folders.iconFile = IconFile(folders);
    return folders;
}

FolderSearch ThisProcessSearch() {
    FolderSearch search;
    std::error_code ec;
    search.executable = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) search.executable.clear();
    search.workingDirectory = std::filesystem::current_path(ec);
    if (ec) search.workingDirectory = ".";
    search.xdgDataHome = Environment("XDG_DATA_HOME");
    search.home = Environment("HOME");
    return search;
}

}  // namespace vrumbal
