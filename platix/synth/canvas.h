// An RGB drawing surface for the synthetic scenes, with the few drawing
// operations they need.
#pragma once

#include <cstdint>
#include <vector>

#include "png_out.h"

namespace platix::synth {

struct Colour {
    double r = 0, g = 0, b = 0;  // 0..255
};

class Canvas {
public:
    Canvas(int width, int height, Colour fill);
    int width() const { return w_; }
    int height() const { return h_; }
    Colour get(int x, int y) const;
    void set(int x, int y, Colour c);
    // Mixes c over the pixel with weight a (0..1).
    void blend(int x, int y, Colour c, double a);
    void fill_rect(int x0, int y0, int x1, int y1, Colour c);
    // Bilinear sample at real coordinates; false outside.
    bool sample(double x, double y, Colour* out) const;
    // 3 x 3 box blur, `passes` times.
    void blur(int passes);
    void to_picture(RgbPicture* p) const;

private:
    int w_, h_;
    std::vector<Colour> px_;
};

}  // namespace platix::synth
