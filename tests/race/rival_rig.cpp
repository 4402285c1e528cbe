// The rivals' rig: its patterned pictures, its race and the screen read back.
#include "rival_rig.h"

#include "engine/library_writer.h"

namespace vrumbal::test {
namespace {

// A picture of patterns of width x height, each in its own colour.
PictureItemData Patterned(int picture, int width, int height, int patterns) {
    PictureItemData item;
    item.name = "p";
    item.patternWidth = width;
    item.patternHeight = height;
    item.picture.width = width * patterns;
    item.picture.height = height;
    item.picture.pixels.resize(static_cast<std::size_t>(item.picture.width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < item.picture.width; ++x) {
            item.picture.pixels[static_cast<std::size_t>(y) * item.picture.width + x] =
                PatternColour(picture, x / width);
        }
    }
    return item;
}

// List 2: the race's pictures, the bikes in the rivals' sizes.
std::vector<std::uint8_t> PatternedRacePictures() {
    PictureLibraryData lib;
    for (int i = 0; i <= 37; ++i) lib.items.push_back(Patterned(i, 8, 8, 1));
    lib.items[0] = Patterned(0, 4, 4, 1);
    lib.items[1] = Patterned(1, 72, 72, 1);
    lib.items[1].picture.width = 72 * 80;  // one road tile per map byte, all alike
    lib.items[1].picture.pixels.assign(72u * 80u * 72u, PatternColour(1, 0));
    lib.items[4] = Patterned(4, 60, 8, 1);
    lib.items[10] = Patterned(10, 10, 14, 1);
    for (int kind = 1; kind <= 5; ++kind) lib.items[10u + kind] = Patterned(10 + kind, 35, 34, 5);
    for (int model = 1; model <= 5; ++model) {
        const BikeModel& m = BikeModelOf(model);
        const RivalModel& r = RivalModelOf(model);
        lib.items[static_cast<std::size_t>(m.uprightPicture)] =
            Patterned(m.uprightPicture, r.boxWidth, r.boxHeight, 1);
        lib.items[static_cast<std::size_t>(m.crashPicture)] =
            Patterned(m.crashPicture, r.crashWidth, r.crashHeight, m.crashFrames);
        lib.items[static_cast<std::size_t>(m.leanLeftPicture)] =
            Patterned(m.leanLeftPicture, r.boxWidth, r.boxHeight, 6);
        lib.items[static_cast<std::size_t>(m.leanRightPicture)] =
            Patterned(m.leanRightPicture, r.boxWidth, r.boxHeight, 6);
    }
    return WritePictureLibrary(lib);
}

// Lists 1 and 3: one picture.
std::vector<std::uint8_t> OnePicture() {
    PictureLibraryData lib;
    lib.items.push_back(Patterned(0, 8, 8, 1));
    return WritePictureLibrary(lib);
}

}  // namespace

std::uint32_t PatternColour(int picture, int pattern) {
    // Distinct for pictures 0..61 and patterns 0..7, never black (the colour key), and exact
    // in 16 bits.
    const auto red = static_cast<std::uint32_t>(8 * (1 + picture % 31));
    const auto green = static_cast<std::uint32_t>(4 * (1 + 2 * pattern + picture / 31));
    return red << 16 | green << 8 | 0x80u;
}

std::uint16_t PatternPixel(int picture, int pattern) {
    const std::uint32_t c = PatternColour(picture, pattern);
    return PackRgb565((c >> 16) & 0xFFu, (c >> 8) & 0xFFu, c & 0xFFu);
}

RivalRig::RivalRig(int level, int fps, std::uint64_t seed) : GameRig(fps) {
    WriteGameData(Root(), OnePicture(), PatternedRacePictures(), OnePicture());
    Create(RecordingPlatform(), seed);
    Game().SelectedBike = 1;
    StartRace(level);
}

double RivalRig::ScreenX(double worldX) {
    return worldX - 72.0 * State().ViewColumn + Race().Road()->X;
}

double RivalRig::ScreenY(double worldY) {
    return worldY - 72.0 * State().ViewRow + Race().Road()->Y;
}

std::uint16_t RivalRig::Pixel(int x, int y) {
    return Form().MDXDraw.BackSurface().Row(y)[x];
}

void RivalRig::Steady(int r) {
    TCar& cars = Rivals();
    const auto i = static_cast<std::size_t>(r);
    cars.LaneTimer[i] = 1 << 30;
    cars.PaceTimer[i] = 1 << 30;
}

}  // namespace vrumbal::test
