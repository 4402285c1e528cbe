// Everything the game needs from the machine, handed to the main form, and the real game's set.
#pragma once
#include <memory>

#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/gamepads.h"
#include "platform/session_signals.h"
#include "platform/system_shell.h"
#include "platform/text.h"

namespace vrumbal {

// Everything the game needs from the machine, handed to the main form at creation. Tests and
// the developer tool put simulated or recording pieces here.
struct PlatformBundle {
    // First, so that it goes last: the signals stay blocked until every thread has ended.
    std::unique_ptr<SessionSignals> signals;  // end requests from outside; null = none
    std::unique_ptr<Display> display;      // window and screen; null = frames are not shown
    std::unique_ptr<Gamepads> pads;        // game controllers; null = none (after display: SDL
                                           // stays up until they are closed)
    std::unique_ptr<AudioOutput> audio;    // sound output; null = silent
    std::unique_ptr<TextRenderer> text;    // text drawing; null = no text
    std::unique_ptr<Clock> clock;          // the frame timer's clock (required)
    std::unique_ptr<SystemShell> shell;    // the desktop around the game (required)
};

// The platform of the real game: SDL display and sound, TrueType text, the real clock. When
// the display is unavailable (no screen), the bundle holds the signals and the display only.
PlatformBundle CreateDesktopPlatform(const SdlDisplayOptions& display = {});

}  // namespace vrumbal
