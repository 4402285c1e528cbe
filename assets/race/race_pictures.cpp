#include "content.h"

namespace vrumbal::content {

PictureLibraryData BuildRacePictures() { return {}; }

}  // namespace vrumbal::content
