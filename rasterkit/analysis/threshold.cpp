// Gray threshold and polarity of a rectangle of the instance's image: edge
// histograms give the threshold, three votes (interior, columns, rows) give
// the polarity, and wide rectangles get a threshold of their own per row.
#include <algorithm>
#include <cstdlib>

#include "localise.h"
#include "zero_alloc.h"

namespace rk {
namespace {

// Dark and bright sides of the edges found on some rows of the image.
struct EdgeStats {
    long dark_sum = 0, dark_n = 0;
    long bright_sum = 0, bright_n = 0;
    int largest_dark = 0;
    int smallest_bright = 255;

    bool any() const { return dark_n > 0; }
    bool overlap() const { return smallest_bright < largest_dark; }
    int dark_mean() const { return static_cast<int>(dark_sum / std::max(dark_n, 1L)); }
    int bright_mean() const { return static_cast<int>(bright_sum / std::max(bright_n, 1L)); }
};

// Adds the edges of image row y between pixel pairs (x, x + 1) and
// (x + d, x + d + 1), for x from x0 while x < x_end.
void add_row_edges(const unsigned char* p, int x0, int x_end, int d, int edgethreshold, EdgeStats& s) {
    for (int x = x0; x < x_end; ++x) {
        const int a = (p[x] + p[x + 1]) >> 1;
        const int b = (p[x + d] + p[x + d + 1]) >> 1;
        if (std::abs(a - b) <= edgethreshold) continue;
        const int lo = std::min(a, b), hi = std::max(a, b);
        s.dark_sum += lo;
        ++s.dark_n;
        s.bright_sum += hi;
        ++s.bright_n;
        s.largest_dark = std::max(s.largest_dark, lo);
        s.smallest_bright = std::min(s.smallest_bright, hi);
    }
}

// Counts the pixels above and not above `t` on row y, columns x0 .. x1 - 1.
void count_sides(const unsigned char* row, int x0, int x1, int t, int& bright, int& dark) {
    bright = dark = 0;
    for (int x = x0; x < x1; ++x) {
        if (row[x] > t) ++bright;
        else ++dark;
    }
}

}  // namespace

int estimate_threshold(AnalysisInstance& a, Rect r) {
    orvo::zero_free(a.rowthresholds);
    a.rowthresholds = nullptr;
    if (a.image == nullptr || r.left < 0 || r.top < 0 || r.right < r.left || r.bottom < r.top ||
        r.right >= a.image_bpl)
        return 0;
    const unsigned char* img = a.image;
    const int bpl = a.image_bpl;
    const int D = a.tuning.edge_dist;
    const int w = r.right - r.left, h = r.bottom - r.top;
    auto row = [&](int y) { return img + static_cast<long>(y) * bpl; };

    // Global threshold from the edges of the whole rectangle.
    EdgeStats all;
    for (int y = r.top; y < r.bottom; ++y)
        add_row_edges(row(y), r.left, r.right - (D + 1), D, a.edgethreshold, all);
    int e = 0;
    if (all.overlap()) {
        const int t = (all.dark_mean() + all.bright_mean()) / 2;
        const int m = (all.smallest_bright + all.largest_dark) / 2;
        if (m > t) e = std::min(2 * (m - t), 9);
        a.graythreshold = t - e;
    } else {
        a.graythreshold = (all.smallest_bright + all.largest_dark) / 2;
    }
    const int gt = a.graythreshold;

    // Interior vote.
    const int mx = std::min(w / 4, 2 * h), my = std::min(h / 4, w / 2);
    long bright = 0, dark = 0;
    for (int y = r.top + my; y <= r.bottom - my - 1; ++y) {
        int b = 0, d = 0;
        count_sides(row(y), r.left + mx, r.right - mx, gt, b, d);
        bright += b;
        dark += d;
    }
    if (bright == 0 || dark == 0) return 0;
    int pol = dark < bright ? 1 : 0;

    // Column vote over the middle third.
    const int c0 = r.left + w / 3, c1 = r.right - w / 3;  // columns c0 .. c1 - 1
    const int h5 = h / 5;
    long B = 0, K = 0;
    for (int x = c0; x < c1; ++x) {
        int cb = 0, cd = 0;
        for (int y = r.top + h5; y <= r.bottom - h5 - 1; ++y) {
            if (row(y)[x] > gt) ++cb;
            else ++cd;
        }
        if (cb > 2 * h5) B += cb;
        else if (cd > 2 * h5) K += cd;
    }
    if (K < B) ++pol;

    // Row vote: the first row from the middle, down and then up, that is
    // mostly bright or mostly dark.
    const int limit = 4 * (w / 3) / 5;
    bool bright_flag = false, dark_flag = false;
    // A row (of a very narrow rectangle) can be mostly bright and mostly dark
    // at once; it then sets both flags.
    auto scan = [&](int y) {
        int b = 0, d = 0;
        count_sides(row(y), c0, c1, gt, b, d);
        if (b > limit) bright_flag = true;
        if (d > limit) dark_flag = true;
        return b > limit || d > limit;
    };
    const int mid = (r.top + r.bottom) / 2;
    for (int y = mid; y <= r.bottom - 1; ++y)
        if (scan(y)) break;
    for (int y = mid - 1; y >= r.top; --y)
        if (scan(y)) break;
    if (bright_flag == dark_flag) {
        pol = (pol + 1) / 2;
    } else {
        if (bright_flag) ++pol;
        pol = (pol + 1) / 3;
    }
    a.polarity = pol;
    if (pol == 0) a.graythreshold += e;
    if (w < 3 * h) return 1;

    // One threshold per row of a wide rectangle.
    int* thr = static_cast<int*>(orvo::zero_alloc_array(static_cast<std::size_t>(h) + 1, sizeof(int)));
    if (thr == nullptr) return 1;
    // The pairs start in columns left + g .. right - g - 1; as g > D, the
    // pairs read stay inside the rectangle.
    const int g = std::max(w / 4, D + 1);
    for (int k = 0; k <= h; ++k) {
        EdgeStats s;
        add_row_edges(row(r.top + k), r.left + g, r.right - g, D, a.edgethreshold, s);
        int v;
        if (!s.any()) {
            v = a.graythreshold;
        } else if (s.overlap()) {
            v = (s.dark_mean() + s.bright_mean()) / 2;
            const int m = (s.smallest_bright + s.largest_dark) / 2;
            if (pol == 1 && m > v) v -= std::min(2 * (m - v), 9);
        } else {
            v = (s.smallest_bright + s.largest_dark) / 2;
        }
        thr[k] = v;
    }
    // A plate whose first rows show no edges of their own: rows 3 up to the
    // first row with a threshold of its own take the edge threshold when that
    // row's threshold is close to it.
    if (thr[0] == a.graythreshold) {
        int k = 1;
        while (k <= h && thr[k] == a.graythreshold) ++k;
        const int et = a.edgethreshold;
        if (1 < k && k < h + 1 && 9 * std::abs(thr[k] - et) < et)
            for (int j = 3; j < k; ++j) thr[j] = et;
    }
    for (int k = 0; k <= h; ++k) {
        int& v = thr[k];
        if (pol == 1) v = (v - 40 <= a.graythreshold) ? std::max(v - 5, 0) : a.graythreshold;
        else v = (v + 17 >= a.graythreshold) ? std::min(v + 2, 255) : a.graythreshold;
    }
    a.rowthresholds = thr;
    return 1;
}

}  // namespace rk
