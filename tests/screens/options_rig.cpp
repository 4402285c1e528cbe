// The options rig: pictures told apart by their width and a text renderer that records.
#include "options_rig.h"

#include "engine/library_writer.h"
#include "engine/my_image_sprite.h"
#include "ui/font_slots.h"

namespace vrumbal::test {
namespace {

// Records every text into the log; measures by FakeTextWidth and the point size.
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

ScreenRig::ScreenRig() : GameRig(85, std::make_unique<RigLog>()) {
    WriteGameData(Root(), MenuPictures(), SmallPictures(40, 0x336699), SmallPictures(4, 0x336699),
                  true);
    PlatformBundle p = RecordingPlatform();
    p.text = std::make_unique<RecordingText>(Log());
    Create(std::move(p), 11);
    PassIntro();
}

void ScreenRig::Tap(int vk, std::uint8_t shift) {
    GameRig::Tap(vk, shift);
    Frames(1);
}

std::vector<DrawnText> ScreenRig::DrawnInSlot(int slot) {
    const FontSlot& wanted = FontSlotAt(slot);
    std::vector<DrawnText> found;
    for (const DrawnText& d : Log().drawn) {
        if (d.font.size == wanted.size && d.font.color == wanted.color &&
            d.font.bold == wanted.bold) {
            found.push_back(d);
        }
    }
    return found;
}

int ScreenRig::EntryPictureWidth(int entry) {
    const TMyImageSprite* sprite = State().MenuEntries[static_cast<std::size_t>(entry)].sprite;
    return sprite ? sprite->Width : -1;
}

}  // namespace vrumbal::test
