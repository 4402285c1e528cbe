#include "shell/event_keyboard.h"

namespace vrumbal {

void EventKeyboard::Observe(const WindowEvent& event) {
    using Type = WindowEvent::Type;
    switch (event.type) {
        case Type::KeyDown:
            if (event.key > 0 && event.key < 256) down_[event.key] = 1;
            break;
        case Type::KeyUp:
            if (event.key > 0 && event.key < 256) down_[event.key] = 0;
            break;
        case Type::FocusLost:
        case Type::Minimize:
            // Key-up events go to whichever window is in front now, so forget what was held.
            foreground_ = false;
            down_.fill(0);
            break;
        case Type::FocusGained:
        case Type::Restore:
            foreground_ = true;
            break;
        default:
            break;
    }
}

void EventKeyboard::ReadKeys(std::array<std::uint8_t, 256>& flags) {
    for (std::size_t i = 0; i < flags.size(); ++i) flags[i] = down_[i] ? 0x80 : 0;
}

}  // namespace vrumbal
