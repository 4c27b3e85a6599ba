// Writing RGB pictures as PNG and JPEG files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platix {

// width x height pixels, 3 bytes (red, green, blue) each, top row first.
struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// False with a reason when the file could not be written.
bool write_png_file(const std::string& path, const RgbPicture& picture, std::string* why);
bool write_jpeg_file(const std::string& path, const RgbPicture& picture, int quality, std::string* why);

}  // namespace platix
