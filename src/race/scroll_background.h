// The ground under everything: the scrolled window of the track in a race, a still picture on a
// menu screen.
#pragma once
#include <cstdint>

#include "engine/background_sprite.h"
#include "engine/sprite_context.h"
#include "game/game_state.h"
#include "game/race_state.h"
#include "race/contact_targets.h"

namespace vrumbal {

// The ground under everything: in a race the visible window of the track map, scrolled
// against the bike's velocity and tested for contacts between solid tiles and the riders; on
// a menu screen one still picture.
class TScrollBackground final : public TBackgroundSprite {
public:
    // A background of mapWidth x mapHeight chips (all 0) showing picture pictureIndex of image
    // list 1 or 2, at depth 2 and offset (0, 0); the bike's ground velocity is reset. The race
    // and game state must outlive the sprite.
    TScrollBackground(TSprite* parent, const SpriteContext& context, RaceState& race,
                      const GameState& game, std::uint8_t imageList, int pictureIndex, int mapWidth,
                      int mapHeight);
    // A new background under the context's engine root (ESpriteError without an engine).
    static TScrollBackground* Create(const SpriteContext& context, RaceState& race,
                                     const GameState& game, std::uint8_t imageList,
                                     int pictureIndex, int mapWidth, int mapHeight);

    // 1 or 2: the image list the picture comes from.
    std::uint8_t ImageList = 1;

    // Takes picture pictureIndex of the chosen image list as the chips; Width and Height become
    // one chip's size. A missing list or picture leaves the road without a picture.
    void SetPicture(int pictureIndex);
    // Switches the image list, then takes the picture.
    void SetPictureFrom(int pictureIndex, std::uint8_t imageList);
    // Queues the sprite for removal, once; screens call it when they are left.
    void KillOnce();
    // True once KillOnce has queued the sprite.
    bool Dying() const { return dying_; }

    // The bike the solid tiles are tested against in a race; null for none.
    void SetBikeTarget(BikeContactTarget* bike) { bike_ = bike; }
    // The rival riders the solid tiles are tested against in a race; null for none.
    void SetRivalTarget(RivalContactTarget* rivals) { rivals_ = rivals; }

protected:
    // Scrolls by the ground velocity, steps the window a column or row when a whole tile has
    // passed, and in a race tests the riders against the solid tiles.
    void MoveStep(int moveCount) override;

private:
    // Moves the window one column against the sign of the horizontal ground velocity.
    void ColumnStep();
    // Moves the window one row against the sign of the vertical ground velocity.
    void RowStep();
    // Tests the 130 cells of the window against the bike's corners.
    void TestBike();
    // Tests the 7 x 7 cells around each active rider against its corners.
    void TestRivals();

    SpriteContext context_;                 // pointers into the form
    RaceState& race_;                       // velocity, view and map (owned by the form)
    const GameState& game_;                 // screen kind and speed factor (owned by the form)
    BikeContactTarget* bike_ = nullptr;     // not owned
    RivalContactTarget* rivals_ = nullptr;  // not owned
    bool dying_ = false;                    // KillOnce has run
};

}  // namespace vrumbal
