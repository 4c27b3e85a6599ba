// Annotated pictures, as read --annotate writes them: the original picture
// with the field frames (the first green, the others red) and the character
// frames at file coordinates, and the text read.
#pragma once

#include <string>

#include "image_result.h"
#include "png_out.h"

namespace platix {

// The picture of file `path` as the user sees it (upright, its own size,
// in colour when it can be decoded here; else the gray `page` of `r`
// stretched back) with the same frames at the file coordinates the JSON
// gives, and each field's text on a band beside its frame.
RgbPicture annotate_original(const std::string& path, const unsigned char* page, const ImageResult& r);

// Writes annotate_original of r.path and the page held by the image store
// as the PNG file `png_path`; false (with the reason) when no page matching
// `r` is held or the file cannot be written.
bool write_annotation(const std::string& png_path, const ImageResult& r, std::string* why);

}  // namespace platix
