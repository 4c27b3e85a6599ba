// Reading one image through the libraries, the way the recognition program
// does it: clear the results, set and open the file (first page), analyse,
// then read every field in list order.
#pragma once

#include "glyphnet.h"
#include "image_result.h"
#include "options.h"
#include "walk.h"

namespace platix {

struct AnalysisRequest {
    int depth = 3;
    ocr_io* io = nullptr;           // engine record; null: fields without text
    RecognitionSettings recognition;
    bool keep_bitmaps = false;      // copy each field's bitmap into the result
    std::string annotate_dir;       // non-empty: write DIR/NAME.png
};

ImageResult analyse_file(const InputFile& input, const AnalysisRequest& request);

// Reads one field bitmap with the engine (region = whole field) and fills
// the field's text, raw answer and characters. `field` must already hold
// page_box; maxcol, maxlin, scale and file size map the character boxes.
void read_field(ocr_io* io, const unsigned char* bits, int columns, int lines, int bpl,
                const RecognitionSettings& settings, FieldResult& field, const ImageResult& page);

// The classes of the raw answer's non-blank slots, in order: one or two
// characters each ('_' padding removed), "" for an unread '^'.
std::vector<std::string> raw_classes(const char* raw_text);

}  // namespace platix
