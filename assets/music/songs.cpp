#include "content.h"

namespace vrumbal::content {

std::vector<Song> BuildSongs() { return {}; }

}  // namespace vrumbal::content
