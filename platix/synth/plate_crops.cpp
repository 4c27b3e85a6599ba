// Synthetic plate crops drawn in memory for the learned reader.
#include "plate_crops.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include <jpeglib.h>

#include "canvas.h"
#include "region_style.h"

namespace platix::synth {

namespace {

Colour mix(Colour a, Colour b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour random_colour(Rng& rng, double lo, double hi) { return {rng.real(lo, hi), rng.real(lo, hi), rng.real(lo, hi)}; }

void fill_ellipse(Canvas& c, double cx, double cy, double rx, double ry, Colour col, double alpha) {
    for (int y = static_cast<int>(cy - ry); y <= static_cast<int>(cy + ry) + 1; ++y)
        for (int x = static_cast<int>(cx - rx); x <= static_cast<int>(cx + rx) + 1; ++x) {
            const double dx = (x - cx) / std::max(rx, 0.5), dy = (y - cy) / std::max(ry, 0.5);
            if (dx * dx + dy * dy <= 1.0 && x >= 0 && y >= 0 && x < c.width() && y < c.height()) c.blend(x, y, col, alpha);
        }
}

// Words drawn in `ink` centred in the band from y0 to y1, as large as
// fit (at most `cap` high); nothing when the band is too thin.
void band_words(Canvas& c, GlyphRenderer& glyphs, const std::string& font, const std::string& words, int y0, int y1,
                int cap, Colour ink) {
    const int size = std::min(cap, (y1 - y0) * 3 / 4);
    if (size < 4) return;
    const TextMask m = small_words(glyphs, font, words, size, c.width() - 6);
    if (m.width > c.width() - 6) return;
    draw_mask(c, m, (c.width() - m.width) / 2, y0 + (y1 - y0 - m.height) / 2, ink);
}

// Many US plates are pictures: a tinted sky, hills or a sun behind the
// characters. Tinting multiplies, so the dark characters stay dark.
void scenery(Canvas& plate, Rng& rng) {
    const int w = plate.width(), h = plate.height();
    const Colour top = random_colour(rng, 150, 255), bottom = random_colour(rng, 150, 255);
    const int hills = rng.uniform(0, 3);
    std::vector<std::array<double, 4>> bumps;  // centre x, height, width, shade
    for (int i = 0; i < hills; ++i) bumps.push_back({rng.real(0, w), rng.real(0.2, 0.6) * h, rng.real(0.2, 0.6) * w, rng.real(0.55, 0.85)});
    const bool sun = rng.chance(0.3);
    const double sx = rng.real(0.1, 0.9) * w, sy = rng.real(0.1, 0.5) * h, sr = rng.real(0.1, 0.25) * h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Colour t = mix(top, bottom, static_cast<double>(y) / h);
            for (const auto& b : bumps) {
                const double dx = (x - b[0]) / b[2];
                if (dx > -1 && dx < 1 && h - y < b[1] * (1 - dx * dx)) t = Colour{t.r * b[3], t.g * b[3], t.b * (b[3] + 0.1)};
            }
            if (sun && (x - sx) * (x - sx) + (y - sy) * (y - sy) < sr * sr) t = Colour{255, 215, 120};
            const Colour c = plate.get(x, y);
            plate.set(x, y, Colour{c.r * t.r / 255, c.g * t.g / 255, c.b * t.b / 255});
        }
}

// What real plates carry besides their characters. Everything here stays
// clear of the characters' middle rows or is faint, so the label holds.
void wear(Canvas& plate, const TextArea& area, Rng& rng, GlyphRenderer& glyphs, const std::vector<std::string>& fonts,
          PlateRegion region) {
    const int w = plate.width(), h = plate.height();
    if (region == PlateRegion::us && rng.chance(0.35)) scenery(plate, rng);
    if (region == PlateRegion::us && rng.chance(0.5)) {
        // A slogan or the registry's address below the characters.
        static const char* const slogans[] = {"SUNSHINE STATE", "Land of Lincoln", "EMPIRE STATE", "LIVE FREE OR DIE",
                                              "Grand Canyon State", "THE LONE STAR STATE", "Great Lakes",
                                              "FIRST IN FLIGHT", "dmv.ca.gov", "Peach State", "KEYSTONE STATE",
                                              "Explore Minnesota", "VACATIONLAND", "Famous Potatoes"};
        const Colour ink = rng.chance(0.5) ? Colour{20, 30, 90} : random_colour(rng, 20, 120);
        band_words(plate, glyphs, fonts[static_cast<std::size_t>(rng.uniform(0, static_cast<int>(fonts.size()) - 1))],
                   slogans[rng.uniform(0, 13)], area.bottom + 1, h - 1, std::max(4, (area.bottom - area.top) * 2 / 5), ink);
    }
    if (rng.chance(0.4)) {
        // Bolts near the top edge.
        const double r = std::max(1.5, h / 22.0);
        const Colour bolt = random_colour(rng, 60, 190);
        fill_ellipse(plate, w * 0.25, h * 0.12, r, r, bolt, 0.9);
        fill_ellipse(plate, w * 0.75, h * 0.12, r, r, bolt, 0.9);
    }
    if (region == PlateRegion::us && rng.chance(0.5)) {
        // Registration stickers in a top corner, with a small number.
        const int sw = std::max(6, w / 9), sh = std::max(4, h / 6);
        const int x0 = rng.chance(0.5) ? 2 : w - sw - 2, y0 = 2;
        static const Colour stickers[] = {{220, 40, 40}, {40, 120, 220}, {240, 200, 20}, {40, 170, 70}, {230, 120, 30}};
        const Colour col = stickers[rng.uniform(0, 4)];
        plate.fill_rect(x0, y0, x0 + sw - 1, y0 + sh - 1, col);
        const TextMask m = glyphs.render(fonts[0], std::to_string(rng.uniform(20, 29)), std::max(4, sh - 3), 0);
        draw_mask(plate, m, x0 + 1, y0 + 1, Colour{250, 250, 250});
    }
    const int blots = rng.chance(0.5) ? rng.uniform(1, 6) : 0;
    for (int i = 0; i < blots; ++i) {
        // Dirt and rust, faint.
        const Colour dirt{rng.real(60, 120), rng.real(50, 100), rng.real(30, 70)};
        fill_ellipse(plate, rng.real(0, w), rng.real(0, h), rng.real(2, w / 6.0), rng.real(2, h / 3.0), dirt,
                     rng.real(0.08, 0.35));
    }
    if (rng.chance(0.35)) {
        // Shade across the plate: a shadow edge or uneven light.
        const bool across = rng.chance(0.5);
        const double from = rng.real(0.5, 1.0), to = rng.real(0.5, 1.0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const double t = across ? static_cast<double>(x) / w : static_cast<double>(y) / h;
                const double k = from + (to - from) * t;
                Colour c = plate.get(x, y);
                plate.set(x, y, Colour{c.r * k, c.g * k, c.b * k});
            }
    }
}

// A dealer's frame around the plate: a dark rim, wider at the bottom,
// with small words on it.
Canvas framed(const Canvas& plate, Rng& rng, GlyphRenderer& glyphs, const std::vector<std::string>& fonts) {
    const int side = std::max(2, plate.height() / 14), top = side, bottom = std::max(side, plate.height() / 6);
    const Colour rim = random_colour(rng, 10, 70);
    Canvas c(plate.width() + 2 * side, plate.height() + top + bottom, rim);
    for (int y = 0; y < plate.height(); ++y)
        for (int x = 0; x < plate.width(); ++x) c.set(x + side, y + top, plate.get(x, y));
    static const char* words[] = {"AUTO SALES", "MOTORS", "DEALER", "CARS & TRUCKS", "FORD", "TOYOTA"};
    const TextMask m = glyphs.render(fonts[0], words[rng.uniform(0, 5)], std::max(4, bottom * 2 / 3), 1);
    draw_mask(c, m, (c.width() - m.width) / 2, plate.height() + top + (bottom - m.height) / 2, Colour{235, 235, 235});
    return c;
}

// The plane projective map taking the four points `from` to `to`.
using Homography = std::array<double, 9>;
Homography homography(const std::array<double, 8>& from, const std::array<double, 8>& to) {
    double a[8][9] = {};
    for (int i = 0; i < 4; ++i) {
        const double x = from[2 * i], y = from[2 * i + 1], u = to[2 * i], v = to[2 * i + 1];
        double* r0 = a[2 * i];
        double* r1 = a[2 * i + 1];
        r0[0] = x, r0[1] = y, r0[2] = 1, r0[6] = -u * x, r0[7] = -u * y, r0[8] = u;
        r1[3] = x, r1[4] = y, r1[5] = 1, r1[6] = -v * x, r1[7] = -v * y, r1[8] = v;
    }
    for (int c = 0; c < 8; ++c) {
        int p = c;
        for (int r = c + 1; r < 8; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[p][c])) p = r;
        for (int k = 0; k < 9; ++k) std::swap(a[c][k], a[p][k]);
        if (std::fabs(a[c][c]) < 1e-12) return {1, 0, 0, 0, 1, 0, 0, 0, 1};
        for (int r = 0; r < 8; ++r) {
            if (r == c) continue;
            const double f = a[r][c] / a[c][c];
            for (int k = c; k < 9; ++k) a[r][k] -= f * a[c][k];
        }
    }
    Homography h{};
    for (int i = 0; i < 8; ++i) h[static_cast<std::size_t>(i)] = a[i][8] / a[i][i];
    h[8] = 1;
    return h;
}

bool apply(const Homography& h, double x, double y, double* u, double* v) {
    const double w = h[6] * x + h[7] * y + h[8];
    if (std::fabs(w) < 1e-9) return false;
    *u = (h[0] * x + h[1] * y + h[2]) / w;
    *v = (h[3] * x + h[4] * y + h[5]) / w;
    return true;
}

// A patch of car around the plate: paint with a gradient, a few edges of
// bumper and lamps.
void car_patch(Canvas& c, Rng& rng) {
    const Colour a = random_colour(rng, 20, 230);
    const Colour b = mix(a, random_colour(rng, 0, 255), rng.real(0, 0.5));
    for (int y = 0; y < c.height(); ++y) {
        const Colour row = mix(a, b, static_cast<double>(y) / c.height());
        for (int x = 0; x < c.width(); ++x) c.set(x, y, row);
    }
    const int shapes = rng.uniform(0, 5);
    for (int i = 0; i < shapes; ++i) {
        const int x0 = rng.uniform(0, c.width() - 1), y0 = rng.uniform(0, c.height() - 1);
        const int x1 = x0 + rng.uniform(4, std::max(5, c.width() / 2)), y1 = y0 + rng.uniform(2, std::max(3, c.height() / 3));
        c.fill_rect(x0, y0, x1, y1, random_colour(rng, 0, 255));
    }
}

// Gray of the canvas area-averaged by `f` (< 1 reduces).
std::vector<std::uint8_t> reduce_to_gray(const Canvas& c, double f, int* out_w, int* out_h) {
    const int w = std::max(1, static_cast<int>(c.width() * f)), h = std::max(1, static_cast<int>(c.height() * f));
    const int k = std::clamp(static_cast<int>(std::ceil(1.0 / f)), 1, 4);
    std::vector<std::uint8_t> g(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double sum = 0;
            int n = 0;
            for (int j = 0; j < k; ++j)
                for (int i = 0; i < k; ++i) {
                    Colour col;
                    if (!c.sample((x + (i + 0.5) / k) / f - 0.5, (y + (j + 0.5) / k) / f - 0.5, &col)) continue;
                    sum += 0.299 * col.r + 0.587 * col.g + 0.114 * col.b;
                    ++n;
                }
            g[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint8_t>(std::clamp(n ? sum / n : 0.0, 0.0, 255.0));
        }
    *out_w = w;
    *out_h = h;
    return g;
}

struct JumpError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

[[noreturn]] void jump_out(j_common_ptr info) { std::longjmp(reinterpret_cast<JumpError*>(info->err)->jump, 1); }

// Compresses and decompresses the gray picture as JPEG at `quality`; on a
// library error the picture keeps what it holds.
void jpeg_round_trip(std::vector<std::uint8_t>& g, int w, int h, int quality) {
    jpeg_compress_struct c{};
    jpeg_decompress_struct d{};
    JumpError err{};
    c.err = jpeg_std_error(&err.mgr);
    d.err = &err.mgr;
    err.mgr.error_exit = jump_out;
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    if (setjmp(err.jump) != 0) {
        jpeg_destroy_compress(&c);
        jpeg_destroy_decompress(&d);
        std::free(buf);
        return;
    }
    jpeg_create_compress(&c);
    jpeg_mem_dest(&c, &buf, &size);
    c.image_width = static_cast<JDIMENSION>(w);
    c.image_height = static_cast<JDIMENSION>(h);
    c.input_components = 1;
    c.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = g.data() + static_cast<std::size_t>(c.next_scanline) * w;
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, buf, size);
    if (jpeg_read_header(&d, TRUE) == JPEG_HEADER_OK) {
        jpeg_start_decompress(&d);
        while (d.output_scanline < d.output_height && static_cast<int>(d.output_scanline) < h) {
            JSAMPROW row = g.data() + static_cast<std::size_t>(d.output_scanline) * w;
            jpeg_read_scanlines(&d, &row, 1);
        }
        jpeg_finish_decompress(&d);
    }
    jpeg_destroy_decompress(&d);
    std::free(buf);
}

}  // namespace

static std::vector<std::string> crop_fonts(PlateRegion region) {
    // Besides the region's bold faces, the lighter weights and monospaced
    // faces that many plates' lettering is nearer to.
    std::vector<std::string> fonts = region_fonts(region);
    const std::string roboto = "/usr/share/fonts/truetype/roboto/unhinted/", dejavu = "/usr/share/fonts/truetype/dejavu/",
                      liberation = "/usr/share/fonts/truetype/liberation/";
    std::vector<std::string> more;
    if (region == PlateRegion::us)
        // Many states' lettering is tall and narrow, too.
        more = {dejavu + "DejaVuSans.ttf", liberation + "LiberationSans-Regular.ttf", dejavu + "DejaVuSansMono-Bold.ttf",
                liberation + "LiberationMono-Bold.ttf", roboto + "RobotoCondensed-Bold.ttf",
                dejavu + "DejaVuSansCondensed-Bold.ttf", liberation + "LiberationSansNarrow-Bold.ttf"};
    else
        more = {roboto + "RobotoCondensed-Medium.ttf", roboto + "RobotoCondensed-Regular.ttf",
                roboto + "RobotoCondensed-Light.ttf", dejavu + "DejaVuSansCondensed.ttf",
                liberation + "LiberationSansNarrow-Regular.ttf", dejavu + "DejaVuSansMono.ttf"};
    for (const auto& f : more) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(f, ec) && std::find(fonts.begin(), fonts.end(), f) == fonts.end())
            fonts.push_back(f);
    }
    return fonts;
}

PlateCrop make_plate_crop(Rng& rng, GlyphRenderer& glyphs, const std::vector<std::string>& fonts, PlateRegion region) {
    RegionPlate p = random_region_plate(region, rng, fonts);
    if (region == PlateRegion::us && rng.chance(0.6)) p.text = random_us_series(rng);
    // Groups apart by a blank or joined by a hyphen, as plates print them.
    std::string drawn = p.text;
    const double hyphens = region == PlateRegion::us ? 0.15 : (p.style.mercosur ? 0.0 : 0.45);
    if (rng.chance(hyphens)) std::replace(drawn.begin(), drawn.end(), ' ', '-');
    TextArea area;
    Canvas plate = render_plate(glyphs, drawn, p.style, &area);
    wear(plate, area, rng, glyphs, fonts, region);
    if (rng.chance(region == PlateRegion::us ? 0.4 : 0.15)) {
        const int w0 = plate.width(), h0 = plate.height();
        plate = framed(plate, rng, glyphs, fonts);
        const int dx = (plate.width() - w0) / 2, dy = std::max(2, h0 / 14);
        area = {area.left + dx, area.top + dy, area.right + dx, area.bottom + dy};
    }
    PlateCrop out;
    for (char ch : p.text)
        if (ch != ' ') out.text += ch;

    // The plate's corners in the patch: turned, sheared, seen from the
    // side (one end shorter) and from below or above.
    const double pw = plate.width(), ph = plate.height();
    const double angle = rng.real(-6, 6) * M_PI / 180.0, shear = rng.real(-0.15, 0.15);
    const double yaw = rng.real(-0.18, 0.18), pitch = rng.real(-0.1, 0.1), squeeze = rng.real(0.65, 1.1);
    std::array<double, 8> corners{};
    const double us[4] = {-0.5, 0.5, 0.5, -0.5}, vs[4] = {-0.5, -0.5, 0.5, 0.5};
    double minx = 1e9, maxx = -1e9, miny = 1e9, maxy = -1e9;
    for (int k = 0; k < 4; ++k) {
        const double sx = 1.0 + pitch * vs[k] * 2, sy = 1.0 + yaw * us[k] * 2;
        const double u = us[k] * pw * squeeze * sx, v = vs[k] * ph * sy;
        const double su = u + shear * v;
        const double x = std::cos(angle) * su - std::sin(angle) * v, y = std::sin(angle) * su + std::cos(angle) * v;
        corners[2 * k] = x;
        corners[2 * k + 1] = y;
        minx = std::min(minx, x), maxx = std::max(maxx, x), miny = std::min(miny, y), maxy = std::max(maxy, y);
    }
    const double bh = maxy - miny;
    const double mx = bh * rng.real(1.1, 1.6), my = bh * rng.real(0.85, 1.2);
    const int W = static_cast<int>(std::ceil(maxx - minx + 2 * mx)), H = static_cast<int>(std::ceil(bh + 2 * my));
    for (int k = 0; k < 4; ++k) corners[2 * k] += mx - minx, corners[2 * k + 1] += my - miny;
    const std::array<double, 8> flat{0, 0, pw, 0, pw, ph, 0, ph};
    const Homography back = homography(corners, flat), ahead = homography(flat, corners);
    Canvas patch(W, H, Colour{});
    car_patch(patch, rng);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double u, v;
            Colour col;
            if (apply(back, x + 0.5, y + 0.5, &u, &v) && plate.sample(u - 0.5, v - 0.5, &col)) patch.set(x, y, col);
        }
    patch.blur(rng.uniform(0, 1));

    // The size a camera sees it at: the plate 16 to 60 pixels high.
    const double f = std::min(1.0, rng.real(16, 60) / bh);
    int w = 0, h = 0;
    out.gray = reduce_to_gray(patch, f, &w, &h);
    out.width = w;
    out.height = h;
    out.left = std::clamp(static_cast<int>(std::floor(mx * f)), 0, w - 1);
    out.top = std::clamp(static_cast<int>(std::floor(my * f)), 0, h - 1);
    out.right = std::clamp(static_cast<int>(std::ceil((W - mx) * f)), out.left + 1, w);
    out.bottom = std::clamp(static_cast<int>(std::ceil((H - my) * f)), out.top + 1, h);

    double tx0 = 1e9, ty0 = 1e9, tx1 = -1e9, ty1 = -1e9;
    for (int k = 0; k < 4; ++k) {
        double x, y;
        if (!apply(ahead, k & 1 ? area.right : area.left, k & 2 ? area.bottom : area.top, &x, &y)) continue;
        tx0 = std::min(tx0, x), tx1 = std::max(tx1, x), ty0 = std::min(ty0, y), ty1 = std::max(ty1, y);
    }
    out.text_left = std::clamp(static_cast<int>(std::floor(tx0 * f)), out.left, out.right - 1);
    out.text_top = std::clamp(static_cast<int>(std::floor(ty0 * f)), out.top, out.bottom - 1);
    out.text_right = std::clamp(static_cast<int>(std::ceil(tx1 * f)), out.text_left + 1, out.right);
    out.text_bottom = std::clamp(static_cast<int>(std::ceil(ty1 * f)), out.text_top + 1, out.bottom);

    const double contrast = rng.real(0.5, 1.1), offset = rng.real(-30, 40), noise = rng.real(0, 9);
    for (auto& px : out.gray) {
        const double n = (rng.real(0, 1) + rng.real(0, 1) + rng.real(0, 1) - 1.5) * 2 * noise;
        px = static_cast<std::uint8_t>(std::clamp(128 + (px - 128) * contrast + offset + n, 0.0, 255.0));
    }
    if (rng.chance(0.6)) jpeg_round_trip(out.gray, w, h, rng.uniform(30, 90));
    return out;
}

std::vector<PlateCrop> make_plate_crops(int count, const std::vector<PlateRegion>& styles, unsigned long seed) {
    if (styles.empty()) throw std::invalid_argument("no plate style for the synthetic crops");
    std::vector<std::vector<std::string>> fonts;
    for (PlateRegion r : styles) {
        if (r == PlateRegion::mixed) throw std::invalid_argument("the synthetic crops are drawn in a region's style");
        fonts.push_back(crop_fonts(r));
        if (fonts.back().empty())
            throw std::runtime_error(std::string("no font for the ") + region_name(r) +
                                     " plates (install fonts-roboto-unhinted, fonts-dejavu-extra or fonts-liberation)");
    }
    GlyphRenderer glyphs;
    Rng rng(seed);
    std::vector<PlateCrop> out;
    out.reserve(static_cast<std::size_t>(std::max(0, count)));
    for (int k = 0; k < count; ++k) {
        const std::size_t s = static_cast<std::size_t>(k) % styles.size();
        out.push_back(make_plate_crop(rng, glyphs, fonts[s], styles[s]));
    }
    return out;
}

}  // namespace platix::synth
