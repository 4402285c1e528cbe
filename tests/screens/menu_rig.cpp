#include "screens/menu_rig.h"

#include "engine/library_writer.h"
#include "race/player.h"

namespace vrumbal::test {
namespace {

// List 1: the menu pictures at their numbers, in the game's sizes and pattern counts.
std::vector<std::uint8_t> MenuPictures() {
    PictureLibraryData lib;
    for (int i = 0; i <= 54; ++i) lib.items.push_back(SolidPicture(4, 4, 1, 0x404040));
    auto set = [&lib](int i, PictureItemData item) {
        lib.items[static_cast<std::size_t>(i)] = std::move(item);
    };
    set(1, SolidPicture(800, 600, 1, 0x202020));
    for (int i = 2; i <= 13; ++i)
        set(i, SolidPicture(280, 52, 1, 0x300000u + static_cast<unsigned>(i)));
    set(22, SolidPicture(4, 23, 1, 0xFFFFFF));
    set(24, SolidPicture(272, 76, 1, 0x00A0A0));
    set(25, SolidPicture(488, 76, 1, 0x00A0A0));
    for (int i = 28; i <= 32; ++i)
        set(i, SolidPicture(256, 205, 1, 0x100000u * static_cast<unsigned>(i)));
    set(33, SolidPicture(406, 152, 1, 0x303030));
    set(34, SolidPicture(138, 44, 2, 0x00FF00));
    set(35, SolidPicture(138, 44, 2, 0x0000FF));
    set(36, SolidPicture(128, 44, 2, 0x808080));
    set(37, SolidPicture(64, 205, 2, 0x808000));
    set(38, SolidPicture(64, 205, 2, 0x800080));
    set(39, SolidPicture(270, 44, 2, 0x008080));
    set(42, SolidPicture(140, 44, 2, 0x408040));
    set(43, SolidPicture(140, 44, 2, 0x404080));
    set(50, SolidPicture(490, 90, 1, 0x604020));
    set(51, SolidPicture(432, 465, 1, 0x181818));
    set(52, SolidPicture(432, 465, 1, 0x181818));
    set(54, SolidPicture(14, 20, 1, 0x00FFFF));
    return WritePictureLibrary(lib);
}

// List 2: the race's pictures (road tiles, needle, bikes) and the bonus pictures 38..42.
std::vector<std::uint8_t> RacePictures() {
    PictureLibraryData lib;
    for (int i = 0; i <= 42; ++i) lib.items.push_back(SolidPicture(8, 8, 1, 0x404040));
    lib.items[1] = SolidPicture(72, 72, 50, 0x606060);
    lib.items[4] = SolidPicture(60, 8, 1, 0xFF0000);
    for (int model = 1; model <= 5; ++model) {
        const BikeModel& m = BikeModelOf(model);
        lib.items[static_cast<std::size_t>(m.uprightPicture)] = SolidPicture(40, 80, 1, 0x2040C0);
        lib.items[static_cast<std::size_t>(m.crashPicture)] =
            SolidPicture(60, 100, m.crashFrames, 0xC04020);
        lib.items[static_cast<std::size_t>(m.leanLeftPicture)] = SolidPicture(40, 80, 6, 0x20C040);
        lib.items[static_cast<std::size_t>(m.leanRightPicture)] = SolidPicture(40, 80, 6, 0x40C020);
    }
    for (int i = 38; i <= 42; ++i)
        lib.items[static_cast<std::size_t>(i)] = SolidPicture(30, 30, 1, 0xFF);
    return WritePictureLibrary(lib);
}

}  // namespace

void WriteMenuData(const std::filesystem::path& root) {
    const auto res = root / "Data" / "Res";
    WriteFile(res / "Res1.dxg", MenuPictures());
    WriteFile(res / "Res2.dxg", RacePictures());
    WriteFile(res / "Res3.dxg", SmallPictures(1, 0x808080));
    WriteFile(res / "Sounds.dxw", NumberedSounds(22));
    WriteFile(root / "Data" / "Music" / "Menu.xm", {1, 2, 3});
    WriteFile(root / "Data" / "Music" / "Race.xm", {4, 5, 6});
}

MenuRig::MenuRig(bool realText) : log_(std::make_unique<PlatformLog>()) {
    WriteMenuData(dir_.Path());
    PlatformBundle p = FakePlatform(*log_, clock_);
    if (realText) p.text = CreateTtfTextRenderer();
    FormConfig config;
    config.dataRoot = dir_.Path();
    config.seed = 5;
    config.refreshOverride = 85;
    form_ = std::make_unique<TMForm>(std::move(p), config);
    form_->FormCreate();
}

MenuRig::~MenuRig() = default;

void MenuRig::Frames(int n) {
    for (int i = 0; i < n; ++i) {
        // 85 frames a second: 11764 or 11765 microseconds apart.
        clock_->AdvanceMicros(11765);
        form_->MDXTimer.Idle();
    }
}

int MenuRig::PassIntro() {
    int frames = 0;
    while (State().MenuIntroActive != 0 && frames < 200) {
        Frames(1);
        ++frames;
    }
    return frames;
}

void MenuRig::KeyDown(int vk) {
    form_->HandleEvent(KeyEvent(WindowEvent::Type::KeyDown, vk));
}

void MenuRig::KeyUp(int vk) {
    form_->HandleEvent(KeyEvent(WindowEvent::Type::KeyUp, vk));
}

void MenuRig::Tap(int vk) {
    KeyDown(vk);
    Frames(1);
    KeyUp(vk);
}

void MenuRig::Enter() {
    form_->HandleEvent(CharEvent(13));
}

void MenuRig::Mouse(int x, int y) {
    form_->HandleEvent(PointerEvent(WindowEvent::Type::MouseMove, x, y));
}

void MenuRig::Click(int x, int y) {
    Mouse(x, y);
    // A frame passes between the move and the press, as it does for a hand on the mouse.
    Frames(1);
    form_->HandleEvent(PointerEvent(WindowEvent::Type::Click, x, y));
}

void MenuRig::DoubleClick(int x, int y) {
    Mouse(x, y);
    Frames(1);
    // The window reports a click for the first press and a double click for the second.
    form_->HandleEvent(PointerEvent(WindowEvent::Type::Click, x, y));
    form_->HandleEvent(PointerEvent(WindowEvent::Type::DoubleClick, x, y));
}

}  // namespace vrumbal::test
