// Catalogues read with Boost.Locale's gettext reader, which needs no installed system locale:
// a player under any locale, or none, gets the language the game chose.
#include "platform/catalogue.h"

#include <algorithm>
#include <boost/locale/gnu_gettext.hpp>
#include <boost/locale/message.hpp>
#include <cstdlib>

namespace vrumbal {
namespace {

constexpr const char* kDomain = "vrumbal";

using Messages = boost::locale::message_format<char>;

// "en_US.UTF-8@euro" -> "en"; "" for none.
std::string LanguagePart(const std::string& locale) {
    const auto end = locale.find_first_of("_.@");
    return locale.substr(0, end);
}

}  // namespace

bool IsShippedLanguage(const std::string& language) {
    const auto& all = ShippedLanguages();
    return std::find(all.begin(), all.end(), language) != all.end();
}

const std::vector<std::string>& ShippedLanguages() {
    // Keep in step with VRUMBAL_LANGUAGES in po/CMakeLists.txt, which builds their catalogues.
    static const std::vector<std::string> languages = {"ru", "en"};
    return languages;
}

std::string LanguageName(const std::string& language) {
    if (language == "ru") return "Русский";
    if (language == "en") return "English";
    return language;
}

std::string LanguageFromEnvironment(
    const std::function<std::optional<std::string>(const char*)>& get) {
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const std::optional<std::string> value = get(name);
        if (value && !value->empty()) {
            locale = *value;
            break;
        }
    }
    const std::string own(kOwnLanguage);
    const std::string localeLanguage = LanguagePart(locale);
    if (localeLanguage.empty() || localeLanguage == "C" || localeLanguage == "POSIX") return own;
    if (const std::optional<std::string> wished = get("LANGUAGE")) {
        std::size_t at = 0;
        while (at <= wished->size()) {
            const auto colon = std::min(wished->find(':', at), wished->size());
            const std::string language = LanguagePart(wished->substr(at, colon - at));
            if (IsShippedLanguage(language)) return language;
            at = colon + 1;
        }
    }
    return IsShippedLanguage(localeLanguage) ? localeLanguage : own;
}

std::string LanguageOfThisProcess() {
    return LanguageFromEnvironment([](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        if (value == nullptr) return std::nullopt;
        return std::string(value);
    });
}

Catalogue::Catalogue() : language_(kOwnLanguage) {}

Catalogue::Catalogue(const std::filesystem::path& localeDir, const std::string& language)
    : language_(language) {
    if (language == kOwnLanguage) return;
    try {
        boost::locale::gnu_gettext::messages_info info;
        info.language = language;
        info.encoding = "UTF-8";
        info.paths.push_back(localeDir.string());
        info.domains.emplace_back(std::string(kDomain));
        Messages* facet = boost::locale::gnu_gettext::create_messages_facet<char>(info);
        if (facet == nullptr) return;
        // The locale owns the facet from here on.
        locale_ = std::locale(std::locale::classic(), facet);
        // A missing file gives a facet that translates nothing: tell it apart by a text every
        // catalogue of ours translates, the options' "Язык:".
        loaded_ = facet->get(0, nullptr, "Язык:") != nullptr;
    } catch (const std::exception&) {
        loaded_ = false;
    }
}

std::string Catalogue::Translate(std::string_view text, const char* context) const {
    // The empty text is the catalogue's header in gettext's files, never a text of the game.
    if (!loaded_ || text.empty()) return std::string(text);
    const std::string id(text);
    const char* translated = std::use_facet<Messages>(locale_).get(0, context, id.c_str());
    return translated != nullptr && *translated != '\0' ? std::string(translated) : id;
}

}  // namespace vrumbal
