// The pixel size written in an image file's header, for the formats whose
// header is easy to read (PNG, JPEG, BMP, PGM, ITEX, PCX).
#pragma once

#include <string>

namespace platix {

// True with the size when the header could be read; false otherwise.
bool image_file_size(const std::string& path, int* width, int* height);

}  // namespace platix
