// The keyboard the input states read, as the window's key events build it: quick taps are
// never lost, keys are followed as physical keys, and nothing stays down once every key is up.
#include "shell/event_keyboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vrumbal {
namespace {

using Type = WindowEvent::Type;

constexpr int kUp = 0x26, kDown = 0x28;
constexpr int kArrowUp = 82, kKeypad8 = 96;  // physical keys, as SDL numbers them

WindowEvent Key(Type type, int vk, int scancode = 0) {
    WindowEvent e{type, vk};
    e.scancode = scancode;
    return e;
}

// One read: the events that come before it, and the keys it must find down.
struct Read {
    std::vector<WindowEvent> before;
    std::vector<int> down;
};

std::vector<int> ReadDown(EventKeyboard& keyboard) {
    std::array<std::uint8_t, 256> flags{};
    keyboard.ReadKeys(flags);
    std::vector<int> down;
    for (int vk = 0; vk < 256; ++vk) {
        if (flags[static_cast<std::size_t>(vk)] & 0x80) down.push_back(vk);
    }
    return down;
}

TEST(EventKeyboard, ReadsFollowTheKeysPressedSinceTheLastReadAndThoseHeld) {
    const struct {
        const char* what;
        std::vector<Read> reads;
    } cases[] = {
        {"a tap between two reads is read once",
         {{{Key(Type::KeyDown, kDown), Key(Type::KeyUp, kDown)}, {kDown}}, {{}, {}}}},
        {"a held key reads down until it goes up",
         {{{Key(Type::KeyDown, kDown)}, {kDown}}, {{}, {kDown}}, {{Key(Type::KeyUp, kDown)}, {}}}},
        {"auto-repeats change nothing",
         {{{Key(Type::KeyDown, kUp), Key(Type::KeyDown, kUp)}, {kUp}},
          {{Key(Type::KeyDown, kUp), Key(Type::KeyUp, kUp)}, {}}}},
        {"an arrow and its keypad twin go up each on its own",
         {{{Key(Type::KeyDown, kUp, kArrowUp), Key(Type::KeyDown, kUp, kKeypad8)}, {kUp}},
          {{Key(Type::KeyUp, kUp, kArrowUp)}, {kUp}},
          {{Key(Type::KeyUp, kUp, kKeypad8)}, {}}}},
        {"a release of a key never pressed here releases nothing else",
         {{{Key(Type::KeyDown, kUp, kArrowUp), Key(Type::KeyUp, kUp, kKeypad8)}, {kUp}},
          {{}, {kUp}}}},
        {"going behind forgets every key and every tap",
         {{{Key(Type::KeyDown, kUp, kArrowUp), Key(Type::KeyDown, kDown), Key(Type::KeyUp, kDown),
            WindowEvent{Type::FocusLost}, WindowEvent{Type::FocusGained}},
           {}},
          {{Key(Type::KeyUp, kUp, kArrowUp)}, {}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EventKeyboard keyboard;
        int n = 0;
        for (const Read& read : c.reads) {
            for (const WindowEvent& e : read.before) keyboard.Observe(e);
            EXPECT_EQ(ReadDown(keyboard), read.down) << "read " << n++;
        }
    }
}

}  // namespace
}  // namespace vrumbal
