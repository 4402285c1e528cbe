#include "options_rig.h"

#include "engine/library_writer.h"
#include "engine/my_image_sprite.h"
#include "ui/font_slots.h"

namespace vrumbal::test {
namespace {

class RecordingText final : public TextRenderer {
public:
    explicit RecordingText(RigLog& log) : log_(log) {}
    void DrawText(const PixelBuffer&, int x, int y, const std::string& text,
                  const FontSpec& font) override {
        log_.drawn.push_back({x, y, text, font});
    }
    int TextWidth(const std::string& text, const FontSpec& font) override {
        return FakeTextWidth(text, font.size);
    }
    int TextHeight(const std::string&, const FontSpec& font) override { return font.size; }

private:
    RigLog& log_;
};

// Image list 1 with the menu pictures at their numbers; the buttons have their two looks
// stacked as patterns, the rest one pattern each.
std::vector<std::uint8_t> MenuPictures() {
    const auto solid = [](int width, int height, int patterns) {
        return SolidPicture(width, height, patterns, 0x336699, PatternLayout::kStacked);
    };
    PictureLibraryData lib;
    for (int i = 0; i <= 54; ++i) lib.items.push_back(solid(TestPictureWidth(i), 4, 1));
    lib.items[0] = solid(4, 4, 1);
    lib.items[1] = solid(800, 600, 1);
    for (int i = 2; i <= 13; ++i) lib.items[i] = solid(280, 52, 1);
    lib.items[36] = solid(128, 44, 2);
    lib.items[40] = solid(144, 54, 2);
    lib.items[41] = solid(136, 54, 2);
    return WritePictureLibrary(lib);
}

}  // namespace

int TestPictureWidth(int index) {
    return 1000 + index;
}

int FakeTextWidth(const std::string& text, int pointSize) {
    int width = 0;
    for (char c : text) width += c == 'W' ? 2 * pointSize : pointSize / 2;
    return width;
}

ScreenRig::ScreenRig() : log_(std::make_unique<RigLog>()) {
    const auto data = dir_.Path() / "Data";
    WriteFile(data / "Res" / "Res1.dxg", MenuPictures());
    WriteFile(data / "Res" / "Res2.dxg", SmallPictures(40, 0x336699));
    WriteFile(data / "Res" / "Res3.dxg", SmallPictures(4, 0x336699));
    WriteFile(data / "Res" / "Sounds.dxw", NumberedSounds(22));
    WriteFile(data / "Music" / "Menu.xm", {1, 2, 3});
    WriteFile(data / "Music" / "Race.xm", {4, 5, 6});

    PlatformBundle p = FakePlatform(*log_, clock_);
    p.text = std::make_unique<RecordingText>(*log_);
    FormConfig config;
    config.dataRoot = dir_.Path();
    config.seed = 11;
    config.refreshOverride = 85;
    form_ = std::make_unique<TMForm>(std::move(p), config);
    form_->FormCreate();
    // The buttons slide in for well under two seconds.
    for (int i = 0; i < 170 && State().MenuIntroActive != 0; ++i) Frames(1);
}

ScreenRig::~ScreenRig() = default;

void ScreenRig::Frames(int n) {
    for (int i = 0; i < n; ++i) {
        clock_->AdvanceMicros(1000000 / 85);
        form_->MDXTimer.Idle();
    }
}

void ScreenRig::KeyDown(int vk, std::uint8_t shift) {
    form_->HandleEvent(KeyEvent(WindowEvent::Type::KeyDown, vk, shift));
}

void ScreenRig::KeyUp(int vk, std::uint8_t shift) {
    form_->HandleEvent(KeyEvent(WindowEvent::Type::KeyUp, vk, shift));
}

void ScreenRig::Tap(int vk, std::uint8_t shift) {
    KeyDown(vk, shift);
    Frames(1);
    KeyUp(vk, shift);
    Frames(1);
}

void ScreenRig::Type(std::uint8_t ch) {
    form_->HandleEvent(CharEvent(ch));
}

void ScreenRig::MouseTo(int x, int y) {
    form_->HandleEvent(PointerEvent(WindowEvent::Type::MouseMove, x, y));
}

void ScreenRig::Click() {
    form_->HandleEvent(PointerEvent(WindowEvent::Type::Click, State().MouseX, State().MouseY));
}

std::vector<DrawnText> ScreenRig::DrawnInSlot(int slot) const {
    const FontSlot& wanted = FontSlotAt(slot);
    std::vector<DrawnText> found;
    for (const DrawnText& d : log_->drawn) {
        if (d.font.size == wanted.size && d.font.color == wanted.color &&
            d.font.bold == wanted.bold) {
            found.push_back(d);
        }
    }
    return found;
}

int ScreenRig::EntryPictureWidth(int entry) const {
    const TMyImageSprite* sprite =
        form_->State().MenuEntries[static_cast<std::size_t>(entry)].sprite;
    return sprite ? sprite->Width : -1;
}

}  // namespace vrumbal::test
