// Character framing and the text band of a field.
#include "image/framing.h"

#include "engine/request.h"
#include "image/bitmap_view.h"

namespace gn {
namespace {

Frame g_frame;

constexpr int kMaxRows = 257;

struct Run {
    int start = -1, length = 0;
};

// Unmarks runs of marked rows shorter than 4 and returns the longest of the
// rest (first of equals); length 0 when none is left.
Run keep_long_runs(bool* marks, int n) {
    Run best;
    int i = 0;
    while (i < n) {
        if (!marks[i]) {
            ++i;
            continue;
        }
        int j = i;
        while (j < n && marks[j]) ++j;
        if (j - i < 4) {
            for (int k = i; k < j; ++k) marks[k] = false;
        } else if (j - i > best.length) {
            best.start = i;
            best.length = j - i;
        }
        i = j;
    }
    return best;
}

// Grows the band [*lo, *hi] (indexes into marks) in one direction (step -1
// upward, +1 downward): ink rows join, gaps shorter than g / 4 are bridged,
// a longer gap stops the growth when it reaches stop_gap rows or when the
// ink run beyond it is shorter than min_run.
int grow(const bool* marks, int n, int edge, int step, int g, int stop_gap, int min_run) {
    int i = edge + step;
    while (i >= 0 && i < n) {
        if (marks[i]) {
            edge = i;
            i += step;
            continue;
        }
        int gap_end = i;
        while (gap_end >= 0 && gap_end < n && !marks[gap_end]) gap_end += step;
        if (gap_end < 0 || gap_end >= n) break;  // nothing beyond the gap
        const int gap = (gap_end - i) * step;
        if (gap >= g / 4) {
            if (gap >= stop_gap) break;
            int run_end = gap_end;
            while (run_end >= 0 && run_end < n && marks[run_end]) run_end += step;
            const int run = (run_end - gap_end) * step;
            if (run < min_run) break;
        }
        i = gap_end;
    }
    return edge;
}

// The band grown around the main run, as indexes first..last into marks.
void grow_band(const bool* marks, int n, Run main, int* first, int* last) {
    const int g = main.length;
    *first = grow(marks, n, main.start, -1, g, 5 * g / 8, (5 * g / 8) / 3);
    *last = grow(marks, n, main.start + g - 1, +1, g, g / 2, g / 4);
}

bool frame_normal(int x, int y, int w, int h, Frame* out) {
    if (h > 256) return false;
    bool marks[kMaxRows] = {};
    for (int r = 0; r < h; ++r) marks[r] = row_has_ink(y + r, x, x + w);
    const Run main = keep_long_runs(marks, h);
    if (main.length == 0) return false;
    const int g = main.length;

    // The longest other run (runs never share rows with the main band).
    Run second;
    for (int i = 0; i < h;) {
        if (!marks[i]) {
            ++i;
            continue;
        }
        int j = i;
        while (j < h && marks[j]) ++j;
        if (i != main.start && j - i <= g && j - i > second.length) {
            second.start = i;
            second.length = j - i;
        }
        i = j;
    }
    if (second.length > 0 && second.length > g / 3) {
        const int lo = main.start < second.start ? main.start : second.start;
        const int hi_main = main.start + main.length;
        const int hi_second = second.start + second.length;
        const int hi = hi_main > hi_second ? hi_main : hi_second;
        if (w < (hi - lo) / 2) {
            out->left = x;
            out->top = y + lo;
            out->width = w;
            out->height = hi - lo;
            return true;  // a colon or a similar two-part sign
        }
    }

    int first = 0, last = 0;
    grow_band(marks, h, main, &first, &last);
    const int top = y + first, bottom = y + last;  // inclusive
    int l = -1, r = -1;
    for (int c = x; c < x + w; ++c) {
        if (col_has_ink(c, top, bottom + 1)) {
            if (l < 0) l = c;
            r = c;
        }
    }
    if (l < 0) return false;
    out->left = l;
    out->top = top;
    out->width = r - l + 1;
    out->height = bottom - top + 1;
    return true;
}

// One edge of a gap-tolerant frame: walks `count` lines from `start` by
// `step`; an ink line is a candidate, confirmed by the next ink line when
// at most 2 blank lines lie between, dropped at the third blank line.
template <typename InkTest>
int confirmed_edge(int start, int count, int step, InkTest ink) {
    int candidate = 0, blanks = 0;
    bool have = false;
    for (int k = 0; k < count; ++k) {
        const int pos = start + k * step;
        if (ink(pos)) {
            if (have) return candidate;
            candidate = pos;
            have = true;
            blanks = 0;
        } else if (have && ++blanks >= 3) {
            have = false;
        }
    }
    return start;  // unconfirmed: the rectangle's own edge
}

bool frame_gap_tolerant(int x, int y, int w, int h, Frame* out) {
    auto row_ink = [x, w](int r) { return row_has_ink(r, x, x + w); };
    const int top = confirmed_edge(y, h, +1, row_ink);
    const int bottom = confirmed_edge(y + h - 1, h, -1, row_ink);
    auto col_ink = [top, y, h](int c) { return col_has_ink(c, top, y + h); };
    const int left = confirmed_edge(x, w, +1, col_ink);
    const int right = confirmed_edge(x + w - 1, w, -1, col_ink);
    out->left = left;
    out->top = top;
    out->width = right - left + 1;
    out->height = bottom - top + 1;
    return true;
}

}  // namespace

Frame& current_frame() { return g_frame; }

bool frame_char(int x, int y, int w, int h) {
    if (w <= 0 || h <= 0 || static_cast<long>(w) * h < 9) return false;
    Frame f;
    const bool ok = request().gap_tolerant ? frame_gap_tolerant(x, y, w, h, &f)
                                           : frame_normal(x, y, w, h, &f);
    if (!ok || f.width <= 0 || f.height <= 0 || static_cast<long>(f.width) * f.height < 9)
        return false;
    if (f.top > y && f.height > h) {
        // A frame that moved down and yet grew: refuse it when rows of ink
        // lie 3 above and 3 below it.
        int above = f.top - 3;
        if (above < 0) above = 0;
        int below = f.top + f.height - 1 + 3;
        const int last_row = current_bitmap().rows - 1;
        if (below > last_row) below = last_row;
        if (row_has_ink(above, f.left, f.left + f.width) &&
            row_has_ink(below, f.left, f.left + f.width))
            return false;
    }
    g_frame = f;
    return true;
}

void text_band(int left, int right, int* top, int* bottom) {
    const int h = *bottom - *top;
    if (right - left > 2561 || h > kMaxRows || h <= 0) return;
    bool marks[kMaxRows] = {};
    for (int r = 0; r < h; ++r) marks[r] = row_has_ink(*top + r, left, right);
    const Run main = keep_long_runs(marks, h);
    if (main.length == 0) return;
    int first = 0, last = 0;
    grow_band(marks, h, main, &first, &last);
    const int t = *top;
    *top = t + first;
    *bottom = t + last + 1;
}

}  // namespace gn
