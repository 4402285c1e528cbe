// The keyboard as the window's key events tell it, for the input component to read.
#pragma once
#include <array>
#include <cstdint>
#include <map>

#include "engine/keyboard_source.h"
#include "platform/events.h"

namespace vrumbal {

// The keyboard as the window's key events tell it: which virtual keys are down, and whether
// the window is in front. Releases are forgotten while the window is behind, so every key
// reads as released there and a key still held when it comes back counts as a new press.
// Keys are followed as physical keys: two keys of one virtual key (an arrow and its keypad
// twin) go up each on its own. A key pressed and let go between two reads still reads as
// down once, so a quick tap during a long frame is never lost.
class EventKeyboard final : public KeyboardSource {
public:
    // Takes note of one window event.
    void Observe(const WindowEvent& event);
    // Whether the window is the foreground window.
    bool IsForeground() const override { return foreground_; }
    // The key flags: bit 7 set for every key that is down, or went down since the last read.
    void ReadKeys(std::array<std::uint8_t, 256>& flags) override;
    // Whether the given virtual key is held now.
    bool IsDown(int key) const { return key >= 0 && key < 256 && held_[key] > 0; }

private:
    // Forgets every key: the window has gone to the back.
    void ReleaseAll();

    std::map<int, int> physical_;              // physical key held -> the virtual key it pressed
    std::array<int, 256> held_{};              // physical keys holding each virtual key down
    std::array<std::uint8_t, 256> pressed_{};  // went down since the last read
    bool foreground_ = true;                   // the window is in front
};

}  // namespace vrumbal
