// The raw keys, typed text and mouse buttons turned into the game's events, clicks and double
// clicks counted as the system counts them.
#include "platform/event_translator.h"

#include <algorithm>

#include "platform/codepage.h"

namespace vrumbal {
namespace {

constexpr int kVkBack = 0x08;
constexpr int kVkReturn = 0x0D;

WindowEvent CharEvent(std::uint8_t ch) {
    WindowEvent event;
    event.type = WindowEvent::Type::Char;
    event.ch = ch;
    return event;
}

// Number of bytes of the UTF-8 character that starts with this byte (1 for broken bytes, so
// the converter sees them one at a time and refuses them).
std::size_t Utf8Length(unsigned char lead) {
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

}  // namespace

void EventTranslator::Key(bool down, int scancode, int keycode, const KeyModifiers& mods,
                          std::vector<WindowEvent>& out) {
    altHeld_ = mods.alt;
    int vk = VirtualKeyFromSdl(scancode, keycode, mods.numLock);
    const bool known = scancode > 0 && scancode < kScancodes;
    if (known) {
        int& pressedAs = pressedAs_[static_cast<std::size_t>(scancode)];
        // An auto-repeat, or the release, of a key that is held keeps the meaning it had.
        if (pressedAs != 0) vk = pressedAs;
        pressedAs = down ? vk : 0;
    }
    if (vk == 0) return;
    WindowEvent event;
    event.type = down ? WindowEvent::Type::KeyDown : WindowEvent::Type::KeyUp;
    event.key = vk;
    event.scancode = known ? scancode : 0;
    event.shift = ShiftBitsOf(mods);
    out.push_back(event);
    // Backspace and Enter type characters of their own that text input never reports. With Alt
    // held they are system keys and type nothing (Alt+Enter must not also press the selected
    // entry); with Ctrl they type the control characters the system gives them.
    if (!down || mods.alt) return;
    if (vk == kVkBack) out.push_back(CharEvent(mods.ctrl ? 0x7F : 0x08));
    if (vk == kVkReturn) out.push_back(CharEvent(mods.ctrl ? 0x0A : 0x0D));
}

void EventTranslator::Text(const std::string& utf8, std::vector<WindowEvent>& out) const {
    if (altHeld_) return;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t length =
            std::min(Utf8Length(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        const std::string one = utf8.substr(i, length);
        i += length;
        const std::string converted = Utf8ToCp1251(one);
        // The converter writes '?' for what the code page lacks; a real '?' is typed as is.
        if (converted.size() != 1 || (converted[0] == '?' && one != "?")) continue;
        out.push_back(CharEvent(static_cast<std::uint8_t>(converted[0])));
    }
}

WindowEvent EventTranslator::Pointer(WindowEvent::Type type, int x, int y) const {
    WindowEvent event;
    event.type = type;
    event.x = std::clamp(x, 0, std::max(0, frameWidth_ - 1));
    event.y = std::clamp(y, 0, std::max(0, frameHeight_ - 1));
    return event;
}

void EventTranslator::MouseMove(int x, int y, std::vector<WindowEvent>& out) const {
    out.push_back(Pointer(WindowEvent::Type::MouseMove, x, y));
}

void EventTranslator::MouseButton(bool down, bool leftButton, int clicks, int x, int y,
                                  std::vector<WindowEvent>& out) const {
    out.push_back(Pointer(down ? WindowEvent::Type::MouseDown : WindowEvent::Type::MouseUp, x, y));
    if (down || !leftButton) return;
    // The second press of a quick pair is a double click; a third starts a new pair, as the
    // system counts them.
    const bool second = clicks >= 2 && clicks % 2 == 0;
    out.push_back(
        Pointer(second ? WindowEvent::Type::DoubleClick : WindowEvent::Type::Click, x, y));
}

}  // namespace vrumbal
