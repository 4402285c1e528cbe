// Drives the real main form headless: libraries written to a temporary Data folder, a
// simulated clock, no window, a recording sound output.
#include "shell/main_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "save/save_paths.h"
#include "support/fake_platform.h"
#include "support/test_support.h"

namespace vrumbal {
namespace {

using test::NumberedSounds;
using test::SmallPictures;
using test::WriteFile;

// Starts are counted by sound number and by sample bytes (sound n has n + 1).
using PlayLog = test::PlatformLog;

class MainFormTest : public testing::Test {
protected:
    void SetUp() override {
        const auto res = dir_.Path() / "Data" / "Res";
        WriteFile(res / "Res1.dxg", SmallPictures(3, 0x102030, 0x102030));
        WriteFile(res / "Res2.dxg", SmallPictures(2, 0x102030, 0x102030));
        WriteFile(res / "Res3.dxg", SmallPictures(1, 0x102030, 0x102030));
        WriteFile(res / "Sounds.dxw", NumberedSounds(22));
        WriteFile(dir_.Path() / "Data" / "Music" / "Menu.xm", {1, 2, 3});
    }

    std::unique_ptr<TMForm> MakeForm(int refresh = 85) {
        PlatformBundle p = test::FakePlatform(log_, clock_);
        FormConfig config;
        config.dataRoot = dir_.Path();
        config.seed = 7;
        config.refreshOverride = refresh;
        return std::make_unique<TMForm>(std::move(p), config);
    }

    // Runs frames at the given rate, delivering no events.
    void RunFrames(TMForm& form, int count, int fps = 85) {
        for (int i = 0; i < count; ++i) {
            clock_->AdvanceMicros(1000000 / fps);
            form.MDXTimer.Idle();
        }
    }

    static WindowEvent Key(WindowEvent::Type type, int code) {
        WindowEvent e{type};
        e.key = code;
        return e;
    }

    test::TempDir dir_;
    PlayLog log_;
    std::vector<std::string>& opened_ = log_.opened;
    SimulatedClock* clock_ = nullptr;
};

TEST_F(MainFormTest, StartUpLoadsEverythingAndEntersTheMenu) {
    auto form = MakeForm();
    form->FormCreate();
    EXPECT_EQ(form->MDXImageList1.Items().Count(), 3);
    EXPECT_EQ(form->MDXImageList3.Items().Count(), 1);
    EXPECT_EQ(form->MDXWaveList.Items().Count(), 22);
    EXPECT_TRUE(form->MDXDraw.Initialized());
    EXPECT_EQ(form->State().ScreenKind, kScreenMainMenu);
    EXPECT_EQ(form->State().MenuSelection, 1);
    EXPECT_EQ(log_.plays[1], 1);     // the slide-in sound
    EXPECT_EQ(log_.songsLoaded, 1);  // the menu song
    EXPECT_NE(form->CurrentSong(), 0);
}

TEST_F(MainFormTest, MissingOrDamagedLibraryStopsStartUpWithItsMessage) {
    const struct {
        const char* file;
        std::vector<std::uint8_t> bytes;  // empty: the file is removed
        const char* message;
    } cases[] = {
        {"Res2.dxg", {}, "Cannot open file \""},
        {"Res3.dxg", {0xFF, 0x0A, 0x00}, "Stream read error"},
        {"Sounds.dxw", {0x00, 0x0A, 0x00, 0, 0, 0, 0, 0, 0, 0}, "Invalid stream format"},
    };
    for (const auto& c : cases) {
        SetUp();
        const auto path = dir_.Path() / "Data" / "Res" / c.file;
        if (c.bytes.empty()) {
            std::filesystem::remove(path);
        } else {
            WriteFile(path, c.bytes);
        }
        auto form = MakeForm();
        try {
            form->FormCreate();
            ADD_FAILURE() << c.file << " did not stop start-up";
        } catch (const std::exception& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << c.file << ": " << e.what();
        }
    }
}

TEST_F(MainFormTest, FrameRateSettlesOnTheRefreshAndPaceFollows) {
    const struct {
        int fps, refresh;
        double speedFactor;
        int frameMs;
    } cases[] = {{85, 85, 1.0, 11},
                 {60, 60, 85.0 / 60, 16},
                 {40, 60, 85.0 / 40, 25},
                 {144, 60, 85.0 / 60, 16}};
    for (const auto& c : cases) {
        auto form = MakeForm(c.refresh);
        form->FormCreate();
        RunFrames(*form, 1, c.fps);
        // The first second has no measurement: the refresh rate sets the pace.
        EXPECT_EQ(form->State().MeasuredFrameRate, 0);
        EXPECT_DOUBLE_EQ(form->State().SpeedFactor, 85.0 / c.refresh);
        RunFrames(*form, c.fps * 3, c.fps);
        EXPECT_NEAR(form->State().MeasuredFrameRate, c.fps, 1) << c.fps;
        EXPECT_DOUBLE_EQ(form->State().SpeedFactor, c.speedFactor) << c.fps;
        EXPECT_EQ(form->State().FrameMs, c.frameMs) << c.fps;
    }
}

TEST_F(MainFormTest, HeldKeyStepsTheSelectionOncePerPress) {
    auto form = MakeForm();
    form->FormCreate();
    RunFrames(*form, 5);
    const int clicksBefore = log_.plays[2];  // sound 1 (selection) has two sample bytes
    form->HandleEvent(Key(WindowEvent::Type::KeyDown, 0x28));
    RunFrames(*form, 30);
    EXPECT_EQ(form->State().MenuSelection, 2);
    EXPECT_EQ(log_.plays[2], clicksBefore + 1);
    form->HandleEvent(Key(WindowEvent::Type::KeyUp, 0x28));
    RunFrames(*form, 2);
    form->HandleEvent(Key(WindowEvent::Type::KeyDown, 0x28));
    RunFrames(*form, 1);
    EXPECT_EQ(form->State().MenuSelection, 3);
    // A press and release between two frames (a quick tap during a long frame) still counts,
    // once.
    form->HandleEvent(Key(WindowEvent::Type::KeyUp, 0x28));
    form->HandleEvent(Key(WindowEvent::Type::KeyDown, 0x26));
    form->HandleEvent(Key(WindowEvent::Type::KeyUp, 0x26));
    RunFrames(*form, 3);
    EXPECT_EQ(form->State().MenuSelection, 2);
    // Up from the first entry wraps to the last.
    form->State().MenuSelection = 1;
    form->HandleEvent(Key(WindowEvent::Type::KeyDown, 0x26));
    RunFrames(*form, 1);
    EXPECT_EQ(form->State().MenuSelection, 6);
}

TEST_F(MainFormTest, KeysReadAsReleasedWhileTheWindowIsBehind) {
    auto form = MakeForm();
    form->FormCreate();
    RunFrames(*form, 2);
    form->HandleEvent(Key(WindowEvent::Type::KeyDown, 0x28));
    form->HandleEvent(WindowEvent{WindowEvent::Type::FocusLost});
    form->UpdateKeyEdges();
    EXPECT_EQ(form->State().EdgeDown, 0);
    EXPECT_FALSE(form->MDXInput.State(1));
    // The timer rests in the background: no frame runs.
    const auto frames = form->FrameCount();
    RunFrames(*form, 10);
    EXPECT_EQ(form->FrameCount(), frames);
    // Back in front, a key held now counts as a new press.
    form->HandleEvent(WindowEvent{WindowEvent::Type::FocusGained});
    form->HandleEvent(Key(WindowEvent::Type::KeyDown, 0x28));
    RunFrames(*form, 1);
    EXPECT_EQ(form->FrameCount(), frames + 1);
    EXPECT_EQ(form->State().MenuSelection, 2);
}

TEST_F(MainFormTest, CloseAsksAndOnlyYesQuits) {
    std::ofstream(dir_.Path() / "play.url") << "[InternetShortcut]\r\nURL=http://localhost/\r\n";
    auto form = MakeForm();
    form->FormCreate();
    RunFrames(*form, 3);
    form->State().MenuSelection = 4;
    EXPECT_FALSE(form->FormCloseQuery());
    EXPECT_EQ(form->State().DialogKind, 1);
    EXPECT_EQ(form->State().MenuSelection, 12);  // No is the default
    form->HandleEvent(Key(WindowEvent::Type::KeyDown, 'N'));
    RunFrames(*form, 1);
    EXPECT_EQ(form->State().DialogKind, 0);
    EXPECT_EQ(form->State().MenuSelection, 4);  // the menu continues where it was
    EXPECT_FALSE(form->Terminated());
    form->HandleEvent(Key(WindowEvent::Type::KeyUp, 'N'));
    form->HandleEvent(WindowEvent{WindowEvent::Type::Close});
    form->HandleEvent(Key(WindowEvent::Type::KeyDown, 'Y'));
    RunFrames(*form, 1);
    EXPECT_TRUE(form->Terminated());
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_NE(opened_[0].find("play.url"), std::string::npos);
}

// The save folder changes under a running game; quitting still ends the game, and what could
// not be kept is told in one message.
TEST_F(MainFormTest, QuitEndsTheGameWhateverBecameOfTheSaveFolder) {
    namespace fs = std::filesystem;
    struct Case {
        const char* what;
        void (*change)(const fs::path& saveFolder);
        bool saved;  // both files written, no message
    };
    const Case cases[] = {
        {"left alone", [](const fs::path&) {}, true},
        {"removed", [](const fs::path& folder) { fs::remove_all(folder); }, true},
        // A plain file where the folder was cannot be written into, not even by root.
        {"replaced by a file",
         [](const fs::path& folder) {
             fs::remove_all(folder);
             std::ofstream(folder) << "not a folder";
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        log_.errors.clear();
        const fs::path folder = OptionsFilePath(dir_.Path()).parent_path();
        fs::remove_all(folder);
        auto form = MakeForm();
        form->FormCreate();
        RunFrames(*form, 3);
        c.change(folder);
        form->HandleEvent(WindowEvent{WindowEvent::Type::Close});
        form->HandleEvent(Key(WindowEvent::Type::KeyDown, 'Y'));
        RunFrames(*form, 1);
        EXPECT_TRUE(form->Terminated());
        EXPECT_EQ(fs::is_regular_file(OptionsFilePath(dir_.Path())), c.saved);
        EXPECT_EQ(fs::is_regular_file(HighScoreFilePath(dir_.Path())), c.saved);
        if (c.saved) {
            EXPECT_TRUE(log_.errors.empty());
        } else {
            ASSERT_EQ(log_.errors.size(), 1u);
            EXPECT_NE(log_.errors[0].find("Save"), std::string::npos) << log_.errors[0];
        }
        fs::remove_all(folder);
    }
}

TEST_F(MainFormTest, CloseDoesNothingOnOtherScreensAndPausesNothingOnTheMenu) {
    auto form = MakeForm();
    form->FormCreate();
    form->State().ScreenKind = kScreenOptions;
    form->FormCloseQuery();
    EXPECT_EQ(form->State().DialogKind, 0);
    form->State().ScreenKind = kScreenRace;
    form->FormCloseQuery();
    EXPECT_EQ(form->State().DialogKind, 2);
}

TEST_F(MainFormTest, NoFrameRunsWhileTheSurfaceCannotDraw) {
    auto form = MakeForm();
    form->FormCreate();
    RunFrames(*form, 2);
    const auto flips = form->MDXDraw.FlipCount();
    form->MDXDraw.Finalize();
    form->HandleEvent(Key(WindowEvent::Type::KeyDown, 0x28));
    RunFrames(*form, 5);
    EXPECT_EQ(form->MDXDraw.FlipCount(), flips);
    EXPECT_EQ(form->State().MenuSelection, 1);  // no logic ran either
    form->MDXDraw.Initialize();
    RunFrames(*form, 1);
    EXPECT_EQ(form->MDXDraw.FlipCount(), flips + 1);
}

TEST_F(MainFormTest, SoundOffStartsNothing) {
    auto form = MakeForm();
    form->FormCreate();
    form->State().SoundOn = 0;
    const auto before = log_.plays;
    form->PlaySound(kSoundGearShift);
    form->PlaySound(kSoundSelect);
    form->PlaySound(static_cast<SoundId>(99));  // not in the library: silent, no failure
    EXPECT_EQ(log_.plays, before);
    form->State().SoundOn = 1;
    form->PlaySound(static_cast<SoundId>(99));
    form->PlaySound(static_cast<SoundId>(-1));
    form->PlaySound(kSoundGearShift);
    EXPECT_EQ(log_.plays[6], before.count(6) ? before.at(6) + 1 : 1);
}

TEST_F(MainFormTest, SeveralGamesRunSideBySide) {
    auto a = MakeForm();
    SimulatedClock* clockA = clock_;
    auto b = MakeForm();
    SimulatedClock* clockB = clock_;
    a->FormCreate();
    b->FormCreate();
    a->HandleEvent(Key(WindowEvent::Type::KeyDown, 0x28));
    for (int i = 0; i < 5; ++i) {
        clockA->AdvanceMs(12);
        clockB->AdvanceMs(12);
        a->MDXTimer.Idle();
        b->MDXTimer.Idle();
    }
    EXPECT_EQ(a->State().MenuSelection, 2);
    EXPECT_EQ(b->State().MenuSelection, 1);
}

}  // namespace
}  // namespace vrumbal
