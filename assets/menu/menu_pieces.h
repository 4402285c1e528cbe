#pragma once
// The pictures of image list 1, each sized and placed for the screen position the game shows
// it at (the positions are in the comments of each maker).
#include <cstdint>
#include <string>

#include "engine/picture.h"
#include "game/texts.h"
#include "platform/catalogue.h"

namespace vrumbal::content {

// Size of the six main buttons (left column at x 12; they sit 59 to 61 pixels apart).
inline constexpr int kMainButtonWidth = 280;
inline constexpr int kMainButtonHeight = 52;

// The full-screen menu background (800 x 600), with its button column, logo and road scene.
Picture MenuBackground(const Catalogue& t);

// Main button 0..5 (play, help, options, high scores, more games, quit), normal or lit.
Picture MainButton(const Catalogue& t, int index, bool lit);

// A two-state button: pattern 0 lit, pattern 1 normal, side by side.
struct TwoStateButton {
    int width = 0;            // picture width of one pattern
    int height = 0;           // picture height
    int inset = 0;            // transparent margin left and right of the plate
    std::string line1;        // caption (first line)
    std::string line2;        // second caption line, or empty
    int chevron = 0;          // -1 a left chevron before the caption, 1 a right one after
    bool accent = false;      // caption in yellow on the normal plate
    std::uint32_t matte = 0;  // what the button stands on (0xRRGGBB)
};
// The two patterns of a button.
Picture MakeTwoStateButton(const TwoStateButton& button);

// A tall arrow button beside the bike pictures (direction -1 left, 1 right), two patterns.
Picture BikeArrowButton(int direction);

// A two-choice switch of the options screen with the given choice lit.
Picture OptionSwitch(int width, const std::string& left, const std::string& right, int lit,
                     bool litIsOff);

// The sunken field under an options value text.
Picture ValueFrame(int width, int height);

// The text cursor of the name and country entry.
Picture TextCursor();

// A fully keyed picture (nothing drawn) of the given size.
Picture InvisiblePicture(int width, int height);

// A screen title: caption centred at screen x 575 for a picture whose left edge is at left.
Picture ScreenTitle(const std::string& caption, int left);

// The panel of the options and help screens (at 358, 130).
Picture OptionsPanel();
// The panel of the bike choice screen with the rating captions (at 358, 130).
Picture BikeChoicePanel(const Catalogue& t);
// The panel of the high-score table (at 356, 130), ending above the buttons at y 532.
Picture HighScorePanel(const Catalogue& t);
// The panel under the game's questions and notices (at 185, 219).
Picture DialogPanel();

// Bike model 1..5 on its showcase floor, for the bike choice screen (at 456, 180).
Picture BikeShowcase(const Catalogue& t, int model);

// The picture of the about page (at 300, 440).
Picture AboutPicture();

// One rating pip of the bike choice screen (18 pixels apart).
Picture RatingPip();

}  // namespace vrumbal::content
