// Where the keyboard device reads which keys are down: the window's events, or a test's table.
#pragma once
#include <array>
#include <cstdint>

namespace vrumbal {

// Where the input component learns which keys are down: the shell feeds it from the window's
// events, tests from a table.
class KeyboardSource {
public:
    virtual ~KeyboardSource() = default;
    // True while the game's window is the foreground window.
    virtual bool IsForeground() const = 0;
    // Sets bit 7 of flags[vk] for every virtual-key code vk that is down now.
    virtual void ReadKeys(std::array<std::uint8_t, 256>& flags) = 0;
};

}  // namespace vrumbal
