// The autopilot's steering: aim at the right lane a few rows ahead, slow for the bends.
#include "shell/autopilot.h"

#include <algorithm>
#include <cmath>

#include "race/race_screen.h"
#include "race/scroll_background.h"
#include "shell/main_form.h"

namespace vrumbal {
namespace {

// The keys it holds, as the window names them.
constexpr int kKeyLeft = 0x25, kKeyUp = 0x26, kKeyRight = 0x27;
constexpr int kLookAhead = 2;       // rows ahead the bike aims at
constexpr double kLaneOffset = 30;  // right of the centre line: the rivals keep to the left
constexpr double kBendSpeed = 70;   // fastest speed through a bend

}  // namespace

void Autopilot::Steer() {
    const RaceState& race = form_.Race();
    const TScrollBackground* road = form_.RaceFlow().Road();
    const TPlayer* rider = form_.RaceFlow().Bike();
    if (road == nullptr || rider == nullptr || form_.State().DialogKind != kDialogNone) {
        Hold(kKeyLeft, false);
        Hold(kKeyRight, false);
        Hold(kKeyUp, false);
        return;
    }
    const TPlayer& bike = *rider;
    // The bike rides at a fixed place of the screen; the road moves under it.
    const double bikeX = TPlayer::kScreenX + 72.0 * race.ViewColumn - road->X;
    const double bikeY = TPlayer::kScreenY + 72.0 * race.ViewRow - road->Y;
    const int row = static_cast<int>(std::floor(bikeY / 72.0)) - 1;
    const double error = race.RoadXAt(row - kLookAhead) + kLaneOffset - bikeX;
    const double wanted = std::clamp(error * 0.12, -24.0, 24.0);
    Hold(kKeyLeft, wanted < bike.Heading - 1);
    Hold(kKeyRight, wanted > bike.Heading + 1);
    // A section that shifts the road is not kind 1.
    bool bend = false;
    for (int r = row - 6; r <= row; ++r) bend = bend || race.SectionKindEntry(r + 2) != 1;
    Hold(kKeyUp, !(bend && bike.Speed > kBendSpeed));
}

void Autopilot::Hold(int key, bool down) {
    bool& held = key == kKeyLeft ? left_ : key == kKeyRight ? right_ : up_;
    if (down == held) return;
    held = down;
    WindowEvent e{down ? WindowEvent::Type::KeyDown : WindowEvent::Type::KeyUp};
    e.key = key;
    form_.HandleEvent(e);
}

}  // namespace vrumbal
