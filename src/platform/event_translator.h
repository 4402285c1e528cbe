// The translator from the window system's raw input to the game's window events.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/sdl_keys.h"

namespace vrumbal {

// Turns the window system's raw input into the game's window events: virtual-key codes,
// code page 1251 characters and mouse positions clamped into the frame.
class EventTranslator final {
public:
    // A translator for a frame of the given size (mouse positions are clamped into it).
    EventTranslator(int frameWidth, int frameHeight)
        : frameWidth_(frameWidth), frameHeight_(frameHeight) {}

    // A key went down (auto-repeats included) or up; scancode and keycode as SDL numbers them.
    // A key goes up as the virtual key it went down as, even when Num Lock or the layout has
    // changed what it means meanwhile, so that nothing stays down after the key is let go.
    void Key(bool down, int scancode, int keycode, const KeyModifiers& mods,
             std::vector<WindowEvent>& out);
    // Text typed (UTF-8): one Char per character the code page has; the others are dropped.
    // Text typed with Alt held is dropped too: Alt and a key is a command, not typing.
    void Text(const std::string& utf8, std::vector<WindowEvent>& out) const;
    // The pointer moved to (x, y) in frame coordinates (possibly outside the frame).
    void MouseMove(int x, int y, std::vector<WindowEvent>& out) const;
    // A mouse button went down or up; clicks is the window system's count of quick presses.
    void MouseButton(bool down, bool leftButton, int clicks, int x, int y,
                     std::vector<WindowEvent>& out) const;

private:
    WindowEvent Pointer(WindowEvent::Type type, int x, int y) const;

    // Physical keys are told apart by scancode below this.
    static constexpr int kScancodes = 512;

    int frameWidth_;        // frame width in pixels
    int frameHeight_;       // frame height in pixels
    bool altHeld_ = false;  // Alt was held at the last key event
    std::array<int, kScancodes> pressedAs_{};  // virtual key each held physical key went down as
};

}  // namespace vrumbal
