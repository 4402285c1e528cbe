// A rider for the tools and the tests: it rides the race through the window's key events, as
// a player at the keyboard would.
#pragma once

namespace vrumbal {

class TMForm;

// Keeps the bike over the road's right lane a few rows ahead and eases off for the bends, by
// holding Up, Left and Right. Rides a whole level without a crash more often than not.
class Autopilot final {
public:
    // Rides the form's races; the form must outlive it.
    explicit Autopilot(TMForm& form) : form_(form) {}

    // Chooses the keys for the next frame; lets go of them all while no race is ridden.
    void Steer();

private:
    // Presses or releases a key unless it is so already.
    void Hold(int key, bool down);

    TMForm& form_;
    bool left_ = false;   // Left is held
    bool right_ = false;  // Right is held
    bool up_ = false;     // Up (the throttle) is held
};

}  // namespace vrumbal
