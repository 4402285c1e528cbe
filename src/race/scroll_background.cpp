// The ground's scroll against the bike's velocity, the window's steps across the track map, and
// the solid tiles tested against the bike and the riders.
#include "race/scroll_background.h"

#include <algorithm>

#include "engine/picture_collection.h"
#include "engine/sprite_engine.h"
#include "race/quad.h"

namespace vrumbal {
namespace {

// Chips of the race window across and down.
constexpr int kWindowColumns = 13;
constexpr int kWindowRows = 10;
// Cells on each side of a rival's cell that can touch it.
constexpr int kRivalReach = 3;
// Cells beyond the map's edge a rider's cell is held within; all of them are empty alike.
constexpr int kOffMap = 8;

// The quad of obstacle kind at tile-local corners shifted by (left, top), each corner's
// coordinates truncated to whole pixels.
Quad PlacedQuad(int kind, double left, double top) {
    Quad placed = ObstacleQuad(kind);
    for (QuadPoint& p : placed) {
        p.x = TruncToInt(left + p.x);
        p.y = TruncToInt(top + p.y);
    }
    return placed;
}

}  // namespace

TScrollBackground::TScrollBackground(TSprite* parent, const SpriteContext& context, RaceState& race,
                                     const GameState& game, std::uint8_t imageList,
                                     int pictureIndex, int mapWidth, int mapHeight)
    : TBackgroundSprite(parent), ImageList(imageList), context_(context), race_(race), game_(game) {
    SetMapSize(mapWidth, mapHeight);
    SetPicture(pictureIndex);
    X = 0;
    Y = 0;
    SetZ(2);
    race_.BikeVelX = 0;
    race_.BikeVelY = 0;
}

TScrollBackground* TScrollBackground::Create(const SpriteContext& context, RaceState& race,
                                             const GameState& game, std::uint8_t imageList,
                                             int pictureIndex, int mapWidth, int mapHeight) {
    if (context.engine == nullptr) throw ESpriteError("The sprite context has no engine");
    return TSprite::Create<TScrollBackground>(*context.engine, context, race, game, imageList,
                                              pictureIndex, mapWidth, mapHeight);
}

void TScrollBackground::SetPicture(int pictureIndex) {
    TPictureCollection* list = ImageList == 1   ? context_.imageList1
                               : ImageList == 2 ? context_.imageList2
                                                : nullptr;
    const bool found = list != nullptr && pictureIndex >= 0 && pictureIndex < list->Count();
    SetImage(found ? &list->Items(pictureIndex) : nullptr);
    // The sprite's own size is one chip: the scroll wraps by it.
    Width = found ? Image()->Width() : 0;
    Height = found ? Image()->Height() : 0;
}

void TScrollBackground::SetPictureFrom(int pictureIndex, std::uint8_t imageList) {
    ImageList = imageList;
    SetPicture(pictureIndex);
}

void TScrollBackground::KillOnce() {
    if (dying_) return;
    Kill();
    dying_ = true;
}

void TScrollBackground::ColumnStep() {
    if (race_.BikeVelX > 0 && race_.ViewColumn > 0) {
        --race_.ViewColumn;
    } else if (race_.BikeVelX < 0 && race_.ViewColumn + kWindowColumns < kMapColumns) {
        ++race_.ViewColumn;
    }
}

void TScrollBackground::RowStep() {
    if (race_.BikeVelY > 0 && race_.ViewRow > 0) {
        --race_.ViewRow;
    } else if (race_.BikeVelY < 0 && race_.ViewRow + kWindowRows < kMapRows) {
        ++race_.ViewRow;
    }
}

void TScrollBackground::MoveStep(int moveCount) {
    TBackgroundSprite::MoveStep(moveCount);
    X += race_.BikeVelX * 0.5 * game_.SpeedFactor;
    Y += race_.BikeVelY * 0.5 * game_.SpeedFactor;

    // Without a picture there is no chip size; the road tiles' size keeps the wrap sane.
    const int tw = Width > 0 ? Width : kTileSize;
    const int th = Height > 0 ? Height : kTileSize;
    if (X > 0) {
        X -= tw;
        ColumnStep();
    }
    if (X < -tw) {
        X += tw;
        ColumnStep();
    }
    if (Y > 0) {
        Y -= th;
        RowStep();
    }
    if (Y < -th) {
        Y += th;
        RowStep();
    }

    if (game_.ScreenKind != kScreenRace) return;
    if (bike_ != nullptr) TestBike();
    if (rivals_ != nullptr) TestRivals();
}

void TScrollBackground::TestBike() {
    const Quad bike = bike_->ScreenCorners();
    for (int i = 1; i <= kWindowRows; ++i) {
        for (int j = 1; j <= kWindowColumns; ++j) {
            const int kind =
                ObstacleKind(race_.TileAt(race_.ViewRow + i - 1, race_.ViewColumn + j - 1));
            if (kind < 0) continue;
            const Quad obstacle = PlacedQuad(kind, kTileSize * j + X, kTileSize * i + Y);
            if (QuadsOverlap(obstacle, bike) && bike_->CanHitObstacle()) bike_->HitObstacle();
        }
    }
}

void TScrollBackground::TestRivals() {
    for (int r = 1; r <= 5; ++r) {
        if (!rivals_->RiderActive(r)) continue;
        const QuadPoint centre = rivals_->RiderCentre(r);
        // A rider far off the map touches nothing; clamping keeps the cell sums from overflowing.
        const int row = std::clamp(TruncToInt(centre.y / kTileSize), -kOffMap, kMapRows + kOffMap);
        const int col =
            std::clamp(TruncToInt(centre.x / kTileSize), -kOffMap, kMapColumns + kOffMap);
        const Quad rider = rivals_->RiderCorners(r);
        for (int j = -kRivalReach; j <= kRivalReach; ++j) {
            for (int c = -kRivalReach; c <= kRivalReach; ++c) {
                // A rider near the map's border reaches past it: such cells hold nothing solid.
                const int kind = ObstacleKind(race_.TileAt(row + j - 1, col + c - 1));
                if (kind < 0) continue;
                const Quad obstacle = PlacedQuad(kind, kTileSize * static_cast<double>(col + c),
                                                 kTileSize * static_cast<double>(row + j));
                if (QuadsOverlap(obstacle, rider) && !rivals_->RiderCrashed(r)) {
                    rivals_->RiderHitObstacle(r);
                }
            }
        }
    }
}

}  // namespace vrumbal
