// Candidate localisation: threshold, binarise and check every candidate
// rectangle, enlarging low long ones 2 x first (or, in the extended
// analysis, when they show no characters as they are); candidates without
// character blobs are unlinked and freed, the others are straightened.
#include <algorithm>
#include <cstring>

#include "analysis_mode.h"
#include "blobs.h"
#include "field_bitmap.h"
#include "localise.h"
#include "skew.h"
#include "zero_alloc.h"

namespace rk {

void enlarge_2x(const unsigned char* src, int src_bpl, int w, int h, unsigned char* out) {
    const int ob = 2 * w;
    auto O = [&](int x, int y) -> unsigned char& { return out[static_cast<long>(y) * ob + x]; };
    for (int j = 0; j < h; ++j) {
        const unsigned char* s = src + static_cast<long>(j) * src_bpl;
        for (int i = 0; i < w; ++i) {
            const int S = s[i];
            O(2 * i + 1, 2 * j + 1) = static_cast<unsigned char>(S);
            O(2 * i, 2 * j + 1) =
                static_cast<unsigned char>(i == 0 ? S : (O(2 * i - 1, 2 * j + 1) + S) >> 1);
            int v;
            if (j == 0) v = i == 0 ? S : (O(2 * i - 1, 2 * j) + S) >> 1;
            else if (i == 0) v = (S + O(2 * i, 2 * j - 1)) >> 1;
            else v = (((O(2 * i - 1, 2 * j) + S) >> 1) + O(2 * i, 2 * j - 1)) >> 1;
            O(2 * i, 2 * j) = static_cast<unsigned char>(v);
            O(2 * i + 1, 2 * j) = static_cast<unsigned char>(j == 0 ? S : (S + O(2 * i, 2 * j)) >> 1);
        }
    }
}

namespace {

void free_rowthresholds(AnalysisInstance& a) {
    orvo::zero_free(a.rowthresholds);
    a.rowthresholds = nullptr;
}

// Binarises the candidate through an enlarged copy of its rectangle.
int binarise_enlarged(AnalysisInstance& a, const Rect& rect, int width, int height) {
    auto* copy = static_cast<unsigned char*>(
        orvo::zero_alloc_array(static_cast<std::size_t>(4) * width, static_cast<std::size_t>(height)));
    if (copy == nullptr)
        return binarize_window(a, a.image, a.image_bpl, rect, a.graythreshold, nullptr, a.polarity);
    enlarge_2x(a.image + static_cast<long>(rect.top) * a.image_bpl + rect.left, a.image_bpl, width, height,
               copy);
    const int gt = a.graythreshold, pol = a.polarity;
    free_rowthresholds(a);
    unsigned char* const image = a.image;
    const int image_bpl = a.image_bpl;
    a.image = copy;
    a.image_bpl = 2 * width;
    const Rect whole{0, 0, 2 * width - 1, 2 * height - 1};
    if (estimate_threshold(a, whole) == 0) {
        a.graythreshold = gt;
        a.polarity = pol;
    }
    a.image = image;
    a.image_bpl = image_bpl;
    const int ok = binarize_window(a, copy, 2 * width, whole, a.graythreshold, nullptr, a.polarity);
    orvo::zero_free(copy);
    return ok;
}

// Thresholds, binarises (through a 2 x copy when `enlarge`) and checks one
// candidate of columns x lines; 1 when it survives with its bitmap stored,
// 0 when it holds no bitmap.
int locate_as(AnalysisInstance& a, seg_result* r, const Rect& rect, int columns, int lines, bool enlarge) {
    if (estimate_threshold(a, rect) == 0) return 0;
    int ok;
    if (!enlarge) {
        ok = binarize_window(a, a.image, a.image_bpl, rect, a.graythreshold, a.rowthresholds, a.polarity);
    } else {
        // The copy is read from the rectangle, which bounds its size.
        const int width = std::min(columns, rect.right - rect.left + 1);
        const int height = std::min(lines, rect.bottom - rect.top + 1);
        ok = width > 0 && height > 0 ? binarise_enlarged(a, {rect.left, rect.top, rect.left + width - 1,
                                                              rect.top + height - 1},
                                                         width, height)
                                     : 0;
    }
    free_rowthresholds(a);
    if (!ok) return 0;
    orvo::zero_free(r->bitmap);
    r->bitmap = a.objectbitmap;
    r->bpl = a.BMP_bpl;
    r->columns = a.BMP_columns;
    r->lines = a.BMP_lines;
    erase_bars(a, 0, 0, a.BMP_columns - 1, a.BMP_lines - 1);
    if (analyze_blobs(a, 0) == 0) {
        free_objectbitmap(a);
        r->bitmap = nullptr;
        return 0;
    }
    return 1;
}

int locate_one(AnalysisInstance& a, seg_result* r) {
    const Rect rect{r->left, r->top, r->right, r->bottom};
    // A rectangle that does not lie in the page is no candidate.
    if (a.image == nullptr || rect.left < 0 || rect.top < 0 || rect.right < rect.left ||
        rect.bottom < rect.top || rect.right >= MAXCOL || rect.bottom >= MAXLIN)
        return 0;
    const int columns = r->columns, lines = r->lines;
    const AnalysisRules& rules = analysis_rules(a.driver.analysis_mode);
    const bool enlarge = enlarges(rules, columns, lines);
    if (enlarge && rules.enlarge_only_when_missed && !enlarges(kSpecifiedRules, columns, lines) &&
        locate_as(a, r, rect, columns, lines, false) != 0)
        return 1;
    return locate_as(a, r, rect, columns, lines, enlarge);
}

}  // namespace

void locate_candidates(AnalysisInstance& a) {
    seg_result* survivor = nullptr;
    seg_result* r = a.results;
    while (r != nullptr) {
        seg_result* const next = r->next;
        if (locate_one(a, r) == 0) {
            if (survivor == nullptr) a.results = next;
            else survivor->next = next;
            orvo::zero_free(r->bitmap);
            orvo::zero_free(r);
        } else {
            survivor = r;
            double skew = 0.0, slant = 0.0;
            if (estimate_skew(a, &skew, &slant) != 0) {
                deskew_bitmap(a, skew, slant);
                r->bitmap = a.objectbitmap;
            }
        }
        r = next;
    }
}

}  // namespace rk
