// The menu buttons at work: their making, their two looks and their place among the menu
// entries; and still pictures made only when the list holds them.
#include "ui/menu_button.h"

#include "engine/picture_collection.h"
#include "engine/sprite_engine.h"

namespace vrumbal {

TMenuButton::TMenuButton(TSprite* parent, const SpriteContext& context, std::uint8_t imageList,
                         int x, int y, int normalPicture, int highlightPicture, int normalFrame,
                         int highlightFrame)
    : TMyImageSprite(parent, context, imageList),
      HighlightPicture(highlightPicture),
      NormalPicture(normalPicture),
      HighlightFrame(highlightFrame),
      NormalFrame(normalFrame) {
    SetImageByIndex(normalPicture);
    FramePos = normalFrame;
    X = x;
    Y = y;
    SetZ(4);
    AlphaOn = false;
}

TMenuButton* TMenuButton::Create(const SpriteContext& context, std::uint8_t imageList, int x, int y,
                                 int normalPicture, int highlightPicture, int normalFrame,
                                 int highlightFrame) {
    if (context.engine == nullptr) throw ESpriteError("The sprite context has no engine");
    return TSprite::Create<TMenuButton>(*context.engine, context, imageList, x, y, normalPicture,
                                        highlightPicture, normalFrame, highlightFrame);
}

TMenuButton* TMenuButton::CreateIfPresent(const SpriteContext& context, std::uint8_t imageList,
                                          int x, int y, int normalPicture, int highlightPicture,
                                          int normalFrame, int highlightFrame) {
    if (!HasPicture(context, imageList, normalPicture) ||
        !HasPicture(context, imageList, highlightPicture)) {
        return nullptr;
    }
    return Create(context, imageList, x, y, normalPicture, highlightPicture, normalFrame,
                  highlightFrame);
}

void TMenuButton::Highlight() {
    if (RaiseToTop) SetZ(17);
    // Taking the picture restarts the animation, so the frame is set after it.
    SetImageByIndex(HighlightPicture);
    FramePos = HighlightFrame;
    if (RaiseOnHighlight) SetZ(HighlightZ);
    Highlighted = true;
}

void TMenuButton::Unhighlight() {
    if (RaiseToTop) SetZ(15);
    SetImageByIndex(NormalPicture);
    FramePos = NormalFrame;
    if (RaiseOnHighlight) SetZ(NormalZ);
    Highlighted = false;
}

MenuEntry TMenuButton::Entry() {
    MenuEntry e;
    e.sprite = this;
    e.widthOverride = HitWidth;
    e.heightOverride = HitHeight;
    e.normalImage = NormalPicture;
    e.highlightImage = HighlightPicture;
    e.normalFrame = NormalFrame;
    e.highlightFrame = HighlightFrame;
    e.dialogButton = RaiseToTop;
    e.raiseOnHighlight = RaiseOnHighlight;
    // The entry model raises by one from the base depth, as HighlightZ = NormalZ + 1 does.
    e.baseZ = NormalZ;
    e.highlighted = Highlighted;
    return e;
}

bool HasPicture(const SpriteContext& context, std::uint8_t imageList, int index) {
    const TPictureCollection* list = imageList == 1   ? context.imageList1
                                     : imageList == 2 ? context.imageList2
                                                      : nullptr;
    return list != nullptr && index >= 0 && index < list->Count();
}

TMyImageSprite* CreatePictureAt(const SpriteContext& context, std::uint8_t imageList, int index,
                                int x, int y, int z) {
    if (!HasPicture(context, imageList, index)) return nullptr;
    return TMyImageSprite::CreateAt(context, imageList, index, x, y, z);
}

TMyImageSprite* CreatePictureCentred(const SpriteContext& context, std::uint8_t imageList,
                                     int index, int cx, int cy, int z) {
    if (!HasPicture(context, imageList, index)) return nullptr;
    return TMyImageSprite::CreateCentred(context, imageList, index, cx, cy, z);
}

void SetMenuEntry(GameState& state, int slot, TMenuButton* button) {
    if (slot < 1 || slot >= static_cast<int>(state.MenuEntries.size())) return;
    state.MenuEntries[slot] = button != nullptr ? button->Entry() : MenuEntry{};
}

void ShowEntryLook(GameState& state, int slot, bool highlighted) {
    if (slot < 1 || slot >= static_cast<int>(state.MenuEntries.size())) return;
    MenuEntry& entry = state.MenuEntries[slot];
    auto* button = dynamic_cast<TMenuButton*>(entry.sprite);
    if (button == nullptr) return;
    if (highlighted) {
        button->Highlight();
    } else {
        button->Unhighlight();
    }
    entry.highlighted = highlighted;
}

}  // namespace vrumbal
