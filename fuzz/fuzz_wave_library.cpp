// Feeds arbitrary bytes to the sound library reader and hands every format record it yields
// to the format parser; the same bytes also go to the plain wave reader.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/library_error.h"
#include "engine/library_reader.h"
#include "engine/wave_file.h"
#include "platform/audio.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    vrumbal::WaveLibraryData parsed;
    (void)vrumbal::ReadWaveLibrary(bytes, parsed);
    for (const vrumbal::WaveItemData& item : parsed.items) {
        vrumbal::WaveFormat format;
        (void)vrumbal::ParseWaveFormat(item.format, format);
    }
    for (const bool pad : {false, true}) {
        try {
            const vrumbal::WaveParts parts = vrumbal::ReadWave(bytes, pad);
            vrumbal::WaveFormat format;
            (void)vrumbal::ParseWaveFormat(parts.format, format);
        } catch (const vrumbal::LibraryError&) {
            // An invalid wave is reported by an error; only crashes matter here.
        }
    }
    return 0;
}
