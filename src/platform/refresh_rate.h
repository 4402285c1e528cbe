// The refresh rate to pace frames by, from what the system reports.
#pragma once

namespace vrumbal {

// The refresh rate to pace frames by: the reported one when it is believable, else 60 Hz
// (systems report 0 or 1 when they do not know).
int UsableRefreshRate(int reported);

}  // namespace vrumbal
