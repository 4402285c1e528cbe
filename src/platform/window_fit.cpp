// The window's place at start, the frame's fit between black bars, pointer positions back to
// the frame, and the window file.
#include "platform/window_fit.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace vrumbal {
namespace {

bool Inside(const PixelRect& inner, const PixelRect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

}  // namespace

PixelRect ChooseWindow(const std::vector<PixelRect>& usableAreas,
                       const std::optional<PixelRect>& remembered, int frameWidth,
                       int frameHeight) {
    if (remembered && remembered->width > 0 && remembered->height > 0) {
        for (const PixelRect& area : usableAreas) {
            if (Inside(*remembered, area)) return *remembered;
        }
    }
    if (usableAreas.empty()) return {0, 0, frameWidth, frameHeight};
    const PixelRect& area = usableAreas.front();
    const int multiple = std::max(1, std::min(area.width / frameWidth, area.height / frameHeight));
    const int width = frameWidth * multiple, height = frameHeight * multiple;
    return {area.x + (area.width - width) / 2, area.y + (area.height - height) / 2, width, height};
}

FrameFit FitFrame(int outputWidth, int outputHeight, int frameWidth, int frameHeight) {
    FrameFit fit;
    if (outputWidth <= 0 || outputHeight <= 0) return fit;
    // The larger of the two sides that keeps the shape: compared in whole numbers so that a
    // 4:3 output fills exactly.
    int width = outputWidth;
    int height = static_cast<int>(static_cast<long long>(outputWidth) * frameHeight / frameWidth);
    if (height > outputHeight) {
        height = outputHeight;
        width = static_cast<int>(static_cast<long long>(outputHeight) * frameWidth / frameHeight);
    }
    width = std::max(width, 1);
    height = std::max(height, 1);
    fit.area = {(outputWidth - width) / 2, (outputHeight - height) / 2, width, height};
    fit.wholeMultiple = width % frameWidth == 0 && height % frameHeight == 0 &&
                        width / frameWidth == height / frameHeight;
    return fit;
}

std::optional<std::pair<int, int>> OutputToFrame(const FrameFit& fit, int x, int y, int frameWidth,
                                                 int frameHeight) {
    const PixelRect& a = fit.area;
    if (a.width <= 0 || a.height <= 0) return std::nullopt;
    if (x < a.x || y < a.y || x >= a.x + a.width || y >= a.y + a.height) return std::nullopt;
    const int fx = static_cast<int>(static_cast<long long>(x - a.x) * frameWidth / a.width);
    const int fy = static_cast<int>(static_cast<long long>(y - a.y) * frameHeight / a.height);
    return std::make_pair(std::min(fx, frameWidth - 1), std::min(fy, frameHeight - 1));
}

std::string FormatWindowFile(const PixelRect& window) {
    return std::to_string(window.x) + " " + std::to_string(window.y) + " " +
           std::to_string(window.width) + " " + std::to_string(window.height) + "\n";
}

std::optional<PixelRect> ParseWindowFile(const std::string& text) {
    std::istringstream in(text);
    PixelRect r;
    if (!(in >> r.x >> r.y >> r.width >> r.height)) return std::nullopt;
    std::string rest;
    if (in >> rest) return std::nullopt;
    if (r.width < 1 || r.height < 1 || r.width > 100000 || r.height > 100000) return std::nullopt;
    return r;
}

}  // namespace vrumbal
