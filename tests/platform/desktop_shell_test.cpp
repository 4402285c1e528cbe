#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "platform/system_shell.h"
#include "platform/url_shortcut.h"
#include "support/test_support.h"

namespace vrumbal {
namespace {

TEST(UrlShortcut, FindsTheUrlLine) {
    struct Case {
        const char* name;
        std::string contents;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"alone", "URL=http://example.com/a", "http://example.com/a"},
        {"among other lines", "[InternetShortcut]\nIconIndex=0\nURL=http://example.com/b\nX=1\n",
         "http://example.com/b"},
        {"CR LF line ends", "[InternetShortcut]\r\nURL=https://example.com/c?x=1&y=2\r\nA=b\r\n",
         "https://example.com/c?x=1&y=2"},
        {"key in any case, spaces around", "[InternetShortcut]\n  url = http://e.com/d  \n",
         "http://e.com/d"},
        {"the address keeps its own '='", "URL=http://e.com/?a=b=c", "http://e.com/?a=b=c"},
        {"a line in another section does not count",
         "[Other]\nURL=http://wrong.com\n[InternetShortcut]\nURL=http://right.com\n",
         "http://right.com"},
        {"a key that only starts with URL", "URLX=http://e.com\n", std::nullopt},
        {"missing", "[InternetShortcut]\r\nIconIndex=0\r\n", std::nullopt},
        {"empty address", "URL=\r\n", std::nullopt},
        {"empty file", "", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseUrlShortcut(c.contents), c.expected) << c.name;
}

TEST(UrlShortcut, NamesAndAddresses) {
    EXPECT_TRUE(IsUrlShortcutName("play.url"));
    EXPECT_TRUE(IsUrlShortcutName("MoreGames.URL"));
    EXPECT_FALSE(IsUrlShortcutName("url"));
    EXPECT_FALSE(IsUrlShortcutName("play.url.txt"));
    EXPECT_TRUE(IsWebAddress("http://example.com"));
    EXPECT_TRUE(IsWebAddress("HTTPS://example.com"));
    EXPECT_TRUE(IsWebAddress("mailto:someone@example.com"));
    EXPECT_FALSE(IsWebAddress("file:///etc/passwd"));
    EXPECT_FALSE(IsWebAddress("/usr/bin/xterm"));
    EXPECT_FALSE(IsWebAddress("http://"));
}

// Puts a stand-in opener first on PATH that writes each argument it gets on its own line.
class ShellOpen : public ::testing::Test {
protected:
    void SetUp() override {
        const char* path = getenv("PATH");
        oldPath_ = path != nullptr ? path : "";
        log_ = dir_.Path() / "opened.txt";
        const auto opener = dir_.Path() / "xdg-open";
        // It waits (at most 20 s) for the test's word to go on, so a caller that waited
        // for it to finish would be seen.
        std::ofstream(opener) << "#!/bin/sh\nn=0; while [ ! -e \"" << Release().string()
                              << "\" ] && [ $n -lt 200 ]; do sleep 0.1; n=$((n+1)); done\n"
                              << "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \""
                              << (dir_.Path() / "partial.txt").string() << "\"\nmv \""
                              << (dir_.Path() / "partial.txt").string() << "\" \"" << log_.string()
                              << "\"\n";
        std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
        setenv("PATH", (dir_.Path().string() + ":" + oldPath_).c_str(), 1);
    }
    void TearDown() override { setenv("PATH", oldPath_.c_str(), 1); }

    // The file that lets the opener go on.
    std::filesystem::path Release() const { return dir_.Path() / "release"; }

    // What the opener was given, once it has run; nothing if it has not within a while.
    std::optional<std::string> Opened(std::chrono::milliseconds patience) {
        std::ofstream{Release()};
        const auto until = std::chrono::steady_clock::now() + patience;
        while (std::chrono::steady_clock::now() < until) {
            if (std::filesystem::exists(log_)) {
                std::ifstream in(log_);
                std::stringstream text;
                text << in.rdbuf();
                return text.str();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::nullopt;
    }

    void WriteFile(const std::string& name, const std::string& contents) {
        std::ofstream(dir_.Path() / name, std::ios::binary) << contents;
    }

    test::TempDir dir_;
    std::filesystem::path log_;
    std::string oldPath_;
};

TEST_F(ShellOpen, HandsTheTargetOverAsOneArgumentWithoutAShell) {
    const std::string tricky =
        "http://e.com/a b\";touch " + (dir_.Path() / "pwned").string() + ";'$(id)'";
    CreateDesktopShell()->Open(tricky);
    // Open starts the opener and returns at once, before the opener (held back) has run.
    EXPECT_FALSE(std::filesystem::exists(log_));
    EXPECT_EQ(Opened(test::Patience(std::chrono::seconds(5))), tricky + "\n");
    EXPECT_FALSE(std::filesystem::exists(dir_.Path() / "pwned"));
}

TEST_F(ShellOpen, AShortcutFileOpensItsAddress) {
    WriteFile("play.url", "[InternetShortcut]\r\nURL=http://example.com/play\r\nIconIndex=0\r\n");
    CreateDesktopShell()->Open((dir_.Path() / "play.url").string());
    EXPECT_EQ(Opened(test::Patience(std::chrono::seconds(5))), "http://example.com/play\n");
}

TEST_F(ShellOpen, AShortcutWithoutAWebAddressOpensNothing) {
    struct Case {
        const char* name;
        const char* contents;  // null: the file does not exist
    };
    const Case cases[] = {
        {"no URL line", "[InternetShortcut]\r\nIconIndex=0\r\n"},
        {"a local program", "[InternetShortcut]\r\nURL=file:///usr/bin/xterm\r\n"},
        {"missing file", nullptr}};
    auto shell = CreateDesktopShell();
    for (const Case& c : cases) {
        const std::string name = std::string(c.name) + ".url";
        if (c.contents != nullptr) WriteFile(name, c.contents);
        shell->Open((dir_.Path() / name).string());
    }
    EXPECT_EQ(Opened(std::chrono::milliseconds(500)), std::nullopt);
}

TEST_F(ShellOpen, ANameStartingWithADashIsNotAnOption) {
    CreateDesktopShell()->Open("-help");
    EXPECT_EQ(Opened(test::Patience(std::chrono::seconds(5))), "./-help\n");
}

TEST(DesktopShell, ShowErrorWritesTitleAndTextToStandardError) {
    // The test programs run with SDL's headless video driver, so no box waits for a click.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    auto shell = CreateDesktopShell();
    ::testing::internal::CaptureStderr();
    shell->ShowError("Vrumbal", "Display mode cannot be changed (800x600 16bit)");
    shell->ShowError("\xCE\xF8\xE8\xE1\xEA\xE0", "x");  // "Ошибка" in the game's code page
    const std::string written = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(written.find("Vrumbal: Display mode cannot be changed (800x600 16bit)\n"),
              std::string::npos);
    EXPECT_NE(written.find("\xD0\x9E\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xB0: x\n"),
              std::string::npos);
}

}  // namespace
}  // namespace vrumbal
