// The three output shapes of the read command, one record per image.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "image_result.h"
#include "options.h"

namespace platix {

// "PATH<TAB>TEXT1 | TEXT2 ..." for a read image; "PATH<TAB>ERROR: reason"
// for a failed one. Ends with a newline.
std::string format_text_line(const ImageResult& r);

// The JSON object of `r` (the members format_json_line writes, in its
// order), for writers that embed it.
nlohmann::ordered_json image_json(const ImageResult& r, AnalysisKind analysis, bool with_syntax);

// One JSON object on one line (JSON Lines), newline included; a read
// image names the analysis that found its fields. With `with_syntax`
// (reading with a region) every field also names the plate syntax its text
// was read with, null when none fitted.
std::string format_json_line(const ImageResult& r, AnalysisKind analysis, bool with_syntax = false);

// The CSV header line, and one row per field of a read image; an image
// without fields gives one row with field 0 and empty text, a failed one a
// row with only the file and the error column.
std::string csv_header();
std::string format_csv_rows(const ImageResult& r);

// 8-bit text as UTF-8: bytes that form valid UTF-8 pass through, every
// other byte above 0x7F is taken as Windows-1252.
std::string utf8_text(const std::string& text);

// JSON string literal of 8-bit text converted as utf8_text does.
std::string json_string(const std::string& text);

}  // namespace platix
