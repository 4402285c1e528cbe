// Reading the picture and sound library files, and the bitmap and colour helpers that go with it.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/library_data.h"

namespace vrumbal {

// Reads a whole file. Returns "" or the error "Cannot open file "%s". %s".
std::string ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out);

// Reads a picture library. Returns "" on success or the load error's message; out keeps the
// items read before the error.
std::string ReadPictureLibrary(std::span<const std::uint8_t> bytes, PictureLibraryData& out);

// Reads a sound library. Returns "" on success or the load error's message; out keeps the
// items read before the error.
std::string ReadWaveLibrary(std::span<const std::uint8_t> bytes, WaveLibraryData& out);

// Decodes the data of an image class block ("TDIB" data, without the class name). Returns ""
// or the error message.
std::string DecodeDib(std::span<const std::uint8_t> bytes, Picture& out);

// Resolves a colour value: 0xFF0000nn system colours to their RGB value (0x00BBGGRR).
std::uint32_t ResolveSystemColor(std::uint32_t color);

}  // namespace vrumbal
