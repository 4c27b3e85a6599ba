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
// With a region in `settings`, every syntax of the region as long as the
// plain reading (blanks left out) shapes that same reading with its
// template, as the engine would have shaped it had the field been read with
// that template; the fitting one with the fewest look-alike substitutions
// (see choose_syntax) gives the text, with the plain reading's blanks kept,
// and is named in field.syntax. The field is read once. When none fits, or
// without a region, the text is the plain reading and field.syntax is
// empty. On a failed reading the field is left without text.
void read_field(ocr_io* io, const unsigned char* bits, int columns, int lines, int bpl,
                const RecognitionSettings& settings, FieldResult& field, const ImageResult& page);

// The classes of the raw answer's non-blank slots, in order: one or two
// characters each ('_' padding removed), "" for an unread '^'.
std::vector<std::string> raw_classes(const char* raw_text);

// `shaped` (no blanks) laid out with the blanks of `plain`: each non-blank
// character of `plain` is replaced in order by the next one of `shaped`;
// what `shaped` has beyond is appended.
std::string with_blanks_of(const std::string& plain, const std::string& shaped);

}  // namespace platix
