// The player's install: what `cmake --install` lays out, the desktop entry and metainfo as
// the desktop's own validators read them, and the Debian package, checked by lintian and
// started from an unpacked copy.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "support/test_support.h"

namespace vrumbal {
namespace {

namespace fs = std::filesystem;

const fs::path kBuild = VRUMBAL_BUILD_DIR;
const std::string kAppId = VRUMBAL_APP_ID;

std::string Quote(const fs::path& p) {
    return "'" + p.string() + "'";
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The files below root, as paths relative to it.
std::set<std::string> FilesBelow(const fs::path& root) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_directory()) files.insert(entry.path().lexically_relative(root).string());
    }
    return files;
}

// The player's install below its prefix: the game, its data and its desktop files.
std::set<std::string> GameFiles() {
    std::set<std::string> files = {
        "bin/vrumbal",
        "games/vrumbal",
        "share/vrumbal/Data/Res/Res1.dxg",
        "share/vrumbal/Data/Res/Res2.dxg",
        "share/vrumbal/Data/Res/Res3.dxg",
        "share/vrumbal/Data/Res/Sounds.dxw",
        "share/vrumbal/Data/Res/en/Res1.dxg",
        "share/vrumbal/Data/Res/en/Res2.dxg",
        "share/vrumbal/Data/Res/en/Res3.dxg",
        "share/locale/en/LC_MESSAGES/vrumbal.mo",
        "share/locale/ru/LC_MESSAGES/vrumbal.mo",
        "share/vrumbal/Data/Music/Menu.xm",
        "share/vrumbal/Data/Music/Race.xm",
        "share/applications/" + kAppId + ".desktop",
        "share/metainfo/" + kAppId + ".metainfo.xml",
        "share/man/man6/vrumbal.6.gz",
        "share/doc/vrumbal/copyright",
        "share/doc/vrumbal/changelog.gz",
    };
    for (int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
        const std::string side = std::to_string(size);
        files.insert("share/icons/hicolor/" + side + "x" + side + "/apps/" + kAppId + ".png");
    }
    return files;
}

// Installs one component of the build under prefix; the exit status, its messages in output.
int Install(const std::string& component, const fs::path& prefix, std::string& output) {
    return test::RunCommand("cmake --install " + Quote(kBuild) + " --component " + component +
                                " --prefix " + Quote(prefix) + " 2>&1",
                            &output);
}

TEST(Install, LaysOutTheGameItsDataAndItsDesktopFiles) {
    test::TempDir dir;
    std::string output;
    ASSERT_EQ(Install("game", dir.Path(), output), 0) << output;
    EXPECT_EQ(FilesBelow(dir.Path()), GameFiles());
    // Neither the developer's tool nor the score server is the player's.
    EXPECT_FALSE(fs::exists(dir.Path() / "bin" / "vrumbal-tool"));
    EXPECT_FALSE(fs::exists(dir.Path() / "bin" / "vrumbal-scores"));
    // One version everywhere.
    const std::string metainfo =
        ReadAll(dir.Path() / "share/metainfo" / (kAppId + ".metainfo.xml"));
    EXPECT_NE(metainfo.find("<release version=\"" VRUMBAL_VERSION "\""), std::string::npos);
    EXPECT_NE(metainfo.find("GPL-3.0-or-later"), std::string::npos);
    std::string man;
    ASSERT_EQ(
        test::RunCommand("gzip -dc " + Quote(dir.Path() / "share/man/man6/vrumbal.6.gz"), &man), 0);
    EXPECT_NE(man.find(".TH VRUMBAL 6"), std::string::npos);
    EXPECT_NE(man.find("vrumbal " VRUMBAL_VERSION), std::string::npos);
    // The desktop entry starts the game and names the window's class and the icon.
    const std::string entry = ReadAll(dir.Path() / "share/applications" / (kAppId + ".desktop"));
    EXPECT_NE(entry.find("\nExec=vrumbal\n"), std::string::npos);
    EXPECT_NE(entry.find("\nIcon=" + kAppId + "\n"), std::string::npos);
    EXPECT_NE(entry.find("\nStartupWMClass=" + kAppId + "\n"), std::string::npos);
    EXPECT_NE(entry.find("\nCategories=Game;ArcadeGame;\n"), std::string::npos);
}

TEST(Install, TheServerComponentHoldsTheServerAndAHardenedUnit) {
    test::TempDir dir;
    std::string output;
    ASSERT_EQ(Install("server", dir.Path(), output), 0) << output;
    EXPECT_EQ(FilesBelow(dir.Path()),
              (std::set<std::string>{"bin/vrumbal-scores", "lib/systemd/system/vrumbal-scores.service"}));
    std::ifstream in(dir.Path() / "lib/systemd/system/vrumbal-scores.service");
    const std::string unit((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char* line : {"DynamicUser=yes", "ProtectSystem=strict", "StateDirectory=vrumbal-scores",
                             "NoNewPrivileges=yes", "CapabilityBoundingSet=\n"}) {
        EXPECT_NE(unit.find(line), std::string::npos) << line;
    }
    // It starts the server where the install put it (CMake's install prefix of this build),
    // with the arguments the server takes.
    EXPECT_NE(unit.find("/bin/vrumbal-scores --port ${VRUMBAL_SCORES_PORT} --bind "
                        "${VRUMBAL_SCORES_BIND} --db ${VRUMBAL_SCORES_DB}"),
              std::string::npos);
    // systemd's own check of the unit, where systemd is at hand.
    if (test::RunCommand("command -v systemd-analyze >/dev/null") == 0) {
        std::string verify;
        test::RunCommand("systemd-analyze verify " +
                             Quote(dir.Path() / "lib/systemd/system/vrumbal-scores.service") + " 2>&1",
                         &verify);
        EXPECT_EQ(verify.find("Unknown key"), std::string::npos) << verify;
        EXPECT_EQ(verify.find("Failed to parse"), std::string::npos) << verify;
    }
}

TEST(Install, TheDesktopEntryAndTheMetainfoPassTheirValidators) {
    const struct {
        const char* tool;
        std::string command;
    } cases[] = {
        {"desktop-file-validate",
         "desktop-file-validate " + Quote(kBuild / "dist" / (kAppId + ".desktop"))},
        {"appstreamcli",
         "appstreamcli validate --no-net " + Quote(kBuild / "dist" / (kAppId + ".metainfo.xml"))},
    };
    for (const auto& c : cases) {
        std::string output;
        EXPECT_EQ(test::RunCommand(c.command + " 2>&1", &output), 0) << c.tool << ": " << output;
    }
}

TEST(Package, IsLintianCleanAndTheUnpackedGameRunsAndSavesInTheDataHome) {
    test::TempDir dir;
    std::string output;
    ASSERT_EQ(test::RunCommand("cpack -G DEB --config " + Quote(kBuild / "CPackConfig.cmake") +
                                   " -B " + Quote(dir.Path() / "out") + " 2>&1",
                               &output),
              0)
        << output;
    const fs::path deb = dir.Path() / "out" / ("vrumbal_" VRUMBAL_VERSION "_amd64.deb");
    ASSERT_TRUE(fs::exists(deb)) << output;

    std::string fields;
    ASSERT_EQ(test::RunCommand("dpkg-deb -f " + Quote(deb) + " Depends Section", &fields), 0);
    EXPECT_NE(fields.find("libsdl2-2.0-0"), std::string::npos) << fields;
    EXPECT_NE(fields.find("fonts-play"), std::string::npos) << fields;
    EXPECT_NE(fields.find("fonts-dejavu-core"), std::string::npos) << fields;

    std::string lint;
    EXPECT_EQ(test::RunCommand("lintian --fail-on error " + Quote(deb) + " 2>&1", &lint), 0)
        << lint;
    EXPECT_EQ(lint.find("\nE: "), std::string::npos) << lint;

    // Unpacked into a scratch root and started from there, in no particular folder.
    const fs::path root = dir.Path() / "root";
    ASSERT_EQ(test::RunCommand("dpkg-deb -x " + Quote(deb) + " " + Quote(root)), 0);
    // The player's install and nothing else: no score server, no developer's tool.
    EXPECT_EQ(FilesBelow(root / "usr"), GameFiles());
    const fs::path dataHome = dir.Path() / "home";
    // The signal goes once the game has taken the termination signals for its orderly end
    // (SIGTERM blocked, to be read between frames), not after a guessed while.
    const std::string patience =
        std::to_string(test::Patience(std::chrono::milliseconds(10000)).count() / 100);
    const std::string command =
        "cd / && (SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_DATA_HOME=" + Quote(dataHome) +
        " " + Quote(root / "usr/bin/vrumbal") +
        " & pid=$!; n=0; until [ $(( 0x$(awk '/^SigBlk/ {print $2}' /proc/$pid/status"
        " 2>/dev/null || echo 0) & 0x4000 )) -ne 0 ] || [ $n -ge " +
        patience +
        " ]; do sleep 0.1; n=$((n+1)); done; kill -TERM $pid;"
        " (sleep 10; kill -KILL $pid) >/dev/null 2>&1 & w=$!; wait $pid; s=$?;"
        " kill $w 2>/dev/null; exit $s) 2>&1";
    EXPECT_EQ(test::RunCommand(command, &output), 0) << output;
    EXPECT_TRUE(fs::is_regular_file(dataHome / "vrumbal/Save/options"));
    EXPECT_TRUE(fs::is_regular_file(dataHome / "vrumbal/Save/hs"));
    EXPECT_FALSE(fs::exists(root / "usr/share/vrumbal/Data/Save"));
}

}  // namespace
}  // namespace vrumbal
