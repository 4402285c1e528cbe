// Feeds arbitrary bytes to the picture library reader, then loads them into a collection
// bound to a display-less drawing surface so the items are restored: the pattern cutting
// and the tiling then run on whatever sizes and skips the bytes describe.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/dx_draw.h"
#include "engine/library_error.h"
#include "engine/library_reader.h"
#include "engine/picture_collection.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    vrumbal::PictureLibraryData parsed;
    (void)vrumbal::ReadPictureLibrary(bytes, parsed);

    vrumbal::TDXDraw draw(nullptr, nullptr);
    draw.Initialize();
    vrumbal::TDXImageList list(&draw);
    vrumbal::TPictureCollection& items = list.Items();
    try {
        items.LoadFromBytes(bytes);
    } catch (const vrumbal::LibraryError&) {
        // A damaged library keeps the items read so far; cut those too.
        items.Restore();
    }
    for (int i = 0; i < items.Count(); ++i) {
        vrumbal::TPictureCollectionItem& item = items.Items(i);
        const int count = item.PatternCount();
        for (const int pattern : {-1, 0, count - 1, count}) {
            (void)item.PatternRect(pattern);
            item.Draw(draw, 3, 5, pattern);
        }
    }
    return 0;
}
