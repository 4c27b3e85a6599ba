// The second pass: candidates nested in others are dropped, every other
// candidate is split into its text rows, each row becomes a field of its
// own (cut out of the candidate's bitmap or binarised afresh), checked
// with the strict blob analysis and scored, and the fields are filtered.
#include "segment_fields.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "blobs.h"
#include "field_bitmap.h"
#include "field_filters.h"
#include "localise.h"
#include "skew.h"
#include "text_rows.h"
#include "zero_alloc.h"

namespace rk {

// Copies columns left .. right - 1 of lines top .. bottom - 1 of r's
// bitmap into a new bitmap of f, whole bytes from byte left / 8 on. A line
// is never read past the end of r's line; what it cannot give stays
// background. Returns false when memory runs out.
bool copy_field_rows(AnalysisInstance& a, seg_result* f, const seg_result* r, int left, int top, int right,
                     int bottom) {
    f->lines = bottom - top;
    f->columns = right - left;
    f->bpl = (f->columns + 7) / 8;
    if (f->lines <= 0 || f->columns <= 0) return false;
    const std::size_t size = static_cast<std::size_t>(f->lines) * static_cast<std::size_t>(f->bpl);
    f->bitmap = static_cast<unsigned char*>(orvo::zero_alloc(size));
    if (f->bitmap == nullptr) return false;
    std::memset(f->bitmap, 0xFF, size);
    const int first = left / 8;
    const int n = left < 0 ? 0 : std::clamp(r->bpl - first, 0, f->bpl);
    for (int k = 0; k < f->lines; ++k)
        if (n > 0 && top + k >= 0 && top + k < r->lines)
            std::memcpy(f->bitmap + static_cast<long>(k) * f->bpl,
                        r->bitmap + static_cast<long>(top + k) * r->bpl + first, static_cast<std::size_t>(n));
    load_bitmap(a, f);
    return true;
}

namespace {

void set_score(seg_result* r, int n) { r->text[0] = static_cast<char>(n & 0xFF); }

// The strict blob analysis, twice, on the current bitmap.
bool passes_twice(AnalysisInstance& a) { return analyze_blobs(a, 1) != 0 && analyze_blobs(a, 1) != 0; }

// Binarises the image rectangle afresh into f; false when the row is lost.
bool rebinarise_row(AnalysisInstance& a, seg_result* f, const Rect& rect) {
    bool ok = false;
    if (estimate_threshold(a, rect) != 0)
        ok = binarize_window(a, a.image, a.image_bpl, rect, a.graythreshold, a.rowthresholds, a.polarity) != 0;
    orvo::zero_free(a.rowthresholds);
    a.rowthresholds = nullptr;
    if (!ok) return false;
    f->bitmap = a.objectbitmap;
    f->bpl = a.BMP_bpl;
    f->columns = a.BMP_columns;
    f->lines = a.BMP_lines;
    erase_bars(a, 0, 0, a.BMP_columns - 1, a.BMP_lines - 1);
    if (analyze_blobs(a, 0) == 0) {
        free_objectbitmap(a);
        f->bitmap = nullptr;
        return false;
    }
    double skew = 0.0, slant = 0.0;
    if (estimate_skew(a, &skew, &slant) != 0) {
        deskew_bitmap(a, skew, slant);
        f->bitmap = a.objectbitmap;
    }
    return true;
}

// Pushes onto `list` one field per acceptable text row of r, last row
// first. When memory runs out, the fields made from r are released again,
// r itself is pushed unchanged and r_pushed is set.
void split_rows(AnalysisInstance& a, seg_result* r, int count, int rebinarise, seg_result*& list,
                bool& r_pushed) {
    int made = 0;
    for (int i = 0; i < count; ++i) {
        a.textrows.row_cursor = count - 2 - i;
        int left = 0, top = 0, right = 0, bottom = 0;
        next_text_row(a, &left, &top, &right, &bottom);
        if (bottom - top < 24 || right - left < 30) continue;
        auto* f = static_cast<seg_result*>(orvo::zero_alloc(sizeof(seg_result)));
        bool out_of_memory = f == nullptr;
        if (!out_of_memory) {
            if (rebinarise != 0 && right - left >= 3 * (bottom - top)) {
                left -= 5;
                right += 5;
                top -= std::abs(r->lines - bottom) > 6 ? 12 : 4;
                bottom += top > 8 ? 12 : 4;
            }
            bottom += 4;
            if (top <= 8) top = 0;
            if (!(std::abs(r->lines - bottom) > 8 && bottom <= r->lines)) bottom = r->lines;
            if (left <= 6) left = 0;
            if (!(std::abs(r->columns - right) > 6 && right <= r->columns)) right = r->columns;
            // The page rectangle adds the row's end positions to the candidate's
            // corner as they are, so it may reach one past the copied bitmap.
            const Rect rect{std::max(0, r->left + left), std::max(0, r->top + top),
                            std::min(MAXCOL - 1, r->left + right), std::min(MAXLIN - 1, r->top + bottom)};
            // A row pushed out of the page, or cut to nothing, makes no field.
            if (rect.right < rect.left || rect.bottom < rect.top || bottom <= top || right <= left) {
                release_record(f);
                continue;
            }
            if (rebinarise != 0) {
                if (!rebinarise_row(a, f, rect)) {
                    release_record(f);
                    continue;
                }
            } else if (!copy_field_rows(a, f, r, left, top, right, bottom)) {
                out_of_memory = true;
                release_record(f);
            }
            if (!out_of_memory) {
                if (passes_twice(a)) {
                    set_score(f, a.n_components);
                    f->left = rect.left;
                    f->top = rect.top;
                    f->right = rect.right;
                    f->bottom = rect.bottom;
                    f->next = list;
                    list = f;
                    ++made;
                } else {
                    release_record(f);
                }
            }
        }
        if (out_of_memory) {
            for (; made > 0; --made) {
                seg_result* g = list;
                list = g->next;
                release_record(g);
            }
            r->next = list;
            list = r;
            r_pushed = true;
            return;
        }
    }
}

}  // namespace

void segment_fields(AnalysisInstance& a, int rebinarise) {
    drop_nested(a.results);

    seg_result* list = nullptr;
    seg_result* r = a.results;
    a.results = nullptr;
    while (r != nullptr) {
        seg_result* const next = r->next;
        bool pushed = false;
        int count = 0;
        if (r->bitmap != nullptr && r->lines > 0 && r->columns > 0 && r->bpl > 0) {
            // A bitmap much larger than its rectangle is an enlarged copy of
            // a small one-row field.
            if (std::abs(r->right - r->left - r->columns) >= 3 && std::abs(r->bottom - r->top - r->lines) >= 4)
                count = 1;
            else
                count = find_text_rows(a, r->bitmap, r->lines, r->columns, r->bpl);
        }
        if (count == 1) {
            load_bitmap(a, r);
            if (passes_twice(a)) {
                set_score(r, a.n_components);
                r->next = list;
                list = r;
                pushed = true;
            }
        } else if (count >= 2) {
            split_rows(a, r, count, rebinarise, list, pushed);
        }
        release_text_rows(a);
        if (!pushed) release_record(r);
        r = next;
    }
    a.results = list;

    filter_fields(a.results, analysis_rules(a.driver.analysis_mode));
}

}  // namespace rk
