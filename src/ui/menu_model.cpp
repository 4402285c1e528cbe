// The menu entries' rules: stepping and bounding the selection, the hit test under the mouse,
// and the highlighted looks kept in step.
#include "ui/menu_model.h"

#include "engine/my_image_sprite.h"

namespace vrumbal {

bool StepUpWrap(GameState& s) {
    if (s.MenuSelection <= s.MenuFirst || s.MenuSelection > s.MenuLast) {
        s.MenuSelection = s.MenuLast;
        return true;
    }
    --s.MenuSelection;
    return false;
}

bool StepDownWrap(GameState& s) {
    if (s.MenuSelection < s.MenuFirst || s.MenuSelection >= s.MenuLast) {
        s.MenuSelection = s.MenuFirst;
        return true;
    }
    ++s.MenuSelection;
    return false;
}

void ClampToFirst(GameState& s) {
    if (s.MenuSelection < s.MenuFirst || s.MenuSelection > s.MenuLast)
        s.MenuSelection = s.MenuFirst;
}

void ClampToLast(GameState& s) {
    if (s.MenuSelection < s.MenuFirst || s.MenuSelection > s.MenuLast) s.MenuSelection = s.MenuLast;
}

void BoundedDecrease(GameState& s, int d, int lowerBound) {
    if (s.MenuSelection - d >= lowerBound) s.MenuSelection -= d;
}

void BoundedIncrease(GameState& s, int d, int upperBound) {
    if (s.MenuSelection + d <= upperBound) s.MenuSelection += d;
}

void SelectFirstOnArrow(GameState& s, int first, int last) {
    const bool arrow = s.EdgeLeft || s.EdgeRight || s.EdgeUp || s.EdgeDown;
    if (arrow && (s.MenuSelection < first || s.MenuSelection > last)) s.MenuSelection = first;
}

bool Countdown(int& value, int d, int floor) {
    if (value - d < floor) return false;
    value -= d;
    return true;
}

bool EntryContains(const MenuEntry& entry, int x, int y) {
    const TMyImageSprite* sprite = entry.sprite;
    if (!sprite) return false;
    const double w = entry.widthOverride == -1 ? sprite->Width : entry.widthOverride;
    const double h = entry.heightOverride == -1 ? sprite->Height : entry.heightOverride;
    return sprite->Y <= y && y <= sprite->Y + h && sprite->X <= x && x <= sprite->X + w;
}

namespace {

bool InEntryRange(int i) {
    return i >= 1 && i < static_cast<int>(std::tuple_size_v<decltype(GameState::MenuEntries)>);
}

}  // namespace

bool HitTestEntries(GameState& s, bool keepSelection) {
    const int before = s.MenuSelection;
    if (!keepSelection) s.MenuSelection = 0;
    for (int i = s.MenuFirst; i <= s.MenuLast; ++i) {
        if (!InEntryRange(i)) continue;
        if (EntryContains(s.MenuEntries[i], s.MouseX, s.MouseY)) {
            s.MenuSelection = i;
            break;
        }
    }
    return s.MenuSelection != before;
}

namespace {

void ShowLook(MenuEntry& e, bool highlighted) {
    TMyImageSprite* sprite = e.sprite;
    if (!sprite) return;
    if (e.dialogButton) sprite->SetZ(highlighted ? 17 : 15);
    sprite->SetImageByIndex(highlighted ? e.highlightImage : e.normalImage);
    sprite->FramePos = highlighted ? e.highlightFrame : e.normalFrame;
    if (e.raiseOnHighlight) sprite->SetZ(highlighted ? e.baseZ + 1 : e.baseZ);
    e.highlighted = highlighted;
}

}  // namespace

void UpdateHighlight(GameState& s, bool trackMainButtons,
                     const std::function<void(int entry)>& onHighlight) {
    for (int i = s.MenuFirst; i <= s.MenuLast; ++i) {
        if (!InEntryRange(i) || i == s.MenuSelection) continue;
        ShowLook(s.MenuEntries[i], false);
    }
    const int sel = s.MenuSelection;
    if (sel != 0 && sel >= s.MenuFirst && sel <= s.MenuLast && InEntryRange(sel) &&
        !s.MenuEntries[sel].highlighted) {
        ShowLook(s.MenuEntries[sel], true);
        if (onHighlight) onHighlight(sel);
    }
    s.HoveredMainButton = 0;
    if (trackMainButtons) {
        for (int i = 1; i <= 6; ++i) {
            if (EntryContains(s.MenuEntries[i], s.MouseX, s.MouseY)) {
                s.HoveredMainButton = i;
                break;
            }
        }
    }
}

}  // namespace vrumbal
