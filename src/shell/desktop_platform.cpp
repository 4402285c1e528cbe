// The real game's platform put together: signals first, then the display, and the rest only
// when there is a screen.
#include "shell/platform_bundle.h"

namespace vrumbal {

PlatformBundle CreateDesktopPlatform(const SdlDisplayOptions& display) {
    PlatformBundle p;
    // Before SDL starts any thread of its own.
    p.signals = CreateTerminationSignals();
    p.display = CreateSdlDisplay(display);
    // Without a screen the game ends at once: nothing else is started.
    if (p.display->Unavailable()) return p;
    p.pads = CreateSdlGamepads();
    p.audio = CreateSdlAudio();
    p.text = CreateTtfTextRenderer();
    p.clock = CreateRealClock();
    p.shell = CreateDesktopShell();
    return p;
}

}  // namespace vrumbal
