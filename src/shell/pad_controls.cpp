// The controllers turned into states: what each button means in each context, sticks and
// triggers with their hysteresis, repeats of held directions, and the character picker.
#include "shell/pad_controls.h"

#include <algorithm>
#include <tuple>

namespace vrumbal {
namespace {

constexpr std::uint8_t kBackspace = 8;
constexpr std::uint8_t kEnter = 13;

// A stick half that presses past kStickPress and lets go inside kStickRelease.
bool Hysteresis(bool pressed, int value, int press, int release) {
    return pressed ? value > release : value >= press;
}

// What a button does in a context, as one number: an input state, or one of these. Directions
// mean the arrows everywhere.
constexpr int kNothing = -1;
constexpr int kChoose = 100;  // types Enter
constexpr int kNext = 101;    // the picker's next character
constexpr int kErase = 102;   // the picker's Backspace

}  // namespace

int PadControls::Meaning(int control, PadContext context) {
    switch (context) {
        case PadContext::Race:
            switch (control) {
                case kA:
                case kRT:
                    return kStateUp;
                case kB:
                case kLT:
                    return kStateDown;
                case kX:
                    return kStateSpace;
                case kY:
                    return kStateH;
                case kStart:
                    return kStatePause;
                case kBack:
                    return kStateEscape;
                default:
                    return kNothing;
            }
        case PadContext::Pause:
            if (control == kStart) return kStatePause;
            return control == kB || control == kBack ? kStateEscape : kNothing;
        case PadContext::Question:
            if (control == kA || control == kStart) return kChoose;
            return control == kB || control == kBack ? kStateNo : kNothing;
        case PadContext::Text:
            if (control == kStart) return kChoose;
            return control == kA ? kNext : control == kB ? kErase : kNothing;
        case PadContext::Menu:
            if (control == kA || control == kStart) return kChoose;
            return control == kB || control == kBack ? kStateEscape : kNothing;
    }
    return kNothing;
}

const std::vector<std::uint8_t>& PadControls::PickerCharacters() {
    static const std::vector<std::uint8_t> characters = [] {
        std::vector<std::uint8_t> c;
        // The Cyrillic alphabet in its order: Ё after Е, ё after е.
        for (int ch = 0xC0; ch <= 0xFF; ++ch) {
            c.push_back(static_cast<std::uint8_t>(ch));
            if (ch == 0xC5) c.push_back(0xA8);
            if (ch == 0xE5) c.push_back(0xB8);
        }
        for (int ch = 'A'; ch <= 'Z'; ++ch) c.push_back(static_cast<std::uint8_t>(ch));
        for (int ch = 'a'; ch <= 'z'; ++ch) c.push_back(static_cast<std::uint8_t>(ch));
        for (int ch = '0'; ch <= '9'; ++ch) c.push_back(static_cast<std::uint8_t>(ch));
        c.push_back(' ');
        return c;
    }();
    return characters;
}

void PadControls::Observe(const PadEvent& e) {
    switch (e.type) {
        case PadEvent::Type::Added:
            pads_[e.pad] = Pad{};
            if (inUse_ < 0) inUse_ = e.pad;
            return;
        case PadEvent::Type::Removed:
            pads_.erase(e.pad);
            if (e.pad == inUse_) {
                inUseLost_ = true;
                inUse_ = pads_.empty() ? -1 : pads_.begin()->first;
            }
            return;
        default:
            break;
    }
    const auto it = pads_.find(e.pad);
    if (it == pads_.end()) return;
    Pad& p = it->second;
    bool pressed = false;
    if (e.type == PadEvent::Type::Button) {
        if (e.control < 0 || e.control >= kPadButtons) return;
        p.buttons[e.control] = e.value != 0;
        pressed = e.value != 0;
    } else {
        const auto before = std::make_tuple(p.stickUp, p.stickDown, p.stickLeft, p.stickRight,
                                            p.triggerLeft, p.triggerRight);
        switch (static_cast<PadAxis>(e.control)) {
            case PadAxis::LeftX:
                p.stickLeft = Hysteresis(p.stickLeft, -e.value, kStickPress, kStickRelease);
                p.stickRight = Hysteresis(p.stickRight, e.value, kStickPress, kStickRelease);
                break;
            case PadAxis::LeftY:
                p.stickUp = Hysteresis(p.stickUp, -e.value, kStickPress, kStickRelease);
                p.stickDown = Hysteresis(p.stickDown, e.value, kStickPress, kStickRelease);
                break;
            case PadAxis::TriggerLeft:
                p.triggerLeft = Hysteresis(p.triggerLeft, e.value, kTriggerPress, kTriggerRelease);
                break;
            case PadAxis::TriggerRight:
                p.triggerRight =
                    Hysteresis(p.triggerRight, e.value, kTriggerPress, kTriggerRelease);
                break;
            default:
                return;  // the right stick does nothing here
        }
        const auto after = std::make_tuple(p.stickUp, p.stickDown, p.stickLeft, p.stickRight,
                                           p.triggerLeft, p.triggerRight);
        pressed = after != before && (p.stickUp || p.stickDown || p.stickLeft || p.stickRight ||
                                      p.triggerLeft || p.triggerRight);
    }
    if (pressed) inUse_ = e.pad;
}

bool PadControls::TakeInUseLost() {
    const bool lost = inUseLost_;
    inUseLost_ = false;
    return lost;
}

void PadControls::ReleaseAll() {
    for (auto& [id, pad] : pads_) pad = Pad{};
}

bool PadControls::AnyHolds(int control) const {
    auto button = [](const Pad& p, PadButton b) { return p.buttons[static_cast<int>(b)]; };
    for (const auto& [id, p] : pads_) {
        bool down = false;
        switch (control) {
            case kA:
                down = button(p, PadButton::A);
                break;
            case kB:
                down = button(p, PadButton::B);
                break;
            case kX:
                down = button(p, PadButton::X);
                break;
            case kY:
                down = button(p, PadButton::Y);
                break;
            case kBack:
                down = button(p, PadButton::Back);
                break;
            case kStart:
                down = button(p, PadButton::Start);
                break;
            case kUp:
                down = button(p, PadButton::DpadUp) || p.stickUp;
                break;
            case kDown:
                down = button(p, PadButton::DpadDown) || p.stickDown;
                break;
            case kLeft:
                down = button(p, PadButton::DpadLeft) || p.stickLeft;
                break;
            case kRight:
                down = button(p, PadButton::DpadRight) || p.stickRight;
                break;
            case kLT:
                down = p.triggerLeft;
                break;
            case kRT:
                down = p.triggerRight;
                break;
            default:
                break;
        }
        if (down) return true;
    }
    return false;
}

int PadControls::Pulses(Held& h, bool pressed, std::uint32_t nowMs) {
    int pulses = pressed ? 1 : 0;
    const std::uint32_t held = nowMs - h.since;
    if (h.down && held >= kRepeatDelayMs) {
        const std::uint32_t due = 1 + (held - kRepeatDelayMs) / kRepeatIntervalMs;
        pulses += static_cast<int>(due - h.repeats);
        h.repeats = due;
    }
    return pulses;
}

std::vector<std::uint8_t> PadControls::Frame(PadContext context, std::uint32_t nowMs,
                                             const std::string& text) {
    std::array<bool, kControls> press{};
    for (int c = 0; c < kControls; ++c) {
        Held& h = held_[c];
        if (!AnyHolds(c)) {
            h = Held{};
            continue;
        }
        if (!h.down) {
            h = Held{true, Meaning(c, context), nowMs, 0};
            press[c] = true;
        }
    }
    // A button keeps the meaning it had when it went down: held into a context where it
    // means something else, it does nothing until it is pressed again (the brake held as a
    // notice opens is not the notice's Escape), while the throttle held through the pause
    // rides on after it.
    auto live = [&](int c) {
        const Held& h = held_[c];
        return h.down && (c >= kUp && c <= kRight ? true : Meaning(c, context) == h.meaning);
    };
    std::array<int, kControls> pulses{};
    for (int c = kUp; c <= kRight; ++c) pulses[c] = Pulses(held_[c], press[c], nowMs);

    TInputStateSet s;
    auto hold = [&](int state, bool on) {
        if (on) s.Include(state);
    };
    std::vector<std::uint8_t> typed;
    if (context == PadContext::Race) {
        hold(kStateUp, live(kUp) || live(kRT) || live(kA));
        hold(kStateDown, live(kDown) || live(kLT) || live(kB));
        hold(kStateLeft, live(kLeft));
        hold(kStateRight, live(kRight));
        hold(kStateSpace, live(kX));
        hold(kStateH, live(kY));
        hold(kStatePause, live(kStart));
        hold(kStateEscape, live(kBack));
    } else if (context == PadContext::Text) {
        // The last character is the one being chosen; right or A keeps it and starts the next
        // as a copy of it, left or B takes it away.
        const auto& chars = PickerCharacters();
        std::string t = text;
        auto step = [&](int by) {
            if (t.empty()) {
                const std::uint8_t first = by > 0 ? chars.front() : chars.back();
                typed.push_back(first);
                t.push_back(static_cast<char>(first));
                return;
            }
            const auto at =
                std::find(chars.begin(), chars.end(), static_cast<std::uint8_t>(t.back()));
            const int n = static_cast<int>(chars.size());
            const int i = at == chars.end() ? 0 : static_cast<int>(at - chars.begin());
            const std::uint8_t next = chars[static_cast<std::size_t>(((i + by) % n + n) % n)];
            typed.push_back(kBackspace);
            typed.push_back(next);
            t.back() = static_cast<char>(next);
        };
        for (int i = 0; i < pulses[kUp]; ++i) step(1);
        for (int i = 0; i < pulses[kDown]; ++i) step(-1);
        const int next = pulses[kRight] + (press[kA] ? 1 : 0);
        for (int i = 0; i < next; ++i) {
            const std::uint8_t copy =
                t.empty() ? chars.front() : static_cast<std::uint8_t>(t.back());
            typed.push_back(copy);
            t.push_back(static_cast<char>(copy));
        }
        const int erase = pulses[kLeft] + (press[kB] ? 1 : 0);
        for (int i = 0; i < erase; ++i) {
            typed.push_back(kBackspace);
            if (!t.empty()) t.pop_back();
        }
        if (press[kStart]) typed.push_back(kEnter);
    } else {
        // Menus: a held direction lets go for one frame whenever it repeats, so the edges
        // the menus read come again.
        for (int c = kUp; c <= kRight; ++c) {
            const bool repeatsNow = pulses[c] > 0 && !press[c];
            hold(kStateUp + (c - kUp), live(c) && !repeatsNow);
        }
        if (context == PadContext::Pause) {
            hold(kStatePause, live(kStart));
            hold(kStateEscape, live(kB) || live(kBack));
        } else {
            if (press[kA] || press[kStart]) typed.push_back(kEnter);
            if (context == PadContext::Question) {
                hold(kStateNo, live(kB) || live(kBack));
            } else {
                hold(kStateEscape, live(kB) || live(kBack));
            }
        }
    }
    states_ = s;
    return typed;
}

}  // namespace vrumbal
