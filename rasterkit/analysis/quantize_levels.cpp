// Posterisation of an image rectangle to a few gray levels.
#include <algorithm>
#include <array>
#include <cstddef>

#include "driver.h"
#include "zero_alloc.h"

namespace rk {

int quantize_levels(unsigned char* image, int bpl, Rect r, int n) {
    if (image == nullptr || n > 256 || n < 1) return 0;
    if (r.left < 0 || r.top < 0 || r.right < r.left || r.bottom < r.top || r.right >= bpl) return 0;
    const auto row = [&](int y) { return image + static_cast<long>(y) * bpl; };

    int lo = 255;
    int hi = 0;
    for (int y = r.top; y <= r.bottom; ++y) {
        const unsigned char* p = row(y);
        for (int x = r.left; x <= r.right; ++x) {
            lo = std::min<int>(lo, p[x]);
            hi = std::max<int>(hi, p[x]);
        }
    }
    const int range = hi - lo + 1;
    if (hi == lo || range <= n) return 0;

    orvo::ZeroPtr<int> value = orvo::make_zeroed<int>(static_cast<std::size_t>(n));
    orvo::ZeroPtr<int> bound = orvo::make_zeroed<int>(static_cast<std::size_t>(n));
    if (!value || !bound) return 0;
    const int step = range / n;
    for (int i = 0; i < n; ++i) {
        value.get()[i] = lo + step / 2 + i * step;
        bound.get()[i] = lo + (i + 1) * step;
    }
    bound.get()[n - 1] = hi;

    // Every pixel lies in lo..hi, and the last bound is hi, so each value
    // finds its level.
    std::array<unsigned char, 256> level{};
    int i = 0;
    for (int v = lo; v <= hi; ++v) {
        while (bound.get()[i] < v) ++i;
        level[static_cast<std::size_t>(v)] = static_cast<unsigned char>(value.get()[i]);
    }
    for (int y = r.top; y <= r.bottom; ++y) {
        unsigned char* p = row(y);
        for (int x = r.left; x <= r.right; ++x) p[x] = level[p[x]];
    }
    return 1;
}

}  // namespace rk
