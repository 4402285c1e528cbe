// The pickups of a level, points and at most one extra life, all held by one sprite.
#pragma once
#include <array>
#include <cstdint>

#include "engine/my_image_sprite.h"

namespace vrumbal {

class GameHost;
class TPlayer;

// The pickups of a level: points and at most one extra life lying on the straight stretches
// of the road. One sprite holds them all; the bike collects one by touching it.
class TBonus final : public TMyImageSprite {
public:
    // Slots a level can hold.
    static constexpr int kSlots = 400;
    // Size of a pickup's touch box from its top-left point.
    static constexpr int kBoxWidth = 35;
    static constexpr int kBoxHeight = 34;

    // The pickups' sprite at depth 5 under parent; the road gives the scroll offset (may be
    // null). Places the pickups on the current track.
    TBonus(TSprite* parent, GameHost& host, TSprite* road);
    // A new pickups' sprite under the form's sprite engine.
    static TBonus* Create(GameHost& host, TSprite* road);

    // Empties every slot and lays BonusCount pickups on straight rows of the new track.
    void PlacePickups();
    // The top-left screen point of slot s, 19 pixels into its tile.
    int ScreenX(int s) const;
    int ScreenY(int s) const;
    // Slots that still hold a pickup.
    int PresentCount() const;
    // The picture of list 2 that shows a kind 1..5 (11..15).
    static int PictureOf(int kind);
    // Points a kind gives.
    static int PointsOf(int kind);

    // The slots, 1..400; slot 0 is unused.
    std::array<bool, kSlots + 1> Present{};               // holds an uncollected pickup
    std::array<std::int32_t, kSlots + 1> PickupColumn{};  // map column + 1 + lane 0..3
    std::array<std::int32_t, kSlots + 1> PickupRow{};     // map row + 1
    std::array<std::uint8_t, kSlots + 1> PickupKind{};    // 1..4 points, 5 a life
    std::array<double, kSlots + 1> PickupFrame{};         // animation, 0 .. 4

protected:
    // Animates the pickups and collects those the bike touches.
    void MoveStep(int moveCount) override;
    // Draws the pickups inside the view.
    void DrawSelf() override;

private:
    // The slots in use this level: BonusCount, never more than the slots there are.
    int SlotsInUse() const;
    // The player's bike when it is the topmost sprite at screen point (x, y), else null.
    TPlayer* BikeAt(int x, int y);
    // Takes slot s off the road and gives the bike its points or life.
    void Collect(int s, TPlayer& bike);
    double RoadX() const;
    double RoadY() const;

    GameHost& host_;  // shared state, random numbers, sounds
    TSprite* road_;  // scroll offset (not owned)
};

}  // namespace vrumbal
