// Image list 1: the pictures of the menu screens and dialogs, in the order the game addresses
// them by index.
#include <string>

#include "content.h"
#include "menu_art.h"
#include "menu_pieces.h"

namespace vrumbal::content {

namespace {

using namespace palette;

// A picture the game never draws visibly: its hit areas and the unused places in the list.
PictureItemData Invisible(const std::string& name) {
    return MakePictureItem(name, InvisiblePicture(4, 4));
}

PictureItemData Button(const std::string& name, const TwoStateButton& button) {
    return MakePictureItem(name, MakeTwoStateButton(button), button.width, button.height);
}

}  // namespace

PictureLibraryData BuildMenuPictures() {
    PictureLibraryData library;
    auto& items = library.items;
    const std::uint32_t onPanel = ToHex(kPanelBottom);

    items.push_back(Invisible("hit area"));                                              // 0
    items.push_back(MakePictureItem("menu background", MenuBackground(), 0, 0, false));  // 1
    static const char* const kMainNames[] = {"play",    "help",       "options",
                                             "records", "more games", "quit"};
    for (int lit = 0; lit < 2; ++lit) {  // 2..7 normal, 8..13 highlighted
        for (int i = 0; i < 6; ++i) {
            items.push_back(
                MakePictureItem(std::string("main ") + kMainNames[i] + (lit ? " lit" : ""),
                                MainButton(i, lit != 0)));
        }
    }
    // 14..19: the option states. Window or full screen, music on or off, sound on or off.
    items.push_back(
        MakePictureItem("screen window", OptionSwitch(236, "В ОКНЕ", "ВЕСЬ ЭКРАН", 0, false)));
    items.push_back(
        MakePictureItem("screen full", OptionSwitch(236, "В ОКНЕ", "ВЕСЬ ЭКРАН", 1, false)));
    items.push_back(MakePictureItem("music on", OptionSwitch(120, "ВКЛ", "ВЫКЛ", 0, false)));
    items.push_back(MakePictureItem("music off", OptionSwitch(120, "ВКЛ", "ВЫКЛ", 1, true)));
    items.push_back(MakePictureItem("sound on", OptionSwitch(112, "ВКЛ", "ВЫКЛ", 0, false)));
    items.push_back(MakePictureItem("sound off", OptionSwitch(112, "ВКЛ", "ВЫКЛ", 1, true)));
    // 20, 21: the fields under the country (centred on 580, 417) and hot key (575, 494) texts.
    items.push_back(MakePictureItem("country frame", ValueFrame(376, 38)));
    items.push_back(MakePictureItem("hot key frame", ValueFrame(214, 34)));
    items.push_back(MakePictureItem("text cursor", TextCursor()));  // 22
    items.push_back(Invisible("unused 23"));                        // 23
    // 24..27: screen titles, each centred over the panels at x 575.
    items.push_back(MakePictureItem("title help", ScreenTitle("ПОМОЩЬ", 439)));
    items.push_back(MakePictureItem("title bike", ScreenTitle("ВЫБОР БАЙКА", 312)));
    items.push_back(MakePictureItem("title options", ScreenTitle("НАСТРОЙКИ", 406)));
    items.push_back(MakePictureItem("title records", ScreenTitle("РЕКОРДЫ", 323)));
    for (int model = 1; model <= 5; ++model) {  // 28..32
        items.push_back(
            MakePictureItem("bike " + std::to_string(model), BikeShowcase(model), 0, 0, false));
    }
    items.push_back(MakePictureItem("dialog panel", DialogPanel()));  // 33
    // 34..43: buttons with two patterns, 0 highlighted and 1 normal. Yes and No stand 128
    // pixels apart; their plates keep a margin so the pair is centred under the dialog texts.
    items.push_back(Button("yes", {138, 44, 7, "ДА", "", 0, false, onPanel}));        // 34
    items.push_back(Button("no", {138, 44, 7, "НЕТ", "", 0, false, onPanel}));        // 35
    items.push_back(Button("back", {128, 44, 0, "В МЕНЮ", "", 0, false, onPanel}));   // 36
    items.push_back(MakePictureItem("bike previous", BikeArrowButton(-1), 64, 205));  // 37
    items.push_back(MakePictureItem("bike next", BikeArrowButton(1), 64, 205));       // 38
    items.push_back(Button("start", {270, 44, 0, "СТАРТ!", "", 1, true, onPanel}));   // 39
    items.push_back(Button("clear table", {144, 54, 0, "ОЧИСТИТЬ", "ТАБЛИЦУ", 0, false, onPanel}));
    items.push_back(Button("world table", {136, 54, 0, "МИРОВАЯ", "ТАБЛИЦА", 0, false, onPanel}));
    items.push_back(Button("previous page", {140, 44, 0, "НАЗАД", "", -1, false, onPanel}));
    items.push_back(Button("next page", {140, 44, 0, "ДАЛЕЕ", "", 1, false, onPanel}));
    for (int i = 44; i <= 49; ++i) items.push_back(Invisible("unused " + std::to_string(i)));
    items.push_back(MakePictureItem("about", AboutPicture()));            // 50
    items.push_back(MakePictureItem("options panel", OptionsPanel()));    // 51
    items.push_back(MakePictureItem("bike panel", BikeChoicePanel()));    // 52
    items.push_back(MakePictureItem("records panel", HighScorePanel()));  // 53
    items.push_back(MakePictureItem("rating pip", RatingPip()));          // 54
    return library;
}

}  // namespace vrumbal::content
