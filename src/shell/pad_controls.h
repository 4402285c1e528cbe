// The game controllers mapped onto the keyboard's input states and typed characters, by what
// the game is doing.
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/input_states.h"
#include "platform/gamepads.h"

namespace vrumbal {

// What the game is doing, as far as a controller's buttons care.
enum class PadContext : std::uint8_t {
    Race,      // riding, no dialog: the face buttons ride the bike
    Menu,      // menus, sub-screens and notices: A chooses, B goes back
    Pause,     // the pause: Start or B ends it
    Question,  // a yes/no question: A answers the selected button, B says no
    Text,      // a name or the country being typed: the character picker
};

// The game controllers mapped onto the keyboard's input states and typed characters, so that
// nothing past the input component learns that a controller exists. Every connected
// controller controls the game; the one that did something last is the one in use.
class PadControls final : public StateSource {
public:
    // A held direction repeats after this long, then at this interval, as a keyboard does.
    static constexpr std::uint32_t kRepeatDelayMs = 400;
    static constexpr std::uint32_t kRepeatIntervalMs = 90;
    // A stick direction counts as pressed past the first value and released below the second;
    // a trigger likewise. The gap keeps a resting stick quiet and a held one steady.
    static constexpr int kStickPress = 16000;
    static constexpr int kStickRelease = 10000;
    static constexpr int kTriggerPress = 12000;
    static constexpr int kTriggerRelease = 6000;

    // The characters the picker offers, in order: the Cyrillic alphabet, capitals first, the
    // Latin one, the digits and the space.
    static const std::vector<std::uint8_t>& PickerCharacters();

    // Takes note of what a controller did.
    void Observe(const PadEvent& event);
    // One frame at time nowMs: sets the states the controllers hold for the context and
    // returns the characters they type (Backspace 8 and Enter 13 among them). text is the
    // text being edited in the Text context.
    std::vector<std::uint8_t> Frame(PadContext context, std::uint32_t nowMs,
                                    const std::string& text);
    // The states of the last frame.
    TInputStateSet ReadStates() override { return states_; }
    // Controllers connected.
    int Connected() const { return static_cast<int>(pads_.size()); }
    // The controller in use, -1 when none is.
    int InUse() const { return inUse_; }
    // True once after the controller in use was pulled out.
    bool TakeInUseLost();
    // Lets go of everything held: the window went behind another, and SDL tells a controller's
    // changes only to the window in front.
    void ReleaseAll();

private:
    // The controls the game reads, each held when any controller holds it.
    enum Control : int {
        kA,
        kB,
        kX,
        kY,
        kBack,
        kStart,
        kUp,
        kDown,
        kLeft,
        kRight,
        kLT,
        kRT,
        kControls
    };
    // One controller's buttons, and its sticks and triggers as pressed directions.
    struct Pad {
        std::array<bool, kPadButtons> buttons{};
        bool stickUp = false, stickDown = false, stickLeft = false, stickRight = false;
        bool triggerLeft = false, triggerRight = false;
    };
    // A control across all controllers, from frame to frame.
    struct Held {
        bool down = false;          // held now
        int meaning = -1;           // what it did when it went down
        std::uint32_t since = 0;    // when it went down
        std::uint32_t repeats = 0;  // repeats delivered since
    };

    bool AnyHolds(int control) const;
    // What a control does in a context (an input state, or what it types).
    static int Meaning(int control, PadContext context);
    // The presses of a direction this frame: the first and the repeats of a held one.
    int Pulses(Held& h, bool pressed, std::uint32_t nowMs);

    std::map<int, Pad> pads_;             // connected controllers by id
    std::array<Held, kControls> held_{};  // each control
    TInputStateSet states_;               // the states of the last frame
    int inUse_ = -1;                      // the controller in use
    bool inUseLost_ = false;              // it was pulled out
};

}  // namespace vrumbal
