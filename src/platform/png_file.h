// Writing and reading PNG files as 32-bit pixels, with or without their transparency.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vrumbal {

// Writes an RGB PNG of 0x00RRGGBB pixels, top row first. Returns false on failure.
bool WritePng(const std::string& path, int width, int height,
              const std::vector<std::uint32_t>& pixels);

// Reads a PNG of any colour type as 0x00RRGGBB pixels, top row first (alpha is dropped by
// compositing onto black). Returns false on failure or for a picture too big to hold.
bool ReadPng(const std::string& path, int& width, int& height, std::vector<std::uint32_t>& pixels);
// The same with the transparency kept: 0xAARRGGBB pixels.
bool ReadPngWithAlpha(const std::string& path, int& width, int& height,
                      std::vector<std::uint32_t>& pixels);

}  // namespace vrumbal
