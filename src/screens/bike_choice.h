// The bike choice screen: five bikes paged with two arrows, each with its rating pips, and the
// start of a race on the one shown.
#pragma once
#include <array>

#include "game/content_ids.h"
#include "game/screen.h"

namespace vrumbal {

// Entry numbers of the bike choice screen.
inline constexpr int kBikeChoicePrevious = 7;
inline constexpr int kBikeChoiceNext = 8;
inline constexpr int kBikeChoiceStart = 9;
inline constexpr int kBikeChoiceBack = 10;

class GameHost;
class TMenuButton;
class TMyImageSprite;

// Picture of image list 1 showing bike 1..5 (index 0 is bike 1).
inline constexpr std::array<int, 5> kBikePictures{
    menu_picture::kBikeShowcase, menu_picture::kBikeShowcase + 1, menu_picture::kBikeShowcase + 2,
    menu_picture::kBikeShowcase + 3, menu_picture::kBikeShowcase + 4};
// The rating pips: picture, spacing, the left edge of the first pip and the row tops.
inline constexpr int kPipPicture = menu_picture::kRatingPip;
inline constexpr int kPipPitch = 18;
inline constexpr int kPipX = 546;
inline constexpr std::array<int, 4> kPipRowY{396, 424, 454, 486};
// Opacity the old picture loses per frame while the next bike fades in under it.
inline constexpr int kBikeFadeStep = 20;

// The bike's rating rows as the screen shows them: top speed, steering, acceleration and
// braking, the same numbers the bike rides with.
std::array<int, 4> BikeRatingRows(int bike);

// The bike choice screen: five bikes paged with two arrows, each shown as a picture with four
// rows of rating pips; start rides the race on the bike shown.
class BikeChoiceScreen final : public Screen {
public:
    // The screen of the form; nothing exists until Enter.
    explicit BikeChoiceScreen(GameHost& host) : host_(host) {}

    // Opens the screen on SelectedBike with the start entry selected.
    void Enter();
    // Removes the screen's sprites and the menu background; ScreenKind becomes 0.
    void Leave();
    // Starts the change to the previous bike (1 wraps to 5).
    void PreviousBike();
    // Starts the change to the next bike (5 wraps to 1).
    void NextBike();
    // Draws the pips of SelectedBike straight onto the drawing surface.
    void DrawBikeRatings();

    // 0 idle, 1 while the pictures change.
    int FadeState() const { return fadeState_; }
    // The bike the running change leads to.
    int Target() const { return target_; }
    // The picture of the bike shown (fades out during a change).
    TMyImageSprite* Picture() const { return picture_; }
    // The picture of the bike to come, under the shown one.
    TMyImageSprite* PictureNext() const { return pictureNext_; }

    // Screen.
    void Frame(int lagCount) override;
    void Activate(int selection) override;

private:
    void StartChange(int target);
    void StepPictureChange();

    GameHost& host_;                     // the form whose state the screen runs on
    int fadeState_ = 0;                  // BikeFadeState
    int target_ = 1;                     // BikeTarget
    int fadeAlpha_ = 255;                // the shown picture's opacity while the pictures change
    TMyImageSprite* picture_ = nullptr;  // BikePicture, owned by the sprite engine
    TMyImageSprite* pictureNext_ = nullptr;  // BikePictureNext, owned by the sprite engine
};

}  // namespace vrumbal
