// Text between code page 1251, which the game's texts and save files use, and UTF-8.
#pragma once
#include <string>

namespace vrumbal {

// Converts code page 1251 text (the game's own texts and save files) to UTF-8.
std::string Cp1251ToUtf8(const std::string& cp1251);
// Converts UTF-8 to code page 1251; characters the code page lacks become '?'.
std::string Utf8ToCp1251(const std::string& utf8);

}  // namespace vrumbal
