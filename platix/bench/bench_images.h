// What bench says about each image: its truth, what was read in the
// labelled box, and the verdict; for bench --json and bench --misses.
#pragma once

#include <string>
#include <vector>

#include "bench_score.h"
#include "image_result.h"
#include "labels.h"

namespace platix {

struct ImageVerdict {
    std::string path;
    std::string truth;    // the label's plate, as written
    std::string reading;  // the fields located in the box, in list order, joined by " | "
    std::string verdict;  // "exact", "misread", "not located" or "failed"
    std::string error;    // why a failed image failed
    double char_accuracy = 0;
};

ImageVerdict verdict_of(const ImageResult& r, const LabelledImage& truth, const PlateScore& score);

// The bench JSON (an object ending in "}\n") with "image_results", one
// object per image, added as its last key.
std::string with_image_results(const std::string& bench_json, const std::vector<ImageVerdict>& images);

// One line per image not read exactly: PATH<TAB>TRUTH<TAB>READING<TAB>VERDICT,
// after a heading that counts them.
std::string format_misses(const std::vector<ImageVerdict>& images);

}  // namespace platix
