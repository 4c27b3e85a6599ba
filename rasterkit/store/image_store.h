// The one image page of the process: setting the file, reading its pages
// into the exported page variables, and closing it.
#pragma once

#include "format_sniff.h"

namespace rk {

// Closes the held image, recognises the file's format from its first bytes
// and stores the path (for TIFF also opens it and counts the pages).
// 1 when the format was recognised, else 0.
int set_image_file(const char* path);

// Reads the page of the file set into `videobuffer` and normalises it.
// 1 = page held, 0 = failure, 2 = TIFF page cut short by a read error.
int open_image();

// Closes the held image, forgets the file set, and holds a copy of the
// caller's gray page, normalised as open_image normalises a page read from
// a file. 1 when held; 0 for a null buffer, stride < width, a size the
// readers refuse, or no memory.
int open_gray_page(const unsigned char* pixels, int width, int height, int stride);

// Frees the page and the TIFF handle; factors back to 1.
void close_image();

// Format of the file last set successfully (unknown when none is set).
ImageFormat current_format();

}  // namespace rk
