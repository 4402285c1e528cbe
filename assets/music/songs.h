#pragma once
// The game's two songs as modules.
#include "xm_writer.h"

namespace vrumbal::content::music {

// The menu theme: a bright, bouncy tune in D major at 124 beats per minute.
XmModule MenuSong();
// The race theme: a driving rock tune in E minor at 150 beats per minute.
XmModule RaceSong();

}  // namespace vrumbal::content::music
