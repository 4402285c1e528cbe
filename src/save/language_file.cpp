// The language file: one word and a line end.
#include "save/language_file.h"

#include "platform/catalogue.h"
#include "save/save_paths.h"

namespace vrumbal {
namespace {

constexpr const char* kSystem = "system";

// The language file in the save folder: Save/language.
std::filesystem::path LanguageFilePath(const std::filesystem::path& saveFolder) {
    return saveFolder / "language";
}

}  // namespace

std::string LoadLanguageChoice(const std::filesystem::path& saveFolder) {
    const std::optional<std::string> bytes = ReadSaveFile(LanguageFilePath(saveFolder));
    if (!bytes) return "";
    std::string word = bytes->substr(0, bytes->find_first_of("\r\n"));
    return IsShippedLanguage(word) ? word : "";
}

SaveWriteResult SaveLanguageChoice(const std::filesystem::path& saveFolder,
                                   const std::string& language) {
    return WriteFileAtomically(LanguageFilePath(saveFolder),
                               (language.empty() ? std::string(kSystem) : language) + "\n");
}

}  // namespace vrumbal
