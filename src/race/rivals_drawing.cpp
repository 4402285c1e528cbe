// The rival riders as the bike draws them over the road: wrecks first, riding bikes over them.
#include <algorithm>

#include "engine/dx_draw.h"
#include "engine/picture_collection.h"
#include "race/rivals.h"

namespace vrumbal {
namespace {

// Box sizes while riding and while wrecked, by model.
constexpr int kRidingSize[5][2] = {{63, 68}, {60, 67}, {68, 69}, {60, 62}, {56, 68}};
constexpr int kWreckSize[5][2] = {{64, 152}, {72, 158}, {88, 204}, {86, 154}, {68, 184}};

}  // namespace

void DrawRivalRiders(TDXDraw& target, TPictureCollection& list, const BikeRivals& rivals,
                     double offX, double offY) {
    // Wrecks first, so that riding bikes pass over them.
    for (const bool wrecks : {true, false}) {
        for (int r = 1; r <= 5; ++r) {
            const RivalInfo info = rivals.Rider(r);
            if (!info.active || !info.onScreen || info.crashed != wrecks) continue;
            if (info.picture < 0 || info.picture >= list.Count()) continue;
            const int kind = std::clamp(info.model, 1, 5) - 1;
            const int* size = wrecks ? kWreckSize[kind] : kRidingSize[kind];
            const int x = RoundHalfEven(info.centreX + offX);
            const int y = wrecks ? RoundHalfEven(info.centreY + offY - size[1] / 2.0)
                                 : RoundHalfEven(info.centreY + offY);
            const int angle = wrecks ? 0 : TruncToInt(info.heading);
            list.Items(info.picture)
                .DrawRotate(target, x, y, size[0], size[1], TruncToInt(info.frame), 0.5, 0.5,
                            angle);
        }
    }
}

}  // namespace vrumbal
