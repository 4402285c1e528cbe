// PNG files written and read through libpng, with oversized pictures refused.
#include "platform/png_file.h"

#include <png.h>

#include <cstring>

namespace vrumbal {

namespace {

// Pictures larger than this are refused rather than allocated.
constexpr std::uint64_t kMaxPngPixels = std::uint64_t{1} << 26;

}  // namespace

bool WritePng(const std::string& path, int width, int height,
              const std::vector<std::uint32_t>& pixels) {
    if (width <= 0 || height <= 0 ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        return false;
    }
    std::vector<std::uint8_t> rgb(pixels.size() * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        rgb[3 * i] = static_cast<std::uint8_t>(pixels[i] >> 16);
        rgb[3 * i + 1] = static_cast<std::uint8_t>(pixels[i] >> 8);
        rgb[3 * i + 2] = static_cast<std::uint8_t>(pixels[i]);
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    const bool ok = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

namespace {

// Reads the whole picture in the given format (3 or 4 bytes a pixel) into pixels, one
// 0xAARRGGBB (or 0x00RRGGBB) value each.
bool ReadPngAs(const std::string& path, bool alpha, int& width, int& height,
               std::vector<std::uint32_t>& pixels) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        png_image_free(&image);
        return false;
    }
    if (image.width == 0 || image.height == 0 ||
        static_cast<std::uint64_t>(image.width) * image.height > kMaxPngPixels) {
        png_image_free(&image);
        return false;
    }
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    const std::size_t step = alpha ? 4 : 3;
    std::vector<std::uint8_t> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    pixels.resize(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const std::uint8_t* p = &bytes[step * i];
        const std::uint32_t a = alpha ? p[3] : 0;
        pixels[i] = (a << 24) | (static_cast<std::uint32_t>(p[0]) << 16) |
                    (static_cast<std::uint32_t>(p[1]) << 8) | p[2];
    }
    png_image_free(&image);
    return true;
}

}  // namespace

bool ReadPng(const std::string& path, int& width, int& height, std::vector<std::uint32_t>& pixels) {
    return ReadPngAs(path, false, width, height, pixels);
}

bool ReadPngWithAlpha(const std::string& path, int& width, int& height,
                      std::vector<std::uint32_t>& pixels) {
    return ReadPngAs(path, true, width, height, pixels);
}

}  // namespace vrumbal
