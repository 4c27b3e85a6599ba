// Quarter, half and three-quarter turns of the held page.
#pragma once

#include <cstdint>

namespace rk {

// Writes `src` (width x height, `stride` bytes per row) turned by `angle`
// (90 = counter-clockwise, 180, 270 = clockwise) into `dst`, packed: height
// x width for 90 and 270, width x height for 180.
void rotate_pixels(const std::uint8_t* src, int width, int height, int stride, int angle,
                   std::uint8_t* dst);

// Rotates the held page; 1 after rotating, 0 for another angle, no page or
// no memory (page unchanged).
int rotate_image(int angle);

}  // namespace rk
