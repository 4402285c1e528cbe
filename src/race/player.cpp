// The bike's riding: its model tables and rates, score and lives, tyre marks, the road under it
// and restarts, leaning and steering, rival contacts, crashes and the run-out, frame by frame.
#include "race/player.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/dx_draw.h"
#include "engine/picture_collection.h"
#include "engine/sprite_context.h"
#include "engine/sprite_engine.h"
#include "game/game_host.h"
#include "game/game_state.h"
#include "game/race_state.h"
#include "race/standings.h"

namespace vrumbal {
namespace {

constexpr double kTurn = 2 * std::numbers::pi / 256;  // radians per heading unit

constexpr BikeModel kBikeModels[5] = {
    {6, 8, 9, 7, 5, 23, 5, 24, 25, 23, 0.92},  {11, 4, 3, 8, 6, 26, 7, 27, 28, 28, 0.82},
    {6, 6, 8, 10, 7, 29, 5, 30, 31, 34, 0.78}, {9, 5, 10, 9, 8, 32, 5, 33, 34, 24, 0.9},
    {8, 11, 8, 9, 9, 35, 5, 36, 37, 28, 0.8},
};

// Upright lean position: the lean pictures run from here down to 0 at the deepest lean.
constexpr double kUprightFrame = 5.5;

double Sign(double v) {
    return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0);
}

}  // namespace

const BikeModel& BikeModelOf(int model) {
    return kBikeModels[std::clamp(model, 1, 5) - 1];
}

TPlayer::TPlayer(TSprite* parent, GameHost& host, BikeRace* race, int x, int y)
    : TMyImageSprite(parent, host.Sprites(), 2), host_(host), race_(race) {
    model_ = std::clamp(host.State().SelectedBike, 1, 5);
    const BikeModel& m = BikeModelOf(model_);
    ShowPicture(m.uprightPicture);
    X = x;
    Y = y;
    SetZ(12);
    const double halfW = Width / 2.0;
    const double halfH = Height / 2.0;
    MarkRadius = std::sqrt(halfH * halfH + halfW * halfW) - 25;
    CentreX = halfW + X;
    CentreY = halfH + Y;
    const double halfBody = m.bodyWidth / 2.0;
    CornerRadius = std::sqrt(halfH * halfH + halfBody * halfBody);
    CornerAngle = std::atan2(halfBody, halfH) / kTurn;
    // The road tests the corners before the bike's first step: they must be real already.
    UpdateCorners();
}

TPlayer* TPlayer::Create(GameHost& host, BikeRace* race, int x, int y) {
    return TSprite::Create<TPlayer>(*host.Sprites().engine, host, race, x, y);
}

// ---- derived rates ----

double TPlayer::TopSpeedFactor() const {
    return BikeModelOf(model_).topSpeed / 11.0 / 10 + 0.9;
}

double TPlayer::AccelRate() const {
    const double v = Speed;
    if (v <= 0) return 0.3;
    return std::min(0.3, (3.0 * BikeModelOf(model_).acceleration + 80) / (v * std::sqrt(2 * v)));
}

double TPlayer::BrakeRate() const {
    return (11 - BikeModelOf(model_).braking) / 40.0 + 0.25;
}

double TPlayer::CoastRate() const {
    if (Speed <= 0) return 0;
    return std::max(0.05, (0.3 - AccelRate()) / 2);
}

double TPlayer::SteerRate() const {
    const double v = Speed;
    if (v > 0) {
        const double t = BikeModelOf(model_).steering;
        return std::min(0.8, 1000 / (v * std::sqrt(v * (4 - t / 10))));
    }
    return std::min(0.8, -v / 5);
}

// ---- helpers ----

double TPlayer::SF() const {
    return host_.State().SpeedFactor;
}
int TPlayer::FrameMsNow() const {
    return host_.State().FrameMs;
}
double TPlayer::RoadX() const {
    return road_ != nullptr ? road_->X : 0.0;
}
double TPlayer::RoadY() const {
    return road_ != nullptr ? road_->Y : 0.0;
}

void TPlayer::ShowPicture(int index) {
    // A library without the picture shows nothing rather than stopping the race.
    const TPictureCollection* list = Context().imageList2;
    if (list != nullptr && index >= 0 && index < list->Count()) {
        SetImageByIndex(index);
        return;
    }
    SetImage(nullptr);
    FramePos = 0;
    FrameCount = 0;
}

void TPlayer::ShowAnimation(int index, int rate) {
    ShowPicture(index);
    FramePos = 0;
    Looped = true;
    AnimRate = rate;
}

int TPlayer::MarksInUse() const {
    return static_cast<int>(
        std::count_if(marks_.begin() + 1, marks_.end(), [](const SkidMark& m) { return m.used; }));
}

// ---- score and lives ----

void TPlayer::AddScore(int n) {
    host_.Race().Score += n;
}

void TPlayer::AddLife(int flag) {
    RaceState& race = host_.Race();
    if (flag == 1 && race.Lives < 3) ++race.Lives;
}

void TPlayer::TakeHit() {
    --HitsLeft;
    if (HitsLeft <= 0) {
        HitsLeft = 3;
        --host_.Race().Lives;
        Crash();
    }
}

void TPlayer::TakeHits(int n) {
    for (int i = 0; i < n; ++i) TakeHit();
}

void TPlayer::HitObstacle() {
    // An obstacle bounces the bike off: the crash mirrors its heading.
    CrashOriented = false;
    TakeHits(HitsLeft);
}

void TPlayer::Crash() {
    Crashed = true;
    EngineSound = EngineSoundState::None;
    HornOn = false;
    host_.PlaySound(kSoundCrash);
    ShowAnimation(BikeModelOf(model_).crashPicture, 8);
    StopBikeSounds(false);
    CrashTimer = 3000;
}

// ---- speed changes with their sounds ----

void TPlayer::ScaleSpeed(bool playSound, double factor) {
    Speed *= factor;
    GroundSpeed *= factor;
    StopBikeSounds(false);
    RestartEngineSound(false);
    if (playSound) host_.PlaySound(kSoundBump);
}

void TPlayer::ShiftSpeed(bool playSound, double delta) {
    if (Speed != 0) {
        ScaleSpeed(playSound, (Speed + delta) / Speed);
        return;
    }
    // At a standstill no factor turns 0 into 10: the bike simply gains (or loses) the amount.
    Speed = delta;
    GroundSpeed = TopSpeedFactor() * Speed / 8;
    StopBikeSounds(false);
    RestartEngineSound(false);
    if (playSound) host_.PlaySound(kSoundBump);
}

// ---- tyre marks ----

void TPlayer::AddSkidMark(double x, double y) {
    for (int slot = 1; slot <= kMarkSlots; ++slot) {
        SkidMark& m = marks_[static_cast<std::size_t>(slot)];
        if (m.used) continue;
        m.used = true;
        m.visible = true;
        m.x = x;
        m.y = y;
        m.angle = Heading;
        LastMark = slot;
        return;
    }
}

void TPlayer::ScrollSkidMarks() {
    const RaceState& race = host_.Race();
    const double dx = race.BikeVelX * 0.5 * SF();
    const double dy = race.BikeVelY * 0.5 * SF();
    // Free slots stay at 0, so the spacing of the next mark never measures from a ghost.
    for (SkidMark& m : marks_) {
        if (!m.used) continue;
        m.x += dx;
        m.y += dy;
    }
}

void TPlayer::CullSkidMarks() {
    for (int slot = 1; slot <= kMarkSlots; ++slot) {
        SkidMark& m = marks_[static_cast<std::size_t>(slot)];
        if (!m.used) continue;
        if (m.x < 0 || m.x > 700 || m.y + 14 < 0 || m.y > 600) {
            m.used = false;
            m.x = 0;
            m.y = 0;
        }
    }
}

void TPlayer::RearPoints() {
    const double cx = X + Width / 2.0;
    const double cy = Y + Height / 2.0;
    const double rear = (Heading - 128) * kTurn;
    MarkX = cx + std::sin(rear) * MarkRadius;
    MarkY = cy - std::cos(rear) * MarkRadius;
    const double probe = (Heading - 124) * kTurn;
    ProbeX = cx + std::sin(probe) * MarkRadius;
    ProbeY = cy - std::cos(probe) * MarkRadius;
}

// ---- the road ----

bool TPlayer::IsRoadAt(int worldX, int worldY) const {
    const int col = worldX / kTileSize;
    const int row = worldY / kTileSize;
    if (col == 0 || row == 0) return false;
    // Off the map TileAt answers -1, which is no road tile.
    return IsRoadTile(host_.Race().TileAt(row - 1, col - 1));
}

bool TPlayer::AllCornersOnRoad() const {
    const RaceState& race = host_.Race();
    const int roadX = RoundHalfEven(RoadX());
    const int roadY = RoundHalfEven(RoadY());
    for (const QuadPoint& c : Corners) {
        const int wx = RoundHalfEven(race.ViewColumn * 72.0 - roadX + c.x);
        const int wy = RoundHalfEven(race.ViewRow * 72.0 - roadY + c.y);
        if (!IsRoadAt(wx, wy)) return false;
    }
    return true;
}

int TPlayer::RoadBendAt(int row) const {
    const RaceState& race = host_.Race();
    int bend = 0;
    for (int c = 0; c < kMapColumns; ++c) {
        switch (race.TileAt(row, c)) {
            case 10:
                bend = 0;
                break;
            case 27:
            case 33:
                bend = -1;
                break;
            case 39:
            case 45:
                bend = 1;
                break;
            default:
                break;
        }
    }
    return bend;
}

void TPlayer::FindRespawn() {
    RaceState& race = host_.Race();
    // At the bottom end of the map the bike already stands on the start: the view stays.
    if (race.ViewRow >= 1490) return;
    // The search ends with the map: below its last row there is nothing to stand on.
    for (int r = race.ViewRow + 4; r < kMapRows; ++r) {
        for (int c = 648; c >= 0; --c) {
            const int tile = race.TileAt(r, c);
            const bool edge = tile == 0 && IsRoadAt(c * kTileSize, (r + 1) * kTileSize);
            if (!edge && tile != 23 && tile != 29 && tile != 47) continue;
            int k = 6;
            Steer = 0;
            if (tile == 47) {
                Steer = 38;
                k = 7;
            } else if (tile == 29) {
                Steer = -38;
                k = 5;
            }
            Heading = RoundHalfEven(Steer / 2);
            race.ViewColumn = c - k;
            race.ViewRow = r - 3;
            if (road_ != nullptr) {
                road_->X = 0;
                road_->Y = 0;
            }
            return;
        }
    }
}

void TPlayer::ResetBike() {
    TimeUp = false;
    Crashed = false;
    RunOutStarted = false;
    Speed = 0;
    GroundSpeed = 0;
    ShowAnimation(BikeModelOf(model_).uprightPicture, 0);
    SetUpright();
    FrameSpeed = 0;
}

void TPlayer::StartLevelRun(bool next) {
    const int level = host_.Race().Level;
    if (race_ != nullptr) race_->StartLevel(next ? level + 1 : level);
    TimeUp = false;
    RunOutStarted = false;
    Steer = 0;
    Heading = 0;
    HitsLeft = 3;
    if (road_ != nullptr) {
        road_->X = 0;
        road_->Y = 0;
    }
    if (race_ != nullptr) race_->PlacePickups();
    Finished = false;
    if (race_ != nullptr) race_->PlaceRivals();
    host_.OpenDialog(kDialogLevelStart);
    ResetBike();
    SetEngineSound(kSoundEngineIdle);
}

// ---- lean ----

void TPlayer::SetLeanLeft() {
    if (LeanState == -1) return;
    ShowPicture(BikeModelOf(model_).leanLeftPicture);
    FramePos = kUprightFrame;
    LeanState = -1;
}

void TPlayer::SetLeanRight() {
    if (LeanState == 1) return;
    ShowPicture(BikeModelOf(model_).leanRightPicture);
    FramePos = kUprightFrame;
    LeanState = 1;
}

void TPlayer::SetUpright() {
    if (LeanState == 0) return;
    ShowPicture(BikeModelOf(model_).uprightPicture);
    LeanState = 0;
}

void TPlayer::LeanIn(double depth, double rate) {
    const double deepest = std::max(0.0, kUprightFrame - depth);
    if (FramePos > deepest) FramePos = std::max(deepest, FramePos - rate * SF() * 0.5);
}

void TPlayer::LeanOut(double rate) {
    FramePos = std::min(kUprightFrame, FramePos + rate * SF() * 0.5);
}

void TPlayer::LeanControl() {
    const GameState& s = host_.State();
    if (Finished) {
        LeanOut(0.2);
        if (FramePos == kUprightFrame) SetUpright();
        const double step = SF();
        if (Steer < 0) {
            Steer = std::min(0.0, Steer + step);
        } else if (Steer > 0) {
            Steer = std::max(0.0, Steer - step);
        }
        Heading = RoundHalfEven(Steer / 2);
    } else if (Speed < 5) {
        SetUpright();
    } else if (s.HeldLeft && LeanState != 1) {
        if (!PrevLeft) LeanStartHeading = Heading;
        SetLeanLeft();
        if (std::fabs(Heading - LeanStartHeading) > 5) LeanIn(Speed / 35, 0.15);
    } else if (s.HeldRight && LeanState != -1) {
        if (!PrevRight) LeanStartHeading = Heading;
        SetLeanRight();
        if (std::fabs(Heading - LeanStartHeading) > 5) LeanIn(Speed / 35, 0.15);
    } else if (FramePos == kUprightFrame) {
        SetUpright();
    } else if (LeanState != 0) {
        LeanOut(0.2);
    }
    PrevLeft = SteerLeft;
    PrevRight = SteerRight;
}

// ---- riding ----

void TPlayer::Controls() {
    if (!Horn) {
        HornOn = false;
        host_.StopSound(kSoundHorn);
    } else if (!HornOn) {
        HornOn = true;
        host_.PlaySound(kSoundHorn);
    }
    if (!HandBrake) {
        // A standing bike does not steer, a reversing one steers the other way.
        const double turn = Sign(GroundSpeed) * SteerRate() * SF();
        if (SteerLeft) Steer = std::clamp(Steer - turn, -128.0, 128.0);
        if (SteerRight) Steer = std::clamp(Steer + turn, -128.0, 128.0);
    }
    Decel = Brake ? BrakeRate() : 0;
    if (!Throttle && !Brake) Decel = CoastRate();
    if (HandBrake) {
        if (Speed > 0) {
            Decel = 0.6;
        } else if (Speed < 0) {
            Decel = -0.6;
        }
    }
    if (Throttle && !Brake) {
        if (Speed <= 160 * TopSpeedFactor()) {
            Speed += AccelRate() * SF();
        } else {
            Decel = CoastRate();
        }
    }
    if (!OnRoad && Speed > 80) Decel = 0.5;
}

void TPlayer::SpeedUpdate() {
    Speed -= Decel * SF();
    if (Speed > 0 && Speed < 0.1) Speed = 0;
    if (Speed < -8) Speed = -8;
    if (HandBrake && Speed > -1 && Speed < 1) Speed = 0;
    GroundSpeed = TopSpeedFactor() * Speed / 8;
}

void TPlayer::UpdateCorners() {
    const double r = CornerAngle;
    const double radius = CornerRadius * BikeModelOf(model_).cornerFactor;
    const double offsets[4] = {-r, r, 128 - r, 128 + r};
    for (int i = 0; i < 4; ++i) {
        const double a = (Heading + offsets[i]) * kTurn;
        Corners[static_cast<std::size_t>(i)] = {std::sin(a) * radius + CentreX,
                                                CentreY - std::cos(a) * radius};
    }
}

void TPlayer::FallCheck() {
    if (Crashed) return;
    const double depth = kUprightFrame - FramePos;
    const bool leaning = LeanState != 0;
    const bool falls = (HandBrake && Speed > 100 && LastMark > 10) ||
                       (HandBrake && depth > 2 && leaning && LastMark > 8) ||
                       (Brake && depth > 3 && leaning) ||
                       (Brake && depth > 2 && leaning && Speed > 100);
    if (!falls) return;
    // A fall keeps the heading the bike had.
    CrashOriented = true;
    Crash();
}

// ---- the race around the bike ----

void TPlayer::FinishTest() {
    const RaceState& race = host_.Race();
    const double lineY = (1550.0 - race.TrackRows - race.ViewRow) * kTileSize + RoadY();
    if (lineY > Y) Finished = true;
}

void TPlayer::BoostCountdown() {
    if (!BoostActive) return;
    BoostTime -= FrameMsNow();
    if (BoostTime < 1) {
        ShiftSpeed(false, -10);
        BoostActive = false;
    }
}

void TPlayer::RivalContacts() {
    if (rivals_ == nullptr) return;
    const RaceState& race = host_.Race();
    const double offX = RoadX() - 72.0 * race.ViewColumn;
    const double offY = RoadY() - 72.0 * race.ViewRow;
    for (int r = 1; r <= 5; ++r) {
        const RivalInfo info = rivals_->Rider(r);
        if (!info.active || !info.onScreen) continue;
        Quad rider = info.corners;
        for (QuadPoint& p : rider) {
            p.x += offX;
            p.y += offY;
        }
        if (!QuadsOverlap(rider, Corners)) {
            rivals_->SetRiderTouching(r, false);
            continue;
        }
        // A contact counts once until the two separate.
        if (!info.touching) {
            if (!Finished) TakeHits(1);
            if (info.centreY + offY > CentreY) {
                // Hit from behind: the bike is pushed on.
                ShiftSpeed(true, 10);
                BoostActive = true;
                BoostTime = 100;
                rivals_->SetRiderSpeed(r, info.speed * 0.95);
            } else {
                rivals_->SetRiderSpeed(r, info.speed * 1.05);
                ScaleSpeed(true, 0.95);
            }
            // The two swap headings, the bike keeping part of its own.
            const double s = Steer;
            const double t = info.heading;
            const double d = 2 * t - s;
            Steer = 2 * t + d / 2;
            rivals_->SetRiderHeading(r, t - d / 2);
            const int knocks = info.hitCount + 1;
            rivals_->SetRiderHitCount(r, knocks);
            if (knocks >= 2) rivals_->CrashRider(r);
        }
        rivals_->SetRiderTouching(r, true);
    }
}

void TPlayer::CrashBranch() {
    RaceState& race = host_.Race();
    const BikeModel& m = BikeModelOf(model_);
    const double lastFrame = m.crashFrames - 1;
    // The crash plays once and holds its last picture.
    if (FramePos >= lastFrame) FramePos = lastFrame;
    if (!CrashOriented) {
        CrashOriented = true;
        Heading = 38 * RoadBendAt(race.ViewRow + 4) - Heading;
    }
    ScrollSkidMarks();
    if (Speed > 0) {
        Speed -= 0.8 * SF();
        GroundSpeed = TopSpeedFactor() * Speed / 8;
        if (Speed < 10) {
            AnimRate = 0;
            FrameSpeed = 0;
            FramePos = lastFrame;
        }
    }
    if (Speed <= 0) GroundSpeed = 0;
    if (CrashTimer > 0) {
        CrashTimer -= FrameMsNow();
        return;
    }
    if (race.Lives > 0) {
        FindRespawn();
        ResetBike();
    } else if (race_ != nullptr) {
        race_->LivesGone();
    }
}

void TPlayer::RunOutBranch() {
    RaceState& race = host_.Race();
    ScrollSkidMarks();
    if (!RunOutStarted) {
        RunOutStarted = true;
        EngineSound = EngineSoundState::None;
        HornOn = false;
        StopBikeSounds(true);
        SetEngineSound(kSoundEngineIdle);
    }
    if (Speed > 0) {
        Speed -= 0.8 * SF();
        GroundSpeed = TopSpeedFactor() * Speed / 8;
        SteerLeft = false;
        SteerRight = false;
        // The bike follows the road's bends on its own.
        const int v = RoundHalfEven(race.ViewRow * 72.0 + CentreY - RoadY()) / kTileSize;
        const int kind = race.SectionKindEntry(v + 1);
        Steer = kind == 3 ? -37.78 : (kind == 4 ? 37.78 : 0.0);
        race.TallyTimeLeft = Finished ? 2000 : 1000;
    }
    if (Speed <= 0) {
        Speed = 0;
        GroundSpeed = 0;
    }
    if (Speed > 0) return;
    if (race.TallyTimeLeft > 0) {
        race.TallyTimeLeft -= FrameMsNow();
        return;
    }
    if (!TimeUp || Finished) {
        StopBikeSounds(true);
        if (race_ != nullptr) race_->LevelWon();
    } else if (race_ != nullptr) {
        race_->LevelTimedOut();
    }
}

void TPlayer::UpdatePlace() {
    RaceState& race = host_.Race();
    UpdateStandings(race, rivals_, race.ViewRow * 72.0 + CentreY - RoadY());
}

void TPlayer::MoveStep(int moveCount) {
    TMyImageSprite::MoveStep(moveCount);
    if (!Crashed) LeanControl();
    FinishTest();
    if (!Finished) UpdatePlace();
    UpdateCorners();
    BoostCountdown();
    if (!Crashed) RivalContacts();
    if (Crashed) {
        CrashBranch();
        return;
    }
    // Once the level is over the bike brakes to a stop on its own whatever the keys say: a
    // throttle still held at the time-up would otherwise keep it rolling and the wait before
    // the notice would never begin.
    if (!Finished && !TimeUp) Controls();
    Heading = RoundHalfEven(Steer / 2);
    if (Finished || TimeUp) {
        RunOutBranch();
        return;
    }
    OnRoad = AllCornersOnRoad();
    UpdateEngineSound();
    ScrollSkidMarks();
    RearPoints();
    if ((HandBrake && std::fabs(GroundSpeed) > 0.1) || GearShiftMark) {
        const SkidMark& newest = marks_[static_cast<std::size_t>(LastMark)];
        const double gap = std::hypot(ProbeX - newest.x, ProbeY - newest.y);
        if (gap >= 12 - GroundSpeed * 0.5 * SF()) AddSkidMark(MarkX, MarkY);
        GearShiftMark = false;
    }
    CullSkidMarks();
    FallCheck();
    SpeedUpdate();
    // The bike cannot reverse past the start at the bottom of the map.
    RaceState& race = host_.Race();
    if (race.ViewRow == 1490 && Speed < 0) {
        Speed = 0;
        GroundSpeed = 0;
    }
}

}  // namespace vrumbal
