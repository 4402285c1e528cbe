// The language a player gets: chosen from the environment as any Linux program chooses it, and
// the catalogues the build compiled, read without any installed system locale.
#include "platform/catalogue.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace vrumbal {
namespace {

TEST(LanguageFromEnvironment, FollowsTheLocaleOfMessagesAndThenLanguage) {
    const struct {
        const char* what;
        std::map<std::string, std::string> environment;
        const char* language;
    } cases[] = {
        {"nothing set", {}, "ru"},
        {"C", {{"LANG", "C"}}, "ru"},
        {"C.UTF-8", {{"LANG", "C.UTF-8"}}, "ru"},
        {"POSIX", {{"LANG", "POSIX"}}, "ru"},
        {"an empty LANG", {{"LANG", ""}}, "ru"},
        {"English", {{"LANG", "en_US.UTF-8"}}, "en"},
        {"British, with a modifier", {{"LANG", "en_GB.UTF-8@euro"}}, "en"},
        {"Russian", {{"LANG", "ru_RU.UTF-8"}}, "ru"},
        {"a language not shipped", {{"LANG", "de_DE.UTF-8"}}, "ru"},
        {"LC_ALL over LANG", {{"LC_ALL", "en_GB.UTF-8"}, {"LANG", "ru_RU.UTF-8"}}, "en"},
        {"LC_MESSAGES over LANG", {{"LC_MESSAGES", "en_US.UTF-8"}, {"LANG", "ru_RU.UTF-8"}}, "en"},
        {"LC_ALL over LC_MESSAGES", {{"LC_ALL", "ru_RU.UTF-8"}, {"LC_MESSAGES", "en_US"}}, "ru"},
        {"LANGUAGE's first shipped one",
         {{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "fr:en_US:ru"}},
         "en"},
        {"LANGUAGE over the locale", {{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "ru"}}, "ru"},
        {"LANGUAGE of nothing shipped", {{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "fr:de"}}, "en"},
        {"LANGUAGE under the C locale", {{"LANG", "C"}, {"LANGUAGE", "en"}}, "ru"},
        {"LANGUAGE with no locale", {{"LANGUAGE", "en"}}, "ru"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string language =
            LanguageFromEnvironment([&](const char* name) -> std::optional<std::string> {
                const auto it = c.environment.find(name);
                if (it == c.environment.end()) return std::nullopt;
                return it->second;
            });
        EXPECT_EQ(language, c.language);
    }
}

TEST(Catalogue, TranslatesFromTheCompiledCataloguesAndGivesTheRestBack) {
    const std::filesystem::path locales = std::filesystem::path(VRUMBAL_BUILD_DIR) / "locale";
    const Catalogue english(locales, "en");
    const Catalogue russian(locales, "ru");
    const Catalogue missing(locales / "nowhere", "en");
    const Catalogue own;
    ASSERT_TRUE(english.Loaded());
    EXPECT_EQ(english.Language(), "en");
    EXPECT_FALSE(missing.Loaded());
    EXPECT_FALSE(own.Loaded());
    EXPECT_EQ(own.Language(), "ru");
    const struct {
        const char* text;
        const char* inEnglish;
    } cases[] = {
        {"Пауза", "Paused"},
        {"Уровень %d", "Level %d"},
        {"Отправить результат", "Send the result"},
        {"a text no catalogue has", "a text no catalogue has"},
        {"", ""},  // gettext's header, never a text of the game
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(english.Translate(c.text), c.inEnglish);
        EXPECT_EQ(russian.Translate(c.text), c.text);
        EXPECT_EQ(missing.Translate(c.text), c.text);
        EXPECT_EQ(own.Translate(c.text), c.text);
    }
}

}  // namespace
}  // namespace vrumbal
