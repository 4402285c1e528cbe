// What the window system itself says of a window, where SDL's own figures can be stale.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/window_fit.h"

struct SDL_Window;

namespace vrumbal {

// The place and size (in pixels) that a window really has on the screen, asked of the window
// system. SDL keeps the size it last asked for, which a window manager may refuse or change
// and which, with no window manager at all, is never granted. Nothing where the window system
// cannot be asked; SDL's own figures then stand.
std::optional<PixelRect> NativeWindowGeometry(SDL_Window* window);

// What the window system shows in the window, 0x00RRGGBB top row first, with its size; false
// where it cannot be asked. For checks of what a player really sees.
bool NativeWindowPixels(SDL_Window* window, int& width, int& height,
                        std::vector<std::uint32_t>& pixels);

}  // namespace vrumbal
