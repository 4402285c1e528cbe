// The player's options, as the options file keeps them.
#pragma once
#include <cstdint>
#include <string>

namespace vrumbal {

// The six options the options file keeps.
struct Options {
    std::uint8_t FullScreen = 0;     // full screen instead of a window
    std::uint8_t MusicOn = 1;        // music plays
    std::uint8_t SoundOn = 1;        // sound effects play
    std::string Country;             // the player's country, code page 1251
    std::uint8_t HotKeyShift = 2;    // boss key modifiers: Shift 1, Alt 2, Ctrl 4
    std::int32_t HotKeyCode = 0x78;  // boss key (F9)
};

}  // namespace vrumbal
