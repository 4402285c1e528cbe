// The game's input: the numbered states, the keyboard and controller devices that hold them, and
// the input component that polls both once a frame.
#pragma once
#include <array>
#include <cstdint>

#include "engine/keyboard_source.h"

namespace vrumbal {

// The input states the game reads, by number.
enum InputState : int {
    kStateUp = 0,       // Up arrow
    kStateDown = 1,     // Down arrow
    kStateLeft = 2,     // Left arrow
    kStateRight = 3,    // Right arrow
    kStateH = 8,        // H
    kStatePause = 9,    // P
    kStateYes = 10,     // Y
    kStateNo = 11,      // N
    kStateEscape = 12,  // Escape
    kStateSpace = 13,   // Space
    kStateEnter = 14,   // Enter (the game acts on it through key presses instead)
};

// Number of input states.
inline constexpr int kInputStateCount = 36;

// A set of input states 0..35: bit n mod 8 of byte n div 8 is state n.
class TInputStateSet {
public:
    // True when state n is in the set (false for numbers outside 0..35).
    bool Contains(int n) const;
    // Puts state n into the set.
    void Include(int n);
    // Takes state n out of the set.
    void Exclude(int n);
    // True when no state is set.
    bool Empty() const;
    // The five bytes of the set.
    const std::array<std::uint8_t, 5>& Bytes() const { return bits_; }
    // The set as one number, bit n = state n.
    std::uint64_t Bits() const;
    // The set whose state n is bit n of bits (bits above 35 are dropped).
    static TInputStateSet FromBits(std::uint64_t bits);
    bool operator==(const TInputStateSet&) const = default;

private:
    std::array<std::uint8_t, 5> bits_{};  // 36 bits, the rest 0
};

// The keys bound to each state: up to three virtual-key codes per state, 0 = none.
using KeyAssigns = std::array<std::array<int, 3>, kInputStateCount>;

// The game's key table: arrows, H, P, Y, N, Escape, Space, Enter, Z X C V B and the digits,
// one key per state.
KeyAssigns GameKeyAssigns();

// The keyboard device: polls the key source and maps the keys held onto states.
class TKeyboard final {
public:
    // A keyboard reading the given source (not owned; null: never acquired, no states).
    explicit TKeyboard(KeyboardSource* source) : source_(source) {}
    // The key table.
    KeyAssigns Assigns{};
    // Read only while the game's window is in front.
    bool ActiveOnly = true;
    // The device takes part in polling.
    bool Enabled = true;
    // Its states are merged into the component's set.
    bool BindInputStates = true;

    // Polls the keys and rebuilds the key flags and the keyboard's state set.
    void Update();
    // Key flags of the last poll, by virtual-key code; bit 7 = down.
    const std::array<std::uint8_t, 256>& Keys() const { return keys_; }
    // States whose keys were down at the last poll.
    const TInputStateSet& States() const { return states_; }

private:
    KeyboardSource* source_;                // not owned
    std::array<std::uint8_t, 256> keys_{};  // bit 7 = down
    TInputStateSet states_;                 // from the last poll
};

// Where the joystick device learns which states its controllers hold: the shell maps the
// game controllers onto states, tests hand over a set.
class StateSource {
public:
    virtual ~StateSource() = default;
    // The states held by the controllers now.
    virtual TInputStateSet ReadStates() = 0;
};

// The joystick device: the game controllers, already mapped onto states by their source.
class TJoystick final {
public:
    // A joystick reading the given source (not owned; null: no states).
    explicit TJoystick(StateSource* source) : source_(source) {}
    // The device takes part in polling.
    bool Enabled = true;
    // Its states are merged into the component's set.
    bool BindInputStates = true;

    // Polls the source.
    void Update() { states_ = source_ != nullptr ? source_->ReadStates() : TInputStateSet{}; }
    // States held at the last poll.
    const TInputStateSet& States() const { return states_; }

private:
    StateSource* source_;    // not owned
    TInputStateSet states_;  // from the last poll
};

// The input component: one poll per frame turns the keys and the game controllers into the
// state set; a state is held while any device holds it. The mouse is not a device here.
class TDXInput final {
public:
    // A component whose keyboard reads the given source with the game's key table, and whose
    // joystick reads the given controllers.
    explicit TDXInput(KeyboardSource* source = nullptr, StateSource* pads = nullptr);

    // Polls the devices and updates the state set: a state is added when it is pressed and
    // removed when it is released.
    void Update();
    // True when state n is in the state set.
    bool State(int n) const { return states_.Contains(n); }
    // The state set; a caller may take a state out to consume a press.
    TInputStateSet& States() { return states_; }
    // Takes the given set as the frame's states instead of polling (a replay plays back what
    // a recorded frame read).
    void Replace(const TInputStateSet& states) { states_ = states; }
    // Back to the devices after Replace: the states are what they held at the last poll.
    void EndReplace() { states_ = previous_; }
    // The keyboard device.
    TKeyboard& Keyboard() { return keyboard_; }
    // The game controllers' device.
    TJoystick& Joystick() { return joystick_; }

private:
    TKeyboard keyboard_;       // the keys
    TJoystick joystick_;       // the game controllers
    TInputStateSet states_;    // the state set
    TInputStateSet previous_;  // raw set of the previous poll
};

}  // namespace vrumbal
