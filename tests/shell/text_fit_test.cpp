// Every text the game draws fits where it is drawn, in every language shipped: its width in its
// font slot, with the real fonts, within its panel, box or window. Numbers in texts are the
// widest the game shows there. A text the sources mark that this table does not know fails too,
// so a new text comes with its place.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "engine/dx_draw.h"
#include "engine/surface.h"
#include "game/texts.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "screens/help_screen.h"
#include "ui/font_slots.h"

namespace vrumbal {
namespace {

// Where a text is drawn: its slot, the width it has, and the number standing in it.
struct Place {
    const char* text;  // as written in the sources
    int slot;          // font slot
    int width;         // pixels it may take
    int number = 0;    // the widest number it shows, for "%d"
};

// The dialog panel spans x 185..590; its texts are centred on 382, clear of its frame.
constexpr int kDialog = 392;
// Notices without a panel stand on the road, 440 pixels between the side panels.
constexpr int kRoad = 430;

const Place kPlaces[] = {
    // Dialogs.
    {"Выйти из игры?", 1, kDialog},
    {"Выйти в меню?", 1, kDialog},
    {"Ваше время вышло,", 3, kRoad},
    {"Попробуйте ещё раз!", 3, kRoad},
    {"Вы хотите очистить", 3, kDialog},
    {"таблицу рекордов?", 3, kDialog},
    {"Пауза", 5, kRoad},
    {"Уровень %d", 5, kRoad, 10},
    {"Конец игры", 5, kRoad},
    {"Отправить результат", 11, kDialog},
    {"в мировую таблицу?", 11, kDialog},
    {"Отсылка...", 1, kDialog},
    {"ПОЗДРАВЛЯЕМ!", 9, kDialog},
    {"Вы закончили гонку!", 9, kDialog},
    {"Набрано очков: %d", 9, kDialog, 68300},
    {"Введите ваше имя: ", 9, kDialog},
    // The tally: two centred lines, then two from their left edges to the panel's right one.
    {"Ваше место %d", 11, kDialog, 6},
    {"Бонус: %d", 11, kDialog, 500},
    {"Осталось: %d сек.", 11, 590 - 307, 180},
    {"За время: %d", 11, 590 - 292, 900},
    // The sending's outcome.
    {"Результат принят", 3, kDialog},
    {"Результат отправлен", 3, kDialog},
    {"Результат не принят", 3, kDialog},
    {"Сервер занят", 3, kDialog},
    {"Нет связи с сервером", 3, kDialog},
    {"Место в мировой таблице: %d", 2, kDialog, 99999},
    {"Отправим результат позже", 2, kDialog},
    {"другая версия игры", 2, kDialog},
    {"другие файлы игры", 2, kDialog},
    {"запись заезда повреждена", 2, kDialog},
    {"нужна запись заезда", 2, kDialog},
    {"результат снят", 2, kDialog},
    {"запись не подтвердила результат", 2, kDialog},
    {"слишком долгая игра", 2, kDialog},
    {"сервер отказал", 2, kDialog},
    // The options panel (x 372..776): labels centred on their columns.
    {"Экран:", 16, 400},
    {"Музыка:", 16, 140},
    {"Звук:", 16, 140},
    {"Страна:", 16, 400},
    {"Хот клавиша:", 16, 396},
    // The language's row below the panel: the label between 362 and the value, the value
    // between the label and the back button at 661.
    {"Язык:", 25, 2 * (420 - 362)},
    {"Системный", 7, 2 * (661 - 552) - 8},
    // The head-up display's level line, in the minimap's head (x 630..798).
    {"УРОВЕНЬ %d / 10", 6, 166, 10},
    // The replay mark over the race.
    {"ПОВТОР", 17, 160},
    // The default table's name in the name column.
    {"Зумо", 13, 260},
    // Help pages: headings and captions from their left edges to the panel's right one.
    {"ОПИСАНИЕ ИГРЫ", 19, kHelpTextRight - kHelpTextX},
    {"БОНУСЫ", 19, kHelpTextRight - kHelpTextX},
    {"УПРАВЛЕНИЕ", 19, kHelpTextRight - kHelpTextX},
    {"ОБ ИГРЕ", 19, kHelpTextRight - kHelpTextX},
    {"МЕНЮ", 21, kHelpTextRight - kHelpTextX},
    {"ИГРА", 21, kHelpTextRight - kHelpTextX},
    {"ГЕЙМПАД", 21, kHelpTextRight - kHelpTextX},
    {"10 очков", 21, kHelpTextRight - 430},
    {"20 очков", 21, kHelpTextRight - 430},
    {"50 очков", 21, kHelpTextRight - 430},
    {"100 очков", 21, kHelpTextRight - 430},
    {"Жизнь", 21, kHelpTextRight - 430},
    {"Vrumbal", 23, kHelpTextRight - 550},
    {"Разработка и издание:", 21, kHelpTextRight - 542},
    {"команда Vrumbal", 21, kHelpTextRight - 540},
};

// The texts of the sources (src/ only: the pictures' own are the content build's) as the
// build gathered them, without the help pages' body lines, which the page test below takes.
std::set<std::string> DrawnTextsOfTheSources() {
    std::ifstream in(std::string(VRUMBAL_BUILD_DIR) + "/po/vrumbal.pot");
    std::stringstream all;
    all << in.rdbuf();
    std::set<std::string> texts;
    const std::string pot = all.str();
    const std::regex entry("#: ([^\\n]*)\\n(?:#[^\\n]*\\n)*msgid \"((?:[^\"\\\\]|\\\\.)*)\"");
    for (auto it = std::sregex_iterator(pot.begin(), pot.end(), entry);
         it != std::sregex_iterator(); ++it) {
        const std::string where = (*it)[1];
        std::string text = (*it)[2];
        text = std::regex_replace(text, std::regex("\\\\\""), "\"");
        if (text.empty() || where.find("src/") == std::string::npos) continue;
        texts.insert(text);
    }
    return texts;
}

class TextFit : public ::testing::TestWithParam<std::string> {
protected:
    Catalogue Texts() const {
        return Catalogue(std::filesystem::path(VRUMBAL_BUILD_DIR) / "locale", GetParam());
    }
    std::unique_ptr<TextRenderer> renderer_ = CreateTtfTextRenderer();
    Surface surface_{800, 600};
    TCanvas canvas_{renderer_.get(), surface_};
};

TEST_P(TextFit, EveryTextFitsItsPlace) {
    const Catalogue texts = Texts();
    ASSERT_TRUE(GetParam() == kOwnLanguage || texts.Loaded());
    for (const Place& place : kPlaces) {
        const std::string text = Filled(texts.Translate(place.text), place.number);
        const int width = TextWidthInSlot(canvas_, text, place.slot);
        EXPECT_GT(width, 0) << text;
        EXPECT_LE(width, place.width) << text << " (" << place.text << ") in slot " << place.slot;
    }
    // The language's values are named in themselves.
    for (const char* value : {"Русский", "English"}) {
        EXPECT_LE(TextWidthInSlot(canvas_, value, 7), 2 * (661 - 552) - 8) << value;
    }
}

TEST_P(TextFit, EveryHelpPageFitsThePanelAtASizeOfItsOwn) {
    const Catalogue texts = Texts();
    for (int page = 1; page <= kHelpPageCount; ++page) {
        SCOPED_TRACE(page);
        std::vector<HelpLine> lines = HelpPageLines(page);
        for (HelpLine& line : lines) line.text = texts.Translate(line.text);
        const int size = HelpBodySize(canvas_, lines);
        for (const HelpLine& line : lines) {
            SelectFont(canvas_, line.slot);
            if (line.slot == 20) canvas_.font.size = size;
            EXPECT_LE(line.x + canvas_.TextWidth(line.text), kHelpTextRight) << line.text;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, TextFit, ::testing::ValuesIn(ShippedLanguages()),
                         [](const auto& info) { return info.param; });

TEST(TextFit, EveryTextOfTheSourcesHasItsPlace) {
    std::set<std::string> known;
    for (const Place& place : kPlaces) known.insert(place.text);
    for (int page = 1; page <= kHelpPageCount; ++page) {
        for (const HelpLine& line : HelpPageLines(page)) known.insert(line.text);
    }
    const std::set<std::string> sources = DrawnTextsOfTheSources();
    ASSERT_FALSE(sources.empty());
    for (const std::string& text : sources) {
        // The options' value names the system's language; the catalogue's probe is a label.
        EXPECT_TRUE(known.count(text) == 1) << "no place known for \"" << text << "\"";
    }
}

}  // namespace
}  // namespace vrumbal
