// The rival riders: their model tables, and the one sprite that rides all five of them.
#pragma once
#include <array>
#include <cstdint>

#include "engine/my_image_sprite.h"
#include "race/contact_targets.h"
#include "race/player.h"
#include "race/quad.h"

namespace vrumbal {

class GameHost;
class TDXDraw;
class TPictureCollection;

// Draws the riders (pictures of the race list) offset by (offX, offY) from world to screen:
// wrecks first, so that riding bikes pass over them.
void DrawRivalRiders(TDXDraw& target, TPictureCollection& list, const BikeRivals& rivals,
                     double offX, double offY);

// What a rider's bike model adds to the bike tables: the boxes it is drawn in and the
// geometry of its contact corners.
struct RivalModel {
    int boxWidth;      // box while riding
    int boxHeight;     //
    int crashWidth;    // box of the wreck
    int crashHeight;   //
    int cornerRadius;  // distance of the contact corners from the centre
    int cornerAngle;   // angle between the heading and a front corner, 256ths of a turn
};

// The table row of model 1..5; numbers outside are taken as the nearest model.
const RivalModel& RivalModelOf(int model);

// One value per rider; slot 0 is unused so that riders are numbered 1..5.
template <class T>
using PerRider = std::array<T, 6>;

// The rival riders of a race: one sprite holding all five riders side by side. Each rider
// follows the road by aiming a few rows ahead, changes lane and pace at random, steers around
// the player and the others, crashes on obstacles or after two knocks from the player and is
// put back on the road a second after sliding to a stop. The bike draws the riders and tests
// its contacts with them; the road tests them against its solid tiles.
class TCar final : public TMyImageSprite, public BikeRivals, public RivalContactTarget {
public:
    // Riders a race can hold.
    static constexpr int kRiders = 5;

    // The riders' sprite at depth 9 under parent; the road gives the scroll offset, the bike
    // is the one to steer around (either may be null). Runs Reset.
    TCar(TSprite* parent, GameHost& host, TSprite* road, const TPlayer* bike);
    // A new riders' sprite under the form's sprite engine.
    static TCar* Create(GameHost& host, TSprite* road, const TPlayer* bike);

    // Clears all riders and puts those of the current level on the start, then runs one step
    // so that their centres and corners are valid at once.
    void Reset();
    // Puts rider r down: the wreck picture, the crash sound and a second's wait once stopped.
    void Crash(int r);
    // Puts rider r back up beside the road's right edge, near the row it stopped in.
    void Respawn(int r);
    // One frame of every active rider, without the sprite's own animation step.
    void StepRiders();

    // The rider's box and contact quad.
    // Rider r's four corners, world pixels.
    Quad RiderQuad(int r) const;
    // True for 1..5.
    static bool ValidRider(int r) { return r >= 1 && r <= kRiders; }

    // BikeRivals.
    RivalInfo Rider(int r) const override;
    void SetRiderTouching(int r, bool touching) override;
    void SetRiderSpeed(int r, double speed) override;
    void SetRiderHeading(int r, double heading) override;
    void SetRiderHitCount(int r, int count) override;
    void CrashRider(int r) override { Crash(r); }

    // RivalContactTarget.
    bool RiderActive(int r) const override { return ValidRider(r) && Active[Slot(r)]; }
    QuadPoint RiderCentre(int r) const override;
    Quad RiderCorners(int r) const override { return RiderQuad(r); }
    bool RiderCrashed(int r) const override { return ValidRider(r) && Crashed[Slot(r)]; }
    void RiderHitObstacle(int r) override;

    // The riders, world pixels and 256ths of a turn.
    PerRider<bool> Active{};                // takes part in this level
    PerRider<int> Model{};                  // bike model 1..5
    PerRider<int> RiderPicture{};           // picture of list 2 showing the rider now
    PerRider<double> PosX{}, PosY{};        // top-left corner of the riding box
    PerRider<double> Heading{};             // direction
    PerRider<double> Speed{};               // engine speed
    PerRider<double> GroundSpeed{};         // top-speed factor x Speed / 8
    PerRider<double> Decel{};               // taken from Speed each frame
    PerRider<bool> OnScreen{};              // lies in the drawn window
    PerRider<double> Lean{};                // -6.5 .. 6.5, negative to the left
    PerRider<double> RiderFrame{};          // animation frame of the current picture
    PerRider<int> LeanSide{};               // -1, 0, 1: which lean picture shows
    PerRider<double> CentreX{}, CentreY{};  // centre of the riding box
    PerRider<QuadPoint> Corner1{}, Corner2{}, Corner3{}, Corner4{};  // the contact quad
    PerRider<QuadPoint> ProbeFrontLeft{}, ProbeFrontRight{};         // look-ahead for avoiding
    PerRider<QuadPoint> ProbeLeft{}, ProbeRight{};                   // side probes
    PerRider<double> LaneOffset{};         // sideways offset from the road's centre line
    PerRider<bool> Touching{};             // in contact with the player's bike
    PerRider<int> HitCount{};              // knocks from the player since the last respawn
    PerRider<bool> Crashed{};              // the rider is down
    PerRider<int> RespawnTimer{};          // ms to stay down after stopping
    PerRider<bool> Steering{};             // turning towards the aim point
    PerRider<double> SteerStartHeading{};  // Heading when the turn began
    PerRider<double> SteerHold{};          // frames the lean is held after a turn
    PerRider<bool> Avoiding{};             // an avoidance manoeuvre runs
    PerRider<int> AvoidTimer{};            // ms before Avoiding may end
    PerRider<int> LaneTimer{};             // ms to the next random lane change
    PerRider<int> LookAhead{};             // extra rows the aim lies ahead, 0..2
    PerRider<int> PaceTimer{};             // ms to the next random pace change
    PerRider<int> PaceDelta{};             // last random pace change, -5..4

protected:
    // The sprite's step, then every rider's.
    void MoveStep(int moveCount) override;
    // Nothing: the bike draws the riders.
    void DrawSelf() override {}

private:
    static std::size_t Slot(int r) { return static_cast<std::size_t>(r); }
    void StepRider(int r);
    void UpdateGeometry(int r);
    void RandomLaneAndPace(int r);
    void Avoid(int r);
    void TurnAndThrottle(int r);
    int RandomBelow(int n);
    double SF() const;
    int FrameMsNow() const;
    double RoadX() const;
    double RoadY() const;

    GameHost& host_;       // shared state, random numbers, sounds
    TSprite* road_;        // scroll offset (not owned)
    const TPlayer* bike_;  // the player's bike (not owned)
};

}  // namespace vrumbal
