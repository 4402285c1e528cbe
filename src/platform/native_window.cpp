// The window's real geometry and pixels under X11; other window systems tell SDL when they
// change a window's size.
#include "platform/native_window.h"

#include <SDL.h>
#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

namespace vrumbal {
namespace {

// SDL's handles of the window under X11; false under any other window system.
bool X11Handles(SDL_Window* window, SDL_SysWMinfo& info) {
    if (window == nullptr) return false;
    SDL_VERSION(&info.version);
    return SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11;
}

}  // namespace

std::optional<PixelRect> NativeWindowGeometry(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!X11Handles(window, info)) return std::nullopt;
#if defined(SDL_VIDEO_DRIVER_X11)
    ::Display* display = info.info.x11.display;
    const ::Window handle = info.info.x11.window;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, handle, &attributes) == 0) return std::nullopt;
    int x = 0, y = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, handle, attributes.root, 0, 0, &x, &y, &child);
    return PixelRect{x, y, attributes.width, attributes.height};
#else
    return std::nullopt;
#endif
}

bool NativeWindowPixels(SDL_Window* window, int& width, int& height,
                        std::vector<std::uint32_t>& pixels) {
    SDL_SysWMinfo info;
    if (!X11Handles(window, info)) return false;
#if defined(SDL_VIDEO_DRIVER_X11)
    ::Display* display = info.info.x11.display;
    const ::Window handle = info.info.x11.window;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, handle, &attributes) == 0) return false;
    XImage* image = XGetImage(display, handle, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) return false;
    width = attributes.width;
    height = attributes.height;
    pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels[static_cast<std::size_t>(y) * width + x] =
                static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF;
        }
    }
    XDestroyImage(image);
    return true;
#else
    return false;
#endif
}

}  // namespace vrumbal
