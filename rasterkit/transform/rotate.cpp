// Page rotation by quarter turns.
#include "rotate.h"

#include <cstddef>

#include "rasterkit.h"
#include "zero_alloc.h"

namespace rk {

void rotate_pixels(const std::uint8_t* src, int w, int h, int stride, int angle,
                   std::uint8_t* dst) {
    auto old = [&](int x, int y) { return src[static_cast<std::size_t>(y) * stride + x]; };
    if (angle == 180) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                dst[static_cast<std::size_t>(y) * w + x] = old(w - 1 - x, h - 1 - y);
        return;
    }
    // The new page is h wide and w high.
    for (int y = 0; y < w; ++y) {
        std::uint8_t* row = dst + static_cast<std::size_t>(y) * h;
        for (int x = 0; x < h; ++x) row[x] = angle == 90 ? old(w - 1 - y, x) : old(y, h - 1 - x);
    }
}

int rotate_image(int angle) {
    if (angle != 90 && angle != 180 && angle != 270) return 0;
    if (videobuffer == nullptr || MAXCOL < 1 || MAXLIN < 1) return 0;
    const int w = MAXCOL, h = MAXLIN;
    std::uint8_t* page = static_cast<std::uint8_t*>(
        orvo::zero_alloc_array(static_cast<std::size_t>(w), static_cast<std::size_t>(h)));
    if (page == nullptr) return 0;
    rotate_pixels(videobuffer, w, h, BPL, angle, page);
    orvo::zero_free(videobuffer);
    videobuffer = page;
    if (angle != 180) {
        MAXCOL = h;
        MAXLIN = w;
    }
    BPL = MAXCOL;
    return 1;
}

}  // namespace rk
