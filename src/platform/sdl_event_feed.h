// Raw window-system events put on SDL's queue, so that tools and tests drive a window no person
// sits at; and the window's id and place on the desktop.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "platform/display.h"
#include "platform/sdl_keys.h"

namespace vrumbal {

// The window system's id of the SDL display's window; 0 when it has none (or is another kind
// of display).
std::uint32_t SdlDisplayWindowId(const Display& display);

// Where the window with this id stands on the desktop (x, y); nothing when there is none.
std::optional<std::pair<int, int>> SdlWindowPosition(std::uint32_t windowId);

// Raw window-system events put on SDL's queue for a window, exactly as a keyboard, a mouse or
// the window manager would deliver them. Tools and tests drive a display with them when no
// person sits at it; each returns false when SDL refused the event.
namespace sdl_feed {

// Window-manager notifications a window can receive.
enum class WindowNote { Close, Minimized, Restored, FocusGained, FocusLost };

// A key going down (repeat: an auto-repeat) or up.
bool Key(std::uint32_t windowId, bool down, int scancode, int keycode, const KeyModifiers& mods,
         bool repeat = false);
// Text typed by the keyboard (UTF-8, at most 31 bytes).
bool Text(std::uint32_t windowId, const std::string& utf8);
// The pointer moving to (x, y) in window coordinates.
bool MouseMotion(std::uint32_t windowId, int x, int y);
// A button (1 left, 2 middle, 3 right) going down or up at (x, y) with SDL's click count.
bool MouseButton(std::uint32_t windowId, bool down, int button, int clicks, int x, int y);
// A notification from the window manager.
bool Window(std::uint32_t windowId, WindowNote note);
// The person dragging the window to (x, y) of the desktop.
bool MoveWindow(std::uint32_t windowId, int x, int y);
// The session asking the program to end.
bool Quit();

}  // namespace sdl_feed
}  // namespace vrumbal
