// A developer's play script: window events, controller actions and shots, by frame number.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/events.h"

namespace vrumbal {

// A scripted game controller action: a virtual controller connected or pulled out, a button
// pressed or let go, an axis moved.
struct PadAction {
    enum class Type : std::uint8_t { Connect, Disconnect, Button, Axis };
    Type type = Type::Connect;  // what to do
    int control = 0;            // PadButton or PadAxis
    int value = 0;              // button down (1) or up (0); the axis value
};

// A developer's script: window events, controller actions and shots by frame number. Lines are
// "FRAME EVENT";
// '#' starts a comment.
class PlayScript final {
public:
    // Parses a whole script. Returns "" or a message naming the first bad line.
    std::string Parse(const std::string& text);
    // The events to deliver before the given frame, in script order.
    const std::vector<WindowEvent>& EventsBefore(long frame) const;
    // The controller actions to carry out before the given frame, in script order.
    const std::vector<PadAction>& PadActionsBefore(long frame) const;
    // The shots to take after the given frame.
    std::vector<std::string> ShotsAfter(long frame) const;

private:
    std::string ParseLine(long frame, const std::string& rest);
    void Add(long frame, const WindowEvent& e);

    std::map<long, std::vector<WindowEvent>> events_;  // window events by frame
    std::map<long, std::vector<std::string>> shots_;   // shot names by frame
    std::map<long, std::vector<PadAction>> pads_;      // controller actions by frame
    std::vector<PadAction> noPads_;                    // the answer for a frame without any
    std::vector<WindowEvent> none_;                    // the answer for a quiet frame
    std::uint8_t shift_ = 0;                           // modifiers held, as scripted
};

// The virtual-key code of a script key name (Up, Enter, F1, A, 0 ...), if there is one.
std::optional<int> ScriptKeyCode(const std::string& name);

}  // namespace vrumbal
