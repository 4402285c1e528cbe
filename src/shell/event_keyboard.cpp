// The keys followed physical key by physical key, forgotten when the window goes behind, and read
// as flags with quick taps kept.
#include "shell/event_keyboard.h"

namespace vrumbal {
namespace {

// Scancodes and bare virtual keys (from scripts and tests) never share a number.
constexpr int kScancodeBase = 0x10000;

int PhysicalKey(const WindowEvent& event) {
    return event.scancode != 0 ? kScancodeBase + event.scancode : event.key;
}

bool IsVirtualKey(int key) {
    return key > 0 && key < 256;
}

}  // namespace

void EventKeyboard::Observe(const WindowEvent& event) {
    using Type = WindowEvent::Type;
    switch (event.type) {
        case Type::KeyDown: {
            if (!IsVirtualKey(event.key)) break;
            // An auto-repeat of a held key is no new press.
            const auto [it, fresh] = physical_.try_emplace(PhysicalKey(event), event.key);
            if (!fresh) break;
            ++held_[static_cast<std::size_t>(event.key)];
            pressed_[static_cast<std::size_t>(event.key)] = 1;
            break;
        }
        case Type::KeyUp: {
            const auto it = physical_.find(PhysicalKey(event));
            if (it == physical_.end()) break;  // pressed while the window was behind
            --held_[static_cast<std::size_t>(it->second)];
            physical_.erase(it);
            break;
        }
        case Type::FocusLost:
        case Type::Minimize:
            // Key-up events go to whichever window is in front now, so forget what was held.
            foreground_ = false;
            ReleaseAll();
            break;
        case Type::FocusGained:
        case Type::Restore:
            foreground_ = true;
            break;
        default:
            break;
    }
}

void EventKeyboard::ReleaseAll() {
    physical_.clear();
    held_.fill(0);
    pressed_.fill(0);
}

void EventKeyboard::ReadKeys(std::array<std::uint8_t, 256>& flags) {
    for (std::size_t i = 0; i < flags.size(); ++i) {
        flags[i] = (held_[i] > 0 || pressed_[i] != 0) ? 0x80 : 0;
    }
    pressed_.fill(0);
}

}  // namespace vrumbal
