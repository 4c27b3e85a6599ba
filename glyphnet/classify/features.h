// The description of a framed character: 49 grey levels on a 7 x 7 grid,
// each -16 (empty cell) .. 16 (fullest cell), and its 3-bit shape code.
#pragma once

#include <cstdint>

namespace gn {

struct FeatureVector {
    std::int16_t v[49];
};

// The seven cell sizes of a grid of `size` pixels: narrow (size / 7) and
// wide (one more) cells alternate from the first, narrow first, while both
// kinds remain. False (sizes untouched) when size / 7 is 0.
bool cell_sizes(int size, int out[7]);

// Features of the frame (x, y, w, h) of the current bitmap. Frames narrower
// or lower than 21 pixels get a 21-pixel grid centred on them; only ink
// inside the frame counts. Values are contrast-stretched to -16..16. False
// when no grid can be laid (the vector is then left as it was).
bool extract_features(int x, int y, int w, int h, FeatureVector* out);

// Shape code: 4 if the border cells sum above 0, + 2 if the middle row
// does, + 1 if the middle column does.
int shape_code(const std::int16_t* v);

// The engine's current vector and shape code.
FeatureVector& current_vector();
int& current_shape();

}  // namespace gn
