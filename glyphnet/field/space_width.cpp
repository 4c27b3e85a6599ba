// Word-space estimate from the gaps between character cells.
#include "field/space_width.h"

#include <cmath>
#include <cstdlib>

namespace gn {
namespace {

constexpr int kHist = 2048;

bool present(const int* hist, int g) { return g >= 1 && g < kHist && hist[g] > 0; }

int maxg_or_less(const int* hist, int maxg) { return present(hist, maxg - 1) ? maxg - 1 : maxg; }

}  // namespace

int estimate_space_width(const int* hist) {
    long n = 0, sum = 0;
    int maxg = 0;
    for (int g = 1; g < kHist; ++g) {
        n += hist[g];
        sum += static_cast<long>(g) * hist[g];
        if (hist[g] > 0) maxg = g;
    }
    if (n < 1) n = 1;
    const int mean = static_cast<int>(sum / n);
    double var = 0;
    for (int g = 1; g < kHist; ++g)
        var += static_cast<double>(g - mean) * (g - mean) * hist[g];
    var /= static_cast<double>(n);
    const int sd = static_cast<int>(std::floor(std::sqrt(var) + 0.5));
    if (!((mean > 6 || sd > 1) && maxg > 6 && std::abs(maxg - mean) > 3)) return kNoSpaces;

    int c = mean + (3 * sd + 1) / 2;
    if (c > maxg) c = maxg;
    int d = mean;
    if (!present(hist, mean)) {
        for (int g = mean - 1; g >= 1; --g)
            if (present(hist, g)) {
                d = g;
                break;
            }
    }
    if (!present(hist, c)) {
        int j = -1;
        for (int g = c + 1; g <= maxg; ++g)
            if (present(hist, g)) {
                j = g;
                break;
            }
        if (j >= 0) {
            if (j < maxg - 1) {
                c = j;
            } else {
                int k = d;
                for (int g = c; g >= d + 1; --g)
                    if (present(hist, g)) {
                        k = g;
                        break;
                    }
                c = (maxg - k < 10 || k < 9) ? maxg : k;
            }
        }
    }
    if (c <= 6) return maxg;
    if (c - d > 3) {
        int g = d, f = 1, result = c;
        for (int i = d + 1; i <= c; ++i) {
            if (!present(hist, i)) continue;
            const int step = i - g;
            if (step >= f) {
                const int cand =
                    ((step > f && d > 2) || step > 5 || g < 8 || g == result + 1) ? i : g;
                if (cand > 7) {
                    result = cand;
                    f = step;
                } else {
                    result = c;
                }
            }
            g = i;
        }
        if (f == 1) {
            const int w = (d + c) / 2;
            return w <= 6 ? w + 3 : w;
        }
        if (f == 2) {
            if (result <= 6) return result + 3;
            if (c < maxg / 2 && c - d <= 4) return maxg_or_less(hist, maxg);
            if (result == maxg) return kNoSpaces;
            return result;
        }
        if (f == 3) {
            if ((result == maxg && hist[result] == 1) || (c == maxg && c - result < 3))
                return kNoSpaces;
            if (c < maxg / 2 && c - d <= 5) return maxg_or_less(hist, maxg);
            if (present(hist, result) && hist[result] == 1) {
                const int limit = result + 2 < c ? result + 2 : c;
                for (int g2 = result + 1; g2 <= limit; ++g2)
                    if (present(hist, g2)) return g2;
            }
            return result;
        }
        return result;
    }
    if ((d > 8 || maxg > 11) && (d != c || maxg >= c + 4)) return maxg_or_less(hist, maxg);
    return kNoSpaces;
}

int space_width(const Segment* cells, int n, int avg_width, int avg_height, bool gap_tolerant) {
    if (gap_tolerant) return avg_width;
    static int hist[kHist];
    for (int& h : hist) h = 0;
    const int limit = avg_width > 409 ? kHist : 5 * avg_width;
    for (int i = 0; i + 1 < n; ++i) {
        int gap = cells[i + 1].left - cells[i].right;
        if (gap < 1) gap = 1;
        if (gap < limit && gap < kHist) ++hist[gap];
    }
    int width = estimate_space_width(hist);
    const int m = avg_width > avg_height ? avg_width : avg_height;
    if (width == kNoSpaces) return m * 3 / 2;
    if (m < width) {
        bool small = false;
        for (int g = 1; g < m / 2 && g < kHist && !small; ++g) small = hist[g] > 0;
        if (small) {
            const int from_a = avg_height / 2, from_b = 2 * avg_width / 3;
            const int from = from_a > from_b ? from_a : from_b;
            for (int g = from < 1 ? 1 : from; g < m * 3 / 2 && g < kHist; ++g)
                if (hist[g] > 0) {
                    if (g > width / 2) width = g;
                    break;
                }
        }
    }
    const int o = avg_width / 3 < avg_height / 4 ? avg_width / 3 : avg_height / 4;
    int j = -1;
    for (int g = 1; g < 3 * o && g < kHist; ++g)
        if (hist[g] > 0) {
            j = g;
            break;
        }
    if (j < 0) j = 3 * o > 1 ? 3 * o : 1;
    if (width >= o && j < width * 2 / 3) return width;
    return kNoSpaces;
}

}  // namespace gn
