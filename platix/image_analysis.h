// Reading one image through the libraries, the way the recognition program
// does it: clear the results, set and open the file (first page), analyse,
// then read every field in list order.
#pragma once

#include "field_reading.h"
#include "glyphnet.h"
#include "image_result.h"
#include "options.h"
#include "platenet.h"
#include "walk.h"

namespace platix {

struct AnalysisRequest {
    int depth = 3;
    AnalysisKind analysis = AnalysisKind::extended;
    ocr_io* io = nullptr;           // engine record; null: fields without text
    const pnet_model* model = nullptr;  // learned reader: reads the fields instead of the engine
    RecognitionSettings recognition;
    bool keep_bitmaps = false;      // copy each field's bitmap into the result
    std::string annotate_path;      // non-empty: write the annotated page there (PNG)
};

ImageResult analyse_file(const InputFile& input, const AnalysisRequest& request);

}  // namespace platix
