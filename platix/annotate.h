// The annotated copy of a page: the page in gray with the field frames
// (the first green, the others red, 4 pixels wide) and the character
// frames (2 pixels wide), as the recognition program draws them.
#pragma once

#include <string>

#include "image_result.h"
#include "png_out.h"

namespace platix {

// Draws the frames of `r` over a gray page of maxcol x maxlin bytes.
RgbPicture annotate_page(const unsigned char* page, const ImageResult& r);

// Writes the annotated page held by the image store as the PNG file
// `png_path`; false (with the reason) when no page matching `r` is held or
// the file cannot be written.
bool write_annotation(const std::string& png_path, const ImageResult& r, std::string* why);

}  // namespace platix
