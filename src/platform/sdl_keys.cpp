// The key tables: SDL's keys to virtual-key codes by layout, by place, and by Num Lock on the
// keypad; and the modifier bits both ways.
#include "platform/sdl_keys.h"

#include <SDL.h>

#include <array>
#include <utility>

#include "platform/events.h"

namespace vrumbal {
namespace {

// Windows virtual-key codes of the keys that have no letter or digit of their own.
constexpr int kVkBack = 0x08, kVkTab = 0x09, kVkClear = 0x0C, kVkReturn = 0x0D, kVkShift = 0x10,
              kVkControl = 0x11, kVkMenu = 0x12, kVkPause = 0x13, kVkCapital = 0x14,
              kVkEscape = 0x1B, kVkSpace = 0x20, kVkPrior = 0x21, kVkNext = 0x22, kVkEnd = 0x23,
              kVkHome = 0x24, kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28,
              kVkSnapshot = 0x2C, kVkInsert = 0x2D, kVkDelete = 0x2E, kVkLWin = 0x5B,
              kVkRWin = 0x5C, kVkApps = 0x5D, kVkNumpad0 = 0x60, kVkMultiply = 0x6A, kVkAdd = 0x6B,
              kVkSubtract = 0x6D, kVkDecimal = 0x6E, kVkDivide = 0x6F, kVkF1 = 0x70, kVkF13 = 0x7C,
              kVkNumLock = 0x90, kVkScroll = 0x91, kVkOem1 = 0xBA, kVkOemPlus = 0xBB,
              kVkOemComma = 0xBC, kVkOemMinus = 0xBD, kVkOemPeriod = 0xBE, kVkOem2 = 0xBF,
              kVkOem3 = 0xC0, kVkOem4 = 0xDB, kVkOem5 = 0xDC, kVkOem6 = 0xDD, kVkOem7 = 0xDE,
              kVkOem102 = 0xE2;

// Physical keys whose code does not depend on the layout or on Num Lock.
constexpr std::array<std::pair<SDL_Scancode, int>, 46> kFixedKeys = {{
    {SDL_SCANCODE_BACKSPACE, kVkBack},
    {SDL_SCANCODE_TAB, kVkTab},
    {SDL_SCANCODE_RETURN, kVkReturn},
    {SDL_SCANCODE_KP_ENTER, kVkReturn},
    {SDL_SCANCODE_RETURN2, kVkReturn},
    {SDL_SCANCODE_LSHIFT, kVkShift},
    {SDL_SCANCODE_RSHIFT, kVkShift},
    {SDL_SCANCODE_LCTRL, kVkControl},
    {SDL_SCANCODE_RCTRL, kVkControl},
    {SDL_SCANCODE_LALT, kVkMenu},
    {SDL_SCANCODE_RALT, kVkMenu},
    {SDL_SCANCODE_PAUSE, kVkPause},
    {SDL_SCANCODE_CAPSLOCK, kVkCapital},
    {SDL_SCANCODE_ESCAPE, kVkEscape},
    {SDL_SCANCODE_SPACE, kVkSpace},
    {SDL_SCANCODE_PAGEUP, kVkPrior},
    {SDL_SCANCODE_PAGEDOWN, kVkNext},
    {SDL_SCANCODE_END, kVkEnd},
    {SDL_SCANCODE_HOME, kVkHome},
    {SDL_SCANCODE_LEFT, kVkLeft},
    {SDL_SCANCODE_UP, kVkUp},
    {SDL_SCANCODE_RIGHT, kVkRight},
    {SDL_SCANCODE_DOWN, kVkDown},
    {SDL_SCANCODE_PRINTSCREEN, kVkSnapshot},
    {SDL_SCANCODE_INSERT, kVkInsert},
    {SDL_SCANCODE_DELETE, kVkDelete},
    {SDL_SCANCODE_LGUI, kVkLWin},
    {SDL_SCANCODE_RGUI, kVkRWin},
    {SDL_SCANCODE_APPLICATION, kVkApps},
    {SDL_SCANCODE_KP_MULTIPLY, kVkMultiply},
    {SDL_SCANCODE_KP_PLUS, kVkAdd},
    {SDL_SCANCODE_KP_MINUS, kVkSubtract},
    {SDL_SCANCODE_KP_DIVIDE, kVkDivide},
    {SDL_SCANCODE_NUMLOCKCLEAR, kVkNumLock},
    {SDL_SCANCODE_SCROLLLOCK, kVkScroll},
    {SDL_SCANCODE_SEMICOLON, kVkOem1},
    {SDL_SCANCODE_EQUALS, kVkOemPlus},
    {SDL_SCANCODE_COMMA, kVkOemComma},
    {SDL_SCANCODE_MINUS, kVkOemMinus},
    {SDL_SCANCODE_PERIOD, kVkOemPeriod},
    {SDL_SCANCODE_SLASH, kVkOem2},
    {SDL_SCANCODE_GRAVE, kVkOem3},
    {SDL_SCANCODE_LEFTBRACKET, kVkOem4},
    {SDL_SCANCODE_BACKSLASH, kVkOem5},
    {SDL_SCANCODE_RIGHTBRACKET, kVkOem6},
    {SDL_SCANCODE_APOSTROPHE, kVkOem7},
}};

// Keypad keys: the digit with Num Lock on, the cursor key printed under it with it off.
struct KeypadKey {
    SDL_Scancode scancode;
    int withNumLock;
    int withoutNumLock;
};
constexpr std::array<KeypadKey, 11> kKeypadKeys = {{
    {SDL_SCANCODE_KP_0, kVkNumpad0 + 0, kVkInsert},
    {SDL_SCANCODE_KP_1, kVkNumpad0 + 1, kVkEnd},
    {SDL_SCANCODE_KP_2, kVkNumpad0 + 2, kVkDown},
    {SDL_SCANCODE_KP_3, kVkNumpad0 + 3, kVkNext},
    {SDL_SCANCODE_KP_4, kVkNumpad0 + 4, kVkLeft},
    {SDL_SCANCODE_KP_5, kVkNumpad0 + 5, kVkClear},
    {SDL_SCANCODE_KP_6, kVkNumpad0 + 6, kVkRight},
    {SDL_SCANCODE_KP_7, kVkNumpad0 + 7, kVkHome},
    {SDL_SCANCODE_KP_8, kVkNumpad0 + 8, kVkUp},
    {SDL_SCANCODE_KP_9, kVkNumpad0 + 9, kVkPrior},
    {SDL_SCANCODE_KP_PERIOD, kVkDecimal, kVkDelete},
}};

}  // namespace

KeyModifiers KeyModifiersFromSdl(unsigned sdlModifiers) {
    KeyModifiers mods;
    mods.shift = (sdlModifiers & KMOD_SHIFT) != 0;
    mods.ctrl = (sdlModifiers & KMOD_CTRL) != 0;
    mods.alt = (sdlModifiers & KMOD_ALT) != 0;  // AltGr (mode switch) is for typing
    mods.numLock = (sdlModifiers & KMOD_NUM) != 0;
    return mods;
}

unsigned SdlModifiersFrom(const KeyModifiers& mods) {
    unsigned bits = 0;
    if (mods.shift) bits |= KMOD_LSHIFT;
    if (mods.ctrl) bits |= KMOD_LCTRL;
    if (mods.alt) bits |= KMOD_LALT;
    if (mods.numLock) bits |= KMOD_NUM;
    return bits;
}

std::uint8_t ShiftBitsOf(const KeyModifiers& mods) {
    std::uint8_t bits = 0;
    if (mods.shift) bits |= kShift;
    if (mods.alt) bits |= kAlt;
    if (mods.ctrl) bits |= kCtrl;
    return bits;
}

int VirtualKeyFromSdl(int scancode, int keycode, bool numLock) {
    // The layout decides letters and digits where it gives one, as the system's own key codes
    // do (Z sits elsewhere on a German keyboard); other layouts fall back to the key's place.
    if (keycode >= SDLK_a && keycode <= SDLK_z) return 'A' + (keycode - SDLK_a);
    if (keycode >= SDLK_0 && keycode <= SDLK_9) return '0' + (keycode - SDLK_0);
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
        return 'A' + (scancode - SDL_SCANCODE_A);
    }
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
        return '1' + (scancode - SDL_SCANCODE_1);
    }
    if (scancode == SDL_SCANCODE_0) return '0';
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
        return kVkF1 + (scancode - SDL_SCANCODE_F1);
    }
    if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24) {
        return kVkF13 + (scancode - SDL_SCANCODE_F13);
    }
    for (const auto& [sdl, vk] : kFixedKeys) {
        if (sdl == scancode) return vk;
    }
    for (const auto& key : kKeypadKeys) {
        if (key.scancode == scancode) return numLock ? key.withNumLock : key.withoutNumLock;
    }
    // The key between the left Shift and Z on European keyboards.
    if (scancode == SDL_SCANCODE_NONUSBACKSLASH) return kVkOem102;
    return 0;
}

}  // namespace vrumbal
