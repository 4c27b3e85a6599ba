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
    long long max_pixels = 0;       // > 0: images of more pixels are refused
};

ImageResult analyse_file(const InputFile& input, const AnalysisRequest& request);

// Analyses and reads the page the image store holds (opened by the caller,
// e.g. with SEG_open_gray_page) into `r`, whose path, file size and page
// description (maxcol, maxlin, scales) the caller has set. Sets fields, ms
// and status (failed only when the annotated copy cannot be written). The
// page and the analysis results stay held: the caller clears and closes
// (after the learned reader's windows pass the page is held again as it
// was, and the results are cleared).
void analyse_held_page(ImageResult& r, const AnalysisRequest& request);

}  // namespace platix
