// The headless game the rigs share: its data, its creation, its frames and its window events.
#include "support/game_rig.h"

#include "engine/library_writer.h"
#include "game/kinds.h"
#include "race/player.h"

namespace vrumbal::test {

PictureLibraryData RacePictures() {
    PictureLibraryData lib;
    for (int i = 0; i <= 37; ++i) lib.items.push_back(SolidPicture(8, 8, 1, 0x404040));
    lib.items[1] = SolidPicture(72, 72, 50, 0x606060);  // road tiles, one pattern per map byte
    lib.items[4] = SolidPicture(60, 8, 1, 0xFF0000);    // needle
    lib.items[10] = SolidPicture(10, 14, 1, 0x101010);  // tyre mark
    for (int model = 1; model <= 5; ++model) {
        const BikeModel& m = BikeModelOf(model);
        lib.items[static_cast<std::size_t>(m.uprightPicture)] =
            SolidPicture(kBikeWidth, kBikeHeight, 1, 0x2040C0);
        lib.items[static_cast<std::size_t>(m.crashPicture)] =
            SolidPicture(60, 100, m.crashFrames, 0xC04020);
        lib.items[static_cast<std::size_t>(m.leanLeftPicture)] =
            SolidPicture(kBikeWidth, kBikeHeight, kLeanPatterns, 0x20C040);
        lib.items[static_cast<std::size_t>(m.leanRightPicture)] =
            SolidPicture(kBikeWidth, kBikeHeight, kLeanPatterns, 0x40C020);
    }
    return lib;
}

void WriteGameData(const std::filesystem::path& root, const std::vector<std::uint8_t>& list1,
                   const std::vector<std::uint8_t>& list2, const std::vector<std::uint8_t>& list3,
                   bool songs) {
    const auto data = root / "Data";
    WriteFile(data / "Res" / "Res1.dxg", list1);
    WriteFile(data / "Res" / "Res2.dxg", list2);
    WriteFile(data / "Res" / "Res3.dxg", list3);
    WriteFile(data / "Res" / "Sounds.dxw", NumberedSounds(22));
    if (songs) {
        WriteFile(data / "Music" / "Menu.xm", {1, 2, 3});
        WriteFile(data / "Music" / "Race.xm", {4, 5, 6});
    }
}

GameRig::GameRig(int fps, std::unique_ptr<PlatformLog> log)
    : log_(std::move(log)), fps_(fps), steps_(fps) {}

GameRig::~GameRig() = default;

PlatformBundle GameRig::RecordingPlatform(PlayingState playing) {
    return FakePlatform(*log_, clock_, playing);
}

void GameRig::Create(PlatformBundle platform, std::uint64_t seed) {
    FormConfig config;
    config.dataRoot = dir_.Path();
    config.seed = seed;
    config.refreshOverride = fps_;
    // The game's own language whatever the test's environment says, with the build's
    // catalogues at hand for the player to choose another.
    config.language = "ru";
    config.localeDir = std::filesystem::path(VRUMBAL_BUILD_DIR) / "locale";
    form_ = std::make_unique<TMForm>(std::move(platform), config);
    form_->FormCreate();
}

void GameRig::Frames(int n) {
    for (int i = 0; i < n; ++i) {
        BeforeFrame();
        form_->PollPads();
        clock_->AdvanceMicros(steps_.Next());
        form_->MDXTimer.Idle();
    }
}

int GameRig::FramesWhileOpen(int kind, int limit) {
    int n = 0;
    for (; n < limit && Game().DialogKind == kind; ++n) Frames(1);
    return n;
}

void GameRig::PassLevelStart() {
    FramesWhileOpen(kDialogLevelStart, fps_ * 5);
}

int GameRig::PassIntro() {
    int n = 0;
    for (; n < 200 && Game().MenuIntroActive != 0; ++n) Frames(1);
    return n;
}

void GameRig::KeyDown(int vk, std::uint8_t shift) {
    form_->HandleEvent(KeyEvent(WindowEvent::Type::KeyDown, vk, shift));
}

void GameRig::KeyUp(int vk, std::uint8_t shift) {
    form_->HandleEvent(KeyEvent(WindowEvent::Type::KeyUp, vk, shift));
}

void GameRig::Tap(int vk, std::uint8_t shift) {
    KeyDown(vk, shift);
    Frames(1);
    KeyUp(vk, shift);
}

void GameRig::Type(std::uint8_t ch) {
    form_->HandleEvent(CharEvent(ch));
}

void GameRig::Type(const std::string& cp1251) {
    for (char c : cp1251) Type(static_cast<std::uint8_t>(c));
}

void GameRig::MoveMouse(int x, int y) {
    form_->HandleEvent(PointerEvent(WindowEvent::Type::MouseMove, x, y));
}

void GameRig::Click(int x, int y) {
    MoveMouse(x, y);
    // A frame passes between the move and the press, as it does for a hand on the mouse.
    Frames(1);
    form_->HandleEvent(PointerEvent(WindowEvent::Type::Click, x, y));
}

void GameRig::DoubleClick(int x, int y) {
    // The window reports a click for the first press and a double click for the second.
    Click(x, y);
    form_->HandleEvent(PointerEvent(WindowEvent::Type::DoubleClick, x, y));
}

}  // namespace vrumbal::test
