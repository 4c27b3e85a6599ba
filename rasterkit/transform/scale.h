// Size normalisation of the page: large pages are reduced by an integer
// factor, small or very elongated ones enlarged by integer factors.
#pragma once

#include <cstdint>

namespace rk {

// What normalisation does to a page of width x height.
struct ScalePlan {
    enum class Kind { keep, reduce, enlarge } kind = Kind::keep;
    int factor_x = 1;  // XSCALE after scaling: -k for a reduction by k
    int factor_y = 1;
    int new_width = 0;
    int new_height = 0;
};

ScalePlan plan_scale(int width, int height);

// Mean of each k x k block of `src` (width x height, `stride` bytes per row)
// into `dst` of (width / k) x (height / k), packed.
void reduce_pixels(const std::uint8_t* src, int width, int height, int stride, int k,
                   std::uint8_t* dst);

// Enlarges `src` fx times across and fy times down into `dst` (packed,
// width x fx by height x fy), interpolating the first half of each run of
// copies with the pixel or line before. `line` is a work row of width x fx.
void enlarge_pixels(const std::uint8_t* src, int width, int height, int stride, int fx, int fy,
                    std::uint8_t* line, std::uint8_t* dst);

// Normalises the held page into a new page held as the temporary scaled
// page; sets MAXCOL, MAXLIN, BPL, XSCALE and YSCALE. Null when the page is
// kept or memory ran out.
unsigned char* scale_image();

// Frees the temporary scaled page, if held.
void free_temp_scaled_image();

// Lets go of the temporary page once the store has installed it.
void forget_scaled_image();

}  // namespace rk
