// The clickable menu button with its normal and highlighted looks, and the still pictures of
// the menu screens.
#pragma once
#include <cstdint>

#include "engine/my_image_sprite.h"
#include "game/game_state.h"

namespace vrumbal {

// A clickable picture of a menu screen or dialog with a normal and a highlighted look. The
// menu entry model highlights it through the MenuEntry that Entry() describes.
class TMenuButton final : public TMyImageSprite {
public:
    // A button under the given parent showing normalPicture at normalFrame, its top-left corner
    // at (x, y), depth 4, hit box the picture's size, drawn without opacity.
    TMenuButton(TSprite* parent, const SpriteContext& context, std::uint8_t imageList, int x, int y,
                int normalPicture, int highlightPicture, int normalFrame, int highlightFrame);
    // A new button under the context's engine root (ESpriteError without an engine; the
    // library's error when it lacks a picture).
    static TMenuButton* Create(const SpriteContext& context, std::uint8_t imageList, int x, int y,
                               int normalPicture, int highlightPicture, int normalFrame,
                               int highlightFrame);
    // The same, or null (no sprite made) when the image list lacks either picture.
    static TMenuButton* CreateIfPresent(const SpriteContext& context, std::uint8_t imageList, int x,
                                        int y, int normalPicture, int highlightPicture,
                                        int normalFrame, int highlightFrame);

    // Picture shown while highlighted.
    int HighlightPicture = 0;
    // Picture shown normally.
    int NormalPicture = 0;
    // Animation frame shown while highlighted.
    int HighlightFrame = 0;
    // Animation frame shown normally.
    int NormalFrame = 0;
    // Hit box width; -1 means the sprite's Width.
    int HitWidth = -1;
    // Hit box height; -1 means the sprite's Height.
    int HitHeight = -1;
    // The button shows its highlighted look.
    bool Highlighted = false;
    // Dialog buttons: depth 17 while highlighted, 15 otherwise.
    bool RaiseToTop = false;
    // Highlighting moves the button from NormalZ to HighlightZ.
    bool RaiseOnHighlight = false;
    // Depth at creation.
    int NormalZ = 4;
    // Depth while highlighted when RaiseOnHighlight is set.
    int HighlightZ = 5;

    // Shows the highlighted look.
    void Highlight();
    // Shows the normal look.
    void Unhighlight();
    // The menu entry model's view of this button (looks, hit box, depth rules).
    MenuEntry Entry();
};

// True when image list 1 or 2 of the context holds picture index.
bool HasPicture(const SpriteContext& context, std::uint8_t imageList, int index);
// A still picture with its top-left corner at (x, y), depth z; null when the list lacks it.
TMyImageSprite* CreatePictureAt(const SpriteContext& context, std::uint8_t imageList, int index,
                                int x, int y, int z);
// A still picture centred on (cx, cy), depth z; null when the list lacks it.
TMyImageSprite* CreatePictureCentred(const SpriteContext& context, std::uint8_t imageList,
                                     int index, int cx, int cy, int z);

// Makes the button entry slot of the menu entries (slot 1..17); null empties the slot.
void SetMenuEntry(GameState& state, int slot, TMenuButton* button);

// Shows the normal or highlighted look of entry slot when it is a button, keeping the entry
// model's highlighted flag in step.
void ShowEntryLook(GameState& state, int slot, bool highlighted);

}  // namespace vrumbal
