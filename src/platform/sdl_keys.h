// SDL's keys in the game's terms: the held modifiers, shift bits and virtual-key codes.
#pragma once
#include <cstdint>

namespace vrumbal {

// The modifier keys that were held when a key event happened.
struct KeyModifiers {
    bool shift = false;    // either Shift key
    bool ctrl = false;     // either Ctrl key
    bool alt = false;      // either Alt key
    bool numLock = false;  // Num Lock is on, so the keypad types digits
};

// Reads the modifier keys out of an SDL key event's modifier bits.
KeyModifiers KeyModifiersFromSdl(unsigned sdlModifiers);

// The SDL modifier bits for a set of held modifiers (the left-hand keys stand for both sides).
unsigned SdlModifiersFrom(const KeyModifiers& mods);

// The game's shift bits (kShift, kAlt, kCtrl) for the held modifiers.
std::uint8_t ShiftBitsOf(const KeyModifiers& mods);

// The Windows virtual-key code of a key, from SDL's scancode (the physical key) and keycode
// (what the keyboard layout makes of it); 0 for keys that have none. Letters and digits follow
// the layout when it gives a Latin letter or a digit, every other key its physical place.
int VirtualKeyFromSdl(int scancode, int keycode, bool numLock);

}  // namespace vrumbal
