// Skew and slant of the character row in the current bitmap. The skew comes
// from the centres of character-sized blobs, smoothed against the overall
// trend of the row; the slant from the centres of the widest rows near the
// top and the bottom of each blob.
#include "skew.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <numbers>

#include "labelling.h"
#include "zero_alloc.h"

namespace rk {
namespace {

constexpr double kPi = std::numbers::pi;

// Angle limits, written as products with the angle so that they compare
// exactly against pi.
bool skew_large_enough(double a) { return std::fabs(a) * 450.0 >= kPi; }     // 0.4 degrees
bool below_thirty_degrees(double a) { return std::fabs(a) * 6.0 < kPi; }     // 30 degrees
bool slant_large_enough(double a) { return std::fabs(a) * 120.0 >= kPi; }    // 1.5 degrees

struct Box {
    int left;
    int top;
    int right;
    int bottom;
};

struct Point {
    int x;
    int y;
};

// Smallest and largest vertical centre of the points, and which ways the
// steps between neighbours go.
struct Spread {
    int lo = 0;
    int hi = 0;
    bool up = false;
    bool down = false;
    int rising = 0;
    int falling = 0;
    int at_lo = 0;  // points on the smallest value
    int at_hi = 0;  // points on the largest value
};

Spread measure(const Point* p, int n) {
    Spread s;
    if (n < 1) return s;
    s.lo = s.hi = p[0].y;
    for (int i = 1; i < n; ++i) {
        if (p[i].y < s.lo) s.lo = p[i].y;
        if (p[i].y > s.hi) s.hi = p[i].y;
        if (p[i].y > p[i - 1].y) {
            s.up = true;
            ++s.rising;
        } else if (p[i].y < p[i - 1].y) {
            s.down = true;
            ++s.falling;
        }
    }
    for (int i = 0; i < n; ++i) {
        s.at_lo += p[i].y == s.lo;
        s.at_hi += p[i].y == s.hi;
    }
    return s;
}

// All but one point share the smallest value (only counted with more than 3
// points) or the largest value.
bool one_off_extreme(const Spread& s, int n) {
    return (n > 3 && s.at_lo == n - 1) || s.at_hi == n - 1;
}

int max_int(int a, int b) { return a > b ? a : b; }

// Reference height of the character-sized components: their mean height,
// without the tallest and the lowest when more than 3 exist (0 when none).
int reference_height(const AnalysisInstance& a) {
    int sum = 0;
    int count = 0;
    int tallest = 0;
    int lowest = 0;
    for (int i = 0; i < a.n_table; ++i) {
        const Component& c = a.componenttable[i];
        if (!present(c)) continue;
        if (c.height > 24 && c.height < a.BMP_lines - a.BMP_lines / 5 && c.width < a.BMP_columns / 2) {
            if (count == 0 || c.height > tallest) tallest = c.height;
            if (count == 0 || c.height < lowest) lowest = c.height;
            sum += c.height;
            ++count;
        }
    }
    if (count == 0) return 0;
    if (count > 3) {
        sum -= tallest + lowest;
        count -= 2;
    }
    return sum / count;
}

// Repairs the vertical centre of point p against the trend (see smooth_points).
void repair_point(Point* p, int n, int at, int trend) {
    if (at >= 2 && at < n - 1) {
        const int dx = max_int(p[at + 1].x - p[at - 1].x, 1);
        p[at].y = p[at - 1].y + (p[at + 1].y - p[at - 1].y) * (p[at].x - p[at - 1].x) / dx;
        return;
    }
    const int nb = at <= 1 ? at + 1 : at - 1;
    p[at].y = (p[at].y + p[nb].y) >> 1;
    if (trend > 0 && p[at].y == p[nb].y + 1) p[at].y = p[nb].y;
    if (trend < 0 && p[at].y == p[nb].y - 1) p[at].y = p[nb].y;
}

// Smooths the points (more than 5) against the trend of the row and then
// drops the two end points; drops every point when the row shows no skew.
// Returns the number of points left.
int smooth_points(Point* p, int n, int tol) {
    // Each round changes at least one value; the bound only guards against
    // values that keep trading places for ever.
    const int max_rounds = 64 * n + 64;
    for (int round = 0; round < max_rounds; ++round) {
        const Spread s = measure(p, n);
        if (s.lo == s.hi || one_off_extreme(s, n)) return 0;
        const bool both = s.up && s.down;
        if (both && 2 * (s.hi - s.lo) < max_int(tol, 4)) return 0;
        const int trend = both ? s.rising - s.falling : 0;
        if (trend == 0) break;
        const int half_range = (s.hi - s.lo) / 2;
        bool changed = false;
        for (int i = 0; i + 1 < n; ++i) {
            const int step = p[i + 1].y - p[i].y;
            const bool against = (trend > 0 && step < 0) || (trend < 0 && step > 0);
            if (!against) continue;
            const int before_i = p[i].y;
            const int before_next = p[i + 1].y;
            if (trend > 0 && i == 0) {
                repair_point(p, n, 0, trend);
            } else if (trend < 0 && step < half_range && i > 0) {
                repair_point(p, n, i + 1, trend);
            } else {
                repair_point(p, n, i, trend);
                repair_point(p, n, i + 1, trend);
            }
            if (p[i].y != before_i || p[i + 1].y != before_next) changed = true;
        }
        if (!changed) break;
    }
    // Without the two end points.
    for (int i = 1; i + 1 < n; ++i) p[i - 1] = p[i];
    return n - 2;
}

// The skew from the centre points (sorted by horizontal centre).
double skew_from_points(Point* p, int n, int tol) {
    if (n > 5) n = smooth_points(p, n, tol);
    if (n >= 4) {
        const Spread s = measure(p, n);
        if (s.lo == s.hi) return 0.0;
        if (2 * (s.hi - s.lo) < max_int(tol, 4) && (one_off_extreme(s, n) || (s.up && s.down))) return 0.0;
    }
    if (n < 2) return 0.0;

    const std::size_t pairs = static_cast<std::size_t>(n) * static_cast<std::size_t>(n - 1) / 2;
    orvo::ZeroPtr<double> kept_block = orvo::make_zeroed<double>(pairs);
    double* kept = kept_block.get();
    if (kept == nullptr) return 0.0;
    int kept_count = 0;
    long rejected = 0;
    double sum = 0.0;
    for (int d = 1; d <= n - 1; ++d) {
        for (int i = 0; i + d <= n - 1; i += d) {
            const int dy = p[i + d].y - p[i].y;
            const int dx = p[i + d].x - p[i].x;
            const double angle = (dx == 0 && dy == 0) ? 0.0 : std::atan2(dy, dx);
            if (skew_large_enough(angle) && below_thirty_degrees(angle)) {
                kept[kept_count++] = angle;
                sum += angle;
            } else {
                ++rejected;
            }
        }
    }
    // Two thirds of all pairs, compared without truncation.
    if (3 * rejected >= 2 * static_cast<long>(pairs)) return 0.0;

    int divisor = 1;
    const Spread s = measure(p, n);
    if (s.hi - s.lo < max_int(tol, 4)) {
        int count = 0;
        for (int i = 1; i < n; ++i) {
            if (p[i].y != p[i - 1].y) continue;
            ++count;
            const bool prev_flat = i >= 2 && p[i - 1].y == p[i - 2].y;
            const bool prev_prev_flat = i >= 3 && p[i - 2].y == p[i - 3].y;
            if (prev_flat && !prev_prev_flat) ++count;
        }
        if (2 * count >= n + 1) divisor = 2;
    }

    if (kept_count > 2) {
        // The first angle of largest magnitude and its later equals, then
        // the first remaining angle of smallest magnitude and its equals.
        // A removal that would take every remaining angle is not made: the
        // angles are then all the same, and that angle is the row's tilt.
        int remaining = kept_count;
        for (int pass = 0; pass < 2; ++pass) {
            int pick = -1;
            for (int i = 0; i < kept_count; ++i) {
                if (std::isnan(kept[i])) continue;
                if (pick < 0 || (pass == 0 ? std::fabs(kept[i]) > std::fabs(kept[pick])
                                           : std::fabs(kept[i]) < std::fabs(kept[pick])))
                    pick = i;
            }
            if (pick < 0) break;
            const double value = kept[pick];
            int equal = 0;
            for (int i = pick; i < kept_count; ++i) equal += kept[i] == value;
            if (equal == remaining) break;
            remaining -= equal;
            for (int i = pick; i < kept_count; ++i) {
                if (kept[i] == value) {
                    sum -= value;
                    kept[i] = std::nan("");
                }
            }
        }
        int left = 0;
        for (int i = 0; i < kept_count; ++i) left += !std::isnan(kept[i]);
        kept_count = left;
    }
    const double skew = sum / (kept_count > 1 ? kept_count : 1) / divisor;
    return skew_large_enough(skew) ? skew : 0.0;
}

// Extent of the component's runs on line y: first and last column, or
// false when it has none there.
bool row_extent(const AnalysisInstance& a, int label, int y, int* first, int* last) {
    if (a.rowindex == nullptr || y < 0 || y >= a.rowindex_lines) return false;
    bool found = false;
    for (const Run* r = a.rowindex[y]; r != nullptr && r->row == y; r = r->next) {
        if (r->label != label) continue;
        if (!found || r->first < *first) *first = r->first;
        if (!found || r->last > *last) *last = r->last;
        found = true;
    }
    return found;
}

struct WideRow {
    bool found = false;
    int width = 0;
    int centre = 0;
    int row = 0;
};

// The slant from the widest top and bottom rows of the character-sized
// components.
double estimate_slant(const AnalysisInstance& a, const Box* boxes, int ref, int tol) {
    orvo::ZeroPtr<double> angle_block = orvo::make_zeroed<double>(static_cast<std::size_t>(a.n_table));
    double* angles = angle_block.get();
    if (angles == nullptr) return 0.0;
    int count = 0;
    int near_full = 0;
    for (int i = 0; i < a.n_table; ++i) {
        const Component& c = a.componenttable[i];
        if (!present(c)) continue;
        if (ref > 0 && std::abs(ref - c.height) > 4 * tol / 3) continue;
        if (c.width >= a.BMP_columns / 2 || c.height > 3 * c.width) continue;
        const Box& b = boxes[i];
        const int third = c.height / 3;
        const int need = 2 * c.width / 3;

        WideRow top;
        for (int y = b.top; y <= b.top + third - 1; ++y) {
            int f = 0, l = 0;
            if (!row_extent(a, i, y, &f, &l)) continue;
            const int w = l - f + 1;
            if (w > need && (!top.found || w > top.width)) top = {true, w, (f + l) >> 1, y};
        }
        if (!top.found) continue;
        WideRow bottom;
        for (int y = b.bottom - third + 1; y <= b.bottom; ++y) {
            int f = 0, l = 0;
            if (!row_extent(a, i, y, &f, &l)) continue;
            const int w = l - f + 1;
            if (w >= need && (!bottom.found || w >= bottom.width)) bottom = {true, w, (f + l) >> 1, y};
        }
        if (!bottom.found) continue;
        if (std::abs(top.width - bottom.width) >= 3 || std::abs(bottom.row - top.row) < third) continue;

        const bool top_full = top.width == c.width;
        const bool bottom_full = bottom.width == c.width;
        if (top_full && bottom_full) return 0.0;
        if ((top_full && bottom.width >= c.width - 1) || (bottom_full && top.width >= c.width - 1)) {
            if (++near_full == 2) return 0.0;
            continue;
        }
        const double angle = std::atan2(top.centre - bottom.centre, std::abs(bottom.row - top.row));
        if (slant_large_enough(angle) && below_thirty_degrees(angle)) angles[count++] = angle;
    }
    if (count == 0) return 0.0;
    double slant = 0.0;
    if (count == 1) {
        slant = angles[0] / 3.0;
    } else {
        double sum = 0.0;
        double lo = angles[0];
        double hi = angles[0];
        for (int i = 0; i < count; ++i) {
            sum += angles[i];
            if (angles[i] < lo) lo = angles[i];
            if (angles[i] > hi) hi = angles[i];
        }
        int n = count;
        if (count > 3) {
            sum -= lo + hi;
            n -= 2;
        }
        slant = sum / n;
    }
    return slant_large_enough(slant) ? slant : 0.0;
}

}  // namespace

int estimate_skew(AnalysisInstance& a, double* skew, double* slant) {
    *skew = 0.0;
    *slant = 0.0;
    if (!label_bitmap(a, 0, 0, a.BMP_columns - 1, a.BMP_lines - 1) || !build_component_table(a)) {
        free_runs(a);
        return 0;
    }
    orvo::ZeroPtr<Box> box_block = orvo::make_zeroed<Box>(static_cast<std::size_t>(a.n_table));
    Box* boxes = box_block.get();
    if (boxes == nullptr) {
        free_runs(a);
        return 0;
    }
    for (int i = 0; i < a.n_table; ++i) {
        const Component& c = a.componenttable[i];
        boxes[i] = {c.left, c.top, c.right, c.bottom};
    }
    const int ref = reference_height(a);
    const int tol = ref / 10;

    orvo::ZeroPtr<Point> point_block = orvo::make_zeroed<Point>(static_cast<std::size_t>(a.n_table));
    if (Point* points = point_block.get()) {
        int n = 0;
        for (int i = 0; i < a.n_table; ++i) {
            const Component& c = a.componenttable[i];
            if (!present(c)) continue;
            if (ref != 0 && std::abs(ref - c.height) > tol) continue;
            if (c.width >= a.BMP_columns / 2) continue;
            bool covered = false;
            for (int j = 0; j < a.n_table && !covered; ++j) {
                if (j == i || !present(a.componenttable[j])) continue;
                covered = boxes[j].top > boxes[i].bottom && boxes[j].left <= boxes[i].right &&
                          boxes[j].right >= boxes[i].left;
            }
            if (!covered) points[n++] = {c.cx, c.cy};
        }
        // Stable exchange sort by horizontal centre.
        for (int pass = 0; pass + 1 < n; ++pass)
            for (int i = 0; i + 1 < n - pass; ++i)
                if (points[i].x > points[i + 1].x) {
                    const Point t = points[i];
                    points[i] = points[i + 1];
                    points[i + 1] = t;
                }
        *skew = skew_from_points(points, n, tol);
    }
    point_block.reset();
    *slant = estimate_slant(a, boxes, ref, tol);
    free_runs(a);
    return (*skew != 0.0 || *slant != 0.0) ? 1 : 0;
}

}  // namespace rk
