// The display's one fixed step: every frame is fitted into the size the window really has.
#include "platform/display.h"

namespace vrumbal {

void Display::Present(const PixelBuffer& frame, bool waitVBlank) {
    if (!IsOpen() || frame.pixels == nullptr) return;
    const PixelSize output = OutputSize();
    if (output.width <= 0 || output.height <= 0) return;
    output_ = output;
    fit_ = FitFrame(output.width, output.height, frameWidth_, frameHeight_);
    PresentFitted(frame, fit_, output, waitVBlank);
}

}  // namespace vrumbal
