// Feature extraction on the 7 x 7 grid and the shape code.
#include "classify/features.h"

#include "image/bitmap_view.h"

namespace gn {

bool cell_sizes(int size, int out[7]) {
    const int base = size / 7;
    if (base <= 0) return false;
    int wide = size % 7, narrow = 7 - wide;
    bool next_narrow = true;
    for (int i = 0; i < 7; ++i) {
        bool use_narrow;
        if (narrow > 0 && wide > 0) use_narrow = next_narrow;
        else use_narrow = narrow > 0;
        if (use_narrow) {
            out[i] = base;
            --narrow;
        } else {
            out[i] = base + 1;
            --wide;
        }
        next_narrow = !use_narrow;
    }
    return true;
}

bool extract_features(int x, int y, int w, int h, FeatureVector* out) {
    int gx = x, gw = w, gy = y, gh = h;
    if (w > 0 && w < 21) {
        gx = x - (21 - w) / 2;
        gw = 21;
    }
    if (h > 0 && h < 21) {
        gy = y - (21 - h) / 2;
        gh = 21;
    }
    int cw[7], ch[7];
    if (!cell_sizes(gw, cw) || !cell_sizes(gh, ch)) return false;
    std::int16_t v[49];
    int cy = gy;
    for (int r = 0; r < 7; ++r) {
        int cx = gx;
        for (int c = 0; c < 7; ++c) {
            int count = 0;
            const int x0 = cx > x ? cx : x;
            const int x1 = cx + cw[c] < x + w ? cx + cw[c] : x + w;
            const int y0 = cy > y ? cy : y;
            const int y1 = cy + ch[r] < y + h ? cy + ch[r] : y + h;
            for (int py = y0; py < y1; ++py)
                for (int px = x0; px < x1; ++px)
                    if (is_ink(px, py)) ++count;
            v[r * 7 + c] = static_cast<std::int16_t>(count * 32 / (cw[c] * ch[r]) - 16);
            cx += cw[c];
        }
        cy += ch[r];
    }
    int lo = 16, hi = -16;
    for (int m = 0; m < 49; ++m) {
        if (v[m] < lo) lo = v[m];
        if (v[m] > hi) hi = v[m];
    }
    if (lo != hi)
        for (int m = 0; m < 49; ++m)
            v[m] = static_cast<std::int16_t>(((v[m] - lo) * 32) / (hi - lo) - 16);
    for (int m = 0; m < 49; ++m) out->v[m] = v[m];
    return true;
}

int shape_code(const std::int16_t* v) {
    int border = 0;
    for (int i = 0; i < 7; ++i) border += v[i];                   // row 0
    for (int r = 1; r < 7; ++r) border += v[r * 7 + 6];           // column 6
    for (int c = 0; c < 6; ++c) border += v[42 + c];              // row 6
    for (int r = 1; r < 6; ++r) border += v[r * 7];               // column 0
    int row = 0, col = 0;
    for (int c = 0; c < 7; ++c) row += v[21 + c];
    for (int r = 0; r < 7; ++r) col += v[r * 7 + 3];
    return (border > 0 ? 4 : 0) + (row > 0 ? 2 : 0) + (col > 0 ? 1 : 0);
}

FeatureVector& current_vector() {
    static FeatureVector v{};
    return v;
}

int& current_shape() {
    static int s = 0;
    return s;
}

}  // namespace gn
