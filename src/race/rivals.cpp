// The rival riders' steps: who rides which level, start places, crashes and respawns, and each
// rider's frame of aiming, lane and pace changes, avoiding, leaning and braking.
#include "race/rivals.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/picture_collection.h"
#include "engine/random.h"
#include "engine/sprite_context.h"
#include "engine/sprite_engine.h"
#include "game/game_host.h"
#include "game/game_state.h"
#include "game/race_state.h"

namespace vrumbal {
namespace {

constexpr double kTurn = 2 * std::numbers::pi / 256;  // radians per heading unit

constexpr RivalModel kRivalModels[5] = {
    {63, 68, 64, 152, 37, 12}, {60, 67, 72, 158, 36, 11}, {68, 69, 88, 204, 38, 13},
    {60, 62, 86, 154, 35, 11}, {56, 68, 68, 184, 35, 12},
};

// Heading of a diagonal section: the road shifts one tile across per tile up.
constexpr double kDiagonal = 18.89;
// How far a rider may point away from its row's direction.
constexpr double kHeadingSpread = 16;

// The start places of the riders, relative to the view's top-left world pixel, and the lane
// each starts in.
struct StartPlace {
    int x, y;
    double lane;
};
constexpr StartPlace kStartPlaces[6] = {
    {0, 0, 0}, {288, 400, -30}, {402, 238, 60}, {288, 238, -30}, {402, 64, 60}, {288, 64, -30},
};


double Sign(double v) {
    return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0);
}

// The point at distance d from (cx, cy) in direction angle (256ths of a turn).
QuadPoint PointAt(double cx, double cy, double angle, double d) {
    return {cx + std::sin(angle * kTurn) * d, cy - std::cos(angle * kTurn) * d};
}

// Whether rider r of level takes part: 1 on odd levels and from level 5, 2 and 3 from level
// 2, 4 and 5 from level 5.
bool RiderInLevel(int r, int level) {
    switch (r) {
        case 1:
            return level % 2 != 0 || level > 4;
        case 2:
        case 3:
            return level > 1;
        default:
            return level > 4;
    }
}

}  // namespace

const RivalModel& RivalModelOf(int model) {
    return kRivalModels[std::clamp(model, 1, 5) - 1];
}

TCar::TCar(TSprite* parent, GameHost& host, TSprite* road, const TPlayer* bike)
    : TMyImageSprite(parent, host.Sprites(), 2), host_(host), road_(road), bike_(bike) {
    const TPictureCollection* list = Context().imageList2;
    if (list != nullptr && list->Count() > 0) SetImageByIndex(0);
    X = 0;
    Y = 0;
    SetZ(9);
    Reset();
}

TCar* TCar::Create(GameHost& host, TSprite* road, const TPlayer* bike) {
    return TSprite::Create<TCar>(*host.Sprites().engine, host, road, bike);
}

// ---- helpers ----

double TCar::SF() const {
    return host_.State().SpeedFactor;
}
int TCar::FrameMsNow() const {
    return host_.State().FrameMs;
}
double TCar::RoadX() const {
    return road_ != nullptr ? road_->X : 0.0;
}
double TCar::RoadY() const {
    return road_ != nullptr ? road_->Y : 0.0;
}
int TCar::RandomBelow(int n) {
    return host_.Randomness().Next(n);
}

// ---- life of a rider ----

void TCar::Reset() {
    const RaceState& race = host_.Race();
    for (int r = 1; r <= kRiders; ++r) {
        const std::size_t i = Slot(r);
        Active[i] = false;
        Model[i] = 0;
        RiderPicture[i] = 0;
        PosX[i] = PosY[i] = Heading[i] = Speed[i] = GroundSpeed[i] = Decel[i] = 0;
        OnScreen[i] = false;
        Lean[i] = RiderFrame[i] = 0;
        LeanSide[i] = 0;
        CentreX[i] = CentreY[i] = 0;
        Corner1[i] = Corner2[i] = Corner3[i] = Corner4[i] = QuadPoint{};
        ProbeFrontLeft[i] = ProbeFrontRight[i] = ProbeLeft[i] = ProbeRight[i] = QuadPoint{};
        LaneOffset[i] = 0;
        Touching[i] = false;
        HitCount[i] = 0;
        Crashed[i] = false;
        RespawnTimer[i] = 0;
        Steering[i] = false;
        SteerStartHeading[i] = SteerHold[i] = 0;
        Avoiding[i] = false;
        AvoidTimer[i] = 0;
        LaneTimer[i] = PaceTimer[i] = 5000;
        LookAhead[i] = PaceDelta[i] = 0;
    }
    for (int r = 1; r <= kRiders; ++r) {
        if (!RiderInLevel(r, race.Level)) continue;
        const std::size_t i = Slot(r);
        const StartPlace& start = kStartPlaces[i];
        Active[i] = true;
        PosX[i] = 72.0 * race.ViewColumn + start.x;
        PosY[i] = 72.0 * race.ViewRow + start.y;
        LaneOffset[i] = start.lane;
        Model[i] = 1 + RandomBelow(5);
        RiderPicture[i] = BikeModelOf(Model[i]).uprightPicture;
        OnScreen[i] = true;
    }
    StepRiders();
}

void TCar::Crash(int r) {
    if (!ValidRider(r)) return;
    const std::size_t i = Slot(r);
    Crashed[i] = true;
    RiderPicture[i] = BikeModelOf(Model[i]).crashPicture;
    RiderFrame[i] = 0;
    RespawnTimer[i] = 1000;
    host_.PlaySound(kSoundCrash);
}

void TCar::Respawn(int r) {
    if (!ValidRider(r)) return;
    const std::size_t i = Slot(r);
    const RaceState& race = host_.Race();
    Crashed[i] = false;
    HitCount[i] = 0;
    RiderPicture[i] = BikeModelOf(Model[i]).uprightPicture;
    RiderFrame[i] = 0;
    const int b = TruncToInt(CentreY[i] / kTileSize);
    // The last of the three rows with a place beside the road decides.
    for (int q = b - 2; q <= b; ++q) {
        for (int c = kMapColumns - 2; c >= 0; --c) {
            const int tile = race.TileAt(q, c);
            const bool besideRoad = tile == 0 && IsRoadTile(race.TileAt(q, c - 1));
            if (!besideRoad && tile != 23 && tile != 29 && tile != 47) continue;
            Heading[i] = tile == 47 ? kDiagonal : (tile == 29 ? -kDiagonal : 0.0);
            PosY[i] = 72.0 * (q + 1);
            PosX[i] = 72.0 * (c - 2);
            break;
        }
    }
}

// ---- the frame ----

void TCar::MoveStep(int moveCount) {
    TMyImageSprite::MoveStep(moveCount);
    StepRiders();
}

void TCar::StepRiders() {
    for (int r = 1; r <= kRiders; ++r) {
        if (Active[Slot(r)]) StepRider(r);
    }
}

void TCar::UpdateGeometry(int r) {
    const std::size_t i = Slot(r);
    const RivalModel& m = RivalModelOf(Model[i]);
    CentreX[i] = PosX[i] + m.boxWidth / 2.0;
    CentreY[i] = PosY[i] + m.boxHeight / 2.0;
    // The corners shrink with the player's own bike, so contacts feel the same from both sides.
    const double radius = m.cornerRadius * BikeModelOf(host_.State().SelectedBike).cornerFactor;
    const double a = m.cornerAngle;
    const double h = Heading[i];
    const double cx = CentreX[i];
    const double cy = CentreY[i];
    Corner1[i] = PointAt(cx, cy, h - a, radius);
    Corner2[i] = PointAt(cx, cy, h + a, radius);
    Corner3[i] = PointAt(cx, cy, h - a + 128, radius);
    Corner4[i] = PointAt(cx, cy, h + a + 128, radius);
    ProbeFrontLeft[i] = PointAt(cx, cy, h - 2, 60);
    ProbeFrontRight[i] = PointAt(cx, cy, h + 2, 60);
    ProbeLeft[i] = PointAt(cx, cy, h - 32, 28);
    ProbeRight[i] = PointAt(cx, cy, h + 32, 28);
}

void TCar::RandomLaneAndPace(int r) {
    const std::size_t i = Slot(r);
    const int frameMs = FrameMsNow();
    if (LaneTimer[i] < 1) {
        LaneTimer[i] = 4000 + 300 * RandomBelow(10);
        if (!Avoiding[i]) {
            LaneOffset[i] += RandomBelow(100) - 50;
            LookAhead[i] = RandomBelow(3);
        }
    } else {
        LaneTimer[i] -= frameMs;
    }
    if (PaceTimer[i] < 1) {
        PaceTimer[i] = 4000 + 300 * RandomBelow(10);
        if (!Avoiding[i]) {
            // The previous change is undone (a slowdown twice over) before the next one.
            if (PaceDelta[i] > 0) {
                Speed[i] -= PaceDelta[i];
            } else {
                Speed[i] += PaceDelta[i];
            }
            PaceDelta[i] = RandomBelow(10) - 5;
            Speed[i] += PaceDelta[i];
        }
    } else {
        PaceTimer[i] -= frameMs;
    }
}

void TCar::Avoid(int r) {
    const std::size_t i = Slot(r);
    const RaceState& race = host_.Race();
    bool ahead = false;
    bool left = false;
    bool right = false;
    if (bike_ != nullptr) {
        const double offX = RoadX() - 72.0 * race.ViewColumn;
        const double offY = RoadY() - 72.0 * race.ViewRow;
        const auto onScreen = [&](const QuadPoint& p) { return QuadPoint{p.x + offX, p.y + offY}; };
        const Quad& bike = bike_->Corners;
        // Only a faster rider can run into the bike from behind.
        if (GroundSpeed[i] > bike_->GroundSpeed) {
            ahead = PointInQuad(bike, onScreen(ProbeFrontLeft[i])) ||
                    PointInQuad(bike, onScreen(ProbeFrontRight[i]));
        }
        if (PointInQuad(bike, onScreen(ProbeLeft[i]))) {
            left = true;
        } else if (PointInQuad(bike, onScreen(ProbeRight[i]))) {
            right = true;
        }
    }
    // Swerving round the player is sharper than round a rider.
    const double turn = ahead ? 3 : 1;
    const double shift = ahead ? 8 : 6;
    for (int j = 1; j <= kRiders; ++j) {
        const std::size_t k = Slot(j);
        if (j == r || !Active[k] || std::fabs(CentreY[k] - CentreY[i]) >= 200) continue;
        const Quad other = RiderQuad(j);
        if (PointInQuad(other, ProbeFrontLeft[i])) ahead = true;
        if (PointInQuad(other, ProbeFrontRight[i])) {
            ahead = true;
        } else if (PointInQuad(other, ProbeLeft[i])) {
            left = true;
        } else if (PointInQuad(other, ProbeRight[i])) {
            right = true;
        }
    }
    const double sf = SF();
    if (ahead) {
        if (LaneOffset[i] > 0) {
            Heading[i] -= sf * turn;
            LaneOffset[i] -= shift;
        } else {
            Heading[i] += sf * turn;
            LaneOffset[i] += shift;
        }
    } else if (left) {
        Heading[i] += 2 * sf;
        LaneOffset[i] += 6;
    }
    if (right) {
        Heading[i] -= 2 * sf;
        LaneOffset[i] -= 6;
    }
    if (ahead || left || right) {
        Avoiding[i] = true;
        AvoidTimer[i] = 200;
    } else if (AvoidTimer[i] < 1) {
        Avoiding[i] = false;
    } else {
        AvoidTimer[i] -= FrameMsNow();
    }
}

void TCar::StepRider(int r) {
    const std::size_t i = Slot(r);
    RaceState& race = host_.Race();
    const double sf = SF();
    const int frameMs = FrameMsNow();
    const BikeModel& bike = BikeModelOf(Model[i]);

    // 1. In view, judged on last frame's position.
    const double bx = RoadX();
    const double by = RoadY();
    OnScreen[i] =
        72.0 * race.ViewColumn - bx <= PosX[i] && PosX[i] <= 72.0 * (race.ViewColumn + 13) - bx &&
        72.0 * race.ViewRow - 144 - by <= PosY[i] && PosY[i] <= 72.0 * (race.ViewRow + 12) - by;

    // 2. Move.
    const double h = Heading[i] * kTurn;
    PosX[i] += std::sin(h) * GroundSpeed[i] * 0.5 * sf;
    PosY[i] -= std::cos(h) * GroundSpeed[i] * 0.5 * sf;

    // 3..5.
    UpdateGeometry(r);
    RandomLaneAndPace(r);

    // 6, 7. Other bikes, then the lane's limits.
    if (!Crashed[i]) Avoid(r);
    if (LaneOffset[i] > 90) LaneOffset[i] = 60;
    if (LaneOffset[i] < -80) LaneOffset[i] = -30;

    // 8. Aim at the road a few rows ahead. Near the top of the map the aim row falls off it:
    // missing rows count as 0.
    const int row = RoundHalfEven(CentreY[i]) / kTileSize - 1;
    const int aimRow = row - 5 - LookAhead[i];
    const double aimX = race.RoadXAt(aimRow) + LaneOffset[i];
    const double aimY = 72.0 * (aimRow + 1);
    const double dy = CentreY[i] - aimY;
    const double wanted = (dy != 0 ? std::atan((aimX - CentreX[i]) / dy) : 0.0) / kTurn;
    const double error = Avoiding[i] ? 0.0 : wanted - Heading[i];
    const int kind = race.SectionKindEntry(aimRow + 2);
    if (kind != 1 && kind != 5) LookAhead[i] = 0;

    // 9. Turn towards the aim.
    const double e = Speed[i];
    const double turnRate =
        e > 0 ? std::min(0.8, 1000 / (e * std::sqrt(e * (4 - bike.steering / 10.0))))
              : std::min(0.8, -e / 5);
    if (!Crashed[i] && GroundSpeed[i] > 0) {
        if (error > 2 || error < -2) {
            if (!Steering[i]) {
                SteerStartHeading[i] = Heading[i];
                Steering[i] = true;
            }
            SteerHold[i] = 10;
            const double step = Sign(GroundSpeed[i]) * turnRate * 2 * sf;
            Heading[i] += error > 2 ? step : -step;
        } else {
            Steering[i] = false;
        }
    }

    // 10, 11. Lean into the turn and show it.
    if (!Crashed[i]) {
        if (Steering[i]) {
            if (Heading[i] > SteerStartHeading[i]) Lean[i] += 0.6 * sf;
            if (Heading[i] < SteerStartHeading[i]) Lean[i] -= 0.6 * sf;
            Lean[i] = std::clamp(Lean[i], -6.5, 6.5);
        } else if (SteerHold[i] > 0) {
            SteerHold[i] -= 1;
        } else if (Lean[i] > 0) {
            Lean[i] = std::max(0.0, Lean[i] - 0.3 * sf);
        } else if (Lean[i] < 0) {
            Lean[i] = std::min(0.0, Lean[i] + 0.3 * sf);
        }
        if (Lean[i] > 1) {
            LeanSide[i] = 1;
            RiderPicture[i] = bike.leanRightPicture;
        } else if (Lean[i] < -1) {
            LeanSide[i] = -1;
            RiderPicture[i] = bike.leanLeftPicture;
        } else {
            LeanSide[i] = 0;
            RiderPicture[i] = bike.uprightPicture;
        }
        RiderFrame[i] = LeanSide[i] != 0 ? 6.5 - std::fabs(Lean[i]) : 0.0;
    }

    // 12. Throttle and brakes, or the wreck's slide and wait.
    const double top = bike.topSpeed / 11.0 / 10 + 0.9;
    if (Crashed[i]) {
        // The wreck's frames are limited by the player's model as well as the rider's own, so
        // the frame never points past the rider's crash picture.
        const double lastFrame =
            std::min(BikeModelOf(host_.State().SelectedBike).crashFrames, bike.crashFrames) - 1;
        RiderFrame[i] = std::min(RiderFrame[i] + 2 * sf / std::max(1, frameMs), lastFrame);
        Decel[i] = 0.8;
        if (Speed[i] <= 10) RiderFrame[i] = bike.crashFrames - 1;
        if (Speed[i] <= 0) {
            Decel[i] = 0;
            Speed[i] = 0;
            GroundSpeed[i] = 0;
            if (RespawnTimer[i] < 1) {
                Respawn(r);
            } else {
                RespawnTimer[i] -= frameMs;
            }
        }
    } else {
        if (kind == 1 || kind == 3 || kind == 4 || Speed[i] <= 130) {
            const double accel =
                e <= 0 ? 0.3
                       : std::min(0.3, (3.0 * bike.acceleration + 80) / (e * std::sqrt(2 * e)));
            if (Speed[i] <= 160 * top) Speed[i] += accel * sf;
        }
        const double brake = (11 - bike.braking) / 40.0 + 0.25;
        Decel[i] = (kind == 2 || kind == 5) && Speed[i] > 130 ? brake : 0.0;
    }

    // 13. Keep to the direction of the rider's own row.
    const int ownKind = race.SectionKindEntry(row + 2);
    const double centre = ownKind == 3 ? -kDiagonal : (ownKind == 4 ? kDiagonal : 0.0);
    Heading[i] = std::clamp(Heading[i], centre - kHeadingSpread, centre + kHeadingSpread);

    // 14. Speed.
    Speed[i] -= Decel[i] * sf;
    GroundSpeed[i] = top * Speed[i] / 8;

    // 15. Past the finish the rider stops.
    if (CentreY[i] < 72.0 * (1450 - race.TrackRows)) {
        Speed[i] = 0;
        GroundSpeed[i] = 0;
    }
}

// ---- what the bike and the road see ----

Quad TCar::RiderQuad(int r) const {
    if (!ValidRider(r)) return Quad{};
    const std::size_t i = Slot(r);
    return {Corner1[i], Corner2[i], Corner3[i], Corner4[i]};
}

QuadPoint TCar::RiderCentre(int r) const {
    if (!ValidRider(r)) return QuadPoint{};
    return {CentreX[Slot(r)], CentreY[Slot(r)]};
}

RivalInfo TCar::Rider(int r) const {
    RivalInfo info;
    if (!ValidRider(r)) return info;
    const std::size_t i = Slot(r);
    info.active = Active[i];
    info.onScreen = OnScreen[i];
    info.crashed = Crashed[i];
    info.touching = Touching[i];
    info.model = std::clamp(Model[i], 1, 5);
    info.picture = RiderPicture[i];
    info.frame = RiderFrame[i];
    info.centreX = CentreX[i];
    info.centreY = CentreY[i];
    info.heading = Heading[i];
    info.speed = Speed[i];
    info.hitCount = HitCount[i];
    info.corners = RiderQuad(r);
    return info;
}

void TCar::SetRiderTouching(int r, bool touching) {
    if (ValidRider(r)) Touching[Slot(r)] = touching;
}

void TCar::SetRiderSpeed(int r, double speed) {
    if (ValidRider(r)) Speed[Slot(r)] = speed;
}

void TCar::SetRiderHeading(int r, double heading) {
    if (ValidRider(r)) Heading[Slot(r)] = heading;
}

void TCar::SetRiderHitCount(int r, int count) {
    if (ValidRider(r)) HitCount[Slot(r)] = count;
}

void TCar::RiderHitObstacle(int r) {
    if (!ValidRider(r)) return;
    HitCount[Slot(r)] = 2;
    Crash(r);
}

}  // namespace vrumbal
