// Per-image verdicts of a benchmark run.
#include "bench_images.h"

#include <cstdio>

#include "coords.h"
#include "output_format.h"

namespace platix {

ImageVerdict verdict_of(const ImageResult& r, const LabelledImage& truth, const PlateScore& score) {
    ImageVerdict v;
    v.path = truth.image_path;
    v.truth = truth.plate;
    v.char_accuracy = score.char_accuracy;
    if (r.status != ImageStatus::ok) {
        v.verdict = "failed";
        v.error = r.error;
        return v;
    }
    for (const auto& f : r.fields)
        if (centre_inside(f.file_box, truth.x, truth.y, truth.w, truth.h))
            v.reading += (v.reading.empty() ? "" : " | ") + f.text;
    v.verdict = score.exact ? "exact" : score.located ? "misread" : "not located";
    return v;
}

std::string with_image_results(const std::string& bench_json, const std::vector<ImageVerdict>& images) {
    const auto end = bench_json.rfind('}');
    if (end == std::string::npos) return bench_json;
    std::string out = bench_json.substr(0, end) + ", \"image_results\": [";
    for (std::size_t i = 0; i < images.size(); ++i) {
        const auto& v = images[i];
        char acc[32];
        std::snprintf(acc, sizeof acc, "%.3f", v.char_accuracy);
        out += (i ? ", " : "") + std::string("{\"file\": ") + json_string(v.path) + ", \"truth\": " +
               json_string(v.truth) + ", \"reading\": " + json_string(v.reading) + ", \"verdict\": " +
               json_string(v.verdict) + ", \"char_accuracy\": " + acc;
        if (!v.error.empty()) out += ", \"error\": " + json_string(v.error);
        out += "}";
    }
    return out + "]}\n";
}

std::string format_misses(const std::vector<ImageVerdict>& images) {
    std::string lines;
    int n = 0;
    for (const auto& v : images) {
        if (v.verdict == "exact") continue;
        ++n;
        lines += v.path + "\t" + v.truth + "\t" + (v.verdict == "failed" ? v.error : v.reading) + "\t" + v.verdict + "\n";
    }
    return "\nmisses: " + std::to_string(n) + " of " + std::to_string(images.size()) + " images\n" + lines;
}

}  // namespace platix
