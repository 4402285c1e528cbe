// The game's window and screen: whole 800 x 600 frames fitted into the size the window really
// has, its events, pointer and placement, and the SDL display that implements it.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/pixel_buffer.h"
#include "platform/window_fit.h"

namespace vrumbal {

// The game's window and the screen it is shown on. The game draws into its own 800 x 600
// RGB565 back surface; the display only shows whole frames of it, fitted into whatever size
// the window really has (a window manager may refuse, delay or change a full-screen or size
// request, so the size asked for proves nothing).
class Display {
public:
    // A display for frames of the given size.
    explicit Display(int frameWidth = 800, int frameHeight = 600)
        : frameWidth_(frameWidth), frameHeight_(frameHeight) {}
    virtual ~Display() = default;
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;
    // Shows the window (first call creates it) in the given mode. Returns false and sets
    // error when the mode cannot be had.
    virtual bool Open(bool fullScreen, std::string& error) = 0;
    // Releases what Open made for presenting; the window itself stays.
    virtual void Close() = 0;
    // True between a successful Open and Close.
    virtual bool IsOpen() const = 0;
    // Presents one whole frame, as large as fits the window's drawable as it is now, between
    // black bars. With waitVBlank the call returns at the start of the next refresh (vsync
    // where the driver has it, else by sleeping until the next refresh tick).
    void Present(const PixelBuffer& frame, bool waitVBlank);
    // Where the last frame went in the window's drawable, and the drawable's size then.
    const FrameFit& LastFit() const { return fit_; }
    PixelSize LastOutput() const { return output_; }
    // The display's refresh rate in Hz as the system reports it (0 when it does not know).
    virtual int RefreshRate() const = 0;
    // Moves every pending window event, translated, to the end of out.
    virtual void PollEvents(std::vector<WindowEvent>& out) = 0;
    // True while the window is the foreground window.
    virtual bool HasFocus() const = 0;
    // Minimises the window.
    virtual void Minimize() = 0;
    // Shows or hides the system mouse pointer over the window.
    virtual void ShowPointer(bool visible) = 0;
    // True while the system mouse pointer is shown over the window.
    virtual bool PointerShown() const = 0;
    // Remembers the window's place on the screen (for the way back from full screen).
    virtual void SavePlacement() = 0;
    // Puts the window back where SavePlacement found it (its place and size), once; centred
    // at the size it has when none was saved.
    virtual void RestorePlacement() = 0;
    // The window's place and size on the screen as a window (while full screen: where it
    // will come back to); nothing before the window exists.
    virtual std::optional<PixelRect> WindowPlacement() const = 0;
    // Why no window can be shown at all (there is no screen to show it on), or nothing.
    virtual std::optional<std::string> Unavailable() const { return std::nullopt; }

protected:
    // The size in pixels of what the window's drawable shows now, as the window system reports
    // it (never the size last asked for); empty when nothing can be shown.
    virtual PixelSize OutputSize() = 0;
    // Shows frame at fit.area of an output of the given size, black around it.
    virtual void PresentFitted(const PixelBuffer& frame, const FrameFit& fit, PixelSize output,
                               bool waitVBlank) = 0;

    int frameWidth_;   // the frame's width
    int frameHeight_;  // and height

private:
    FrameFit fit_;      // where the last frame went
    PixelSize output_;  // the drawable's size then
};

// Options for the SDL display.
struct SdlDisplayOptions {
    std::string title = "Vrumbal";  // window caption
    int width = 800;                // frame width
    int height = 600;               // frame height
    bool neverWait = false;         // a simulated clock drives the game: never sleep or vsync
    std::string windowClass;        // the desktop's name for the window; empty: SDL's own
    std::string iconPath;           // a PNG for the window's icon; empty or missing: none
    std::optional<PixelRect> rememberedWindow;  // where the window was last; used if it fits
    std::optional<PixelRect> forcedWindow;      // this size and place, whatever the screen
};

// The display over SDL2 (any SDL video driver, the dummy one included).
std::unique_ptr<Display> CreateSdlDisplay(const SdlDisplayOptions& options);

// A copy of what a window shows.
struct WindowPixels {
    int width = 0;                      // pixels across
    int height = 0;                     // rows
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
};

// What the SDL display's window shows since its last present, bars included: for checks and
// captures of the window. Nothing when it has no window or draws it through a GPU.
std::optional<WindowPixels> ReadSdlDisplayWindow(const Display& display);

// What the window system itself shows in the SDL display's window (under X11): what a player
// sees, whatever SDL believes. Nothing elsewhere.
std::optional<WindowPixels> ReadShownWindow(const Display& display);

}  // namespace vrumbal
