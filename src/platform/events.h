// The window events the game handles, already in its own terms: virtual keys, code page 1251
// characters and frame coordinates.
#pragma once
#include <cstdint>

namespace vrumbal {

// Shift-state bits that come with key events, as the game's handlers test them.
enum ShiftBits : std::uint8_t { kShift = 1, kAlt = 2, kCtrl = 4 };

// One window event, already translated to what the game understands: virtual-key codes,
// code page 1251 characters, and mouse positions in 800 x 600 frame coordinates.
struct WindowEvent {
    enum class Type : std::uint8_t {
        KeyDown,      // key (virtual-key code) went down; shift holds the modifier bits
        KeyUp,        // key went up
        Char,         // a typed character in code page 1251 (Backspace 8, Enter 13)
        MouseMove,    // pointer moved to x, y
        MouseDown,    // a button went down at x, y
        MouseUp,      // a button went up at x, y
        Click,        // a click at x, y
        DoubleClick,  // a double click at x, y
        Close,        // the window's close button, Alt+F4 or the window menu
        Minimize,     // the window was minimised
        Restore,      // the window came back from being minimised
        FocusGained,  // the window became the foreground window
        FocusLost,    // another window came to the front
        Quit,         // the session is ending (the system asks the program to end)
    };
    Type type = Type::MouseMove;  // what happened
    int key = 0;                  // virtual-key code for key events
    std::uint8_t shift = 0;       // ShiftBits for key events
    std::uint8_t ch = 0;          // code page 1251 character for Char
    int x = 0;                    // frame x for mouse events
    int y = 0;                    // frame y for mouse events
    int scancode = 0;             // the physical key of a key event; 0: key stands for it
};

}  // namespace vrumbal
