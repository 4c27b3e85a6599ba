// Reading one field bitmap with the engine, the way the recognition
// program reads a field: the whole field as the region.
#pragma once

#include <string>
#include <vector>

#include "glyphnet.h"
#include "image_result.h"
#include "options.h"

namespace platix {

// Reads one field bitmap with the engine (region = whole field) and fills
// the field's text, raw answer and characters. `field` must already hold
// page_box; maxcol, maxlin, scale and file size map the character boxes.
void read_field(ocr_io* io, const unsigned char* bits, int columns, int lines, int bpl,
                const RecognitionSettings& settings, FieldResult& field, const ImageResult& page);

// The classes of the raw answer's non-blank slots, in order: one or two
// characters each ('_' padding removed), "" for an unread '^'.
std::vector<std::string> raw_classes(const char* raw_text);

}  // namespace platix
