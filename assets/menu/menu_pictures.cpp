#include "content.h"

namespace vrumbal::content {

PictureLibraryData BuildMenuPictures() { return {}; }

}  // namespace vrumbal::content
