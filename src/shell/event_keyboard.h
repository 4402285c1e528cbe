#pragma once
#include <array>
#include <cstdint>

#include "engine/keyboard_source.h"
#include "platform/events.h"

namespace vrumbal {

// The keyboard as the window's key events tell it: which virtual keys are down, and whether
// the window is in front. Releases are forgotten while the window is behind, so every key
// reads as released there and a key still held when it comes back counts as a new press.
class EventKeyboard final : public KeyboardSource {
public:
    // Takes note of one window event.
    void Observe(const WindowEvent& event);
    // Whether the window is the foreground window.
    bool IsForeground() const override { return foreground_; }
    // The key flags: bit 7 set for every key that is down.
    void ReadKeys(std::array<std::uint8_t, 256>& flags) override;
    // Whether the given virtual key is down.
    bool IsDown(int key) const { return key >= 0 && key < 256 && down_[key] != 0; }

private:
    std::array<std::uint8_t, 256> down_{};  // 1 for each key that is down
    bool foreground_ = true;                // the window is in front
};

}  // namespace vrumbal
