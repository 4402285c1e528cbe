// Where the game finds its data and keeps its saves in each layout: installed under a prefix,
// portable with Data beside the binary, and from the working directory.
#include "shell/game_folders.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/test_support.h"

namespace vrumbal {
namespace {

namespace fs = std::filesystem;

// Makes root/relative/Data/Res, the mark of a folder that holds the game's data.
void MakeData(const fs::path& root) {
    fs::create_directories(root / "Data" / "Res");
}

TEST(GameFolders, EachLayoutFindsItsDataAndItsSaves) {
    test::TempDir dir;
    const fs::path root = dir.Path();
    // An installed game under prefix/, a portable one under portable/, and a bare binary.
    MakeData(root / "prefix" / "share" / "vrumbal");
    fs::create_directories(root / "prefix" / "bin");
    MakeData(root / "portable");
    fs::create_directories(root / "bare");
    MakeData(root / "work");
    // Both at once: the installed data wins.
    MakeData(root / "both" / "share" / "vrumbal");
    MakeData(root / "both" / "bin");

    const struct {
        const char* what;
        fs::path executable;
        std::optional<std::string> xdg, home;
        GameLayout layout;
        fs::path dataRoot, saveFolder;
    } cases[] = {
        {"installed, XDG_DATA_HOME set", root / "prefix/bin/vrumbal", "/x/data", "/home/a",
         GameLayout::kInstalled, root / "prefix/share/vrumbal", "/x/data/vrumbal/Save"},
        {"installed, the default data home", root / "prefix/bin/vrumbal", std::nullopt, "/home/a",
         GameLayout::kInstalled, root / "prefix/share/vrumbal",
         "/home/a/.local/share/vrumbal/Save"},
        {"installed, a relative XDG_DATA_HOME is ignored", root / "prefix/bin/vrumbal", "rel/data",
         "/home/a", GameLayout::kInstalled, root / "prefix/share/vrumbal",
         "/home/a/.local/share/vrumbal/Save"},
        {"installed, an empty XDG_DATA_HOME is ignored", root / "prefix/bin/vrumbal", "", "/home/b",
         GameLayout::kInstalled, root / "prefix/share/vrumbal",
         "/home/b/.local/share/vrumbal/Save"},
        {"installed without any home: the working directory", root / "prefix/bin/vrumbal",
         std::nullopt, std::nullopt, GameLayout::kWorkingDirectory, root / "work",
         root / "work/Data/Save"},
        {"installed and portable at once", root / "both/bin/vrumbal", "/x", "/home/a",
         GameLayout::kInstalled, root / "both/share/vrumbal", "/x/vrumbal/Save"},
        {"portable", root / "portable/vrumbal", "/x", "/home/a", GameLayout::kPortable,
         root / "portable", root / "portable/Data/Save"},
        {"neither", root / "bare/vrumbal", "/x", "/home/a", GameLayout::kWorkingDirectory,
         root / "work", root / "work/Data/Save"},
        {"no binary path", "", "/x", "/home/a", GameLayout::kWorkingDirectory, root / "work",
         root / "work/Data/Save"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const GameFolders found = FindGameFolders({c.executable, root / "work", c.xdg, c.home});
        EXPECT_EQ(found.layout, c.layout);
        EXPECT_EQ(found.dataRoot.lexically_normal(), c.dataRoot.lexically_normal());
        EXPECT_EQ(found.saveFolder.lexically_normal(), c.saveFolder.lexically_normal());
        // The saves never go into an installed data folder.
        if (found.layout == GameLayout::kInstalled) {
            EXPECT_EQ(found.saveFolder.string().find(found.dataRoot.string()), std::string::npos);
        }
    }
}

TEST(GameFolders, TheWindowIconComesFromTheIconTheme) {
    test::TempDir dir;
    const fs::path root = dir.Path();
    MakeData(root / "prefix" / "share" / "vrumbal");
    const fs::path icon =
        root / "prefix/share/icons/hicolor/64x64/apps" / (std::string(VRUMBAL_APP_ID) + ".png");
    fs::create_directories(icon.parent_path());
    std::ofstream(icon) << "png";
    MakeData(root / "build");
    const GameFolders installed =
        FindGameFolders({root / "prefix/bin/vrumbal", root, std::nullopt, "/home/a"});
    EXPECT_EQ(installed.iconFile.lexically_normal(), icon.lexically_normal());
    // A build tree without its icons built: no icon, no failure.
    const GameFolders portable =
        FindGameFolders({root / "build/vrumbal", root, std::nullopt, "/home/a"});
    EXPECT_TRUE(portable.iconFile.empty());
}

}  // namespace
}  // namespace vrumbal
