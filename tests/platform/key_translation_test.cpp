#include <gtest/gtest.h>

#include <vector>

#include "platform/event_translator.h"
#include "platform/sdl_keys.h"

namespace vrumbal {
namespace {

// SDL numbers physical keys by their USB HID usage ids and gives keycodes as the lowercase
// character a key types, or the usage id with bit 30 set for keys that type nothing.
constexpr int kHidA = 4, kHidZ = 29, kHid1 = 30, kHid9 = 38, kHid0 = 39, kHidEnter = 40,
              kHidEscape = 41, kHidBackspace = 42, kHidTab = 43, kHidSpace = 44, kHidF1 = 58,
              kHidF12 = 69, kHidInsert = 73, kHidHome = 74, kHidPageUp = 75, kHidDelete = 76,
              kHidEnd = 77, kHidPageDown = 78, kHidRight = 79, kHidLeft = 80, kHidDown = 81,
              kHidUp = 82, kHidKpEnter = 88, kHidKp1 = 89, kHidKp7 = 95, kHidKp8 = 96, kHidKp0 = 98,
              kHidKpPeriod = 99, kHidLCtrl = 224, kHidLShift = 225, kHidLAlt = 226,
              kHidRShift = 229, kHidRAlt = 230, kHidMute = 127;
constexpr int NoChar(int hid) {
    return hid | (1 << 30);
}

struct KeyCase {
    const char* name;
    int scancode;
    int keycode;
    bool numLock;
    int expected;
};

// Names the case in test listings.
void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.name;
}

class KeyTable : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyTable, GivesTheVirtualKey) {
    const KeyCase& c = GetParam();
    EXPECT_EQ(VirtualKeyFromSdl(c.scancode, c.keycode, c.numLock), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTable,
    ::testing::Values(
        KeyCase{"A", kHidA, 'a', false, 0x41}, KeyCase{"Z", kHidZ, 'z', false, 0x5A},
        // A German layout has Y where an American one has Z.
        KeyCase{"layout Y on the Z key", kHidZ, 'y', false, 0x59},
        // A Cyrillic layout types no Latin letter; the key's place decides.
        KeyCase{"Cyrillic ef on the A key", kHidA, 0x0444, false, 0x41},
        KeyCase{"1", kHid1, '1', false, 0x31}, KeyCase{"9", kHid9, '9', false, 0x39},
        KeyCase{"0", kHid0, '0', false, 0x30},
        // A French layout types '&' on the 1 key without Shift.
        KeyCase{"layout ampersand on the 1 key", kHid1, '&', false, 0x31},
        KeyCase{"F1", kHidF1, NoChar(kHidF1), false, 0x70},
        KeyCase{"F9", kHidF1 + 8, NoChar(kHidF1 + 8), false, 0x78},
        KeyCase{"F12", kHidF12, NoChar(kHidF12), false, 0x7B},
        KeyCase{"Left", kHidLeft, NoChar(kHidLeft), false, 0x25},
        KeyCase{"Up", kHidUp, NoChar(kHidUp), false, 0x26},
        KeyCase{"Right", kHidRight, NoChar(kHidRight), false, 0x27},
        KeyCase{"Down", kHidDown, NoChar(kHidDown), false, 0x28},
        KeyCase{"Escape", kHidEscape, 27, false, 0x1B},
        KeyCase{"Enter", kHidEnter, 13, false, 0x0D},
        KeyCase{"keypad Enter", kHidKpEnter, NoChar(kHidKpEnter), false, 0x0D},
        KeyCase{"Space", kHidSpace, ' ', false, 0x20},
        KeyCase{"Backspace", kHidBackspace, 8, false, 0x08},
        KeyCase{"Tab", kHidTab, 9, false, 0x09},
        KeyCase{"left Shift", kHidLShift, NoChar(kHidLShift), false, 0x10},
        KeyCase{"right Shift", kHidRShift, NoChar(kHidRShift), false, 0x10},
        KeyCase{"left Ctrl", kHidLCtrl, NoChar(kHidLCtrl), false, 0x11},
        KeyCase{"left Alt", kHidLAlt, NoChar(kHidLAlt), false, 0x12},
        KeyCase{"right Alt", kHidRAlt, NoChar(kHidRAlt), false, 0x12},
        KeyCase{"Insert", kHidInsert, NoChar(kHidInsert), false, 0x2D},
        KeyCase{"Delete", kHidDelete, 127, false, 0x2E},
        KeyCase{"Home", kHidHome, NoChar(kHidHome), false, 0x24},
        KeyCase{"End", kHidEnd, NoChar(kHidEnd), false, 0x23},
        KeyCase{"Page Up", kHidPageUp, NoChar(kHidPageUp), false, 0x21},
        KeyCase{"Page Down", kHidPageDown, NoChar(kHidPageDown), false, 0x22},
        KeyCase{"keypad 0 with Num Lock", kHidKp0, NoChar(kHidKp0), true, 0x60},
        KeyCase{"keypad 1 with Num Lock", kHidKp1, NoChar(kHidKp1), true, 0x61},
        KeyCase{"keypad 7 with Num Lock", kHidKp7, NoChar(kHidKp7), true, 0x67},
        KeyCase{"keypad 8 without Num Lock is Up", kHidKp8, NoChar(kHidKp8), false, 0x26},
        KeyCase{"keypad 0 without Num Lock is Insert", kHidKp0, NoChar(kHidKp0), false, 0x2D},
        KeyCase{"keypad point with Num Lock", kHidKpPeriod, NoChar(kHidKpPeriod), true, 0x6E},
        KeyCase{"keypad point without Num Lock", kHidKpPeriod, NoChar(kHidKpPeriod), false, 0x2E},
        KeyCase{"a key with no virtual key", kHidMute, NoChar(kHidMute), false, 0}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::to_string(info.index); });

TEST(ShiftBits, FollowTheHeldModifiers) {
    struct Case {
        KeyModifiers mods;
        std::uint8_t expected;
    };
    const Case cases[] = {
        {{false, false, false, false}, 0},
        {{true, false, false, false}, kShift},
        {{false, false, true, false}, kAlt},
        {{false, true, false, false}, kCtrl},
        {{true, true, true, false}, kShift | kAlt | kCtrl},
        {{false, true, true, true}, kAlt | kCtrl},  // Num Lock is no shift key
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShiftBitsOf(c.mods), c.expected);
        // The SDL bits round-trip, so events fed to SDL read back as they were made.
        const KeyModifiers back = KeyModifiersFromSdl(SdlModifiersFrom(c.mods));
        EXPECT_EQ(ShiftBitsOf(back), c.expected);
        EXPECT_EQ(back.numLock, c.mods.numLock);
    }
}

std::vector<WindowEvent> KeyEvents(bool down, int scancode, int keycode, KeyModifiers mods) {
    std::vector<WindowEvent> out;
    EventTranslator translator(800, 600);
    translator.Key(down, scancode, keycode, mods, out);
    return out;
}

TEST(KeyEvents, BackspaceAndEnterAlsoTypeTheirCharacters) {
    struct Case {
        const char* name;
        bool down;
        int scancode;
        int keycode;
        KeyModifiers mods;
        int expectedChar;  // -1: no Char event
    };
    const KeyModifiers none;
    const KeyModifiers alt{false, false, true, false};
    const KeyModifiers ctrl{false, true, false, false};
    const Case cases[] = {
        {"Backspace down", true, kHidBackspace, 8, none, 8},
        {"Backspace up", false, kHidBackspace, 8, none, -1},
        {"Enter down", true, kHidEnter, 13, none, 13},
        {"keypad Enter down", true, kHidKpEnter, NoChar(kHidKpEnter), none, 13},
        {"Enter up", false, kHidEnter, 13, none, -1},
        {"Alt+Enter types nothing", true, kHidEnter, 13, alt, -1},
        {"Ctrl+Enter types a line feed", true, kHidEnter, 13, ctrl, 10},
        {"Ctrl+Backspace types DEL", true, kHidBackspace, 8, ctrl, 0x7F},
        {"a letter's key down types through text input only", true, kHidA, 'a', none, -1},
    };
    for (const Case& c : cases) {
        const auto events = KeyEvents(c.down, c.scancode, c.keycode, c.mods);
        ASSERT_FALSE(events.empty()) << c.name;
        EXPECT_EQ(events[0].type, c.down ? WindowEvent::Type::KeyDown : WindowEvent::Type::KeyUp)
            << c.name;
        if (c.expectedChar < 0) {
            EXPECT_EQ(events.size(), 1u) << c.name;
        } else {
            ASSERT_EQ(events.size(), 2u) << c.name;
            EXPECT_EQ(events[1].type, WindowEvent::Type::Char) << c.name;
            EXPECT_EQ(events[1].ch, c.expectedChar) << c.name;
        }
    }
}

TEST(KeyEvents, CarryTheKeyAndTheShiftBits) {
    const auto events =
        KeyEvents(true, kHidF1 + 8, NoChar(kHidF1 + 8), {false, false, true, false});
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].key, 0x78);
    EXPECT_EQ(events[0].shift, kAlt);
    EXPECT_TRUE(KeyEvents(true, kHidMute, NoChar(kHidMute), {}).empty());
}

TEST(KeyEvents, AKeyGoesUpAsTheKeyItWentDownAs) {
    // Num Lock toggled, or the layout switched, while a key is held must not leave the key
    // it pressed down for ever.
    const KeyModifiers numLockOff{}, numLockOn{false, false, false, true};
    const struct {
        const char* what;
        int scancode, keycode;
        KeyModifiers atPress, atRelease;
        int key;  // the virtual key of the press, its repeat and its release
    } cases[] = {
        {"keypad 8 as Up, then Num Lock on", kHidKp8, NoChar(kHidKp8), numLockOff, numLockOn, 0x26},
        {"keypad 8 as a digit, then Num Lock off", kHidKp8, NoChar(kHidKp8), numLockOn, numLockOff,
         0x68},
        {"the arrow itself", kHidUp, NoChar(kHidUp), numLockOff, numLockOn, 0x26},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EventTranslator translator(800, 600);
        std::vector<WindowEvent> out;
        translator.Key(true, c.scancode, c.keycode, c.atPress, out);
        translator.Key(true, c.scancode, c.keycode, c.atRelease, out);  // an auto-repeat
        translator.Key(false, c.scancode, c.keycode, c.atRelease, out);
        ASSERT_EQ(out.size(), 3u);
        for (const WindowEvent& e : out) {
            EXPECT_EQ(e.key, c.key);
            EXPECT_EQ(e.scancode, c.scancode);
        }
        EXPECT_EQ(out[2].type, WindowEvent::Type::KeyUp);
        // Let go, the key means what it means now.
        out.clear();
        translator.Key(true, c.scancode, c.keycode, c.atRelease, out);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].key == c.key, c.scancode == kHidUp);
    }
}

TEST(TextEvents, TypeOneCharacterPerCodePageCharacter) {
    struct Case {
        const char* name;
        std::string utf8;
        std::vector<std::uint8_t> expected;
    };
    const Case cases[] = {
        {"Latin", "ab", {'a', 'b'}},
        {"Cyrillic capital A and small ya", "\xD0\x90\xD1\x8F", {0xC0, 0xFF}},
        {"Yo both cases", "\xD0\x81\xD1\x91", {0xA8, 0xB8}},
        {"numero sign", "\xE2\x84\x96", {0xB9}},
        {"euro sign", "\xE2\x82\xAC", {0x88}},
        {"a question mark is typed", "?", {'?'}},
        {"characters the code page lacks are dropped",
         "x\xE4\xB8\xAD\xF0\x9F\x98\x80y",
         {'x', 'y'}},
        {"a broken byte is dropped",
         "a\xFF"
         "b",
         {'a', 'b'}},
    };
    for (const Case& c : cases) {
        std::vector<WindowEvent> out;
        EventTranslator(800, 600).Text(c.utf8, out);
        std::vector<std::uint8_t> typed;
        for (const WindowEvent& e : out) {
            EXPECT_EQ(e.type, WindowEvent::Type::Char) << c.name;
            typed.push_back(e.ch);
        }
        EXPECT_EQ(typed, c.expected) << c.name;
    }
}

TEST(TextEvents, TextTypedWithAltHeldIsACommandNotTyping) {
    EventTranslator translator(800, 600);
    std::vector<WindowEvent> out;
    const KeyModifiers alt{false, false, true, false};
    translator.Key(true, kHidLAlt, NoChar(kHidLAlt), alt, out);
    translator.Key(true, kHidA, 'a', alt, out);
    translator.Text("a", out);
    translator.Key(false, kHidA, 'a', alt, out);
    translator.Key(false, kHidLAlt, NoChar(kHidLAlt), {}, out);  // Alt released
    translator.Key(true, kHidA, 'a', {}, out);
    translator.Text("a", out);
    std::vector<std::uint8_t> typed;
    for (const WindowEvent& e : out) {
        if (e.type == WindowEvent::Type::Char) typed.push_back(e.ch);
    }
    EXPECT_EQ(typed, std::vector<std::uint8_t>{'a'});
    EXPECT_EQ(out.size(), 6u);  // five key events and the one typed character
}

TEST(MouseEvents, ClicksAndDoubleClicksFollowTheClickCount) {
    using T = WindowEvent::Type;
    struct Case {
        const char* name;
        bool down;
        bool left;
        int clicks;
        std::vector<T> expected;
    };
    const Case cases[] = {
        {"left press", true, true, 1, {T::MouseDown}},
        {"left release", false, true, 1, {T::MouseUp, T::Click}},
        {"second release of a pair", false, true, 2, {T::MouseUp, T::DoubleClick}},
        {"third release starts a new pair", false, true, 3, {T::MouseUp, T::Click}},
        {"fourth release", false, true, 4, {T::MouseUp, T::DoubleClick}},
        {"right release", false, false, 1, {T::MouseUp}},
        {"right press", true, false, 2, {T::MouseDown}},
    };
    for (const Case& c : cases) {
        std::vector<WindowEvent> out;
        EventTranslator(800, 600).MouseButton(c.down, c.left, c.clicks, 10, 20, out);
        std::vector<T> types;
        for (const WindowEvent& e : out) {
            types.push_back(e.type);
            EXPECT_EQ(e.x, 10) << c.name;
            EXPECT_EQ(e.y, 20) << c.name;
        }
        EXPECT_EQ(types, c.expected) << c.name;
    }
}

TEST(MouseEvents, PositionsAreClampedIntoTheFrame) {
    struct Case {
        int x, y, expectedX, expectedY;
    };
    const Case cases[] = {{0, 0, 0, 0},   {799, 599, 799, 599}, {800, 600, 799, 599},
                          {-5, -1, 0, 0}, {400, -30, 400, 0},   {5000, 300, 799, 300}};
    for (const Case& c : cases) {
        std::vector<WindowEvent> out;
        EventTranslator(800, 600).MouseMove(c.x, c.y, out);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].type, WindowEvent::Type::MouseMove);
        EXPECT_EQ(out[0].x, c.expectedX) << c.x << "," << c.y;
        EXPECT_EQ(out[0].y, c.expectedY) << c.x << "," << c.y;
    }
}

}  // namespace
}  // namespace vrumbal
