#include "shell/play_script.h"

#include <gtest/gtest.h>

namespace vrumbal {
namespace {

using Type = WindowEvent::Type;

TEST(ScriptKeyCodeTest, NamesMapToVirtualKeys) {
    const struct {
        const char* name;
        int code;
    } cases[] = {{"Up", 0x26},  {"Down", 0x28},  {"Left", 0x25},      {"Right", 0x27},
                 {"Space", 0x20}, {"Enter", 0x0D}, {"Escape", 0x1B},  {"Backspace", 0x08},
                 {"Alt", 0x12},  {"Ctrl", 0x11},  {"Shift", 0x10},    {"F1", 0x70},
                 {"F9", 0x78},   {"F12", 0x7B},   {"A", 0x41},        {"Z", 0x5A},
                 {"0", 0x30},    {"9", 0x39}};
    for (const auto& c : cases) {
        ASSERT_TRUE(ScriptKeyCode(c.name).has_value()) << c.name;
        EXPECT_EQ(*ScriptKeyCode(c.name), c.code) << c.name;
    }
    for (const char* bad : {"F0", "F13", "a", "Esc", "", "F1x", "AB"}) {
        EXPECT_FALSE(ScriptKeyCode(bad).has_value()) << bad;
    }
}

TEST(PlayScriptTest, KeyTapGoesDownThenUpNextFrame) {
    PlayScript s;
    ASSERT_EQ(s.Parse("10 key tap Down\n"), "");
    ASSERT_EQ(s.EventsBefore(10).size(), 1u);
    EXPECT_EQ(s.EventsBefore(10)[0].type, Type::KeyDown);
    EXPECT_EQ(s.EventsBefore(10)[0].key, 0x28);
    ASSERT_EQ(s.EventsBefore(11).size(), 1u);
    EXPECT_EQ(s.EventsBefore(11)[0].type, Type::KeyUp);
    EXPECT_TRUE(s.EventsBefore(12).empty());
}

TEST(PlayScriptTest, EnterAndBackspaceAlsoTypeTheirCharacters) {
    PlayScript s;
    ASSERT_EQ(s.Parse("1 key down Enter\n2 key down Backspace\n"), "");
    ASSERT_EQ(s.EventsBefore(1).size(), 2u);
    EXPECT_EQ(s.EventsBefore(1)[1].type, Type::Char);
    EXPECT_EQ(s.EventsBefore(1)[1].ch, 13);
    ASSERT_EQ(s.EventsBefore(2).size(), 2u);
    EXPECT_EQ(s.EventsBefore(2)[1].ch, 8);
}

TEST(PlayScriptTest, ModifiersHeldGiveShiftBits) {
    PlayScript s;
    ASSERT_EQ(s.Parse("1 key down Alt\n2 key down Enter\n3 key up Alt\n4 key tap F9\n"), "");
    EXPECT_EQ(s.EventsBefore(2)[0].shift, kAlt);
    EXPECT_EQ(s.EventsBefore(4)[0].shift, 0);
}

TEST(PlayScriptTest, TextIsTypedInCodePage1251) {
    PlayScript s;
    ASSERT_EQ(s.Parse("5 text Вася #1\n"), "");
    const auto& events = s.EventsBefore(5);
    ASSERT_EQ(events.size(), 7u);  // the '#' of a typed text is typed too
    EXPECT_EQ(events[0].ch, 0xC2);
    EXPECT_EQ(events[1].ch, 0xE0);
    EXPECT_EQ(events[4].ch, ' ');
    EXPECT_EQ(events[5].ch, '#');
}

TEST(PlayScriptTest, MouseEventsMoveFirst) {
    PlayScript s;
    ASSERT_EQ(s.Parse("3 click 100 200\n4 dblclick 5 6\n"), "");
    const auto& click = s.EventsBefore(3);
    ASSERT_EQ(click.size(), 4u);
    EXPECT_EQ(click[0].type, Type::MouseMove);
    EXPECT_EQ(click[3].type, Type::Click);
    EXPECT_EQ(click[3].x, 100);
    EXPECT_EQ(click[3].y, 200);
    const auto& dbl = s.EventsBefore(4);
    ASSERT_EQ(dbl.size(), 7u);
    EXPECT_EQ(dbl[3].type, Type::Click);
    EXPECT_EQ(dbl[6].type, Type::DoubleClick);
}

TEST(PlayScriptTest, WindowEventsAndShots) {
    PlayScript s;
    ASSERT_EQ(s.Parse("# a comment\n\n1 close\n2 minimize # why not\n3 restore\n"
                      "4 focus off\n5 focus on\n6 shot menu\n6 shot again\n"),
              "");
    EXPECT_EQ(s.EventsBefore(1)[0].type, Type::Close);
    EXPECT_EQ(s.EventsBefore(2)[0].type, Type::Minimize);
    EXPECT_EQ(s.EventsBefore(3)[0].type, Type::Restore);
    EXPECT_EQ(s.EventsBefore(4)[0].type, Type::FocusLost);
    EXPECT_EQ(s.EventsBefore(5)[0].type, Type::FocusGained);
    EXPECT_EQ(s.ShotsAfter(6), (std::vector<std::string>{"menu", "again"}));
    EXPECT_TRUE(s.EventsBefore(6).empty());
}

TEST(PlayScriptTest, BadLinesAreReportedWithTheirNumber) {
    const struct {
        const char* text;
        const char* fragment;
    } cases[] = {{"x key tap Up\n", "line 1"},
                 {"1 key tap Up\n2 key press Up\n", "line 2"},
                 {"1 key tap Nope\n", "unknown key"},
                 {"1 click 10\n", "needs X Y"},
                 {"1 focus maybe\n", "on or off"},
                 {"1 shot ../escape\n", "plain NAME"},
                 {"1 jump\n", "unknown event"},
                 {"-3 close\n", "frame number"}};
    for (const auto& c : cases) {
        PlayScript s;
        const std::string error = s.Parse(c.text);
        EXPECT_NE(error.find(c.fragment), std::string::npos) << c.text << " -> " << error;
    }
}

}  // namespace
}  // namespace vrumbal
