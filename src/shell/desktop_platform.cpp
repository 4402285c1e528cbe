#include "shell/platform_bundle.h"

namespace vrumbal {

PlatformBundle CreateDesktopPlatform() {
    PlatformBundle p;
    p.display = CreateSdlDisplay(SdlDisplayOptions{});
    p.audio = CreateSdlAudio();
    p.text = CreateTtfTextRenderer();
    p.clock = CreateRealClock();
    p.shell = CreateDesktopShell();
    return p;
}

}  // namespace vrumbal
