// The software controller on SDL's virtual joystick: attached and pulled out, its buttons and
// axes set, and its rumbles counted.
#include "platform/virtual_pad.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace vrumbal {

struct VirtualPad::Device {
    SDL_JoystickID id = -1;            // instance id while attached
    SDL_Joystick* joystick = nullptr;  // our own handle, to set its values
    double lastRumble = 0;             // strength of the last rumble
    int rumbles = 0;                   // rumbles started
    bool subsystem = false;            // the joystick subsystem was started for it

    static int Rumble(void* userdata, Uint16 low, Uint16 high) {
        auto* self = static_cast<Device*>(userdata);
        self->lastRumble = std::max(low, high) / 65535.0;
        ++self->rumbles;
        return 0;
    }
};

VirtualPad::VirtualPad() : device_(std::make_unique<Device>()) {
    Device& d = *device_;
    d.subsystem = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    if (!d.subsystem) return;
    SDL_VirtualJoystickDesc desc;
    std::memset(&desc, 0, sizeof desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = kPadAxes;
    desc.nbuttons = kPadButtons;
    desc.name = "Vrumbal virtual controller";
    desc.userdata = &d;
    desc.Rumble = &Device::Rumble;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0) return;
    d.id = SDL_JoystickGetDeviceInstanceID(index);
    d.joystick = SDL_JoystickOpen(index);
    // At rest the triggers are released, not half pressed.
    if (d.joystick != nullptr) {
        SDL_JoystickSetVirtualAxis(d.joystick, SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
        SDL_JoystickSetVirtualAxis(d.joystick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    }
}

VirtualPad::~VirtualPad() {
    Device& d = *device_;
    if (d.joystick != nullptr) SDL_JoystickClose(d.joystick);
    if (d.id >= 0) {
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == d.id) {
                SDL_JoystickDetachVirtual(i);
                break;
            }
        }
    }
    if (d.subsystem) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

bool VirtualPad::Attached() const {
    return device_->joystick != nullptr;
}

bool VirtualPad::SetButton(PadButton button, bool down) {
    if (!Attached()) return false;
    return SDL_JoystickSetVirtualButton(device_->joystick, static_cast<int>(button),
                                        down ? 1 : 0) == 0;
}

bool VirtualPad::SetAxis(PadAxis axis, int value) {
    if (!Attached()) return false;
    int raw = std::clamp(value, -32768, 32767);
    // A trigger's joystick axis runs the whole range; the controller layer halves it to
    // 0..32767, so a trigger value is stretched back out here.
    if (axis == PadAxis::TriggerLeft || axis == PadAxis::TriggerRight) {
        raw = std::clamp(value, 0, 32767) * 2 - 32768;
    }
    return SDL_JoystickSetVirtualAxis(device_->joystick, static_cast<int>(axis),
                                      static_cast<Sint16>(raw)) == 0;
}

double VirtualPad::LastRumble() const {
    return device_->lastRumble;
}

int VirtualPad::Rumbles() const {
    return device_->rumbles;
}

}  // namespace vrumbal
