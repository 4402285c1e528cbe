// The game controllers through SDL's game controller layer: its mapping database turns any
// controller it knows into the standard layout of buttons and axes.
#include <SDL.h>

#include <algorithm>
#include <map>

#include "platform/gamepads.h"

namespace vrumbal {

namespace {

class SdlGamepads final : public Gamepads {
public:
    SdlGamepads() = default;
    ~SdlGamepads() override {
        for (auto& [id, controller] : open_) SDL_GameControllerClose(controller);
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
    SdlGamepads(const SdlGamepads&) = delete;
    SdlGamepads& operator=(const SdlGamepads&) = delete;

    void Poll(std::vector<PadEvent>& out) override {
        SDL_PumpEvents();
        // Only the controllers' events are taken; the window's stay queued for the display.
        SDL_Event events[64];
        int n = 0;
        while ((n = SDL_PeepEvents(events, 64, SDL_GETEVENT, SDL_JOYAXISMOTION,
                                   SDL_CONTROLLERSENSORUPDATE)) > 0) {
            for (int i = 0; i < n; ++i) Translate(events[i], out);
        }
    }

    int Count() const override { return static_cast<int>(open_.size()); }

    bool Rumble(int pad, double strength, int milliseconds) override {
        const auto it = open_.find(pad);
        if (it == open_.end()) return false;
        const auto level = static_cast<Uint16>(std::clamp(strength, 0.0, 1.0) * 65535.0 + 0.5);
        return SDL_GameControllerRumble(it->second, level, level,
                                        static_cast<Uint32>(std::max(milliseconds, 0))) == 0;
    }

private:
    void Translate(const SDL_Event& e, std::vector<PadEvent>& out) {
        switch (e.type) {
            case SDL_CONTROLLERDEVICEADDED: {
                SDL_GameController* controller = SDL_GameControllerOpen(e.cdevice.which);
                if (controller == nullptr) return;
                const int id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
                if (open_.count(id) != 0) {
                    // Told twice (present at start and announced again): one is enough.
                    SDL_GameControllerClose(controller);
                    return;
                }
                open_[id] = controller;
                out.push_back({PadEvent::Type::Added, id, 0, 0});
                return;
            }
            case SDL_CONTROLLERDEVICEREMOVED: {
                const auto it = open_.find(e.cdevice.which);
                if (it == open_.end()) return;
                SDL_GameControllerClose(it->second);
                open_.erase(it);
                out.push_back({PadEvent::Type::Removed, e.cdevice.which, 0, 0});
                return;
            }
            case SDL_CONTROLLERBUTTONDOWN:
            case SDL_CONTROLLERBUTTONUP:
                if (open_.count(e.cbutton.which) == 0 || e.cbutton.button >= kPadButtons) return;
                out.push_back({PadEvent::Type::Button, e.cbutton.which, e.cbutton.button,
                               e.type == SDL_CONTROLLERBUTTONDOWN ? 1 : 0});
                return;
            case SDL_CONTROLLERAXISMOTION:
                if (open_.count(e.caxis.which) == 0 || e.caxis.axis >= kPadAxes) return;
                out.push_back({PadEvent::Type::Axis, e.caxis.which, e.caxis.axis, e.caxis.value});
                return;
            default:
                return;  // the raw joystick events behind them
        }
    }

    std::map<int, SDL_GameController*> open_;  // connected controllers by instance id
};

}  // namespace

std::unique_ptr<Gamepads> CreateSdlGamepads() {
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return nullptr;
    return std::make_unique<SdlGamepads>();
}

}  // namespace vrumbal
