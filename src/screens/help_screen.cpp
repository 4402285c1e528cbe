// The help pages' texts and pictures, a page's body shrunk to stay on the panel, and the arrows
// and back button that turn and leave them.
#include "screens/help_screen.h"

#include <memory>

#include "engine/dx_draw.h"
#include "engine/my_image_sprite.h"
#include "engine/sprite_context.h"
#include "engine/sprite_engine.h"
#include "game/content_ids.h"
#include "game/game_host.h"
#include "game/game_state.h"
#include "game/texts.h"
#include "screens/main_menu.h"
#include "ui/font_slots.h"
#include "ui/menu_button.h"
#include "ui/menu_model.h"

namespace vrumbal {
namespace {

constexpr int kEntryPrevious = 7;
constexpr int kEntryNext = 8;
constexpr int kEntryBack = 9;

constexpr int kHeadingSlot = 19;
constexpr int kBodySlot = 20;
constexpr int kCaptionSlot = 21;
constexpr int kTitleSlot = 23;
// The smallest size a body text is drawn in when it has to shrink to stay on the panel.
constexpr int kSmallestBodySize = 10;

// One button of the screen: entry, place and picture (image list 1).
struct HelpButton {
    int entry;
    int x;
    int y;
    int picture;
};
constexpr HelpButton kButtons[] = {
    {kEntryPrevious, 360, 542, 42},
    {kEntryNext, 513, 542, 43},
    {kEntryBack, 661, 542, 36},
};

// The bonus pictures of page 2 (image list 2), each centred on its point.
struct BonusIconPlace {
    int picture;
    int cx;
    int cy;
};
constexpr BonusIconPlace kBonusIcons[] = {
    {41, 398, 230}, {40, 398, 290}, {39, 398, 350}, {38, 398, 410}, {42, 398, 470},
};

constexpr int kAboutPictureIndex = menu_picture::kAbout;

HelpLine Line(int x, int y, int slot, const char* utf8) {
    return HelpLine{x, y, slot, utf8};
}

// Body lines at x 380, 30 pixels apart, the first on firstY.
void AddBody(std::vector<HelpLine>& lines, int firstY, std::initializer_list<const char*> texts) {
    int y = firstY;
    for (const char* text : texts) {
        lines.push_back(Line(kHelpTextX, y, kBodySlot, text));
        y += 30;
    }
}

}  // namespace

std::vector<HelpLine> HelpPageLines(int page) {
    std::vector<HelpLine> lines;
    switch (page) {
        case 1:
            lines.push_back(Line(kHelpTextX, 160, kHeadingSlot, N_("ОПИСАНИЕ ИГРЫ")));
            AddBody(
                lines, 200,
                {N_("  Игра \"Vrumbal\" приглашает тебя в мир"),
                 N_("захватывающих мотогонок и грозных противников."),
                 N_("Великолепная графика и спецэффекты, экстремальные"),
                 N_("трассы оставят неизгладимые впечатления от игры!"),
                 N_("  Выбирай один из байков и вперед на трассу! Но не"),
                 N_("думай, что все будет легко! Эти ребята уже ждут,"), N_("что ты облажаешься."),
                 N_(" Присоединяйся к гонкам и докажи, что ты крутой перец!"),
                 N_("Не забывай про бонусы. Вперед к победе!"), ""});
            break;
        case 2:
            lines.push_back(Line(kHelpTextX, 160, kHeadingSlot, N_("БОНУСЫ")));
            lines.push_back(Line(430, 230, kCaptionSlot, N_("10 очков")));
            lines.push_back(Line(430, 290, kCaptionSlot, N_("20 очков")));
            lines.push_back(Line(430, 350, kCaptionSlot, N_("50 очков")));
            lines.push_back(Line(430, 410, kCaptionSlot, N_("100 очков")));
            lines.push_back(Line(430, 470, kCaptionSlot, N_("Жизнь")));
            break;
        case 3:
            lines.push_back(Line(kHelpTextX, 160, kHeadingSlot, N_("УПРАВЛЕНИЕ")));
            lines.push_back(Line(kHelpTextX, 200, kCaptionSlot, N_("МЕНЮ")));
            AddBody(lines, 230,
                    {N_("Используйте клавиши курсора или мышь чтобы двигать"),
                     N_("курсор меню вверх/вниз. Нажмите \"Enter\" или левую"),
                     N_("кнопку мыши чтобы зайти в подменю."),
                     N_("Используйте клавиши \"Влево\", \"Вправо\", \"Enter\""),
                     N_("чтобы изменить опцию."),
                     N_("Нажмите \"Esc\" чтобы выйти из подменю в меню.")});
            break;
        case 4:
            lines.push_back(Line(kHelpTextX, 160, kHeadingSlot, N_("УПРАВЛЕНИЕ")));
            lines.push_back(Line(kHelpTextX, 200, kCaptionSlot, N_("ИГРА")));
            AddBody(lines, 230,
                    {N_("Используйте клавиши \"Влево\" и \"Вправо\" чтобы"),
                     N_("перемещать байк вправо и влево. Используйте клавиши"),
                     N_("\"Вверх\" и \"Вниз\" чтобы ускоряться или замедляться."),
                     N_("Нажмите \"Пробел\" для экстренного торможения."),
                     N_("Используйте \"P\" для вызова паузы."),
                     N_("Нажмите \"Esc\" чтобы выйти в главное меню из игры."),
                     N_("Используйте сочетание \"Alt\"+\"Enter\" чтобы изменить"),
                     N_("режим экрана. Используйте \"хот клавишу\" чтобы"), N_("свернуть игру.")});
            break;
        case 5:
            // The same controls on a game controller, after the keys.
            lines.push_back(Line(kHelpTextX, 160, kHeadingSlot, N_("УПРАВЛЕНИЕ")));
            lines.push_back(Line(kHelpTextX, 200, kCaptionSlot, N_("ГЕЙМПАД")));
            AddBody(lines, 230,
                    {N_("Стик или крестовина двигают курсор меню, в игре -"),
                     N_("руль. \"A\" или \"Start\" - выбор, \"B\" - назад."),
                     N_("В игре \"RT\" или \"A\" - газ, \"LT\" или \"B\" - тормоз,"),
                     N_("\"X\" - экстренное торможение, \"Y\" - сигнал,"),
                     N_("\"Start\" - пауза, \"Back\" - выход в главное меню."),
                     N_("Имя и страну набирайте так: \"Вверх\" и \"Вниз\""),
                     N_("меняют букву, \"Вправо\" или \"A\" - следующая,"),
                     N_("\"Влево\" или \"B\" - стереть, \"Start\" - готово.")});
            break;
        case 6:
            lines.push_back(Line(kHelpTextX, 160, kHeadingSlot, N_("ОБ ИГРЕ")));
            lines.push_back(Line(550, 285, kTitleSlot, N_("Vrumbal")));
            lines.push_back(Line(542, 325, kCaptionSlot, N_("Разработка и издание:")));
            lines.push_back(Line(540, 360, kCaptionSlot, N_("команда Vrumbal")));
            break;
        default:
            break;
    }
    return lines;
}

int HelpBodySize(TCanvas& canvas, const std::vector<HelpLine>& lines) {
    const int full = FontSlotAt(kBodySlot).size;
    for (int size = full; size > kSmallestBodySize; --size) {
        bool fits = true;
        for (const HelpLine& line : lines) {
            if (line.slot != kBodySlot) continue;
            SelectFont(canvas, kBodySlot);
            canvas.font.size = size;
            if (line.x + TextWidthInFont(canvas, line.text) > kHelpTextRight) {
                fits = false;
                break;
            }
        }
        if (fits) return size;
    }
    return kSmallestBodySize;
}

void HelpScreen::Enter() {
    GameState& s = host_.State();
    const SpriteContext& ctx = host_.Sprites();
    s.ScreenKind = kScreenHelp;
    s.MenuFirst = kEntryPrevious;
    s.MenuLast = kEntryBack;
    s.MenuSelection = kEntryBack;
    page_ = 1;
    s.MenuEntries[16] = MenuEntry{};
    s.MenuEntries[16].sprite = CreatePictureAt(ctx, 1, 24, 439, 42, 3);
    s.MenuEntries[17] = MenuEntry{};
    s.MenuEntries[17].sprite = CreatePictureAt(ctx, 1, 51, 358, 130, 3);
    for (const HelpButton& b : kButtons) {
        SetMenuEntry(s, b.entry,
                     TMenuButton::CreateIfPresent(ctx, 1, b.x, b.y, b.picture, b.picture, 1, 0));
    }
    for (std::size_t i = 0; i < bonusIcons_.size(); ++i) {
        const BonusIconPlace& p = kBonusIcons[i];
        bonusIcons_[i] = CreatePictureCentred(ctx, 2, p.picture, p.cx, p.cy, 5);
        if (bonusIcons_[i] != nullptr) bonusIcons_[i]->Visible = false;
    }
    aboutPicture_ = CreatePictureAt(ctx, 1, kAboutPictureIndex, 300, 440, 5);
    if (aboutPicture_ != nullptr) aboutPicture_->Visible = false;
}

void HelpScreen::Leave() {
    GameState& s = host_.State();
    s.ScreenKind = kScreenNone;
    host_.RemoveMenuBackground();
    for (int e : {7, 8, 9, 16, 17}) {
        MenuEntry& entry = s.MenuEntries[static_cast<std::size_t>(e)];
        if (entry.sprite != nullptr) entry.sprite->KillOnce();
        entry = MenuEntry{};
    }
    for (TMyImageSprite*& icon : bonusIcons_) {
        if (icon != nullptr) icon->KillOnce();
        icon = nullptr;
    }
    if (aboutPicture_ != nullptr) aboutPicture_->KillOnce();
    aboutPicture_ = nullptr;
}

void HelpScreen::PreviousHelpPage() {
    page_ = page_ <= 1 ? kHelpPageCount : page_ - 1;
}

void HelpScreen::NextHelpPage() {
    page_ = page_ >= kHelpPageCount ? 1 : page_ + 1;
}

void HelpScreen::Activate(int selection) {
    switch (selection) {
        case kEntryPrevious:
            PreviousHelpPage();
            break;
        case kEntryNext:
            NextHelpPage();
            break;
        case kEntryBack:
            Leave();
            host_.EnterMainMenu(false, kMainHelp, false);
            break;
        default:
            break;
    }
}

void HelpScreen::DrawHelpPage() {
    for (TMyImageSprite* icon : bonusIcons_) {
        if (icon != nullptr) icon->Visible = page_ == kBonusPage;
    }
    if (aboutPicture_ != nullptr) aboutPicture_->Visible = page_ == kAboutPage;

    TCanvas& canvas = host_.Surface().Canvas();
    std::vector<HelpLine> lines = HelpPageLines(page_);
    for (HelpLine& line : lines) line.text = host_.Tr(line.text.c_str());
    // The longest lines are wider than the panel in the face we draw with: the page's body
    // shrinks as a whole so that every line stays inside and the lines still match. The sizes
    // found are a language's own.
    if (bodyLanguage_ != host_.Language()) {
        bodySizes_.fill(0);
        bodyLanguage_ = host_.Language();
    }
    int& bodySize = bodySizes_[static_cast<std::size_t>(page_)];
    if (bodySize == 0) bodySize = HelpBodySize(canvas, lines);
    for (const HelpLine& line : lines) {
        SelectFont(canvas, line.slot);
        if (line.slot == kBodySlot) canvas.font.size = bodySize;
        CentredText(canvas, line.text, line.x, line.y, false, true);
    }
}

void HelpScreen::Frame(int lagCount) {
    GameState& s = host_.State();
    UpdateHighlight(s, true);
    if (s.EdgeLeft) {
        if (s.MenuSelection == kEntryPrevious) {
            host_.ActivateEntry(kEntryPrevious);
        } else if (s.MenuSelection == kEntryNext) {
            s.MenuSelection = kEntryPrevious;
        } else if (s.MenuSelection == kEntryBack) {
            s.MenuSelection = kEntryNext;
        }
    }
    if (s.EdgeRight) {
        if (s.MenuSelection == kEntryNext) {
            s.MenuSelection = kEntryBack;
        } else if (s.MenuSelection == kEntryPrevious) {
            s.MenuSelection = kEntryNext;
        }
    }
    SelectFirstOnArrow(s, kEntryPrevious, kEntryBack);
    if (s.EdgeEscape) {
        host_.ActivateEntry(kEntryBack);
        // Left for the menu: the screen's sprites are on their way out.
        if (s.ScreenKind != kScreenHelp) return;
    }
    DrawHelpPage();
    host_.SpriteEngine().Move(lagCount);
}

}  // namespace vrumbal
