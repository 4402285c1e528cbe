// The player's bike, its model tables, and what it sees of the rival riders and of the race.
#pragma once
#include <array>
#include <cstdint>
#include <functional>

#include "engine/my_image_sprite.h"
#include "game/content_ids.h"
#include "race/contact_targets.h"
#include "race/quad.h"

namespace vrumbal {

class GameHost;
struct GameState;
struct RaceState;

// One row of the bike tables: ratings, pictures and body of a bike model.
struct BikeModel {
    int topSpeed;          // top-speed rating S
    int steering;          // steering rating T
    int acceleration;      // acceleration rating A
    int braking;           // braking rating B
    int uprightPicture;    // picture of list 2 when riding upright
    int crashPicture;      // crash animation
    int crashFrames;       // patterns of the crash animation that are played
    int leanLeftPicture;   // lean to the left, deepest lean at pattern 0
    int leanRightPicture;  // lean to the right
    int bodyWidth;         // width of the contact body in pixels
    double cornerFactor;   // shrinks the contact corners towards the centre
};

// The table row of model 1..5; numbers outside are taken as the nearest model.
const BikeModel& BikeModelOf(int model);

// What the bike sees of one rival rider (world pixels, headings in 256ths of a turn).
struct RivalInfo {
    bool active = false;    // takes part in the level
    bool onScreen = false;  // lies in the drawn window
    bool crashed = false;   // lies wrecked
    bool touching = false;  // touched the bike at the last test
    int model = 1;          // bike model 1..5, sizes the drawing
    int picture = 0;        // picture of list 2 showing the rider now
    double frame = 0;       // animation position in that picture
    double centreX = 0;     // world centre of the rider's box
    double centreY = 0;
    double heading = 0;  // direction
    double speed = 0;    // engine speed
    int hitCount = 0;    // contacts with the bike since the last respawn
    Quad corners{};      // contact quad, world pixels
};

// The rival riders as the bike meets them: the rivals' sprite implements this so that the
// bike can count contacts, push and be pushed, place itself in the race and draw the riders.
class BikeRivals {
public:
    virtual ~BikeRivals() = default;
    // Rider r, 1..5.
    virtual RivalInfo Rider(int r) const = 0;
    // Marks whether rider r is in contact with the bike.
    virtual void SetRiderTouching(int r, bool touching) = 0;
    // Sets rider r's engine speed.
    virtual void SetRiderSpeed(int r, double speed) = 0;
    // Sets rider r's heading.
    virtual void SetRiderHeading(int r, double heading) = 0;
    // Sets rider r's count of contacts with the bike.
    virtual void SetRiderHitCount(int r, int count) = 0;
    // Wrecks rider r.
    virtual void CrashRider(int r) = 0;
};

// What the bike tells the race it rides in, and asks of it.
class BikeRace {
public:
    virtual ~BikeRace() = default;
    // The run-out after the finish is over: the level is won.
    virtual void LevelWon() = 0;
    // The run-out after the time ran out (without finishing) is over.
    virtual void LevelTimedOut() = 0;
    // The crash pause ended with no life left.
    virtual void LivesGone() = 0;
    // Sets the level's values and generates its track.
    virtual void StartLevel(int level) = 0;
    // Puts the pickups on the new track.
    virtual void PlacePickups() = 0;
    // Puts the rivals on the new track.
    virtual void PlaceRivals() = 0;
};

// Which engine sound runs.
enum class EngineSoundState : std::uint8_t { None, Idle, Gear, Shift, Coast, Skid, Top };

// One tyre mark on the road, in screen pixels.
struct SkidMark {
    bool used = false;     // the slot holds a mark
    bool visible = false;  // the mark is drawn
    double x = 0;          // where the mark is drawn
    double y = 0;
    int angle = 0;  // the heading it was laid with
};

// The player's bike. It stays at (400, 400) on the screen while the road scrolls under it: it
// turns the keys into speed and heading, tests its corners against the road and the rivals,
// plays the engine, lays tyre marks, falls and crashes, restarts on the road, runs out after
// the finish or the end of the time, and draws itself with its marks, the rivals and the
// panel frames.
class TPlayer final : public TMyImageSprite, public BikeContactTarget {
public:
    // Number of tyre mark slots.
    static constexpr int kMarkSlots = 100;
    // Where the bike stands on the screen.
    static constexpr int kScreenX = 400;
    static constexpr int kScreenY = 400;

    // A bike of model SelectedBike with its top-left corner at (x, y), depth 12.
    TPlayer(TSprite* parent, GameHost& host, BikeRace* race, int x, int y);
    // A new bike under the form's sprite engine.
    static TPlayer* Create(GameHost& host, BikeRace* race, int x, int y);

    // The road sprite whose scroll offset places the world on the screen (not owned).
    void SetRoad(TSprite* road) { road_ = road; }
    // The rival riders (not owned; null: none).
    void SetRivals(BikeRivals* rivals) { rivals_ = rivals; }

    // Model 1..5 ridden.
    int Model() const { return model_; }

    // Derived rates.
    // Top-speed factor M: ground speed per engine speed.
    double TopSpeedFactor() const;
    // Throttle gain per frame at the current speed.
    double AccelRate() const;
    // Brake loss per frame.
    double BrakeRate() const;
    // Rolling loss per frame without throttle or brake.
    double CoastRate() const;
    // Steering change per frame at the current speed.
    double SteerRate() const;

    // Score and lives.
    // Adds n points.
    void AddScore(int n);
    // With flag 1, one more life, up to three.
    void AddLife(int flag);
    // One hit; the third costs a life and crashes the bike.
    void TakeHit();
    // n hits.
    void TakeHits(int n);
    // Puts the bike down without costing a hit or a life.
    void Crash();

    // Sounds.
    // Switches the engine to sound n and records its state.
    void SetEngineSound(SoundId n);
    // Stops the engine sounds; with all also the horn, pickups and push sounds.
    void StopBikeSounds(bool all);
    // Starts the current engine sound again, with withHorn also the horn while it is held.
    void RestartEngineSound(bool withHorn);
    // Multiplies Speed and GroundSpeed, restarting the engine sound (sound 17 with playSound).
    void ScaleSpeed(bool playSound, double factor);

    // Tyre marks.
    // Lays a mark in the lowest free slot (none free: nothing).
    void AddSkidMark(double x, double y);
    // Moves every mark with the road.
    void ScrollSkidMarks();
    // Frees the marks that have left the area 0..700 x -14..600.
    void CullSkidMarks();
    // Slot 1..100.
    const SkidMark& Mark(int slot) const { return marks_.at(static_cast<std::size_t>(slot)); }
    // Number of slots in use.
    int MarksInUse() const;

    // The road.
    // True when the world point lies on a road tile; points off the map are not road.
    bool IsRoadAt(int worldX, int worldY) const;
    // True when all four corners lie on road tiles.
    bool AllCornersOnRoad() const;
    // The bend of a map row: -1, 0 or 1 after its last bend tile.
    int RoadBendAt(int row) const;
    // Moves the view so that the bike stands on the road near its map row.
    void FindRespawn();
    // Puts the bike up again, standing, after a crash or at a level start.
    void ResetBike();
    // The bike's part of starting the next level (next) or the same one again.
    void StartLevelRun(bool next);

    // Steps of the riding frame, public so that the race and tests can follow them.
    // Chooses and deepens the lean picture.
    void LeanControl();
    // Turns the input flags into steering and the deceleration of the frame.
    void Controls();
    // Applies the deceleration and the speed limits.
    void SpeedUpdate();
    // Places the contact corners around the centre.
    void UpdateCorners();
    // Chooses the engine sound from speed and keys.
    void UpdateEngineSound();
    // Falls when braking in a deep lean or skidding hard.
    void FallCheck();
    // The race place among the active rivals.
    void UpdatePlace();

    // BikeContactTarget.
    Quad ScreenCorners() const override { return Corners; }
    bool CanHitObstacle() const override { return HitsLeft > 0 && !Crashed; }
    void HitObstacle() override;

    // Hits and state.
    int HitsLeft = 3;                                       // hits left in the current life
    bool TimeUp = false;                                    // the level's time has run out
    bool RunOutStarted = false;                             // the end-of-level run-out has begun
    int CrashTimer = 0;                                     // ms left of the crash pause
    bool Crashed = false;                                   // the bike is down
    bool HornOn = false;                                    // the horn sounds and its key is held
    int BoostTime = 0;                                      // ms left of a push boost
    bool BoostActive = false;                               // a push boost runs
    EngineSoundState EngineSound = EngineSoundState::None;  // the engine sound running
    bool Finished = false;                                  // crossed the finish line
    bool CrashOriented = false;                             // the crash heading has been settled
    bool OnRoad = true;  // all four corners lay on road at the last test

    // Geometry, screen pixels.
    double MarkX = 0, MarkY = 0;      // rear point where marks are laid
    double ProbeX = 0, ProbeY = 0;    // second rear point, spaces the marks
    double MarkRadius = 0;            // distance of the rear points from the centre
    double CentreX = 0, CentreY = 0;  // the bike's centre, fixed at creation
    double CornerRadius = 0;          // distance of the corners from the centre
    double CornerAngle = 0;           // angle between heading and a front corner
    Quad Corners{};                   // front-left, front-right, rear-right, rear-left
    bool GearShiftMark = false;       // lay a tyre mark now (first gear change)

    // Motion.
    double Speed = 0;        // engine speed
    double GroundSpeed = 0;  // TopSpeedFactor x Speed / 8, drives the scroll
    double Steer = 0;        // -128 .. 128
    int Heading = 0;         // Round(Steer / 2), 256ths of a turn
    double Decel = 0;        // deceleration chosen this frame

    // Input flags, written by the race after each move pass.
    bool SteerLeft = false, SteerRight = false, Throttle = false, Brake = false;
    bool HandBrake = false, Horn = false;

    // Lean.
    int LeanState = 0;  // -1 lean-left picture, 0 upright, 1 lean-right picture
    bool PrevLeft = false, PrevRight = false;  // steering flags of the previous frame
    double LeanStartHeading = 0;               // Heading when the lean began

    // Slot of the newest tyre mark.
    int LastMark = 1;

protected:
    // One frame of the bike, in the fixed order of riding, crash and run-out.
    void MoveStep(int moveCount) override;
    // Tyre marks, the bike, the rivals, the panel frames and the minimap.
    void DrawSelf() override;

private:
    void ShowPicture(int index);
    void ShowAnimation(int index, int rate);
    void SetLeanLeft();
    void SetLeanRight();
    void SetUpright();
    void LeanIn(double depth, double rate);
    void LeanOut(double rate);
    void FinishTest();
    void BoostCountdown();
    void RivalContacts();
    void ShiftSpeed(bool playSound, double delta);
    void CrashBranch();
    void RunOutBranch();
    void RearPoints();
    double RoadX() const;
    double RoadY() const;
    double SF() const;
    int FrameMsNow() const;

    GameHost& host_;                                // sounds, dialogs, shared state
    BikeRace* race_;                                // the race ridden in (not owned)
    TSprite* road_ = nullptr;                       // the road sprite (not owned)
    BikeRivals* rivals_ = nullptr;                  // the rival riders (not owned)
    int model_ = 1;                                 // the model ridden
    std::array<SkidMark, kMarkSlots + 1> marks_{};  // slots 1..100; 0 unused
};

}  // namespace vrumbal
