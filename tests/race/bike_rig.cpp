#include "bike_rig.h"

#include "engine/library_writer.h"

namespace vrumbal::test {
namespace {

// The race's pictures of list 2 at their numbers, in sizes like the game's.
std::vector<std::uint8_t> RacePictures() {
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
    return WritePictureLibrary(lib);
}

}  // namespace

void WriteRaceData(const std::filesystem::path& root) {
    const auto res = root / "Data" / "Res";
    WriteFile(res / "Res1.dxg", SmallPictures(1, 0x808080));
    WriteFile(res / "Res2.dxg", RacePictures());
    WriteFile(res / "Res3.dxg", SmallPictures(1, 0x808080));
    WriteFile(res / "Sounds.dxw", NumberedSounds(22));
}

BikeRig::BikeRig(int fps, int bike, int level)
    : sounds_(std::make_unique<SoundLog>()), fps_(fps), steps_(fps) {
    WriteRaceData(dir_.Path());
    PlatformBundle p = FakePlatform(*sounds_, clock_, PlayingState::kPerSound);
    AddRecordingDisplay(p, *sounds_);
    FormConfig config;
    config.dataRoot = dir_.Path();
    config.seed = 11;
    config.refreshOverride = fps;
    form_ = std::make_unique<TMForm>(std::move(p), config);
    form_->FormCreate();
    form_->State().SelectedBike = bike;
    form_->StartRace(level);
}

BikeRig::~BikeRig() = default;

void BikeRig::Frames(int n) {
    for (int i = 0; i < n; ++i) {
        clock_->AdvanceMicros(steps_.Next());
        form_->MDXTimer.Idle();
    }
}

void BikeRig::PassLevelStart() {
    for (int i = 0; i < fps_ * 5 && Game().DialogKind == 6; ++i) Frames(1);
}

void BikeRig::KeyDown(int vk) {
    form_->HandleEvent(KeyEvent(WindowEvent::Type::KeyDown, vk));
}

void BikeRig::KeyUp(int vk) {
    form_->HandleEvent(KeyEvent(WindowEvent::Type::KeyUp, vk));
}

double BikeRig::WorldX() {
    return State().ViewColumn * 72.0 - Race().Road()->X + Bike().CentreX;
}

double BikeRig::WorldY() {
    return State().ViewRow * 72.0 - Race().Road()->Y + Bike().CentreY;
}

void FakeRivals::Place(int r, double worldX, double worldY) {
    RivalInfo& info = At(r);
    info.active = true;
    info.onScreen = true;
    info.centreX = worldX;
    info.centreY = worldY;
    info.corners = {QuadPoint{worldX - 10, worldY - 20}, QuadPoint{worldX + 10, worldY - 20},
                    QuadPoint{worldX + 10, worldY + 20}, QuadPoint{worldX - 10, worldY + 20}};
}

}  // namespace vrumbal::test
