// The player's choice of language, in a file of its own beside the saves (the options file
// keeps its bytes): "system", "ru" or "en" on one line.
#pragma once
#include <filesystem>
#include <string>

#include "save/atomic_write.h"

namespace vrumbal {

// The choice kept there: a language code, or "" for the system's (also when there is no file
// or it holds anything else).
std::string LoadLanguageChoice(const std::filesystem::path& saveFolder);
// Keeps the choice ("" for the system's), atomically.
SaveWriteResult SaveLanguageChoice(const std::filesystem::path& saveFolder,
                                   const std::string& language);

}  // namespace vrumbal
