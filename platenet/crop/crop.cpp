#include "crop/crop.h"

#include <algorithm>
#include <cmath>

namespace platenet {

RectF field_crop(int left, int top, int right, int bottom) {
    const float h = static_cast<float>(bottom - top);
    return {static_cast<float>(left) - 0.5f * h, static_cast<float>(top) - 0.25f * h,
            static_cast<float>(right) + 0.5f * h, static_cast<float>(bottom) + 0.25f * h};
}

bool plate_shaped(long width, long height) { return width > 0 && height > 0 && 2 * width < 5 * height; }

bool keep_character_rows(int left, int right, int* top, int* bottom) {
    const long h = static_cast<long>(*bottom) - *top;
    if (!plate_shaped(static_cast<long>(right) - left, h)) return false;
    const int cut = static_cast<int>(h / 5);
    *top += cut;
    *bottom -= cut;
    return true;
}

void crop_input(const GrayView& page, const RectF& r, int out_h, int out_w, float* out) {
    const float sx = (r.x1 - r.x0) / static_cast<float>(out_w);
    const float sy = (r.y1 - r.y0) / static_cast<float>(out_h);
    // Shrinking by more than two averages a small box of source samples
    // per output pixel, so that thin strokes do not alias away.
    const int taps_x = std::clamp(static_cast<int>(sx / 1.5f), 1, 4);
    const int taps_y = std::clamp(static_cast<int>(sy / 1.5f), 1, 4);
    const auto at = [&](int x, int y) {
        x = std::clamp(x, 0, page.width - 1);
        y = std::clamp(y, 0, page.height - 1);
        return static_cast<float>(page.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(page.stride) +
                                              static_cast<std::size_t>(x)]);
    };
    const auto bilinear = [&](float fx, float fy) {
        const float x = fx - 0.5f, y = fy - 0.5f;
        const float flx = std::floor(x), fly = std::floor(y);
        const float ax = x - flx, ay = y - fly;
        const int ix = static_cast<int>(std::clamp(flx, -2.0f, static_cast<float>(page.width) + 1.0f));
        const int iy = static_cast<int>(std::clamp(fly, -2.0f, static_cast<float>(page.height) + 1.0f));
        const float top = at(ix, iy) * (1 - ax) + at(ix + 1, iy) * ax;
        const float bot = at(ix, iy + 1) * (1 - ax) + at(ix + 1, iy + 1) * ax;
        return top * (1 - ay) + bot * ay;
    };
    double sum = 0, sum2 = 0;
    const std::size_t n = static_cast<std::size_t>(out_h) * static_cast<std::size_t>(out_w);
    for (int oy = 0; oy < out_h; ++oy) {
        for (int ox = 0; ox < out_w; ++ox) {
            float v = 0;
            for (int ty = 0; ty < taps_y; ++ty) {
                for (int tx = 0; tx < taps_x; ++tx) {
                    const float fx = r.x0 + sx * (static_cast<float>(ox) + (static_cast<float>(tx) + 0.5f) / taps_x);
                    const float fy = r.y0 + sy * (static_cast<float>(oy) + (static_cast<float>(ty) + 0.5f) / taps_y);
                    v += bilinear(fx, fy);
                }
            }
            v /= static_cast<float>(taps_x * taps_y);
            out[static_cast<std::size_t>(oy) * static_cast<std::size_t>(out_w) + static_cast<std::size_t>(ox)] = v;
            sum += v;
            sum2 += static_cast<double>(v) * v;
        }
    }
    const double mean = sum / static_cast<double>(n);
    const double var = std::max(0.0, sum2 / static_cast<double>(n) - mean * mean);
    const float inv = static_cast<float>(1.0 / std::sqrt(var + 16.0));  // a flat crop stays near zero
    for (std::size_t i = 0; i < n; ++i) out[i] = (out[i] - static_cast<float>(mean)) * inv;
}

}  // namespace platenet
