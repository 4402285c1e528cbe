#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/library_data.h"
#include "engine/library_error.h"
#include "engine/library_reader.h"
#include "engine/library_writer.h"

namespace vrumbal::test {

// Writes part of a stream.
using WriteFn = std::function<void(ComponentStreamWriter&)>;

// A whole library file: header, signature, root of the class with the given property list.
inline std::vector<std::uint8_t> Container(const std::string& rootClass,
                                           const WriteFn& properties) {
    ComponentStreamWriter w;
    w.ResourceHeader("LIB");
    w.Signature();
    w.RootHeader(rootClass, "Lib");
    properties(w);
    w.End();  // root properties
    w.End();  // root children
    return w.Finish();
}

// A library of the given component class whose List holds one item per writer (each writes
// the item's properties).
inline std::vector<std::uint8_t> CollectionLibrary(const char* className,
                                                   const std::vector<WriteFn>& items) {
    return Container(className, [&](ComponentStreamWriter& w) {
        w.Property("List");
        w.CollectionBegin();
        for (const auto& item : items) {
            w.ItemBegin();
            item(w);
            w.End();
        }
        w.End();
    });
}

// A picture library.
inline std::vector<std::uint8_t> PictureLibrary(const std::vector<WriteFn>& items) {
    return CollectionLibrary("TPictureCollectionComponent", items);
}

// A sound library.
inline std::vector<std::uint8_t> WaveLibrary(const std::vector<WriteFn>& items) {
    return CollectionLibrary("TWaveCollectionComponent", items);
}

// A 16-bit mono format record at the given rate.
inline std::vector<std::uint8_t> PcmFormat(std::uint32_t rate, std::uint16_t channels = 1,
                                           std::uint16_t bits = 16) {
    const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
    const std::uint32_t perSecond = rate * align;
    return {1,
            0,
            static_cast<std::uint8_t>(channels),
            0,
            static_cast<std::uint8_t>(rate),
            static_cast<std::uint8_t>(rate >> 8),
            static_cast<std::uint8_t>(rate >> 16),
            static_cast<std::uint8_t>(rate >> 24),
            static_cast<std::uint8_t>(perSecond),
            static_cast<std::uint8_t>(perSecond >> 8),
            static_cast<std::uint8_t>(perSecond >> 16),
            static_cast<std::uint8_t>(perSecond >> 24),
            static_cast<std::uint8_t>(align),
            0,
            static_cast<std::uint8_t>(bits),
            0};
}

// A picture whose pixels follow a simple pattern (different per seed).
inline Picture Pattern(int width, int height, std::uint32_t seed) {
    Picture p;
    p.width = width;
    p.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            p.pixels.push_back(((x * 37 + seed) & 0xFF) << 16 | ((y * 91 + seed * 3) & 0xFF) << 8 |
                               ((x * y + seed * 7) & 0xFF));
        }
    }
    return p;
}

}  // namespace vrumbal::test
