// Putting an image file's first page into the library's page store: through
// the library's own readers when they take the file, else through the
// everyday decoders and SEG_open_gray_page. A JPEG with an EXIF
// orientation is always decoded here, so that the page is upright.
#pragma once

#include <string>

namespace platix::decode {

struct PageLoad {
    enum class Status { held, not_image, failed } status = Status::failed;
    std::string error;  // why, when not held
    // Held through the decoders: the upright size of the picture in pixels
    // (0 when the library's reader took the file).
    int width = 0, height = 0;
};

PageLoad load_page(const std::string& path);

// True when the file starts like an image of a format known here (read or
// not); walks use it to leave other files out before any work is counted.
bool looks_like_image(const std::string& path);

}  // namespace platix::decode
