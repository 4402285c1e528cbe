#include "content.h"

namespace vrumbal::content {

WaveLibraryData BuildSounds() { return {}; }

}  // namespace vrumbal::content
