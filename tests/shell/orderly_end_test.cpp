// Every way a game ends keeps the player's data: the quit question, the desktop session
// ending, a termination signal and an error that escapes a frame; and a display that refuses
// full screen at start-up does not lock the player out.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "save/save_paths.h"
#include "shell/game_run.h"
#include "shell/main_form.h"
#include "support/fake_platform.h"
#include "support/test_support.h"

namespace vrumbal {
namespace {

namespace fs = std::filesystem;
using Type = WindowEvent::Type;

std::string ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class OrderlyEndTest : public testing::Test {
protected:
    void SetUp() override {
        const auto res = dir_.Path() / "Data" / "Res";
        test::WriteFile(res / "Res1.dxg", test::SmallPictures(3, 0x102030, 0x102030));
        test::WriteFile(res / "Res2.dxg", test::SmallPictures(2, 0x102030, 0x102030));
        test::WriteFile(res / "Res3.dxg", test::SmallPictures(1, 0x102030, 0x102030));
        test::WriteFile(res / "Sounds.dxw", test::NumberedSounds(22));
        std::ofstream(dir_.Path() / "play.url")
            << "[InternetShortcut]\r\nURL=http://localhost/\r\n";
        fs::create_directories(dir_.Path() / "fscommand");
        std::ofstream(dir_.Path() / "fscommand" / "trovan.exe") << "MZ";
    }

    std::unique_ptr<TMForm> MakeForm(bool rememberWindow = false) {
        SimulatedClock* clock = nullptr;
        PlatformBundle p = test::FakePlatform(log_, clock);
        test::AddRecordingDisplay(p, log_);
        test::AddRecordingSignals(p, log_);
        FormConfig config;
        config.dataRoot = dir_.Path();
        config.seed = 3;
        config.refreshOverride = 85;
        config.rememberWindow = rememberWindow;
        return std::make_unique<TMForm>(std::move(p), config);
    }

    std::string Options() const { return ReadAll(OptionsFilePath(dir_.Path())); }

    test::TempDir dir_;
    test::PlatformLog log_;
};

TEST_F(OrderlyEndTest, EveryEndWritesTheSavesAndOnlyTheQuitQuestionLaunches) {
    const WindowEvent altEnter{Type::KeyDown, 0x0D, kAlt};
    const struct {
        const char* what;
        std::vector<WindowEvent> events;  // before the first frame, after Alt+Enter
        int endAtPresent, throwAtPresent;
        int status;
        bool launched;  // play.url opened and the launcher started
        int errors;
    } cases[] = {
        {"quit question", {{Type::Close}, {Type::KeyDown, 'Y'}}, 0, 0, 0, true, 0},
        {"session ends", {{Type::Quit}}, 0, 0, 0, false, 0},
        {"termination signal", {}, 6, 0, 0, false, 0},
        {"error in a frame", {}, 0, 6, 1, false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir_.Path() / "Data" / "Save");
        log_ = test::PlatformLog{};
        // The player switched to full screen since start-up: that must reach the disk.
        log_.pending = {altEnter};
        log_.pending.insert(log_.pending.end(), c.events.begin(), c.events.end());
        log_.endAtPresent = c.endAtPresent;
        log_.throwAtPresent = c.throwAtPresent;
        auto form = MakeForm();
        EXPECT_EQ(RunGame(*form), c.status);
        EXPECT_TRUE(form->Terminated() || c.status == 1);
        EXPECT_EQ(Options().substr(0, 3), "1\r\n") << Options();
        EXPECT_TRUE(fs::is_regular_file(HighScoreFilePath(dir_.Path())));
        EXPECT_EQ(log_.opened.size(), c.launched ? 2u : 0u);
        if (c.launched && log_.opened.size() == 2) {
            EXPECT_NE(log_.opened[0].find("play.url"), std::string::npos);
            EXPECT_NE(log_.opened[1].find("trovan.exe"), std::string::npos);
        }
        ASSERT_EQ(static_cast<int>(log_.errors.size()), c.errors);
        if (c.errors > 0) {
            EXPECT_NE(log_.errors[0].find("the display broke"), std::string::npos);
        }
    }
}

TEST_F(OrderlyEndTest, TheWindowsPlaceIsKeptBesideTheSavesWhenTheGameRemembersIt) {
    const fs::path file = dir_.Path() / "Data" / "Save" / "window";
    const struct {
        const char* what;
        bool remember;
        std::optional<PixelRect> window;
        const char* written;  // nullptr: no file
    } cases[] = {
        {"the game", true, PixelRect{10, 20, 1600, 1200}, "10 20 1600 1200\n"},
        {"the game before its window exists", true, std::nullopt, nullptr},
        {"the developer's tool", false, PixelRect{10, 20, 1600, 1200}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir_.Path() / "Data" / "Save");
        log_ = test::PlatformLog{};
        log_.window = c.window;
        log_.pending = {{Type::Quit}};
        auto form = MakeForm(c.remember);
        EXPECT_EQ(RunGame(*form), 0);
        ASSERT_EQ(fs::exists(file), c.written != nullptr);
        if (c.written != nullptr) {
            EXPECT_EQ(ReadAll(file), c.written);
        }
    }
}

TEST_F(OrderlyEndTest, AFailedStartWritesNothing) {
    fs::remove(dir_.Path() / "Data" / "Res" / "Res2.dxg");
    auto form = MakeForm();
    EXPECT_EQ(RunGame(*form), 1);
    ASSERT_EQ(log_.errors.size(), 1u);
    EXPECT_NE(log_.errors[0].find("Res2.dxg"), std::string::npos) << log_.errors[0];
    EXPECT_FALSE(fs::exists(dir_.Path() / "Data" / "Save"));
}

// Started with no screen at all (from a text console, over ssh): the game says so on one line
// and ends at once, before reading or writing a save file. (A headless driver asked for by name
// is still taken: the other tests that start the game run on SDL's dummy one.)
TEST(StartWithoutAScreen, EndsAtOnceWithOneLineAndWritesNothing) {
    test::TempDir dir;
    test::LinkBuiltData(dir.Path());
    fs::copy_file(VRUMBAL_GAME_PATH, dir.Path() / "vrumbal");
    std::string err;
    const int status = test::RunCommand(
        "cd " + dir.Path().string() +
            " && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 20 ./vrumbal "
            "2>&1 >/dev/null",
        &err);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err.rfind("vrumbal: No display to show the game on: looked for DISPLAY (not set) "
                        "and WAYLAND_DISPLAY (not set)",
                        0),
              0u)
        << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_FALSE(fs::exists(dir.Path() / "Data" / "Save"));
}

TEST_F(OrderlyEndTest, FullScreenRefusedAtStartUpGoesOnInTheWindowAndIsNotTriedAgain) {
    const auto options = OptionsFilePath(dir_.Path());
    fs::create_directories(options.parent_path());
    std::ofstream(options, std::ios::binary) << "1\r\n1\r\n1\r\n_______\r\n1\r\n9\r\n";
    log_.refuseFullScreen = true;
    {
        auto form = MakeForm();
        form->FormCreate();
        EXPECT_EQ(form->State().FullScreen, 0);
        EXPECT_EQ(form->State().ScreenKind, kScreenMainMenu);
        EXPECT_TRUE(form->MDXDraw.CanDraw());
        ASSERT_EQ(log_.errors.size(), 1u);
        EXPECT_NE(log_.errors[0].find("Display mode cannot be changed"), std::string::npos);
        std::vector<std::string> opens;
        for (const auto& call : log_.display) {
            if (call.rfind("open", 0) == 0) opens.push_back(call);
        }
        EXPECT_EQ(opens, (std::vector<std::string>{"open full", "open window"}));
        // The window is already what the next start finds.
        EXPECT_EQ(Options().substr(0, 3), "0\r\n");
    }
    log_.errors.clear();
    log_.display.clear();
    auto again = MakeForm();
    again->FormCreate();
    EXPECT_TRUE(log_.errors.empty());
    EXPECT_EQ(log_.display.back(), "open window");
    // Without even a window there is nothing to play in: the start fails with the reason.
    log_.refuseWindow = true;
    std::ofstream(options, std::ios::binary) << "1\r\n1\r\n1\r\n_______\r\n1\r\n9\r\n";
    auto none = MakeForm();
    EXPECT_THROW(none->FormCreate(), std::exception);
}

}  // namespace
}  // namespace vrumbal
