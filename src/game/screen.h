// What every screen of the game gives the main form: its frame, its entries' action, its texts.
#pragma once

namespace vrumbal {

// One screen of the game (main menu, bike choice, options, high scores, help, race): its
// per-frame handler and the action of its entries. The main form runs the one ScreenKind names.
class Screen {
public:
    virtual ~Screen() = default;
    // Runs one frame of the screen: keys, sprites, texts.
    virtual void Frame(int lagCount) = 0;
    // Performs the selected entry's action (Enter, a click).
    virtual void Activate(int selection) = 0;
    // Draws the screen's texts without running it (a dialog is open over it).
    virtual void DrawTexts() {}
};

}  // namespace vrumbal
