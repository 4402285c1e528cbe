// What a picture library or sound library file holds, item by item, as the readers hand it over.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/picture.h"

namespace vrumbal {

// One picture item as a picture library file describes it.
struct PictureItemData {
    std::string name;                  // item name; never used for lookup
    int patternWidth = 0;              // 0 = the whole picture width
    int patternHeight = 0;             // 0 = the whole picture height
    int skipWidth = 0;                 // gap between pattern columns
    int skipHeight = 0;                // gap between pattern rows
    bool systemMemory = false;         // one surface instead of ~512-pixel tiles
    bool transparent = true;           // patterns are drawn with the colour key
    std::uint32_t transparentColor = 0;  // 0x00BBGGRR, system colours already resolved
    Picture picture;                   // decoded pixels; empty for an empty or unknown picture
};

// The contents of a picture library file (.dxg).
struct PictureLibraryData {
    std::vector<PictureItemData> items;         // in file order
    std::array<std::uint8_t, 1024> colorTable{};  // 256 x (blue, green, red, reserved); unused
};

// One sound item as a sound library file describes it.
struct WaveItemData {
    std::string name;                    // item name; never used for lookup
    bool looped = false;                 // repeats until stopped
    int maxPlayingCount = 0;             // most copies playing at once; 0 = no limit
    std::vector<std::uint8_t> format;    // the raw wave format record ("fmt " chunk body)
    std::vector<std::uint8_t> samples;   // the sample bytes ("data" chunk body)
    bool hasWave = false;                // a Wave.WAVE block was present
};

// The contents of a sound library file (.dxw).
struct WaveLibraryData {
    std::vector<WaveItemData> items;  // in file order
};

}  // namespace vrumbal
