// Drawing operations of the scene canvas.
#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace platix::synth {

Canvas::Canvas(int width, int height, Colour fill)
    : w_(width), h_(height), px_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

Colour Canvas::get(int x, int y) const {
    x = std::clamp(x, 0, w_ - 1);
    y = std::clamp(y, 0, h_ - 1);
    return px_[static_cast<std::size_t>(y) * static_cast<std::size_t>(w_) + static_cast<std::size_t>(x)];
}

void Canvas::set(int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    px_[static_cast<std::size_t>(y) * static_cast<std::size_t>(w_) + static_cast<std::size_t>(x)] = c;
}

void Canvas::blend(int x, int y, Colour c, double a) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || a <= 0) return;
    a = std::min(a, 1.0);
    Colour& p = px_[static_cast<std::size_t>(y) * static_cast<std::size_t>(w_) + static_cast<std::size_t>(x)];
    p.r += (c.r - p.r) * a;
    p.g += (c.g - p.g) * a;
    p.b += (c.b - p.b) * a;
}

void Canvas::fill_rect(int x0, int y0, int x1, int y1, Colour c) {
    for (int y = std::max(y0, 0); y <= std::min(y1, h_ - 1); ++y)
        for (int x = std::max(x0, 0); x <= std::min(x1, w_ - 1); ++x) set(x, y, c);
}

bool Canvas::sample(double x, double y, Colour* out) const {
    if (x < 0 || y < 0 || x > w_ - 1 || y > h_ - 1) return false;
    const int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
    const double fx = x - x0, fy = y - y0;
    const Colour a = get(x0, y0), b = get(x0 + 1, y0), c = get(x0, y0 + 1), d = get(x0 + 1, y0 + 1);
    auto mix = [&](double p, double q, double r, double s) {
        return (p * (1 - fx) + q * fx) * (1 - fy) + (r * (1 - fx) + s * fx) * fy;
    };
    *out = {mix(a.r, b.r, c.r, d.r), mix(a.g, b.g, c.g, d.g), mix(a.b, b.b, c.b, d.b)};
    return true;
}

void Canvas::blur(int passes) {
    for (int p = 0; p < passes; ++p) {
        std::vector<Colour> out(px_.size());
        for (int y = 0; y < h_; ++y) {
            for (int x = 0; x < w_; ++x) {
                Colour s;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const Colour c = get(x + dx, y + dy);
                        s.r += c.r;
                        s.g += c.g;
                        s.b += c.b;
                    }
                out[static_cast<std::size_t>(y) * static_cast<std::size_t>(w_) + static_cast<std::size_t>(x)] = {
                    s.r / 9, s.g / 9, s.b / 9};
            }
        }
        px_.swap(out);
    }
}

void Canvas::to_picture(RgbPicture* p) const {
    p->width = w_;
    p->height = h_;
    p->rgb.resize(px_.size() * 3);
    auto byte = [](double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); };
    for (std::size_t i = 0; i < px_.size(); ++i) {
        p->rgb[3 * i] = byte(px_[i].r);
        p->rgb[3 * i + 1] = byte(px_[i].g);
        p->rgb[3 * i + 2] = byte(px_[i].b);
    }
}

}  // namespace platix::synth
