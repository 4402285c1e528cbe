// The input states at work: the state set's bits, the game's key table, and each frame's poll of
// the keyboard and the game controllers.
#include "engine/input_states.h"

namespace vrumbal {

bool TInputStateSet::Contains(int n) const {
    if (n < 0 || n >= kInputStateCount) return false;
    return (bits_[n / 8] >> (n % 8) & 1) != 0;
}

std::uint64_t TInputStateSet::Bits() const {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < bits_.size(); ++i) bits |= std::uint64_t{bits_[i]} << (8 * i);
    return bits;
}

TInputStateSet TInputStateSet::FromBits(std::uint64_t bits) {
    TInputStateSet set;
    for (int n = 0; n < kInputStateCount; ++n) {
        if ((bits >> n) & 1) set.Include(n);
    }
    return set;
}

void TInputStateSet::Include(int n) {
    if (n < 0 || n >= kInputStateCount) return;
    bits_[n / 8] = static_cast<std::uint8_t>(bits_[n / 8] | 1u << (n % 8));
}

void TInputStateSet::Exclude(int n) {
    if (n < 0 || n >= kInputStateCount) return;
    bits_[n / 8] = static_cast<std::uint8_t>(bits_[n / 8] & ~(1u << (n % 8)));
}

bool TInputStateSet::Empty() const {
    for (std::uint8_t b : bits_) {
        if (b != 0) return false;
    }
    return true;
}

KeyAssigns GameKeyAssigns() {
    KeyAssigns table{};
    const auto bind = [&table](int state, int key) { table[state][0] = key; };
    bind(kStateUp, 0x26);
    bind(kStateDown, 0x28);
    bind(kStateLeft, 0x25);
    bind(kStateRight, 0x27);
    bind(kStateH, 0x48);
    bind(kStatePause, 0x50);
    bind(kStateYes, 0x59);
    bind(kStateNo, 0x4E);
    bind(kStateEscape, 0x1B);
    bind(kStateSpace, 0x20);
    bind(kStateEnter, 0x0D);
    bind(15, 0x5A);  // Z
    bind(16, 0x58);  // X
    bind(17, 0x43);  // C
    bind(18, 0x56);  // V
    bind(19, 0x42);  // B
    for (int digit = 1; digit <= 9; ++digit) bind(19 + digit, 0x30 + digit);
    bind(29, 0x30);  // the 0 key comes after 9, as on the keyboard
    return table;
}

void TKeyboard::Update() {
    keys_.fill(0);
    states_ = TInputStateSet{};
    if (source_ == nullptr) return;
    // In the background every state reads as released, whatever is held.
    if (ActiveOnly && !source_->IsForeground()) return;
    source_->ReadKeys(keys_);
    for (int state = 0; state < kInputStateCount; ++state) {
        for (int key : Assigns[state]) {
            if (key >= 1 && key <= 255 && (keys_[key] & 0x80) != 0) {
                states_.Include(state);
                break;
            }
        }
    }
}

TDXInput::TDXInput(KeyboardSource* source, StateSource* pads) : keyboard_(source), joystick_(pads) {
    keyboard_.Assigns = GameKeyAssigns();
}

void TDXInput::Update() {
    TInputStateSet raw;
    if (keyboard_.Enabled) {
        keyboard_.Update();
        if (keyboard_.BindInputStates) raw = keyboard_.States();
    }
    if (joystick_.Enabled) {
        joystick_.Update();
        if (joystick_.BindInputStates) {
            for (int i = 0; i < kInputStateCount; ++i) {
                if (joystick_.States().Contains(i)) raw.Include(i);
            }
        }
    }
    for (int i = 0; i < kInputStateCount; ++i) {
        const bool now = raw.Contains(i);
        const bool before = previous_.Contains(i);
        if (now && !before) states_.Include(i);
        if (!now && before) states_.Exclude(i);
    }
    previous_ = raw;
}

}  // namespace vrumbal
