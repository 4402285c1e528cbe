// The numbers by which the game names its content: the sounds of the sound library, the three
// picture lists, the pictures the code shows by number, and the font slots. The content build
// makes the libraries in this order and checks it against these names.
#pragma once

namespace vrumbal {

// Sound effects, by their place in the sound library.
enum SoundId : int {
    kSoundMenuSlide = 0,    // the main menu's buttons slide in
    kSoundSelect = 1,       // the selection moved
    kSoundClick = 2,        // an entry was activated
    kSoundArrow = 3,        // a bike-choice arrow, a line of the tally
    kSoundEngineIdle = 4,   // looped
    kSoundGearShift = 5,    // the engine between gears
    kSoundEngineCoast = 6,  // looped: rolling without throttle
    kSoundSkid = 7,         // looped: the hand brake
    kSoundHorn = 8,         // looped
    kSoundEngineGear1 = 9,  // looped; gears 2..4 follow
    kSoundEngineGear2 = 10,
    kSoundEngineGear3 = 11,
    kSoundEngineGear4 = 12,
    kSoundEngineTop = 13,  // looped: top speed
    kSoundPoints = 14,     // a pickup's points
    kSoundLife = 15,       // an extra life
    kSoundBoost = 16,      // a speed pickup
    kSoundBump = 17,       // a push between bikes
    kSoundClockTick = 18,  // the clock's last seconds, the tally's time points
    kSoundGearBlip = 19,   // a gear change
    kSoundCrash = 20,      // a crash
    kSoundRaceWon = 21,    // the last level finished
    kSoundCount = 22,      // sounds in the library
};

// The three picture lists, as sprites name them.
enum PictureList : int {
    kMenuPictures = 1,  // Res1: menus, dialogs, buttons
    kRacePictures = 2,  // Res2: road, bikes, pickups, head-up display
    kMapPictures = 3,   // Res3: the minimap's marks and panel
};

// Pictures of the menu list.
namespace menu_picture {
inline constexpr int kHitArea = 0;      // an invisible hit area
inline constexpr int kBackground = 1;   // the menus' backdrop
inline constexpr int kMainButtons = 2;  // 2..7 the six main buttons, 8..13 lit
inline constexpr int kMainButtonsLit = 8;
inline constexpr int kScreenWindow = 14;  // the option states: window, full screen,
inline constexpr int kScreenFull = 15;    // music on, off, sound on, off
inline constexpr int kMusicOn = 16;
inline constexpr int kMusicOff = 17;
inline constexpr int kSoundOn = 18;
inline constexpr int kSoundOff = 19;
inline constexpr int kCountryFrame = 20;  // the field under the country
inline constexpr int kHotKeyFrame = 21;   // the field under the boss key
inline constexpr int kTextCursor = 22;    // the blinking cursor of typed texts
inline constexpr int kTitleHelp = 24;     // screen titles
inline constexpr int kTitleBike = 25;
inline constexpr int kTitleOptions = 26;
inline constexpr int kTitleRecords = 27;
inline constexpr int kBikeShowcase = 28;  // 28..32 the five bikes on the choice screen
inline constexpr int kDialogPanel = 33;   // behind the dialogs' texts
inline constexpr int kYes = 34;           // buttons: pattern 0 lit, 1 normal
inline constexpr int kNo = 35;
inline constexpr int kBack = 36;
inline constexpr int kBikePrevious = 37;
inline constexpr int kBikeNext = 38;
inline constexpr int kStart = 39;
inline constexpr int kClearTable = 40;
inline constexpr int kWorldTable = 41;
inline constexpr int kPreviousPage = 42;
inline constexpr int kNextPage = 43;
inline constexpr int kAbout = 50;         // the about page
inline constexpr int kOptionsPanel = 51;  // the panels of the sub-screens
inline constexpr int kBikePanel = 52;
inline constexpr int kRecordsPanel = 53;
inline constexpr int kRatingPip = 54;  // one step of a bike's rating
inline constexpr int kCount = 55;      // pictures in the list
}  // namespace menu_picture

// Pictures of the race list.
namespace race_picture {
inline constexpr int kRoad = 1;       // the road tiles
inline constexpr int kLeftPanel = 2;  // the head-up display's side panels
inline constexpr int kRightPanel = 3;
inline constexpr int kNeedle = 4;        // the speedometer's needle
inline constexpr int kSkidMark = 10;     // one tyre mark
inline constexpr int kFirstPickup = 11;  // pickup kind 1; kinds 2..5 follow
}  // namespace race_picture

// Pictures of the minimap list.
namespace map_picture {
inline constexpr int kRival = 10;        // a rival's dot
inline constexpr int kBike = 11;         // the player's marker
inline constexpr int kTopCover = 12;     // the panel above the map window
inline constexpr int kBottomCover = 13;  // and below it
}  // namespace map_picture

// The font slots every text is drawn in (FontSlots numbers them 1..24), by what they show.
enum FontSlotId : int {
    kFontQuestion = 1,       // the one-line questions and the sending notice
    kFontQuestionSmall = 3,  // the two-line question of clearing the table
    kFontCountryLimit = 4,   // measures the country's width limit
    kFontNotice = 5,         // pause, level, time up, game over
    kFontResult = 9,         // the name entry's lines, the congratulation
    kFontTypedName = 10,     // the name being typed
    kFontTally = 11,         // the tally and the upload question
};

}  // namespace vrumbal
