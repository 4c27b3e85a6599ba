// Training on one labelled image: which fields belong to the plate, and
// teaching the characters that were read wrongly.
#pragma once

#include <vector>

#include "augment.h"
#include "glyphnet.h"
#include "image_result.h"
#include "labels.h"
#include "options.h"

namespace platix {

struct TrainImageOutcome {
    enum Kind { used, no_field, count_mismatch } kind = no_field;
    int taught = 0;   // characters passed to the engine and learned
    int right = 0;    // characters already read as labelled
    int failed = 0;   // characters the engine refused to learn
    int variants = 0; // variants of taught characters learned as well
};

// Indexes of the fields whose centre lies in the labelled box, in reading
// order (rows from the top, then from the left).
std::vector<std::size_t> fields_in_box(const ImageResult& r, const LabelledImage& l);

// Reads the plate's fields (their bitmaps must be kept in `r`); when their
// characters number exactly the plate's, teaches each wrongly read one
// into knowledge base 1 of the engine, and then up to `variants` variants
// of each taught character (see augment.h) that the base does not yet
// read as its label. With a region the plate is read with that region's
// syntaxes (see read_field), so what a syntax reads right is not taught.
TrainImageOutcome train_image(ocr_io* io, ImageResult& r, const LabelledImage& l, int variants = 0,
                              Region region = Region::none);

// Teaches the variants of variant_plan(n) of one character picture (cut by
// cut_character) as `label`, skipping those the base already reads as the
// label; returns how many were learned.
int teach_variants(ocr_io* io, const CharImage& picture, char label, int n);

}  // namespace platix
