// From a gray page region to the network's input: bilinear resampling of a
// rectangle (in page pixels, fractional edges allowed, parts outside the
// page repeat the border) to the fixed input size, then normalised to zero
// mean and unit deviation so that exposure and contrast do not matter.
#pragma once

#include <cstdint>
#include <vector>

namespace platenet {

// A non-owning gray page: `height` rows of `width` bytes, `stride` apart.
struct GrayView {
    const std::uint8_t* pixels = nullptr;
    int width = 0, height = 0, stride = 0;
};

// A rectangle in pixel coordinates: x0 <= x < x1, y0 <= y < y1.
struct RectF {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// The crop the reader takes around a field rectangle (right and bottom
// exclusive): a quarter of its height above and below, half its height to
// the left and right. Training crops use the same widening.
RectF field_crop(int left, int top, int right, int bottom);

// A row of five or more characters with its gaps is at least two and a half
// times as wide as it is high. A rectangle narrower than that holds more than
// its characters: a whole plate of the US shape (about twice as wide as
// high), a state name above the characters and a slogan below. The network
// reads such a plate from its middle three fifths of rows, which gives the
// characters two thirds more of the input's height than the whole plate
// would (32 rows for a whole field and its margin). Reading and training
// narrow a rectangle alike.
// True for a width x height rectangle narrower than two and a half times
// its height (and not empty).
bool plate_shaped(long width, long height);

// Narrows top..bottom (exclusive) to its middle three fifths when the
// rectangle left..right x top..bottom is plate_shaped; otherwise leaves
// them. Returns whether it narrowed.
bool keep_character_rows(int left, int right, int* top, int* bottom);

// Resamples `r` of the page into out_h x out_w floats (row-major) and
// normalises them. The page must be non-empty and r non-degenerate.
void crop_input(const GrayView& page, const RectF& r, int out_h, int out_w, float* out);

}  // namespace platenet
