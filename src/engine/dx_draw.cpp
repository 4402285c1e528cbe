// The drawing surface at work: its options, opening and closing the display, the deferred fill,
// the text canvas, the pictures' blits and the presenting of each frame.
#include "engine/dx_draw.h"

#include <algorithm>
#include <stdexcept>

#include "engine/blitter.h"

namespace vrumbal {

std::uint32_t EffectiveDrawOptions(std::uint32_t requested) {
    std::uint32_t o = requested;
    if (!(o & doFullScreen)) o &= ~(doNoWindowChange | doAllowReboot | doAllowPalette256 | doFlip);
    if (!(o & do3D)) o &= ~(doDirectX7Mode | doRetainedMode | doHardware | doSelectDriver | doZBuffer);
    if (o & doSystemMemory) o &= ~doFlip;
    if (o & doDirectX7Mode) o &= ~doRetainedMode;
    o &= ~doHardware;
    return o;
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    if (renderer_ && !text.empty()) renderer_->DrawText(target_.View(), x, y, text, font);
}

int TCanvas::TextWidth(const std::string& text) {
    return renderer_ && !text.empty() ? renderer_->TextWidth(text, font) : 0;
}

int TCanvas::TextHeight(const std::string& text) {
    return renderer_ ? renderer_->TextHeight(text.empty() ? std::string(" ") : text, font) : 0;
}

TDXDraw::TDXDraw(Display* display, TextRenderer* text, int width, int height)
    : display_(display), text_(text), back_(width, height) {}

TDXDraw::~TDXDraw() {
    Finalize();
    const auto listeners = listeners_;
    for (auto* l : listeners) l->DrawNotify(*this, DrawNotification::Destroying);
}

void TDXDraw::SetOptions(std::uint32_t options) {
    requested_ = options;
    if (!initialized_) {
        effective_ = EffectiveDrawOptions(requested_);
    } else {
        // While initialised only the presentation options can change.
        constexpr std::uint32_t kLive = doWaitVBlank | doStretch | doCenter;
        effective_ = (effective_ & ~kLive) | (requested_ & kLive);
    }
}

void TDXDraw::Initialize() {
    if (initialized_) Finalize();
    busy_ = true;
    const bool fullScreen = (effective_ & doFullScreen) != 0;
    if (display_) {
        std::string error;
        if (!display_->Open(fullScreen, error)) {
            busy_ = false;
            Finalize();
            if (error.empty()) {
                error = "Display mode cannot be changed (" + std::to_string(back_.Width()) + "x" +
                        std::to_string(back_.Height()) + " 16bit)";
            }
            throw std::runtime_error(error);
        }
    }
    initialized_ = true;
    lost_ = false;
    busy_ = false;
    NotifyAll(DrawNotification::Initialized);
    NotifyAll(DrawNotification::Restored);
}

void TDXDraw::Finalize() {
    if (!initialized_) return;
    busy_ = true;
    NotifyAll(DrawNotification::Finalized);
    if (display_) display_->Close();
    initialized_ = false;
    busy_ = false;
    effective_ = EffectiveDrawOptions(requested_);
}

bool TDXDraw::CanDraw() {
    if (!initialized_ || busy_) return false;
    if (lost_) Restore();
    return !lost_;
}

void TDXDraw::Restore() {
    if (!initialized_) return;
    busy_ = true;
    lost_ = false;
    NotifyAll(DrawNotification::Restored);
    busy_ = false;
}

void TDXDraw::Fill(std::uint16_t pixel) {
    fillPending_ = true;
    fillPixel_ = pixel;
}

void TDXDraw::ApplyPendingFill() {
    if (!fillPending_) return;
    back_.Fill(fillPixel_);
    fillPending_ = false;
}

TCanvas& TDXDraw::Canvas() {
    // Text is drawn straight onto the pixels: they must hold the fill first.
    ApplyPendingFill();
    if (!canvas_) canvas_ = std::make_unique<TCanvas>(text_, back_);
    return *canvas_;
}

void TDXDraw::Flip() {
    ApplyPendingFill();
    if (!initialized_ || busy_ || lost_) return;
    if (display_) display_->Present(back_.View(), (effective_ & doWaitVBlank) != 0);
    ++flips_;
}

void TDXDraw::Draw(int x, int y, const Rect& src, const ImageSurface& source, bool transparent) {
    if (back_.Width() == 0 || back_.Height() == 0) return;
    if (fillPending_) {
        // A menu's first picture is an opaque backdrop over the whole frame: filling under it
        // would be a whole frame's worth of writes that nobody sees.
        const Rect s{std::max(src.left, 0), std::max(src.top, 0),
                     std::min(src.right, source.Width()), std::min(src.bottom, source.Height())};
        const std::int64_t left = std::int64_t{x} + s.left - src.left;
        const std::int64_t top = std::int64_t{y} + s.top - src.top;
        const bool covers = (!transparent || source.FullyOpaque()) && left <= 0 && top <= 0 &&
                            left + s.right - s.left >= back_.Width() &&
                            top + s.bottom - s.top >= back_.Height();
        if (covers) {
            fillPending_ = false;
        } else {
            ApplyPendingFill();
        }
    }
    BlitPlain(back_, x, y, source, src, transparent);
}

void TDXDraw::DrawAlpha(const Rect& dest, const Rect& src, const ImageSurface& source,
                        bool transparent, int alpha) {
    if (back_.Width() == 0 || back_.Height() == 0) return;
    ApplyPendingFill();
    BlitAlpha(back_, dest, source, src, transparent, alpha);
}

void TDXDraw::DrawRotate(int x, int y, int width, int height, const Rect& src,
                         const ImageSurface& source, double centerX, double centerY,
                         bool transparent, int angle) {
    if (back_.Width() == 0 || back_.Height() == 0) return;
    ApplyPendingFill();
    BlitRotate(back_, x, y, width, height, source, src, centerX, centerY, transparent, angle);
}

void TDXDraw::AddListener(DrawListener* listener) {
    if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) return;
    listeners_.push_back(listener);
    if (initialized_) {
        listener->DrawNotify(*this, DrawNotification::Initialized);
        listener->DrawNotify(*this, DrawNotification::Restored);
    }
}

void TDXDraw::RemoveListener(DrawListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener),
                     listeners_.end());
}

void TDXDraw::NotifyAll(DrawNotification what) {
    const auto listeners = listeners_;  // a listener may unregister while being told
    for (auto* l : listeners) l->DrawNotify(*this, what);
}

}  // namespace vrumbal
