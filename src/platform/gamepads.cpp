// The names of a game controller's buttons and axes, as the controller database spells them.
#include "platform/gamepads.h"

#include <array>

namespace vrumbal {
namespace {

constexpr std::array<const char*, kPadButtons> kButtonNames = {"a",
                                                               "b",
                                                               "x",
                                                               "y",
                                                               "back",
                                                               "guide",
                                                               "start",
                                                               "leftstick",
                                                               "rightstick",
                                                               "leftshoulder",
                                                               "rightshoulder",
                                                               "dpup",
                                                               "dpdown",
                                                               "dpleft",
                                                               "dpright"};
constexpr std::array<const char*, kPadAxes> kAxisNames = {"leftx",  "lefty",       "rightx",
                                                          "righty", "triggerleft", "triggerright"};

}  // namespace

std::optional<PadButton> PadButtonNamed(const std::string& name) {
    for (std::size_t i = 0; i < kButtonNames.size(); ++i) {
        if (name == kButtonNames[i]) return static_cast<PadButton>(i);
    }
    return std::nullopt;
}

std::optional<PadAxis> PadAxisNamed(const std::string& name) {
    for (std::size_t i = 0; i < kAxisNames.size(); ++i) {
        if (name == kAxisNames[i]) return static_cast<PadAxis>(i);
    }
    return std::nullopt;
}

}  // namespace vrumbal
