// A game controller that exists only in software, for tools and tests to play with.
#pragma once
#include <memory>

#include "platform/gamepads.h"

namespace vrumbal {

// A game controller that exists only in software, attached through SDL's virtual joystick so
// that the game receives it exactly as it receives a controller plugged in: tools and tests
// press its buttons and move its axes. It is pulled out when it goes.
class VirtualPad final {
public:
    // Attaches a new controller with the standard layout; Attached() tells whether SDL took it.
    VirtualPad();
    ~VirtualPad();
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    // Whether the controller is attached.
    bool Attached() const;
    // Presses or lets go of a button; the game sees it at its next poll.
    bool SetButton(PadButton button, bool down);
    // Moves an axis (-32768..32767; triggers 0..32767).
    bool SetAxis(PadAxis axis, int value);
    // The strength (0..1) of the last rumble the game started on it, and how many it started.
    double LastRumble() const;
    int Rumbles() const;

private:
    struct Device;
    std::unique_ptr<Device> device_;  // the SDL side
};

}  // namespace vrumbal
