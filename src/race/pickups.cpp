// The pickups at work: laid on straight rows of a new track, animated, collected by the bike's
// touch for points or a life, and drawn in view.
#include "race/pickups.h"

#include <algorithm>

#include "engine/dx_draw.h"
#include "engine/picture_collection.h"
#include "engine/random.h"
#include "engine/sprite_context.h"
#include "engine/sprite_engine.h"
#include "game/content_ids.h"
#include "game/game_host.h"
#include "game/game_state.h"
#include "game/level_tables.h"
#include "game/race_state.h"
#include "race/player.h"

namespace vrumbal {
namespace {

constexpr int kFirstPicture = race_picture::kFirstPickup;  // kind 1; kinds 2..5 follow
constexpr int kLifeKind = 5;
constexpr int kFrames = 5;  // animation patterns of a pickup picture
// A straight road row starts with this tile at its left edge.
constexpr int kStraightLeftEdge = 10;
// Offset of a pickup's top-left point into its tile.
constexpr int kInset = 19;

}  // namespace

TBonus::TBonus(TSprite* parent, GameHost& host, TSprite* road)
    : TMyImageSprite(parent, host.Sprites(), 2), host_(host), road_(road) {
    const TPictureCollection* list = Context().imageList2;
    if (list != nullptr && kFirstPicture < list->Count()) SetImageByIndex(kFirstPicture);
    X = 0;
    Y = 0;
    SetZ(5);
    PlacePickups();
}

TBonus* TBonus::Create(GameHost& host, TSprite* road) {
    return TSprite::Create<TBonus>(*host.Sprites().engine, host, road);
}

int TBonus::PictureOf(int kind) {
    return kFirstPicture + std::clamp(kind, 1, kLifeKind) - 1;
}

int TBonus::PointsOf(int kind) {
    switch (kind) {
        case 1:
            return 10;
        case 2:
            return 20;
        case 3:
            return 50;
        case 4:
            return kMostPickupPoints;
        case kLifeKind:
            return 50;
        default:
            return 0;
    }
}

int TBonus::SlotsInUse() const {
    return std::clamp(host_.Race().BonusCount, 0, kSlots);
}

double TBonus::RoadX() const {
    return road_ != nullptr ? road_->X : 0.0;
}
double TBonus::RoadY() const {
    return road_ != nullptr ? road_->Y : 0.0;
}

int TBonus::ScreenX(int s) const {
    const auto i = static_cast<std::size_t>(s);
    return RoundHalfEven(72.0 * (PickupColumn[i] - host_.Race().ViewColumn) + RoadX()) + kInset;
}

int TBonus::ScreenY(int s) const {
    const auto i = static_cast<std::size_t>(s);
    return RoundHalfEven(72.0 * (PickupRow[i] - host_.Race().ViewRow) + RoadY()) + kInset;
}

int TBonus::PresentCount() const {
    return static_cast<int>(std::count(Present.begin() + 1, Present.end(), true));
}

void TBonus::PlacePickups() {
    Present.fill(false);
    const RaceState& race = host_.Race();
    Random& rng = host_.Randomness();
    const int lo = 1549 - race.TrackRows;
    const int hi = 1495;
    int lives = 0;
    for (int s = 1; s <= SlotsInUse(); ++s) {
        const auto i = static_cast<std::size_t>(s);
        const int row = lo + rng.Next(hi - lo);
        // The last straight left edge of the row decides where the pickup lies.
        for (int c = 1; c <= kMapColumns; ++c) {
            if (race.TileAt(row - 1, c - 1) != kStraightLeftEdge) continue;
            Present[i] = true;
            PickupColumn[i] = c + rng.Next(4);
            PickupRow[i] = row;
            int kind = 1 + rng.Next(kLifeKind);
            // One extra life a level at most.
            while (lives > 0 && kind == kLifeKind) kind = 1 + rng.Next(kLifeKind);
            if (kind == kLifeKind) ++lives;
            PickupKind[i] = static_cast<std::uint8_t>(kind);
            PickupFrame[i] = rng.Next(40) / 10.0;
        }
    }
}

TPlayer* TBonus::BikeAt(int x, int y) {
    TSpriteEngine* engine = Engine();
    if (engine == nullptr) return nullptr;
    return dynamic_cast<TPlayer*>(engine->SpriteAt(x, y));
}

void TBonus::Collect(int s, TPlayer& bike) {
    const auto i = static_cast<std::size_t>(s);
    Present[i] = false;
    const int kind = PickupKind[i];
    bike.AddScore(PointsOf(kind));
    if (kind == kLifeKind) {
        bike.AddLife(1);
        host_.PlaySound(kSoundLife);
    } else {
        host_.PlaySound(kSoundPoints);
    }
}

void TBonus::MoveStep(int moveCount) {
    TMyImageSprite::MoveStep(moveCount);
    const double sf = host_.State().SpeedFactor;
    for (int s = 1; s <= SlotsInUse(); ++s) {
        const auto i = static_cast<std::size_t>(s);
        if (!Present[i]) continue;
        PickupFrame[i] += 0.1 * sf;
        if (PickupFrame[i] > kFrames - 1) PickupFrame[i] = 0;
        const int x = ScreenX(s);
        const int y = ScreenY(s);
        if (x < -20 || x > 720 || y < -20 || y > 620) continue;
        const int points[4][2] = {
            {x, y}, {x + kBoxWidth, y}, {x, y + kBoxHeight}, {x + kBoxWidth, y + kBoxHeight}};
        for (const auto& p : points) {
            if (TPlayer* bike = BikeAt(p[0], p[1])) {
                Collect(s, *bike);
                break;
            }
        }
    }
}

void TBonus::DrawSelf() {
    if (!Visible) return;
    TDXDraw* target = Target();
    TPictureCollection* list = Context().imageList2;
    if (target == nullptr || list == nullptr) return;
    const RaceState& race = host_.Race();
    for (int s = 1; s <= SlotsInUse(); ++s) {
        const auto i = static_cast<std::size_t>(s);
        if (!Present[i]) continue;
        if (PickupColumn[i] < race.ViewColumn || PickupColumn[i] > race.ViewColumn + 13) continue;
        if (PickupRow[i] < race.ViewRow || PickupRow[i] > race.ViewRow + 10) continue;
        const int picture = PictureOf(PickupKind[i]);
        if (picture >= list->Count()) continue;
        list->Items(picture).Draw(*target, ScreenX(s), ScreenY(s), TruncToInt(PickupFrame[i]));
    }
}

}  // namespace vrumbal
