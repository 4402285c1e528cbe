// The options screen driven through the real frame loop and the window's events.
#include "screens/options_screen.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "engine/dx_draw.h"
#include "options_rig.h"
#include "ui/font_slots.h"
#include "ui/menu_cursor.h"

namespace vrumbal::test {
namespace {

// "Экран:", "Музыка:", "Звук:", "Страна:" and "Хот клавиша:" in code page 1251.
const std::string kScreenLabel = "Экран:";
const std::string kMusicLabel = "Музыка:";
const std::string kSoundLabel = "Звук:";
const std::string kCountryLabel = "Страна:";
const std::string kHotKeyLabel = "Хот клавиша:";
const std::string kLanguageLabel = "Язык:";

// Counts the drawing surface's finalisations and initialisations.
class SurfaceWatch final : public DrawListener {
public:
    void DrawNotify(TDXDraw&, DrawNotification what) override {
        if (what == DrawNotification::Finalized) ++finalized;
        if (what == DrawNotification::Initialized) ++initialized;
    }
    int finalized = 0;
    int initialized = 0;
};

class OptionsScreenTest : public testing::Test {
protected:
    void SetUp() override {
        // Entry 3 of the main menu opens the screen.
        rig_.Form().ActivateEntry(3);
        rig_.Frames(1);
        ASSERT_EQ(rig_.State().ScreenKind, kScreenOptions);
    }

    // Selects an entry with the pointer away from every entry, and lets a frame show it.
    void Select(int entry) {
        rig_.State().MenuSelection = entry;
        rig_.Frames(1);
    }

    std::string ShownHotKey() {
        const GameState& s = rig_.State();
        return HotKeyName(s.HotKeyShift, s.HotKeyCode);
    }

    ScreenRig rig_;
};

TEST_F(OptionsScreenTest, EnteringShowsTheEntriesAndSelectsBack) {
    const GameState& s = rig_.State();
    EXPECT_EQ(s.MenuFirst, 7);
    EXPECT_EQ(s.MenuLast, 13);  // the language, left of back
    EXPECT_EQ(s.MenuSelection, 12);
    EXPECT_EQ(s.CountryEditing, 0);
    EXPECT_EQ(s.HotKeyCapture, 0);
    // Defaults: windowed, music and sound on.
    EXPECT_EQ(rig_.EntryPictureWidth(14), TestPictureWidth(14));
    EXPECT_EQ(rig_.EntryPictureWidth(15), TestPictureWidth(16));
    EXPECT_EQ(rig_.EntryPictureWidth(16), TestPictureWidth(18));
}

TEST_F(OptionsScreenTest, ArrowsWalkTheTwoColumns) {
    const struct {
        int from;
        int key;
        int to;
    } cases[] = {
        {7, kKeyDown, 8},
        {8, kKeyRight, 9},
        {9, kKeyLeft, 8},
        {8, kKeyDown, 10},
        {9, kKeyDown, 10},
        {10, kKeyDown, 11},
        {11, kKeyDown, 12},
        {12, kKeyDown, 12},
        {12, kKeyUp, 11},
        {11, kKeyUp, 10},
        {10, kKeyUp, 8},
        {9, kKeyUp, 7},
        {8, kKeyUp, 7},
        {7, kKeyUp, 7},
        {7, kKeyLeft, 7},
        {7, kKeyRight, 7},
        {8, kKeyLeft, 8},
        {9, kKeyRight, 9},
        {10, kKeyRight, 10},
        {11, kKeyLeft, 11},
        // No selection: any arrow first selects "Экран:", then moves from there.
        {0, kKeyDown, 8},
        {0, kKeyUp, 7},
        {0, kKeyRight, 7},
        {0, kKeyLeft, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " key " << c.key);
        Select(c.from);
        rig_.Tap(c.key);
        EXPECT_EQ(rig_.State().MenuSelection, c.to);
    }
}

TEST_F(OptionsScreenTest, ArrowsStayOnTheCountryWhileItIsTyped) {
    Select(10);
    rig_.Form().ActivateEntry();
    ASSERT_EQ(rig_.State().CountryEditing, 1);
    for (int key : {kKeyDown, kKeyUp, kKeyLeft, kKeyRight}) {
        rig_.Tap(key);
        EXPECT_EQ(rig_.State().MenuSelection, 10);
        EXPECT_EQ(rig_.State().CountryEditing, 1);
    }
    // Escape ends the typing and stays on the screen.
    rig_.Tap(kKeyEscape);
    EXPECT_EQ(rig_.State().ScreenKind, kScreenOptions);
    EXPECT_EQ(rig_.State().CountryEditing, 0);
    EXPECT_EQ(rig_.State().MenuSelection, 10);
    rig_.Tap(kKeyEscape);
    EXPECT_EQ(rig_.State().ScreenKind, kScreenMainMenu);
    EXPECT_EQ(rig_.State().MenuSelection, 3);
}

TEST_F(OptionsScreenTest, ScreenModeSwitchesAtOnce) {
    SurfaceWatch watch;
    rig_.Form().MDXDraw.AddListener(&watch);
    const int initializedBefore = watch.initialized;
    for (int expected : {1, 0, 1}) {
        SCOPED_TRACE(expected);
        rig_.Form().ActivateEntry(7);
        rig_.Frames(1);
        EXPECT_EQ(rig_.State().FullScreen, expected);
        EXPECT_EQ((rig_.Form().MDXDraw.EffectiveOptions() & doFullScreen) != 0, expected == 1);
        EXPECT_TRUE(rig_.Form().MDXDraw.Initialized());
        EXPECT_EQ(rig_.EntryPictureWidth(14), TestPictureWidth(expected ? 15 : 14));
    }
    EXPECT_EQ(watch.finalized, 3);
    EXPECT_EQ(watch.initialized - initializedBefore, 3);
    rig_.Form().MDXDraw.RemoveListener(&watch);
}

TEST_F(OptionsScreenTest, MusicOffStopsTheSongAndOnRestartsIt) {
    RigLog& log = rig_.Log();
    ASSERT_EQ(rig_.Form().CurrentSong(), log.songsLoaded);
    const int playing = rig_.Form().CurrentSong();
    ASSERT_NE(playing, 0);

    rig_.Form().ActivateEntry(8);
    rig_.Frames(1);
    EXPECT_EQ(rig_.State().MusicOn, 0);
    EXPECT_EQ(rig_.Form().CurrentSong(), 0);
    ASSERT_FALSE(log.songsFreed.empty());
    EXPECT_EQ(log.songsFreed.back(), playing);
    EXPECT_EQ(rig_.EntryPictureWidth(15), TestPictureWidth(17));

    // On again: a fresh load of the menu song, played from its start.
    rig_.Form().ActivateEntry(8);
    rig_.Frames(1);
    EXPECT_EQ(rig_.State().MusicOn, 1);
    EXPECT_NE(rig_.Form().CurrentSong(), 0);
    EXPECT_NE(rig_.Form().CurrentSong(), playing);
    ASSERT_FALSE(log.songsPlayed.empty());
    EXPECT_EQ(log.songsPlayed.back(), rig_.Form().CurrentSong());
    EXPECT_EQ(rig_.EntryPictureWidth(15), TestPictureWidth(16));
}

TEST_F(OptionsScreenTest, SoundOffSilencesTheClicks) {
    rig_.Form().ActivateEntry(9);
    rig_.Frames(1);
    EXPECT_EQ(rig_.State().SoundOn, 0);
    EXPECT_EQ(rig_.EntryPictureWidth(16), TestPictureWidth(19));
    const auto before = rig_.Log().soundStarts;
    rig_.Tap(kKeyUp);               // a selection change: sound 1
    rig_.Form().ActivateEntry(10);  // an activation: sound 2
    rig_.Form().ActivateEntry(10);
    EXPECT_EQ(rig_.Log().soundStarts, before);
    rig_.Form().ActivateEntry(9);
    EXPECT_EQ(rig_.State().SoundOn, 1);
    rig_.Tap(kKeyDown);
    EXPECT_GT(rig_.Log().soundStarts[1], before.count(1) ? before.at(1) : 0);
}

TEST_F(OptionsScreenTest, BackLeavesForTheMainMenuOnItsOwnEntry) {
    rig_.Form().ActivateEntry(12);
    rig_.Frames(1);
    const GameState& s = rig_.State();
    EXPECT_EQ(s.ScreenKind, kScreenMainMenu);
    EXPECT_EQ(s.MenuSelection, 3);
    for (int entry = 7; entry <= 17; ++entry) EXPECT_EQ(s.MenuEntries[entry].sprite, nullptr);
    EXPECT_EQ(rig_.Form().Options().CountryCursor(), nullptr);
    // Entering again builds everything anew.
    rig_.Form().ActivateEntry(3);
    rig_.Frames(1);
    EXPECT_EQ(s.ScreenKind, kScreenOptions);
    EXPECT_NE(rig_.Form().Options().CountryCursor(), nullptr);
}

// What the player sets is kept when the screen is left, not only when the game ends in order:
// a game killed afterwards still starts with it.
TEST(OptionsScreenSaveTest, LeavingAfterAChangeWritesTheSaveFiles) {
    const struct {
        const char* what;
        std::vector<int> entries;  // activated in turn before leaving
        const char* typed;         // typed while the country is being edited
        bool saved;
        const char* options;  // the first four lines written
    } cases[] = {
        {"nothing changed", {}, "", false, ""},
        {"music off", {8}, "", true, "0\r\n0\r\n1\r\n_______\r\n"},
        {"sound off and on again", {9, 9}, "", false, ""},
        {"country typed", {10, 10}, "Q", true, "0\r\n1\r\n1\r\n_______Q\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScreenRig rig;
        rig.Form().ActivateEntry(3);
        rig.Frames(1);
        ASSERT_EQ(rig.State().ScreenKind, kScreenOptions);
        for (std::size_t i = 0; i < c.entries.size(); ++i) {
            rig.Form().ActivateEntry(c.entries[i]);
            // The country takes what is typed between its two activations.
            if (c.entries[i] == 10 && i == 0) {
                for (const char* ch = c.typed; *ch != 0; ++ch) {
                    rig.Form().HandleEvent(CharEvent(static_cast<std::uint8_t>(*ch)));
                }
            }
            rig.Frames(1);
        }
        const auto options = rig.Root() / "Data" / "Save" / "options";
        EXPECT_FALSE(std::filesystem::exists(options)) << "nothing is written on the screen";
        rig.Form().ActivateEntry(12);
        rig.Frames(1);
        EXPECT_EQ(rig.State().ScreenKind, kScreenMainMenu);
        ASSERT_EQ(std::filesystem::exists(options), c.saved);
        if (!c.saved) continue;
        std::ifstream in(options, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        EXPECT_EQ(bytes.substr(0, std::string(c.options).size()), c.options);
        EXPECT_TRUE(std::filesystem::exists(rig.Root() / "Data" / "Save" / "hs"));
    }
}

TEST(HotKeyNameTest, NamesModifierAndKey) {
    const struct {
        std::uint8_t shift;
        int code;
        const char* name;
    } cases[] = {
        {kAlt, 0x78, "ALT+F9"},
        {kCtrl, 0, "CTRL+?"},
        {0, 0x74, "F5"},
        {0, 0, "?"},
        {kShift, 0x7B, "SHIFT+F12"},
        {kShift, 0x70, "SHIFT+F1"},
        {kAlt | kCtrl, 0x72, "ALT+F3"},
        {kCtrl | kShift, 0x79, "CTRL+F10"},
        {0, 0x6F, "?"},
        {0, 0x7C, "?"},
        {kAlt, 0x7C, "ALT+?"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HotKeyName(c.shift, c.code), c.name) << int{c.shift} << " " << c.code;
    }
}

// One step of a capture: a key going down or up with modifiers, Enter typed, or an arrow
// moving to another entry.
struct CaptureStep {
    enum Kind { Down, Up, Enter, Arrow } kind;
    int key = 0;
    std::uint8_t shift = 0;
};

TEST_F(OptionsScreenTest, HotKeyCaptureSequences) {
    using S = CaptureStep;
    const struct {
        const char* what;
        std::vector<CaptureStep> steps;
        int capture;        // HotKeyCapture afterwards
        const char* shown;  // the name under "Хот клавиша:"
    } cases[] = {
        {"started", {}, 1, "?"},
        {"Ctrl held", {{S::Down, kKeyCtrl, kCtrl}}, 1, "CTRL+?"},
        {"Ctrl+F5", {{S::Down, kKeyCtrl, kCtrl}, {S::Down, kKeyF1 + 4, kCtrl}}, 0, "CTRL+F5"},
        {"F1 alone", {{S::Down, kKeyF1, 0}}, 0, "F1"},
        {"Shift+F12",
         {{S::Down, kKeyShift, kShift}, {S::Down, kKeyF1 + 11, kShift}},
         0,
         "SHIFT+F12"},
        {"Alt wins over Ctrl", {{S::Down, kKeyF1 + 2, kAlt | kCtrl}}, 0, "ALT+F3"},
        {"Ctrl released", {{S::Down, kKeyCtrl, kCtrl}, {S::Up, kKeyCtrl, 0}}, 1, "?"},
        {"a letter takes no key", {{S::Down, 'Q', kAlt}}, 1, "ALT+?"},
        // Ending a capture without a function key gives the old key back.
        {"Enter", {{S::Down, kKeyShift, kShift}, {S::Up, kKeyShift, 0}, {S::Enter}}, 0, "ALT+F9"},
        {"another entry",
         {{S::Down, kKeyCtrl, kCtrl}, {S::Up, kKeyCtrl, 0}, {S::Arrow}},
         0,
         "ALT+F9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GameState& s = rig_.State();
        s.HotKeyShift = kAlt;
        s.HotKeyCode = 0x78;
        Select(11);
        rig_.Form().ActivateEntry();
        ASSERT_EQ(s.HotKeyCapture, 1);
        for (const CaptureStep& step : c.steps) {
            switch (step.kind) {
                case S::Down:
                    rig_.KeyDown(step.key, step.shift);
                    break;
                case S::Up:
                    rig_.KeyUp(step.key, step.shift);
                    break;
                case S::Enter:
                    rig_.KeyDown(kKeyEnter);
                    rig_.Type(13);
                    rig_.KeyUp(kKeyEnter);
                    break;
                case S::Arrow:
                    rig_.Tap(kKeyDown);
                    rig_.Frames(1);
                    break;
            }
        }
        rig_.Frames(1);
        EXPECT_EQ(s.HotKeyCapture, c.capture);
        EXPECT_EQ(ShownHotKey(), c.shown);
        // The key drawn under the label is the one in the state.
        bool drawn = false;
        rig_.ClearDrawn();
        rig_.Frames(1);
        for (const DrawnText& d : rig_.DrawnInSlot(13)) drawn = drawn || d.text == c.shown;
        EXPECT_TRUE(drawn);
        // Leave no capture running for the next case.
        if (s.HotKeyCapture) rig_.Form().ToggleHotKeyCapture();
        for (int key : {kKeyCtrl, kKeyShift, kKeyAlt}) rig_.KeyUp(key);
    }
}

TEST_F(OptionsScreenTest, ActivatingTheHotKeyAgainRestoresIt) {
    GameState& s = rig_.State();
    s.HotKeyShift = kCtrl;
    s.HotKeyCode = 0x7A;
    rig_.Form().ActivateEntry(11);
    EXPECT_EQ(ShownHotKey(), "?");
    rig_.Form().ActivateEntry(11);
    EXPECT_EQ(s.HotKeyCapture, 0);
    EXPECT_EQ(ShownHotKey(), "CTRL+F11");
}

TEST_F(OptionsScreenTest, EscapeDuringCaptureLeavesItRunningBeyondTheScreen) {
    GameState& s = rig_.State();
    Select(11);
    rig_.Form().ActivateEntry();
    rig_.Tap(kKeyEscape);
    EXPECT_EQ(s.ScreenKind, kScreenMainMenu);
    EXPECT_EQ(s.HotKeyCapture, 1);
    EXPECT_EQ(s.HotKeyCode, 0);
    // The next function key is still taken, on whatever screen.
    rig_.KeyDown(kKeyF1 + 6, kShift);
    EXPECT_EQ(s.HotKeyCapture, 0);
    EXPECT_EQ(ShownHotKey(), "SHIFT+F7");
    rig_.KeyUp(kKeyF1 + 6);

    // Left again with the capture running; entering the screen ends it and the key stays empty.
    rig_.Form().ActivateEntry(3);
    rig_.Frames(1);
    Select(11);
    rig_.Form().ActivateEntry();
    rig_.Tap(kKeyEscape);
    ASSERT_EQ(s.HotKeyCapture, 1);
    rig_.Form().ActivateEntry(3);
    EXPECT_EQ(s.HotKeyCapture, 0);
    EXPECT_EQ(ShownHotKey(), "?");
}

TEST(IsNameCharTest, DigitsLatinSpaceAndCyrillicOnly) {
    const std::string accepted =
        "0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
        "\xC0\xC1\xDF\xE0\xEF\xF0\xFF\xA8\xB8";
    const std::string refused = "\x08\x0D\x1F!-./:@[_`{~\x7F\x80\xA0\xA7\xB7\xBF";
    for (unsigned char c : accepted) EXPECT_TRUE(IsNameChar(c)) << int{c};
    for (unsigned char c : refused) EXPECT_FALSE(IsNameChar(c)) << int{c};
    EXPECT_FALSE(IsNameChar(0));
}

TEST_F(OptionsScreenTest, CountryTypingKeepsItsLimits) {
    // Slot 4 is 28 points: "W" is 56 pixels wide in the test renderer, other bytes 14.
    const struct {
        const char* what;
        std::string before;
        std::string typed;
        std::string after;
    } cases[] = {
        {"16 characters at most", "", std::string(20, 'a'), std::string(16, 'a')},
        {"width limit first", "", std::string(10, 'W'), std::string(7, 'W')},
        {"width measured before appending", "WWWWWW", "aa", "WWWWWWa"},
        {"letters, digits, space", "", "Ab 1\xC0\xFF\xA8\xB8", "Ab 1\xC0\xFF\xA8\xB8"},
        {"the rest is refused", "x", std::string("\xA7\xB7_-.!\x7F\xBF", 8), "x"},
        {"backspace", "abc", "\x08\x08", "a"},
        {"backspace on empty", "",
         "\x08\x08"
         "b",
         "b"},
        {"longer from the file is kept", std::string(20, 'c'), "d\x08", std::string(19, 'c')},
    };
    GameState& s = rig_.State();
    Select(10);
    rig_.Form().ActivateEntry();
    ASSERT_EQ(s.CountryEditing, 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        s.Country = c.before;
        for (unsigned char ch : c.typed) rig_.Form().Options().TypeCountryCharacter(ch);
        EXPECT_EQ(s.Country, c.after);
    }
}

TEST_F(OptionsScreenTest, CountryIsTypedOnlyWhileEdited) {
    GameState& s = rig_.State();
    s.Country = "RU";
    rig_.Form().Options().TypeCountryCharacter('a');
    EXPECT_EQ(s.Country, "RU");
    rig_.Form().ActivateEntry(10);
    rig_.Form().Options().TypeCountryCharacter('a');
    EXPECT_EQ(s.Country, "RUa");
    // Another entry highlighted by the pointer ends the typing.
    rig_.MoveMouse(470, 270);
    rig_.Frames(1);
    EXPECT_EQ(s.MenuSelection, 8);
    EXPECT_EQ(s.CountryEditing, 0);
    rig_.Form().Options().TypeCountryCharacter('b');
    EXPECT_EQ(s.Country, "RUa");
}

TEST_F(OptionsScreenTest, CursorBlinksBehindTheCountry) {
    GameState& s = rig_.State();
    TMyCursor* cursor = rig_.Form().Options().CountryCursor();
    ASSERT_NE(cursor, nullptr);
    rig_.Frames(2);
    EXPECT_FALSE(cursor->Visible);
    s.Country = "ABCD";
    Select(10);
    rig_.Form().ActivateEntry();
    bool shown = false;
    bool hidden = false;
    for (int i = 0; i < 120; ++i) {
        rig_.Frames(1);
        (cursor->Visible ? shown : hidden) = true;
    }
    EXPECT_TRUE(shown && hidden);
    // Slot 13 is 24 points: four bytes are 48 pixels, so the cursor stands 2 pixels past the
    // text centred on 580.
    EXPECT_DOUBLE_EQ(cursor->X, 580 + 24 + 2);
    EXPECT_EQ(cursor->Y, 406);
    rig_.Form().ActivateEntry(10);
    rig_.Frames(1);
    EXPECT_FALSE(cursor->Visible);
}

// The language entry steps through the system's, Russian and English: the screen speaks the
// chosen one in the next frame, the choice is kept in its own file, and the next start speaks
// it whatever the environment says; the options file keeps its bytes.
TEST_F(OptionsScreenTest, TheLanguageTakesEffectAtOnceAndIsKeptForTheNextStart) {
    const std::filesystem::path saves = rig_.Root() / "Data/Save";
    std::ifstream optionsBefore(saves / "options", std::ios::binary);
    const std::string before{std::istreambuf_iterator<char>(optionsBefore), {}};
    const struct {
        const char* choice;
        const char* spoken;
        const char* label;  // the screen's first label, as drawn after the step
        const char* value;  // the language's value
    } steps[] = {
        {"ru", "ru", "Экран:", "Русский"},
        {"en", "en", "Screen:", "English"},
    };
    Select(kOptionsLanguage);
    for (const auto& step : steps) {
        SCOPED_TRACE(step.choice);
        rig_.Form().ActivateEntry(kOptionsLanguage);
        rig_.ClearDrawn();
        rig_.Frames(1);
        EXPECT_EQ(rig_.State().LanguageChoice, step.choice);
        EXPECT_EQ(rig_.Form().Language(), step.spoken);
        ASSERT_FALSE(rig_.DrawnInSlot(12).empty());
        EXPECT_EQ(rig_.DrawnInSlot(12)[0].text, step.label);
        ASSERT_EQ(rig_.DrawnInSlot(7).size(), 1u);
        EXPECT_EQ(rig_.DrawnInSlot(7)[0].text, step.value);
        std::ifstream kept(saves / "language");
        std::string word;
        kept >> word;
        EXPECT_EQ(word, step.choice);
    }
    std::ifstream optionsAfter(saves / "options", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(optionsAfter), {}), before);
    // The next start: no language forced, whatever LANG says.
    PlatformLog log;
    SimulatedClock* clock = nullptr;
    FormConfig config;
    config.dataRoot = rig_.Root();
    config.localeDir = std::filesystem::path(VRUMBAL_BUILD_DIR) / "locale";
    TMForm again(FakePlatform(log, clock), config);
    again.FormCreate();
    EXPECT_EQ(again.State().LanguageChoice, "en");
    EXPECT_EQ(again.Language(), "en");
    EXPECT_EQ(again.Tr("Пауза"), "Paused");
}

TEST_F(OptionsScreenTest, LabelsLightUpWhenSelectedAndValuesAreCentred) {
    GameState& s = rig_.State();
    s.Country = "Abc";
    Select(9);
    rig_.ClearDrawn();
    rig_.Frames(1);
    const std::vector<DrawnText> selected = rig_.DrawnInSlot(16);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0].text, kSoundLabel);
    const std::vector<DrawnText> labels = rig_.DrawnInSlot(12);
    std::vector<std::string> names;
    for (const DrawnText& d : labels) names.push_back(d.text);
    EXPECT_EQ(names,
              (std::vector<std::string>{kScreenLabel, kMusicLabel, kCountryLabel, kHotKeyLabel}));
    // The language's label, a size smaller on the strip below the panel.
    ASSERT_EQ(rig_.DrawnInSlot(2).size(), 1u);
    EXPECT_EQ(rig_.DrawnInSlot(2)[0].text, kLanguageLabel);
    // The country in slot 13 centred on (580, 417): 3 bytes of 12 pixels, 24 pixels high.
    bool countryDrawn = false;
    for (const DrawnText& d : rig_.DrawnInSlot(13)) {
        if (d.text == "Abc") {
            countryDrawn = true;
            EXPECT_EQ(d.x, 580 - 18);
            EXPECT_EQ(d.y, 417 - 12);
        }
    }
    EXPECT_TRUE(countryDrawn);
}

}  // namespace
}  // namespace vrumbal::test
