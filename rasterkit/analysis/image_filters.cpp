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
    orvo::ZeroPtr<unsigned char> tmp = orvo::make_zeroed<unsigned char>(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    if (!tmp) return 0;
    auto in = [&](int x, int y) -> unsigned char* { return image + static_cast<std::ptrdiff_t>(y) * bpl + x; };
    auto out = [&](int x, int y) -> unsigned char* {
        return tmp.get() + static_cast<std::size_t>(y - r->top) * static_cast<std::size_t>(w) + (x - r->left);
    };
    for (int y = r->top; y <= r->bottom; ++y) std::memcpy(out(r->left, y), in(r->left, y), static_cast<std::size_t>(w));
    const int half = k / 2;
    const int area = k * k;
    for (int y = r->top + half; y + (k - 1 - half) <= r->bottom; ++y) {
        for (int x = r->left + half; x + (k - 1 - half) <= r->right; ++x) {
            int sum = 0;
            for (int yy = y - half; yy < y - half + k; ++yy) {
                const unsigned char* row = in(0, yy);
                for (int xx = x - half; xx < x - half + k; ++xx) sum += row[xx];
            }
            *out(x, y) = static_cast<unsigned char>(sum / area);
        }
    }
    for (int y = r->top; y <= r->bottom; ++y) std::memcpy(in(r->left, y), out(r->left, y), static_cast<std::size_t>(w));
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
