// Segmentation of a field into character cells.
#include "field/segmentation.h"

#include <cstdint>

#include "engine/request.h"
#include "image/bitmap_view.h"
#include "image/framing.h"

namespace gn {
namespace {

bool bg(int x, int y) { return !is_ink(x, y); }

// One falling path from (x, y0) to the last row; prefer_right picks the
// side tried first when the path is blocked.
bool trace_fall(int x, int y0, int last_row, int a, bool prefer_right, int* rightmost,
                int* leftmost, int* end_col) {
    int cx = x, y = y0;
    *rightmost = *leftmost = x;
    while (y < last_row) {
        if (bg(cx, y + 1)) {
            ++y;
            continue;
        }
        int next = -1;
        for (int side = 0; side < 2 && next < 0; ++side) {
            const bool right = (side == 0) == prefer_right;
            if (right) {
                for (int nx = cx + 1; nx <= x + a && bg(nx, y); ++nx)
                    if (bg(nx, y + 1)) {
                        next = nx;
                        break;
                    }
            } else {
                for (int nx = cx - 1; nx >= x - a && bg(nx, y); --nx)
                    if (bg(nx, y + 1)) {
                        next = nx;
                        break;
                    }
            }
        }
        if (next < 0) return false;
        cx = next;
        ++y;
        if (cx > *rightmost) *rightmost = cx;
        if (cx < *leftmost) *leftmost = cx;
    }
    *end_col = cx;
    return true;
}

// The rising path from the bottom at column `col`; returns its leftmost
// column.
int trace_rise(int col, int y_bottom, int y0, int x, int a) {
    int cx = col, y = y_bottom, leftmost = col;
    while (y > y0) {
        if (bg(cx, y - 1)) {
            --y;
            continue;
        }
        int next = -1;
        for (int nx = cx + 1; nx <= x + a && bg(nx, y); ++nx)
            if (bg(nx, y - 1)) {
                next = nx;
                break;
            }
        if (next < 0)
            for (int nx = cx - 1; nx >= x - a && bg(nx, y); --nx)
                if (bg(nx, y - 1)) {
                    next = nx;
                    break;
                }
        if (next < 0) break;
        cx = next;
        --y;
        if (cx < leftmost) leftmost = cx;
    }
    return leftmost;
}

int first_ink_col(int y, int x0, int right) {
    for (int x = x0; x < right; ++x)
        if (is_ink(x, y)) return x;
    return right;
}

}  // namespace

bool cut_search(int x0, int y0, int w, int h, int* piece_width, int* rest_start) {
    const int right = x0 + w, bottom = y0 + h;
    const int a = h / 15 > 3 ? h / 15 : 3;

    // The upper stroke and its protected zone.
    bool zone = false;
    int zs = 0, ze = 0;
    {
        bool marked = false, stopped = false;
        int b = 0, ys = 0;
        for (int y = y0; y < y0 + h / 2; ++y) {
            const int fi = first_ink_col(y, x0, right);
            if (!marked) {
                if (fi >= x0 + a) {
                    marked = true;
                    b = fi;
                }
            } else if (fi > b + a || fi == right) {
                stopped = true;
                b = fi;
                ys = y;
                break;
            }
        }
        if (marked && stopped) {
            int c = x0;
            while (c < right && col_has_ink(c, y0, ys + 1)) ++c;  // first without ink
            int s = c;
            while (s < b && !col_has_ink(s, y0, ys + 1)) ++s;     // then with ink
            if (s >= b) s = b;
            int e = s + 1;
            while (e < right && col_has_ink(e, y0, ys + 1)) ++e;
            zs = s - a > x0 ? s - a : x0;
            if (e < right) ze = e - a / 2;
            else ze = b < right - a ? x0 : right;
            zone = true;
        }
    }

    const int last_row = bottom - 1 < current_bitmap().rows - 1 ? bottom - 1
                                                                : current_bitmap().rows - 1;
    for (int x = x0 + a + 1; x < right - a - 1; ++x) {
        if (is_ink(x, y0)) continue;
        if (zone && x > zs && x < ze) continue;
        int rm = x, lm = x, end_col = x;
        bool ok = trace_fall(x, y0, last_row, a, true, &rm, &lm, &end_col);
        if (!ok) ok = trace_fall(x, y0, last_row, a, false, &rm, &lm, &end_col);
        if (!ok) continue;
        if (lm == x) {
            const int rl = trace_rise(end_col, last_row, y0, x, a);
            // A rising path whose leftmost is the fall's last column counts.
            if (rl > x && rl <= end_col) lm = rl;
        }
        *piece_width = rm - x0;
        *rest_start = lm + 1;
        return true;
    }
    return false;
}

bool first_empty_column_cut(int x0, int y0, int w, int h, int m, int* piece_width,
                            int* rest_start) {
    // m columns at least lie left of the cut column and m right of it.
    for (int c = x0 + m; c <= x0 + w - 1 - m; ++c) {
        if (!col_has_ink(c, y0, y0 + h)) {
            *piece_width = c - x0;
            *rest_start = c + 1;
            return true;
        }
    }
    return false;
}

int find_segments(int left, int top, int right, int bottom, Segment* out, int cap) {
    const Request& rq = request();
    if (!rq.gap_tolerant) text_band(left, right, &top, &bottom);
    const int g = rq.gap_tolerant ? 4 : (rq.wide_gaps ? 2 : 1);
    int n = 0;
    auto record = [&](int l, int t, int r, int b) {
        if (n < cap && r > l) out[n++] = Segment{l, t, r, b};
    };
    int x = left;
    while (x < right && n < cap) {
        while (x < right && !col_has_ink(x, top, bottom)) ++x;
        if (x >= right) break;
        const int start = x;
        int i = start, run = 0;
        bool gap_found = false;
        for (; i < right; ++i) {
            run = col_has_ink(i, top, bottom) ? 0 : run + 1;
            if (run == g) {
                gap_found = true;
                break;
            }
        }
        int end;
        if (gap_found) {
            end = i - g + 1;
        } else {
            if (rq.wide_gaps && run == 0) break;  // runs into the edge: dropped
            end = right - run;
        }
        // Trim to the rows with ink.
        int st = top, sb = bottom;
        while (st < sb && !row_has_ink(st, start, end)) ++st;
        while (sb > st && !row_has_ink(sb - 1, start, end)) --sb;
        const int h = sb - st;
        int resume = end;
        if (h > 256 || end - start > 2560 || h <= 0) {
            x = end;
            continue;
        }
        if (rq.gap_tolerant) {
            record(start, st, end, sb);
            x = end;
            continue;
        }
        const int m = h * 5 / 12;
        int se = end, once_rest = -1;
        if (se - start > m && !rq.wide_gaps) {
            int pw = 0, rs = 0;
            if (cut_search(start, st, se - start, h, &pw, &rs) && rs > start) {
                se = start + pw;
                once_rest = rs;
            }
        }
        resume = once_rest >= 0 ? once_rest : end;
        if (se - start > m) {
            int cur = start;
            do {
                int pw = 0, rs = 0;
                const bool cut = rq.wide_gaps
                                     ? first_empty_column_cut(cur, st, se - cur, h, m, &pw, &rs)
                                     : cut_search(cur, st, se - cur, h, &pw, &rs);
                if (!cut || rs <= cur) {
                    // No cut: the rest stays whole, and the scan resumes where
                    // the first cut's rest began (the segment's end without one).
                    record(cur, st, se, sb);
                    resume = once_rest >= 0 ? once_rest : end;
                    break;
                }
                record(cur, st, cur + pw, sb);
                cur = rs;
                resume = rs;
            } while (cur < se - 3 && n < cap);
        } else {
            // Recorded whole (shortened by the first cut or not): the scan
            // goes on at its end.
            record(start, st, se, sb);
            resume = se;
        }
        x = resume > start ? resume : end;
    }
    return n;
}

int clean_up_segments(Segment* segs, int n, int* avg_width, int* avg_height) {
    // Nested segments go first, over the whole list, so that the overlaps
    // below are clipped against the segments that stay.
    int nested_free = 0;
    for (int i = 0; i < n; ++i) {
        const Segment s = segs[i];
        if (nested_free > 0) {
            const Segment& prev = segs[nested_free - 1];
            if (s.right < prev.right + 3 && s.left > prev.left) continue;
        }
        if (i + 1 < n) {
            const Segment& next = segs[i + 1];
            if (s.left > next.left - 3 && s.right < next.right) continue;
        }
        segs[nested_free++] = s;
    }
    n = nested_free;

    int kept = 0;
    std::uint16_t sum_w = 0, sum_h = 0;
    Segment prev{0, 0, 0, 0};
    bool have_prev = false;
    for (int i = 0; i < n; ++i) {
        const Segment s = segs[i];
        const bool has_next = i + 1 < n;
        const Segment next = has_next ? segs[i + 1] : Segment{0, 0, 0, 0};
        int l = s.left, r = s.right;
        if (have_prev && prev.right > l) l = prev.right;
        if (has_next && next.left < r) r = next.left;
        if (r <= l) continue;
        if (!frame_char(l, s.top, r - l, s.bottom - s.top)) continue;
        Frame f = current_frame();
        int ft = f.top, fb = f.top + f.height;
        if (l != s.left || r != s.right) {
            while (ft > s.top && row_has_ink(ft - 1, s.left, s.right)) --ft;
            while (fb < s.bottom && row_has_ink(fb, s.left, s.right)) ++fb;
        }
        const Segment cell{l, ft, r, fb};
        segs[kept++] = cell;
        sum_w = static_cast<std::uint16_t>(sum_w + (r - l));
        sum_h = static_cast<std::uint16_t>(sum_h + (fb - ft));
        prev = s;
        have_prev = true;
    }
    *avg_width = kept > 0 ? sum_w / kept : 0;
    *avg_height = kept > 0 ? sum_h / kept : 0;
    return kept;
}

}  // namespace gn
