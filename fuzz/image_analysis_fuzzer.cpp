// Fuzz target: an image file of any format through the public path, as the
// programs load it (set, open), then the analysis at depth 1 on the page
// that loaded, with the results list walked and checked.
#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"
#include "rasterkit.h"

namespace {

constexpr long long kMaxFuzzPixels = 1 << 22;
// Analysis of larger normalised pages is too slow for fuzzing.
constexpr long long kMaxAnalysedPixels = 1 << 20;

// A result outside the page or with a bitmap that does not match its size
// is a fault of the analysis: stop the run.
void check_results() {
    int count = 0;
    for (const seg_result* r = results; r != nullptr; r = r->next) {
        ++count;
        if (r->bitmap == nullptr || r->columns < 1 || r->lines < 1 || r->bpl != (r->columns + 7) / 8 ||
            r->left < 0 || r->top < 0 || r->left > r->right || r->top > r->bottom || r->right >= MAXCOL ||
            r->bottom >= MAXLIN || r->text[0] != 0)
            std::abort();
        unsigned sum = 0;
        for (long i = 0; i < static_cast<long>(r->bpl) * r->lines; ++i) sum += r->bitmap[i];
        asm volatile("" : : "r"(sum));
    }
    if (count != SEG_get_results_number()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65536) return 0;
    static const std::string path = fuzzsupport::scratch_file("analysis-input");
    if (!fuzzsupport::write_file(path, data, size)) return 0;
    if (fuzzsupport::claimed_pixels(data, size, path) > kMaxFuzzPixels) return 0;

    SEG_clear_analysis_results();
    SEG_set_image_file(path.c_str());
    const int opened = SEG_open_image();
    if (opened != 0 && videobuffer != nullptr &&
        static_cast<long long>(MAXCOL) * MAXLIN <= kMaxAnalysedPixels) {
        if (SEG_analyze_image(1) != 1) std::abort();
        check_results();
    }
    SEG_clear_analysis_results();
    SEG_close_image();
    return 0;
}
