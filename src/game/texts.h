// The game's texts as the catalogues know them: marked where they are written, and with a
// number standing where "%d" is, so that each language puts it where its words want it.
#pragma once
#include <cstdint>
#include <string>

namespace vrumbal {

// Marks a text for the catalogues where it is written (in a table); it is translated where it
// is drawn.
constexpr const char* N_(const char* text) {
    return text;
}

// Marks a text for the catalogues with the context that tells it apart from the same words
// meaning something else; it is translated with that context where it is drawn.
constexpr const char* NC_(const char*, const char* text) {
    return text;
}

// The pattern with its first "%d" replaced by the number (the pattern as it is when it has none).
inline std::string Filled(std::string pattern, std::int64_t number) {
    const auto at = pattern.find("%d");
    if (at != std::string::npos) pattern.replace(at, 2, std::to_string(number));
    return pattern;
}

}  // namespace vrumbal
