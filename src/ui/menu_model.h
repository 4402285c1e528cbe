// The selection among a screen's menu entries: stepping it by keys, finding it under the mouse,
// and showing which entry is highlighted.
#pragma once
#include <functional>

#include "game/game_state.h"

namespace vrumbal {

// Selection steppers over MenuSelection within MenuFirst .. MenuLast.
// Up with wrap: from the first entry (or from none) to the last; reports a wrap.
bool StepUpWrap(GameState& s);
// Down with wrap: from the last entry (or from none) to the first; reports a wrap.
bool StepDownWrap(GameState& s);
// A selection outside the range becomes the first entry.
void ClampToFirst(GameState& s);
// A selection outside the range becomes the last entry.
void ClampToLast(GameState& s);
// Decreases the selection by d unless that goes below the bound.
void BoundedDecrease(GameState& s, int d, int lowerBound);
// Increases the selection by d unless that goes above the bound.
void BoundedIncrease(GameState& s, int d, int upperBound);
// An arrow key pressed while no entry of first .. last is selected selects first.
void SelectFirstOnArrow(GameState& s, int first, int last);
// Counts value down by d unless that goes below floor; reports whether it did.
bool Countdown(int& value, int d, int floor);

// True when (x, y) lies in the entry's box, edges included.
bool EntryContains(const MenuEntry& entry, int x, int y);

// Finds the entry under the mouse (the lowest number wins). Without keepSelection the
// selection is cleared first, so empty space selects nothing. Returns whether the selection
// changed.
bool HitTestEntries(GameState& s, bool keepSelection);

// Gives every entry of the range its normal look and the selected one its highlighted look,
// and with trackMainButtons finds the main button under the mouse. onHighlight is told of an
// entry that has just been highlighted.
void UpdateHighlight(GameState& s, bool trackMainButtons,
                     const std::function<void(int entry)>& onHighlight = {});

}  // namespace vrumbal
