// The options file Data/Save/options: the first-start settings, the boss key's codes, and the
// settings loaded from it and saved to it.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

#include "game/game_state.h"
#include "save/atomic_write.h"

namespace vrumbal {

// The country a first start shows: seven underscores.
inline constexpr char kDefaultCountry[] = "_______";

// The first-start settings: window, music and sound on, the default country, Alt+F9.
void DefaultOptions(GameState& state);

// The modifier's code in the options file: Alt 1, else Ctrl 2, else Shift 3, else 0.
int ModifierFileCode(std::uint8_t hotKeyShift);
// The modifier for a file code; an unknown code gives no modifier.
std::uint8_t ModifierFromFileCode(std::int32_t code);
// The function key's code in the options file: F1..F12 as 1..12, anything else 0.
int FunctionKeyFileCode(std::int32_t hotKeyCode);
// The key for a file code: 1..12 give F1..F12; 0 and unknown codes give no key.
std::int32_t FunctionKeyFromFileCode(std::int32_t code);

// The seven CR LF ended lines of Data/Save/options, ending with the check text of the
// table as it is now.
std::string FormatOptionsFile(const GameState& state);
// Sets the settings from the file's bytes; missing or unreadable numbers count as 0 and
// missing texts as empty. Returns the table's check text (the seventh line).
std::string ParseOptionsFile(GameState& state, const std::string& bytes);
// Reads Data/Save/options under the data root, or sets the defaults when there is none.
// Returns the stored check text of the table; empty without a file.
std::string LoadOptions(GameState& state, const std::filesystem::path& dataRoot);
// Writes Data/Save/options under the data root, safely replacing the old file.
SaveWriteResult SaveOptions(const GameState& state, const std::filesystem::path& dataRoot);

}  // namespace vrumbal
