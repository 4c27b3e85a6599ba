// EXIF orientation: where each stored pixel goes when the picture is shown
// upright.
#include "decode/decoded_page.h"

namespace platix::decode {

GrayImage apply_orientation(const GrayImage& s, int orientation) {
    if (orientation < 2 || orientation > 8) return s;
    const bool swap = orientation >= 5;
    GrayImage out;
    out.channels = s.channels;
    out.width = swap ? s.height : s.width;
    out.height = swap ? s.width : s.height;
    out.pixels.resize(s.pixels.size());
    const int w = s.width, h = s.height;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            int sx = x, sy = y;  // the stored pixel shown at (x, y)
            switch (orientation) {
            case 2: sx = w - 1 - x; break;
            case 3: sx = w - 1 - x; sy = h - 1 - y; break;
            case 4: sy = h - 1 - y; break;
            case 5: sx = y; sy = x; break;
            case 6: sx = y; sy = h - 1 - x; break;
            case 7: sx = w - 1 - y; sy = h - 1 - x; break;
            case 8: sx = w - 1 - y; sy = x; break;
            }
            const std::size_t to = (static_cast<std::size_t>(y) * out.width + x) * s.channels;
            const std::size_t from = (static_cast<std::size_t>(sy) * w + sx) * s.channels;
            for (int c = 0; c < s.channels; ++c) out.pixels[to + c] = s.pixels[from + c];
        }
    return out;
}

}  // namespace platix::decode
