// The raw events put on SDL's queue for a window: keys, text, the mouse, window notes and quit.
#include "platform/sdl_event_feed.h"

#include <SDL.h>

#include <cstring>

namespace vrumbal {

std::optional<std::pair<int, int>> SdlWindowPosition(std::uint32_t windowId) {
    SDL_Window* window = SDL_GetWindowFromID(windowId);
    if (window == nullptr) return std::nullopt;
    std::pair<int, int> position;
    SDL_GetWindowPosition(window, &position.first, &position.second);
    return position;
}

namespace sdl_feed {
namespace {

bool Push(SDL_Event& event) {
    event.common.timestamp = SDL_GetTicks();
    // SDL_PushEvent runs the event watchers too, so a renderer maps pointer positions into its
    // logical frame as it does for real input.
    return SDL_PushEvent(&event) == 1;
}

}  // namespace

bool Key(std::uint32_t windowId, bool down, int scancode, int keycode, const KeyModifiers& mods,
         bool repeat) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = windowId;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.scancode = static_cast<SDL_Scancode>(scancode);
    event.key.keysym.sym = keycode;
    event.key.keysym.mod = static_cast<Uint16>(SdlModifiersFrom(mods));
    return Push(event);
}

bool Text(std::uint32_t windowId, const std::string& utf8) {
    SDL_Event event{};
    if (utf8.size() >= sizeof(event.text.text)) return false;
    event.type = SDL_TEXTINPUT;
    event.text.windowID = windowId;
    std::memcpy(event.text.text, utf8.data(), utf8.size());
    return Push(event);
}

bool MouseMotion(std::uint32_t windowId, int x, int y) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = windowId;
    event.motion.x = x;
    event.motion.y = y;
    return Push(event);
}

bool MouseButton(std::uint32_t windowId, bool down, int button, int clicks, int x, int y) {
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = windowId;
    event.button.button = static_cast<Uint8>(button);
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = static_cast<Uint8>(clicks);
    event.button.x = x;
    event.button.y = y;
    return Push(event);
}

bool Window(std::uint32_t windowId, WindowNote note) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = windowId;
    switch (note) {
        case WindowNote::Close:
            event.window.event = SDL_WINDOWEVENT_CLOSE;
            break;
        case WindowNote::Minimized:
            event.window.event = SDL_WINDOWEVENT_MINIMIZED;
            break;
        case WindowNote::Restored:
            event.window.event = SDL_WINDOWEVENT_RESTORED;
            break;
        case WindowNote::FocusGained:
            event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
            break;
        case WindowNote::FocusLost:
            event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
            break;
    }
    return Push(event);
}

bool MoveWindow(std::uint32_t windowId, int x, int y) {
    SDL_Window* window = SDL_GetWindowFromID(windowId);
    if (window == nullptr) return false;
    SDL_SetWindowPosition(window, x, y);
    return true;
}

bool Quit() {
    SDL_Event event{};
    event.type = SDL_QUIT;
    return Push(event);
}

}  // namespace sdl_feed
}  // namespace vrumbal
