// The game's texts in the player's language: gettext catalogues, and the language a Linux
// program is expected to speak.
#pragma once
#include <filesystem>
#include <functional>
#include <locale>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrumbal {

// The languages the game speaks: its own Russian first (the texts as written), then those it
// ships catalogues for.
inline constexpr std::string_view kOwnLanguage = "ru";
const std::vector<std::string>& ShippedLanguages();
// Whether the game speaks the language (a code: "ru", "en").
bool IsShippedLanguage(const std::string& language);
// A shipped language's name in itself ("Русский", "English"), as the options offer it.
std::string LanguageName(const std::string& language);

// The language a program is expected to speak in this environment (looked up with get, as
// getenv): the locale of messages is LC_ALL, else LC_MESSAGES, else LANG; C, POSIX or none
// means the game's own language. Otherwise LANGUAGE, a list of languages separated by colons,
// names the wished ones in order; the first shipped one is taken, else the locale's own
// language when shipped, else the game's own.
std::string LanguageFromEnvironment(
    const std::function<std::optional<std::string>(const char*)>& get);
// The same, from this process's environment.
std::string LanguageOfThisProcess();

// The translations of one language, from LOCALE_DIR/<language>/LC_MESSAGES/vrumbal.mo.
// Texts are UTF-8. A text without a translation (every text in the game's own language, or a
// catalogue that is missing) is given back as it is.
class Catalogue final {
public:
    // The game's own language: every text as written.
    Catalogue();
    // The catalogue of language under localeDir; as the game's own language when it cannot be
    // read.
    Catalogue(const std::filesystem::path& localeDir, const std::string& language);

    // The language its texts are in ("ru", "en").
    const std::string& Language() const { return language_; }
    // Whether a catalogue was read.
    bool Loaded() const { return loaded_; }
    // The translation of a text (UTF-8), or the text. A context tells apart the same words
    // meaning different things (gettext's msgctxt).
    std::string Translate(std::string_view text, const char* context = nullptr) const;

private:
    std::string language_;  // the language asked for
    bool loaded_ = false;   // a catalogue is in locale_
    std::locale locale_;    // holds the catalogue as its messages facet
};

}  // namespace vrumbal
