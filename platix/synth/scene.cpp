// Composing a plate into a cluttered picture.
#include "scene.h"

#include <algorithm>
#include <cmath>

#include "plate_render.h"
#include "region_style.h"

namespace platix::synth {

namespace {

void clutter(Canvas& c, Rng& rng, GlyphRenderer& glyphs, const std::vector<std::string>& fonts) {
    // A vertical gradient with a random tint.
    const Colour top{rng.real(60, 200), rng.real(60, 200), rng.real(60, 200)};
    const Colour bottom{rng.real(30, 160), rng.real(30, 160), rng.real(30, 160)};
    for (int y = 0; y < c.height(); ++y) {
        const double t = static_cast<double>(y) / c.height();
        const Colour row{top.r + (bottom.r - top.r) * t, top.g + (bottom.g - top.g) * t, top.b + (bottom.b - top.b) * t};
        for (int x = 0; x < c.width(); ++x) c.set(x, y, row);
    }
    const int boxes = rng.uniform(8, 20);
    for (int i = 0; i < boxes; ++i) {
        const int x0 = rng.uniform(0, c.width() - 1), y0 = rng.uniform(0, c.height() - 1);
        const Colour col{rng.real(0, 255), rng.real(0, 255), rng.real(0, 255)};
        c.fill_rect(x0, y0, x0 + rng.uniform(10, c.width() / 3), y0 + rng.uniform(10, c.height() / 3), col);
    }
    const int lines = rng.uniform(3, 10);
    for (int i = 0; i < lines; ++i) {
        const Colour col{rng.real(0, 255), rng.real(0, 255), rng.real(0, 255)};
        if (rng.chance(0.5)) {
            const int y = rng.uniform(0, c.height() - 1);
            c.fill_rect(0, y, c.width() - 1, y + rng.uniform(0, 3), col);
        } else {
            const int x = rng.uniform(0, c.width() - 1);
            c.fill_rect(x, 0, x + rng.uniform(0, 3), c.height() - 1, col);
        }
    }
    // A few small words, as on signs and stickers.
    static const char* words[] = {"PARKING", "EXIT", "SALE", "CAFE", "STOP", "OPEN", "AUTO"};
    const int n = rng.uniform(0, 2);
    for (int i = 0; i < n; ++i) {
        const auto m = glyphs.render(fonts[0], words[rng.uniform(0, 6)], rng.uniform(8, 14), 1);
        const int x0 = rng.uniform(0, std::max(0, c.width() - m.width)), y0 = rng.uniform(0, std::max(0, c.height() - m.height));
        const Colour ink{rng.real(0, 80), rng.real(0, 80), rng.real(0, 80)};
        for (int y = 0; y < m.height; ++y)
            for (int x = 0; x < m.width; ++x)
                c.blend(x0 + x, y0 + y, ink, m.alpha[static_cast<std::size_t>(y * m.width + x)] / 255.0);
    }
}

}  // namespace

Scene make_scene(Rng& rng, GlyphRenderer& glyphs, const std::vector<std::string>& fonts, PlateRegion region) {
    Scene s;
    const int W = rng.uniform(56, 80) * 10, H = W * 3 / 4;
    Canvas canvas(W, H, Colour{128, 128, 128});
    clutter(canvas, rng, glyphs, fonts);

    std::string text;
    PlateStyle style;
    if (region == PlateRegion::mixed) {
        text = random_plate_text(rng);
        style = random_style(rng, fonts);
    } else {
        RegionPlate p = random_region_plate(region, rng, fonts);
        text = std::move(p.text);
        style = std::move(p.style);
    }
    const Canvas plate = render_plate(glyphs, text, style);
    for (char ch : text)
        if (ch != ' ') s.plate += ch;

    const double angle = rng.real(-4, 4) * M_PI / 180.0;
    const double shear = rng.real(-0.1, 0.1);
    const double ca = std::cos(angle), sa = std::sin(angle);
    const double pw = plate.width(), ph = plate.height();
    // Forward map plate (u, v) about its centre: shear across, then rotate.
    auto forward = [&](double u, double v, double* x, double* y) {
        const double su = u + shear * v;
        *x = ca * su - sa * v;
        *y = sa * su + ca * v;
    };
    double minx = 1e9, maxx = -1e9, miny = 1e9, maxy = -1e9;
    for (int k = 0; k < 4; ++k) {
        double x, y;
        forward((k & 1 ? 0.5 : -0.5) * pw, (k & 2 ? 0.5 : -0.5) * ph, &x, &y);
        minx = std::min(minx, x);
        maxx = std::max(maxx, x);
        miny = std::min(miny, y);
        maxy = std::max(maxy, y);
    }
    const int bw = static_cast<int>(std::ceil(maxx - minx)), bh = static_cast<int>(std::ceil(maxy - miny));
    const double cx = rng.uniform(bw / 2 + 4, std::max(bw / 2 + 4, W - bw / 2 - 5));
    const double cy = rng.uniform(bh / 2 + 4, std::max(bh / 2 + 4, H - bh / 2 - 5));
    for (int y = static_cast<int>(cy + miny) - 1; y <= static_cast<int>(cy + maxy) + 1; ++y) {
        for (int x = static_cast<int>(cx + minx) - 1; x <= static_cast<int>(cx + maxx) + 1; ++x) {
            // Inverse map: rotate back, then undo the shear.
            const double dx = x - cx, dy = y - cy;
            const double rx = ca * dx + sa * dy, ry = -sa * dx + ca * dy;
            const double u = rx - shear * ry + pw / 2, v = ry + ph / 2;
            Colour col;
            if (plate.sample(u, v, &col)) canvas.set(x, y, col);
        }
    }
    s.x = std::max(0, static_cast<int>(std::floor(cx + minx)));
    s.y = std::max(0, static_cast<int>(std::floor(cy + miny)));
    s.w = std::min(W - 1, static_cast<int>(std::ceil(cx + maxx))) - s.x + 1;
    s.h = std::min(H - 1, static_cast<int>(std::ceil(cy + maxy))) - s.y + 1;

    canvas.blur(rng.uniform(0, 2));
    const double noise = rng.real(2, 12);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            Colour c = canvas.get(x, y);
            const double n = rng.real(-noise, noise);
            c.r += n;
            c.g += n;
            c.b += n;
            canvas.set(x, y, c);
        }
    s.picture = std::move(canvas);
    return s;
}

}  // namespace platix::synth
