// Image list 2: everything the race screen shows (and the bonus icons of the help page).
#include "game/content_ids.h"
#include "race_art.h"

namespace vrumbal::content {

PictureLibraryData BuildRacePictures(const Catalogue& t) {
    using namespace race;
    PictureLibraryData library;
    auto& items = library.items;
    // Every item states its pattern size, even a picture of one pattern.
    auto whole = [&](const std::string& name, Picture picture) {
        const int w = picture.width;
        const int h = picture.height;
        items.push_back(MakePictureItem(name, std::move(picture), w, h));
    };
    auto filler = [&](const std::string& name) { whole(name, Invisible(4, 4)); };
    filler("Nothing");
    ExpectPlace(library, race_picture::kRoad, "road");
    // The road tiles, ten to a row; the background draws them opaque.
    items.push_back(MakePictureItem("Road", TileSheet(RoadTiles(), 10, 0x4E9436), 72, 72, false));
    ExpectPlace(library, race_picture::kLeftPanel, "left panel");
    whole("PanelLeft", LeftPanel(t));
    whole("PanelRight", RightPanel(t));
    ExpectPlace(library, race_picture::kNeedle, "needle");
    whole("Needle", Needle());
    std::vector<BikePictures> bikes;
    for (int model = 1; model <= 5; ++model) bikes.push_back(DrawBike(model));
    for (int model = 1; model <= 5; ++model) {
        const Picture& p = bikes[model - 1].upright;
        items.push_back(MakePictureItem("Bike" + std::to_string(model), p, p.width, p.height));
    }
    ExpectPlace(library, race_picture::kSkidMark, "tyre mark");
    whole("TyreMark", TyreMark());
    ExpectPlace(library, race_picture::kFirstPickup, "pickups");
    for (int kind = 1; kind <= 5; ++kind) {
        items.push_back(
            MakePictureItem("Pickup" + std::to_string(kind), PickupPatterns(kind), 35, 34));
    }
    while (items.size() < 23) filler("Unused" + std::to_string(items.size()));
    for (int model = 1; model <= 5; ++model) {
        const BikePictures& b = bikes[model - 1];
        const std::string m = std::to_string(model);
        const int crashWidth = b.crash.width / (model == 2 ? 7 : 5);
        items.push_back(MakePictureItem("Crash" + m, b.crash, crashWidth, b.crash.height));
        items.push_back(
            MakePictureItem("LeanLeft" + m, b.leanLeft, b.upright.width, b.upright.height));
        items.push_back(
            MakePictureItem("LeanRight" + m, b.leanRight, b.upright.width, b.upright.height));
    }
    // The help page's bonus icons: 100, 50, 20 and 10 points, then the life.
    for (int kind : {4, 3, 2, 1, 5}) {
        whole("Bonus" + std::to_string(kind), BonusIcon(kind));
    }
    return library;
}

}  // namespace vrumbal::content
