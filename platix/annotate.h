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

// Writes DIR/NAME.png (NAME = the image's file name without extension)
// from the page held by the image store. Creates DIR when missing.
bool write_annotation(const std::string& dir, const std::string& image_path, const ImageResult& r, std::string* why);

}  // namespace platix
