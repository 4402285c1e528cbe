// The bike's rig: its data, its race and where its bike is on the road.
#include "bike_rig.h"

#include "engine/library_writer.h"

namespace vrumbal::test {

void WriteRaceData(const std::filesystem::path& root) {
    WriteGameData(root, SmallPictures(1, 0x808080), WritePictureLibrary(RacePictures()),
                  SmallPictures(1, 0x808080));
}

BikeRig::BikeRig(int fps, int bike, int level) : GameRig(fps) {
    WriteRaceData(Root());
    PlatformBundle p = RecordingPlatform(PlayingState::kPerSound);
    AddRecordingDisplay(p, Log());
    Create(std::move(p), 11);
    Game().SelectedBike = bike;
    StartRace(level);
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
