// The game controllers: their standard buttons and axes, the events they send, and rumble.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vrumbal {

// The buttons of a game controller, in the standard layout (the bottom face button is A).
enum class PadButton : std::uint8_t {
    A,
    B,
    X,
    Y,
    Back,
    Guide,
    Start,
    LeftStick,
    RightStick,
    LeftShoulder,
    RightShoulder,
    DpadUp,
    DpadDown,
    DpadLeft,
    DpadRight,
};
// Number of buttons.
inline constexpr int kPadButtons = 15;

// The axes of a game controller: sticks -32768..32767 (negative is left and up), triggers
// 0..32767.
enum class PadAxis : std::uint8_t { LeftX, LeftY, RightX, RightY, TriggerLeft, TriggerRight };
// Number of axes.
inline constexpr int kPadAxes = 6;

// One thing a game controller did.
struct PadEvent {
    enum class Type : std::uint8_t {
        Added,    // a controller was connected (also those present at start)
        Removed,  // a controller was pulled out
        Button,   // a button went down (value 1) or up (value 0)
        Axis,     // an axis moved to value
    };
    Type type = Type::Added;  // what happened
    int pad = 0;              // which controller: an id that stays while it is connected
    int control = 0;          // PadButton or PadAxis
    int value = 0;            // see type
};

// The button and the axis a name stands for: "a", "b", "start", "dpup" ... as the controller
// database names buttons, "leftx", "lefty", "rightx", "righty", "triggerleft", "triggerright".
std::optional<PadButton> PadButtonNamed(const std::string& name);
std::optional<PadAxis> PadAxisNamed(const std::string& name);

// The game controllers of the machine: any number, plugged in and out at any time.
class Gamepads {
public:
    virtual ~Gamepads() = default;
    // Takes what the controllers did since the last poll, in order.
    virtual void Poll(std::vector<PadEvent>& out) = 0;
    // Controllers connected now.
    virtual int Count() const = 0;
    // Shakes a controller that can: strength 0..1 for the given time. False when it cannot.
    virtual bool Rumble(int pad, double strength, int milliseconds) = 0;
};

// The controllers SDL knows (through its mapping database), or nothing when its game
// controller support cannot start.
std::unique_ptr<Gamepads> CreateSdlGamepads();

}  // namespace vrumbal
