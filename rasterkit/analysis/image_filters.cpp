// The mean filter and the contrast stretch of the pre-processing.
#include "image_filters.h"

#include <cstddef>
#include <cstring>

#include "zero_alloc.h"

namespace rk {

int box_smooth(unsigned char* image, int bpl, const Rect* r, int k) {
    if (image == nullptr || r == nullptr || k < 1) return 0;
    const int w = r->right - r->left + 1;
    const int h = r->bottom - r->top + 1;
    if (w < 1 || h < 1) return 0;
    // One block: the filtered rows, then one column sum per column.
    const std::size_t out_bytes = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    const std::size_t sums_at = (out_bytes + alignof(int) - 1) / alignof(int) * alignof(int);
    orvo::ZeroPtr<unsigned char> tmp =
        orvo::make_zeroed<unsigned char>(sums_at + static_cast<std::size_t>(w) * sizeof(int));
    if (!tmp) return 0;
    int* colsum = reinterpret_cast<int*>(tmp.get() + sums_at);
    auto in = [&](int y) -> unsigned char* { return image + static_cast<std::ptrdiff_t>(y) * bpl + r->left; };
    auto out = [&](int y) -> unsigned char* { return tmp.get() + static_cast<std::size_t>(y - r->top) * w; };
    for (int y = r->top; y <= r->bottom; ++y) std::memcpy(out(y), in(y), static_cast<std::size_t>(w));
    const int half = k / 2;
    const int area = k * k;
    const int y0 = r->top + half, y1 = r->bottom - (k - 1 - half);
    const int x0 = half, x1 = w - 1 - (k - 1 - half);  // offsets from the left edge
    // Running sums: the k x k sum of the unfiltered input is the sum of k
    // column sums, each kept up to date as the window moves down a row.
    for (int y = y0; y <= y1 && x0 <= x1; ++y) {
        if (y == y0) {
            std::memset(colsum, 0, static_cast<std::size_t>(w) * sizeof(int));
            for (int yy = y - half; yy < y - half + k; ++yy) {
                const unsigned char* row = in(yy);
                for (int x = 0; x < w; ++x) colsum[x] += row[x];
            }
        } else {
            const unsigned char* gone = in(y - half - 1);
            const unsigned char* come = in(y - half + k - 1);
            for (int x = 0; x < w; ++x) colsum[x] += come[x] - gone[x];
        }
        unsigned char* o = out(y);
        int sum = 0;
        for (int x = x0 - half; x < x0 - half + k; ++x) sum += colsum[x];
        o[x0] = static_cast<unsigned char>(sum / area);
        for (int x = x0 + 1; x <= x1; ++x) {
            sum += colsum[x - half + k - 1] - colsum[x - half - 1];
            o[x] = static_cast<unsigned char>(sum / area);
        }
    }
    for (int y = r->top; y <= r->bottom; ++y) std::memcpy(in(y), out(y), static_cast<std::size_t>(w));
    return 1;
}

int stretch_contrast(unsigned char* image, int bpl, const Rect* r) {
    if (image == nullptr || r == nullptr || r->right < r->left || r->bottom < r->top) return 0;
    int lo = 255, hi = 0;
    for (int y = r->top; y <= r->bottom && !(lo == 0 && hi == 255); ++y) {
        const unsigned char* row = image + static_cast<std::ptrdiff_t>(y) * bpl;
        for (int x = r->left; x <= r->right; ++x) {
            if (row[x] < lo) lo = row[x];
            if (row[x] > hi) hi = row[x];
        }
    }
    if ((lo == 0 && hi == 255) || lo == hi) return 0;
    const int range = hi - lo + 1;
    for (int y = r->top; y <= r->bottom; ++y) {
        unsigned char* row = image + static_cast<std::ptrdiff_t>(y) * bpl;
        for (int x = r->left; x <= r->right; ++x) row[x] = static_cast<unsigned char>(((row[x] - lo) + 1) * 255 / range);
    }
    return 1;
}

}  // namespace rk
