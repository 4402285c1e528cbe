// Where the game finds its data and keeps its saves, however it was laid out on the machine.
#pragma once
#include <filesystem>
#include <optional>
#include <string>

namespace vrumbal {

// How the game was laid out on the machine.
enum class GameLayout {
    kInstalled,         // data under PREFIX/share/vrumbal beside PREFIX/bin
    kPortable,          // a Data folder beside the binary (the build tree, an unpacked archive)
    kWorkingDirectory,  // neither: the data is looked for in the working directory
};

// Where the game reads its data and keeps its save files.
struct GameFolders {
    GameLayout layout = GameLayout::kWorkingDirectory;  // how they were found
    std::filesystem::path dataRoot;                     // the folder holding Data/
    std::filesystem::path saveFolder;                   // where options and hs live
    std::filesystem::path iconFile;                     // the window's icon; empty: none
};

// The file beside the saves that keeps the window's last place and size.
std::filesystem::path WindowFilePath(const std::filesystem::path& saveFolder);

// What the search looks at: the binary's own path, the working directory and the
// environment's XDG_DATA_HOME and HOME (unset: nothing).
struct FolderSearch {
    std::filesystem::path executable;
    std::filesystem::path workingDirectory;
    std::optional<std::string> xdgDataHome;
    std::optional<std::string> home;
};

// Finds the data relative to the binary: ../share/vrumbal/Data (installed; the saves then go
// to the XDG data home, $XDG_DATA_HOME/vrumbal/Save or ~/.local/share/vrumbal/Save, never
// into the data folder), else a Data folder beside the binary, else the working directory
// (the saves in Data/Save of the data root in both).
GameFolders FindGameFolders(const FolderSearch& search);

// The XDG data home: $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share;
// empty when neither is known.
std::filesystem::path XdgDataHome(const std::optional<std::string>& xdgDataHome,
                                  const std::optional<std::string>& home);

// The search for this process: /proc/self/exe, the working directory and the environment.
FolderSearch ThisProcessSearch();

}  // namespace vrumbal
