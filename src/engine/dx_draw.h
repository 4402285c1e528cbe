// The drawing surface component: the 800 x 600 back surface every frame is drawn on, its options
// and text canvas, and the presenting of frames.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/dx_draw_events.h"
#include "engine/geometry.h"
#include "engine/surface.h"
#include "platform/display.h"
#include "platform/text.h"

namespace vrumbal {

class ImageSurface;

// The drawing surface's options, one bit each, bit 0 first.
enum DrawOption : std::uint32_t {
    doFullScreen = 1u << 0,
    doNoWindowChange = 1u << 1,
    doAllowReboot = 1u << 2,
    doWaitVBlank = 1u << 3,
    doAllowPalette256 = 1u << 4,
    doSystemMemory = 1u << 5,
    doStretch = 1u << 6,
    doCenter = 1u << 7,
    doFlip = 1u << 8,
    do3D = 1u << 9,
    doDirectX7Mode = 1u << 10,
    doRetainedMode = 1u << 11,
    doHardware = 1u << 12,
    doSelectDriver = 1u << 13,
    doZBuffer = 1u << 14,
};

// The effective option set that a requested set leads to while the surface is not initialised.
std::uint32_t EffectiveDrawOptions(std::uint32_t requested);

// The text canvas of the back surface: a font and text drawing without a background.
class TCanvas final {
public:
    // A canvas that draws through the given renderer (not owned; may be null: no text).
    TCanvas(TextRenderer* renderer, Surface& target) : renderer_(renderer), target_(target) {}
    // The font texts are drawn with.
    FontSpec font;
    // Draws text (UTF-8) with its top-left corner at (x, y).
    void TextOut(int x, int y, const std::string& text);
    // Width in pixels of the text in the current font.
    int TextWidth(const std::string& text);
    // Height in pixels of the text in the current font.
    int TextHeight(const std::string& text);

private:
    TextRenderer* renderer_;  // the platform's text drawing (not owned)
    Surface& target_;         // the back surface
};

// The drawing surface component: the window or screen, and the 800 x 600 RGB565 back surface
// that every frame is drawn on and then presented.
class TDXDraw final {
public:
    // A surface shown through the given display and drawing text through the given renderer
    // (neither owned; the display may be null for a surface that is never shown).
    TDXDraw(Display* display, TextRenderer* text, int width = 800, int height = 600);
    ~TDXDraw();
    TDXDraw(const TDXDraw&) = delete;
    TDXDraw& operator=(const TDXDraw&) = delete;

    // The requested option set.
    std::uint32_t Options() const { return requested_; }
    // Requests an option set; while not initialised the effective set is derived from it.
    void SetOptions(std::uint32_t options);
    // The options in force.
    std::uint32_t EffectiveOptions() const { return effective_; }

    // Opens the display in the mode the options ask for; throws std::runtime_error with
    // "Display mode cannot be changed (800x600 16bit)" when full screen cannot be had.
    void Initialize();
    // Closes the display and tells the listeners first.
    void Finalize();
    // True between Initialize and Finalize.
    bool Initialized() const { return initialized_; }
    // True when a frame may be drawn now.
    bool CanDraw();
    // Rebuilds what was lost and tells the listeners.
    void Restore();
    // Marks the surfaces lost (the display was taken away); CanDraw restores them.
    void MarkLost() { lost_ = true; }

    // Fills the whole back surface with one pixel value. The fill is done when the surface is
    // next used, and not at all when the first picture drawn covers the whole surface.
    void Fill(std::uint16_t pixel);
    // The back surface every frame is drawn on.
    Surface& BackSurface() {
        ApplyPendingFill();
        return back_;
    }
    // The text canvas of the back surface.
    TCanvas& Canvas();
    // Ends the frame's text drawing; called before Flip.
    void ReleaseCanvas() {}
    // Presents the back surface, waiting for the vertical blank when doWaitVBlank is in force.
    void Flip();
    // Number of frames presented so far.
    std::uint64_t FlipCount() const { return flips_; }

    // Copies a rectangle of a picture surface to (x, y), skipping keyed pixels if transparent.
    void Draw(int x, int y, const Rect& src, const ImageSurface& source, bool transparent);
    // Draws a rectangle of a picture surface scaled into dest and blended with opacity alpha.
    void DrawAlpha(const Rect& dest, const Rect& src, const ImageSurface& source, bool transparent,
                   int alpha);
    // Draws a rectangle of a picture surface scaled to width x height and turned by angle
    // (256ths of a turn, clockwise) so that the point (centerX, centerY) lands on (x, y).
    void DrawRotate(int x, int y, int width, int height, const Rect& src,
                    const ImageSurface& source, double centerX, double centerY, bool transparent,
                    int angle);

    // Registers a listener; one that registers with an initialised surface is told so.
    void AddListener(DrawListener* listener);
    // Unregisters a listener.
    void RemoveListener(DrawListener* listener);

    // The display the frames go to, or null.
    Display* GetDisplay() const { return display_; }
    // The text renderer, or null.
    TextRenderer* GetTextRenderer() const { return text_; }

private:
    void NotifyAll(DrawNotification what);
    // Does the fill that Fill left for later.
    void ApplyPendingFill();

    Display* display_;                      // where frames are shown (not owned)
    TextRenderer* text_;                    // text drawing (not owned)
    Surface back_;                          // the back surface
    std::unique_ptr<TCanvas> canvas_;       // created on first use
    std::uint32_t requested_ = 0;           // the requested option set
    std::uint32_t effective_ = 0;           // the option set in force
    bool initialized_ = false;              // Initialize succeeded
    bool busy_ = false;                     // inside Initialize, Finalize or Restore
    bool lost_ = false;                     // the surfaces must be restored before drawing
    bool fillPending_ = false;              // Fill was asked for and not yet done
    std::uint16_t fillPixel_ = 0;           // the pixel value of that fill
    std::uint64_t flips_ = 0;               // frames presented
    std::vector<DrawListener*> listeners_;  // the image lists bound here (not owned)
};

}  // namespace vrumbal
