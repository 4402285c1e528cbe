// Where the window opens, how the frame fits in it, and the window file kept beside the saves.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace vrumbal {

// A rectangle of screen or window pixels.
struct PixelRect {
    int x = 0;       // left
    int y = 0;       // top
    int width = 0;   // pixels across
    int height = 0;  // pixels down
    bool operator==(const PixelRect&) const = default;
};

// A size in pixels.
struct PixelSize {
    int width = 0;   // pixels across
    int height = 0;  // pixels down
    bool operator==(const PixelSize&) const = default;
};

// Where the window opens: at its remembered place when the whole of it still lies on one of
// the displays' usable areas, else at the largest whole multiple of the frame that fits the
// first area (at least one), centred on it. With no area known: the frame's size at (0, 0).
PixelRect ChooseWindow(const std::vector<PixelRect>& usableAreas,
                       const std::optional<PixelRect>& remembered, int frameWidth, int frameHeight);

// How the frame is shown in an output of a given size: as large as fits with its shape kept,
// centred between black bars.
struct FrameFit {
    PixelRect area;              // where the frame goes in the output
    bool wholeMultiple = false;  // scaled by a whole number: drawn with sharp pixels
};
FrameFit FitFrame(int outputWidth, int outputHeight, int frameWidth, int frameHeight);

// The frame pixel under output pixel (x, y), or nothing over the bars.
std::optional<std::pair<int, int>> OutputToFrame(const FrameFit& fit, int x, int y, int frameWidth,
                                                 int frameHeight);

// The window file beside the saves: "X Y WIDTH HEIGHT" on one line.
std::string FormatWindowFile(const PixelRect& window);
// Reads it back; nothing for a damaged file or a window smaller than one pixel.
std::optional<PixelRect> ParseWindowFile(const std::string& text);

}  // namespace vrumbal
