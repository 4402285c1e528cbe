// The options screen at work: its labels, values and state pictures, the moves between its two
// columns, typing the country and capturing a new boss key.
#include "screens/options_screen.h"

#include <exception>

#include "engine/dx_draw.h"
#include "engine/sprite_context.h"
#include "engine/sprite_engine.h"
#include "game/game_host.h"
#include "game/game_state.h"
#include "game/texts.h"
#include "platform/catalogue.h"
#include "platform/codepage.h"
#include "platform/events.h"
#include "ui/font_slots.h"
#include "ui/menu_button.h"
#include "ui/menu_cursor.h"
#include "ui/menu_model.h"

namespace vrumbal {
namespace {

constexpr int kKeyF1 = 0x70;
constexpr int kKeyF12 = 0x7B;

// Entries that only show a picture.
constexpr int kScreenModePicture = 14;
constexpr int kMusicStatePicture = 15;
constexpr int kSoundStatePicture = 16;
constexpr int kTitlePicture = 17;
constexpr int kPanelPicture = 18;

// Font slots of the screen: labels, the selected label, values.
constexpr int kLabelSlot = 12;
constexpr int kSelectedLabelSlot = 16;
constexpr int kValueSlot = 13;
// The country's width limit is measured in the big slot it was laid out with.
constexpr int kCountryLimitSlot = 4;

// The language, on the strip below the panel beside the back button, a size smaller than the
// panel's own labels: its label in slot 2 (slot 25 while selected), its value in slot 7.
constexpr int kLanguageLabelX = 420, kLanguageValueX = 552, kLanguageY = 564;
constexpr int kLanguageLabelSlot = 2, kSelectedLanguageLabelSlot = 25, kLanguageValueSlot = 7;

// The country and its cursor.
constexpr int kCountryCentreX = 580;
constexpr int kCountryCentreY = 417;
constexpr int kCursorY = 406;

// An invisible hit area: picture 0 in both looks, with its own hit box.
struct HitArea {
    int entry;
    int x;
    int y;
    int width;
    int height;
};
constexpr HitArea kHitAreas[] = {
    {kOptionsScreenMode, 530, 154, 94, 70}, {kOptionsMusic, 459, 257, 84, 70},
    {kOptionsSound, 604, 257, 84, 70},      {kOptionsCountry, 486, 365, 170, 70},
    {kOptionsHotKey, 510, 441, 120, 70},    {kOptionsLanguage, 366, 540, 284, 48},
};

// A label and where it is centred.
struct Label {
    int entry;
    const char* text;  // as written, translated when drawn
    int x;
    int y;
};
constexpr Label kLabels[] = {
    {kOptionsScreenMode, N_("Экран:"), 574, 168},
    {kOptionsMusic, N_("Музыка:"), 504, 272},
    {kOptionsSound, N_("Звук:"), 646, 272},
    {kOptionsCountry, N_("Страна:"), 575, 380},
    {kOptionsHotKey, N_("Хот клавиша:"), 570, 458},
    {kOptionsLanguage, N_("Язык:"), kLanguageLabelX, kLanguageY},
};

bool IsFunctionKey(int key) {
    return key >= kKeyF1 && key <= kKeyF12;
}

std::uint8_t Flip(std::uint8_t flag) {
    return static_cast<std::uint8_t>(1 - flag);
}

// The choices of language the options screen steps through: the system's ("") and each
// language shipped.
std::vector<std::string> LanguageChoices() {
    std::vector<std::string> choices = {""};
    for (const std::string& language : ShippedLanguages()) choices.push_back(language);
    return choices;
}

}  // namespace

std::string NextLanguageChoice(const std::string& choice) {
    const std::vector<std::string> choices = LanguageChoices();
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (choices[i] == choice) return choices[(i + 1) % choices.size()];
    }
    return choices.front();
}

std::string HotKeyName(std::uint8_t shift, int code) {
    std::string name;
    if (shift & kAlt) {
        name = "ALT+";
    } else if (shift & kCtrl) {
        name = "CTRL+";
    } else if (shift & kShift) {
        name = "SHIFT+";
    }
    if (IsFunctionKey(code)) name += "F" + std::to_string(code - kKeyF1 + 1);
    if (name.empty() || name.back() == '+') name += "?";
    return name;
}

void OptionsScreen::Enter() {
    GameState& s = host_.State();
    const SpriteContext& context = host_.Sprites();
    s.ScreenKind = kScreenOptions;
    s.MenuFirst = kOptionsScreenMode;
    s.MenuLast = kOptionsLanguage;
    s.MenuSelection = kOptionsBack;
    for (const HitArea& area : kHitAreas) {
        TMenuButton* button = TMenuButton::Create(context, 1, area.x, area.y, 0, 0, 0, 0);
        button->HitWidth = area.width;
        button->HitHeight = area.height;
        SetMenuEntry(s, area.entry, button);
    }
    SetMenuEntry(s, kOptionsBack, TMenuButton::Create(context, 1, 661, 542, 36, 36, 1, 0));
    s.MenuEntries[kScreenModePicture].sprite =
        TMyImageSprite::CreateAt(context, 1, s.FullScreen ? 15 : 14, 456, 192, 4);
    s.MenuEntries[kMusicStatePicture].sprite =
        TMyImageSprite::CreateAt(context, 1, s.MusicOn ? 16 : 17, 444, 296, 4);
    s.MenuEntries[kSoundStatePicture].sprite =
        TMyImageSprite::CreateAt(context, 1, s.SoundOn ? 18 : 19, 590, 296, 4);
    shownState_ = {s.FullScreen ? 15 : 14, s.MusicOn ? 16 : 17, s.SoundOn ? 18 : 19};
    s.MenuEntries[kTitlePicture].sprite = TMyImageSprite::CreateAt(context, 1, 26, 406, 42, 3);
    s.MenuEntries[kPanelPicture].sprite = TMyImageSprite::CreateAt(context, 1, 51, 358, 130, 3);
    countryFrame_ = TMyImageSprite::CreateAt(context, 1, 20, 392, 400, 4);
    hotKeyFrame_ = TMyImageSprite::CreateAt(context, 1, 21, 468, 478, 4);
    cursor_ = TMyCursor::Create(context, 1, 600, 5, kCursorY, 392, 22);
    s.CountryEditing = 0;
    // A capture that outlived the screen ends here without giving the old key back.
    s.HotKeyCapture = 0;
    entered_ = CurrentSettings();
}

OptionsScreen::Settings OptionsScreen::CurrentSettings() const {
    const GameState& s = host_.State();
    return {s.FullScreen, s.MusicOn, s.SoundOn, s.HotKeyShift, s.HotKeyCode, s.Country};
}

void OptionsScreen::Leave() {
    GameState& s = host_.State();
    s.ScreenKind = kScreenNone;
    for (int entry = kOptionsScreenMode; entry <= kPanelPicture; ++entry) {
        if (s.MenuEntries[entry].sprite) s.MenuEntries[entry].sprite->KillOnce();
        s.MenuEntries[entry] = MenuEntry{};
    }
    host_.RemoveMenuBackground();
    for (TMyImageSprite* sprite :
         {countryFrame_, hotKeyFrame_, static_cast<TMyImageSprite*>(cursor_)}) {
        if (sprite) sprite->KillOnce();
    }
    countryFrame_ = nullptr;
    hotKeyFrame_ = nullptr;
    cursor_ = nullptr;
    // What the player set here is kept at once, not only when the game ends in order.
    if (CurrentSettings() != entered_) host_.SaveNow();
}

void OptionsScreen::ToggleCountryEdit() {
    GameState& s = host_.State();
    s.CountryEditing = Flip(s.CountryEditing);
    if (cursor_) cursor_->Blinking = s.CountryEditing == 1;
}

void OptionsScreen::ToggleHotKeyCapture() {
    GameState& s = host_.State();
    if (s.HotKeyCapture == 0) {
        savedHotKeyShift_ = s.HotKeyShift;
        savedHotKeyCode_ = s.HotKeyCode;
        s.HotKeyShift = 0;
        s.HotKeyCode = 0;
    } else if (s.HotKeyCode == 0) {
        s.HotKeyShift = savedHotKeyShift_;
        s.HotKeyCode = savedHotKeyCode_;
    }
    s.HotKeyCapture = Flip(s.HotKeyCapture);
}

void OptionsScreen::TypeCountryCharacter(std::uint8_t ch) {
    GameState& s = host_.State();
    if (s.ScreenKind != kScreenOptions || s.CountryEditing != 1) return;
    if (ch == 8) {
        if (!s.Country.empty()) s.Country.pop_back();
        return;
    }
    if (!IsNameChar(ch)) return;
    // The width is taken before appending, so the last letter may reach past the limit.
    if (TextWidthInSlot(host_.Surface().Canvas(), Cp1251ToUtf8(s.Country), kCountryLimitSlot) >
        kCountryMaxWidth) {
        return;
    }
    if (s.Country.size() >= kCountryMaxLength) return;
    s.Country.push_back(static_cast<char>(ch));
}

void OptionsScreen::EntryHighlighted() {
    // Moving to another entry abandons a capture (the old key comes back) and ends typing.
    const GameState& s = host_.State();
    if (s.HotKeyCapture == 1) ToggleHotKeyCapture();
    if (s.CountryEditing == 1) ToggleCountryEdit();
}

void OptionsScreen::MoveSelection() {
    GameState& s = host_.State();
    int& sel = s.MenuSelection;
    SelectFirstOnArrow(s, kOptionsScreenMode, kOptionsBack);
    if (s.CountryEditing == 1) return;
    // Two columns: screen mode on top, music and sound side by side, then country, hot key
    // and back. Each step sees the result of the one before.
    if (s.EdgeUp) {
        if (sel == kOptionsMusic || sel == kOptionsSound) sel = kOptionsScreenMode;
        if (sel == kOptionsCountry) sel = kOptionsMusic;
        if (sel == kOptionsHotKey) sel = kOptionsCountry;
        if (sel == kOptionsBack || sel == kOptionsLanguage) sel = kOptionsHotKey;
    }
    if (s.EdgeDown) {
        if (sel == kOptionsHotKey) sel = kOptionsBack;
        if (sel == kOptionsCountry) sel = kOptionsHotKey;
        if (sel == kOptionsMusic || sel == kOptionsSound) sel = kOptionsCountry;
        if (sel == kOptionsScreenMode) sel = kOptionsMusic;
    }
    // The language sits left of the back button, on the strip below the panel.
    if (s.EdgeLeft && sel == kOptionsSound) {
        sel = kOptionsMusic;
    } else if (s.EdgeLeft && sel == kOptionsBack) {
        sel = kOptionsLanguage;
    }
    if (s.EdgeRight && sel == kOptionsMusic) {
        sel = kOptionsSound;
    } else if (s.EdgeRight && sel == kOptionsLanguage) {
        sel = kOptionsBack;
    }
}

void OptionsScreen::Frame(int lagCount) {
    GameState& s = host_.State();
    UpdateHighlight(s, true, [this](int) { EntryHighlighted(); });
    const int escapeTarget = s.CountryEditing == 1 ? kOptionsCountry : kOptionsBack;
    MoveSelection();
    if (s.EdgeEscape) {
        host_.ActivateEntry(escapeTarget);
        // Escape may have left the screen; its sprites are gone then.
        if (s.ScreenKind != kScreenOptions || s.DialogKind != 0) return;
    }
    host_.SpriteEngine().Move(lagCount);
    DrawTexts();
    if (cursor_) {
        const int width =
            TextWidthInSlot(host_.Surface().Canvas(), Cp1251ToUtf8(s.Country), kValueSlot);
        cursor_->X = width / 2.0 + kCountryCentreX + 2;
    }
}

void OptionsScreen::DrawTexts() {
    GameState& s = host_.State();
    TCanvas& canvas = host_.Surface().Canvas();
    for (const Label& label : kLabels) {
        const bool selected = label.entry == s.MenuSelection;
        int slot = selected ? kSelectedLabelSlot : kLabelSlot;
        if (label.entry == kOptionsLanguage) {
            slot = selected ? kSelectedLanguageLabelSlot : kLanguageLabelSlot;
        }
        CentredTextInSlot(canvas, host_.Tr(label.text), slot, label.x, label.y, true, true);
        if (label.entry == kOptionsCountry) {
            // The country is the player's bytes in code page 1251.
            CentredTextInSlot(canvas, Cp1251ToUtf8(s.Country), kValueSlot, kCountryCentreX,
                              kCountryCentreY, true, true);
        } else if (label.entry == kOptionsLanguage) {
            // Each language is named in itself; the system's choice in the language spoken.
            const std::string& choice = s.LanguageChoice;
            const std::string value = choice.empty() ? host_.Tr("Системный") : LanguageName(choice);
            CentredTextInSlot(canvas, value, kLanguageValueSlot, kLanguageValueX, kLanguageY, true,
                              true);
        } else if (label.entry == kOptionsHotKey) {
            CentredTextInSlot(canvas, HotKeyName(s.HotKeyShift, s.HotKeyCode), kValueSlot, 575, 494,
                              true, true);
        }
    }
    ShowStatePicture(kScreenModePicture, s.FullScreen ? 15 : 14);
    ShowStatePicture(kMusicStatePicture, s.MusicOn ? 16 : 17);
    ShowStatePicture(kSoundStatePicture, s.SoundOn ? 18 : 19);
}

void OptionsScreen::ShowStatePicture(int entry, int picture) {
    TMyImageSprite* sprite = host_.State().MenuEntries[entry].sprite;
    int& shown = shownState_[static_cast<std::size_t>(entry - kScreenModePicture)];
    // Taking a picture restarts its animation, so only a changed state takes it again.
    if (sprite == nullptr || shown == picture) return;
    sprite->SetImageByIndex(picture);
    shown = picture;
}

void OptionsScreen::Activate(int selection) {
    GameState& s = host_.State();
    switch (selection) {
        case kOptionsScreenMode:
            s.FullScreen = Flip(s.FullScreen);
            try {
                host_.ApplyDisplayMode();
            } catch (const std::exception& e) {
                // The surface stays uninitialised and frames are skipped until a switch works.
                host_.ReportError(e);
            }
            break;
        case kOptionsMusic:
            s.MusicOn = Flip(s.MusicOn);
            host_.StopMusic();
            host_.StartScreenMusic();
            break;
        case kOptionsSound:
            s.SoundOn = Flip(s.SoundOn);
            break;
        case kOptionsCountry:
            ToggleCountryEdit();
            break;
        case kOptionsHotKey:
            ToggleHotKeyCapture();
            break;
        case kOptionsLanguage:
            host_.ChooseLanguage(NextLanguageChoice(s.LanguageChoice));
            break;
        case kOptionsBack:
            Leave();
            host_.EnterMainMenu(false, kMainOptions, false);
            break;
        default:
            break;
    }
}

}  // namespace vrumbal
