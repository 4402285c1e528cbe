// Image list 1: the pictures of the menu screens and dialogs, in the order the game addresses
// them by index.
#include <string>

#include "content.h"
#include "game/content_ids.h"
#include "menu_art.h"
#include "menu_pieces.h"

namespace vrumbal::content {

using namespace menu_picture;
// The groups the game counts through lie side by side.
static_assert(kMainButtonsLit == kMainButtons + 6 && kScreenWindow == kMainButtonsLit + 6);
static_assert(kScreenFull == kScreenWindow + 1 && kMusicOn == kScreenFull + 1 &&
              kMusicOff == kMusicOn + 1 && kSoundOn == kMusicOff + 1 && kSoundOff == kSoundOn + 1);
static_assert(kTitleBike == kTitleHelp + 1 && kTitleOptions == kTitleBike + 1 &&
              kTitleRecords == kTitleOptions + 1 && kBikeShowcase == kTitleRecords + 1);
static_assert(kNo == kYes + 1 && kBack == kNo + 1 && kBikePrevious == kBack + 1 &&
              kBikeNext == kBikePrevious + 1 && kStart == kBikeNext + 1 &&
              kClearTable == kStart + 1 && kWorldTable == kClearTable + 1 &&
              kPreviousPage == kWorldTable + 1 && kNextPage == kPreviousPage + 1);
static_assert(kOptionsPanel == kAbout + 1 && kBikePanel == kOptionsPanel + 1 &&
              kRecordsPanel == kBikePanel + 1 && kRatingPip == kRecordsPanel + 1 &&
              kCount == kRatingPip + 1);

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

PictureLibraryData BuildMenuPictures(const Catalogue& t) {
    auto tr = [&t](const char* text) { return t.Translate(text); };
    PictureLibraryData library;
    auto& items = library.items;
    const std::uint32_t onPanel = ToHex(kPanelBottom);

    ExpectPlace(library, kHitArea, "hit area");
    items.push_back(Invisible("hit area"));
    ExpectPlace(library, kBackground, "menu background");
    items.push_back(MakePictureItem("menu background", MenuBackground(t), 0, 0, false));
    static const char* const kMainNames[] = {"play",    "help",       "options",
                                             "records", "more games", "quit"};
    ExpectPlace(library, kMainButtons, "main buttons");
    for (int lit = 0; lit < 2; ++lit) {
        for (int i = 0; i < 6; ++i) {
            items.push_back(
                MakePictureItem(std::string("main ") + kMainNames[i] + (lit ? " lit" : ""),
                                MainButton(t, i, lit != 0)));
        }
    }
    // The option states: window or full screen, music on or off, sound on or off.
    ExpectPlace(library, kScreenWindow, "option states");
    const std::string window = tr(N_("В ОКНЕ")), full = tr(N_("ВЕСЬ ЭКРАН"));
    const std::string on = tr(N_("ВКЛ")), off = tr(N_("ВЫКЛ"));
    items.push_back(MakePictureItem("screen window", OptionSwitch(236, window, full, 0, false)));
    items.push_back(MakePictureItem("screen full", OptionSwitch(236, window, full, 1, false)));
    items.push_back(MakePictureItem("music on", OptionSwitch(120, on, off, 0, false)));
    items.push_back(MakePictureItem("music off", OptionSwitch(120, on, off, 1, true)));
    items.push_back(MakePictureItem("sound on", OptionSwitch(112, on, off, 0, false)));
    items.push_back(MakePictureItem("sound off", OptionSwitch(112, on, off, 1, true)));
    // The fields under the country (centred on 580, 417) and hot key (575, 494) texts.
    ExpectPlace(library, kCountryFrame, "country frame");
    items.push_back(MakePictureItem("country frame", ValueFrame(376, 38)));
    items.push_back(MakePictureItem("hot key frame", ValueFrame(214, 34)));
    items.push_back(MakePictureItem("text cursor", TextCursor()));
    items.push_back(Invisible("unused 23"));
    // Screen titles, each centred over the panels at x 575.
    ExpectPlace(library, kTitleHelp, "screen titles");
    items.push_back(MakePictureItem("title help", ScreenTitle(tr(N_("ПОМОЩЬ")), 439)));
    items.push_back(MakePictureItem("title bike", ScreenTitle(tr(N_("ВЫБОР БАЙКА")), 312)));
    items.push_back(MakePictureItem("title options", ScreenTitle(tr(N_("НАСТРОЙКИ")), 406)));
    items.push_back(MakePictureItem("title records", ScreenTitle(tr(N_("РЕКОРДЫ")), 323)));
    ExpectPlace(library, kBikeShowcase, "bike showcase");
    for (int model = 1; model <= 5; ++model) {
        items.push_back(
            MakePictureItem("bike " + std::to_string(model), BikeShowcase(t, model), 0, 0, false));
    }
    ExpectPlace(library, kDialogPanel, "dialog panel");
    items.push_back(MakePictureItem("dialog panel", DialogPanel()));
    // Buttons with two patterns, 0 highlighted and 1 normal. Yes and No stand 128 pixels
    // apart; their plates keep a margin so the pair is centred under the dialog texts.
    items.push_back(Button("yes", {138, 44, 7, tr(N_("ДА")), "", 0, false, onPanel}));
    items.push_back(Button("no", {138, 44, 7, tr(N_("НЕТ")), "", 0, false, onPanel}));
    items.push_back(Button("back", {128, 44, 0, tr(N_("В МЕНЮ")), "", 0, false, onPanel}));
    items.push_back(MakePictureItem("bike previous", BikeArrowButton(-1), 64, 205));
    items.push_back(MakePictureItem("bike next", BikeArrowButton(1), 64, 205));
    items.push_back(Button("start", {270, 44, 0, tr(N_("СТАРТ!")), "", 1, true, onPanel}));
    items.push_back(Button("clear table",
                           {144, 54, 0, tr(N_("ОЧИСТИТЬ")), tr(N_("ТАБЛИЦУ")), 0, false, onPanel}));
    items.push_back(Button("world table",
                           {136, 54, 0, tr(N_("МИРОВАЯ")), tr(N_("ТАБЛИЦА")), 0, false, onPanel}));
    items.push_back(Button("previous page", {140, 44, 0, tr(N_("НАЗАД")), "", -1, false, onPanel}));
    items.push_back(Button("next page", {140, 44, 0, tr(N_("ДАЛЕЕ")), "", 1, false, onPanel}));
    for (int i = 44; i <= 49; ++i) items.push_back(Invisible("unused " + std::to_string(i)));
    ExpectPlace(library, kAbout, "about");
    items.push_back(MakePictureItem("about", AboutPicture()));
    items.push_back(MakePictureItem("options panel", OptionsPanel()));
    items.push_back(MakePictureItem("bike panel", BikeChoicePanel(t)));
    items.push_back(MakePictureItem("records panel", HighScorePanel(t)));
    items.push_back(MakePictureItem("rating pip", RatingPip()));
    ExpectPlace(library, kCount, "end of the menu pictures");
    return library;
}

}  // namespace vrumbal::content
