// Bitmaps as the picture libraries store them: the decoders, their messages and size limits.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/component_stream.h"
#include "engine/picture.h"

namespace vrumbal {

// The messages of a bad bitmap.
inline constexpr const char* kDibInvalid = "DIB is invalid";
inline constexpr const char* kPixelFormatInvalid = "PixelFormat in invalid";

// Largest picture, in pixels, decoded from uncompressed rows (whose bytes must all be present).
inline constexpr std::uint64_t kMaxDibPixels = std::uint64_t{1} << 26;
// Largest picture decoded from run-length data, which can describe a picture of any size in a
// few bytes; bigger ones are refused as damaged rather than allocated.
inline constexpr std::uint64_t kMaxRleDibPixels = std::uint64_t{1} << 24;

// Reads device-independent bitmap data (header, masks, palette, rows) at the cursor into out;
// throws LibraryError. pixelOffset, when non-zero, is where the rows start counted from the
// header (as a bitmap file header gives it); rows otherwise follow the palette directly.
void ReadDib(ByteCursor& cursor, Picture& out, std::size_t pixelOffset = 0);

// Reads the data of the "TBitmap" class: a uint32 length and a bitmap file of that length.
void ReadBitmapFile(ByteCursor& cursor, Picture& out);

// Reads a picture's data block: the image class name and that class's data. Unknown classes
// give an empty picture and the rest of the block is ignored.
void ReadPictureBlock(std::span<const std::uint8_t> block, Picture& out);

}  // namespace vrumbal
