#include "content.h"

namespace vrumbal::content {

PictureLibraryData BuildMinimapPictures() { return {}; }

}  // namespace vrumbal::content
