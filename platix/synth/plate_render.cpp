// Drawing a plate: background, optional band and border, one or two rows
// of text.
#include "plate_render.h"

#include <algorithm>

namespace platix::synth {

std::string random_plate_text(Rng& rng) {
    static const char* patterns[] = {"LLL DDDD", "LL DDD LL", "LLDD LLL", "DLLL DDD", "LLL DLDD", "LL DDDD", "DDD LLL"};
    static const char letters[] = "ABCDEFGHJKLMNPRSTUVWXYZ";
    const std::string p = patterns[rng.uniform(0, 6)];
    std::string out;
    for (char c : p) {
        if (c == 'L') out += letters[rng.uniform(0, 22)];
        else if (c == 'D') out += static_cast<char>('0' + rng.uniform(0, 9));
        else out += ' ';
    }
    return out;
}

PlateStyle random_style(Rng& rng, const std::vector<std::string>& fonts) {
    PlateStyle s;
    s.yellow = rng.chance(0.3);
    s.border = rng.chance(0.5);
    s.side_band = rng.chance(0.35);
    s.two_rows = rng.chance(0.2);
    s.font = fonts[static_cast<std::size_t>(rng.uniform(0, static_cast<int>(fonts.size()) - 1))];
    s.cap_height = rng.uniform(18, 34);
    return s;
}

namespace {

void draw_mask(Canvas& c, const TextMask& m, int x0, int y0, Colour ink) {
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            const auto a = m.alpha[static_cast<std::size_t>(y) * static_cast<std::size_t>(m.width) + static_cast<std::size_t>(x)];
            if (a) c.blend(x0 + x, y0 + y, ink, a / 255.0);
        }
}

}  // namespace

Canvas render_plate(GlyphRenderer& glyphs, const std::string& text, const PlateStyle& s) {
    const Colour paper = s.yellow ? Colour{235, 200, 40} : Colour{238, 238, 232};
    const Colour ink{25, 25, 30};
    std::vector<std::string> rows;
    if (s.two_rows) {
        const auto blank = text.find(' ');
        rows.push_back(text.substr(0, blank));
        rows.push_back(blank == std::string::npos ? "" : text.substr(blank + 1));
    } else {
        rows.push_back(text);
    }
    const int spacing = std::max(1, s.cap_height / 10);
    std::vector<TextMask> masks;
    int text_w = 0, text_h = 0;
    for (const auto& r : rows) {
        masks.push_back(glyphs.render(s.font, r, s.cap_height, spacing));
        text_w = std::max(text_w, masks.back().width);
        text_h += masks.back().height;
    }
    const int margin = s.cap_height / 3 + 3;
    const int band = s.side_band ? s.cap_height * 2 / 3 + 4 : 0;
    const int w = text_w + 2 * margin + band;
    const int h = text_h + 2 * margin / 2 + 4;
    Canvas c(w, h, paper);
    if (s.side_band) c.fill_rect(0, 0, band - 1, h - 1, Colour{20, 50, 160});
    if (s.border) {
        const int t = std::max(2, s.cap_height / 12);
        c.fill_rect(0, 0, w - 1, t - 1, ink);
        c.fill_rect(0, h - t, w - 1, h - 1, ink);
        c.fill_rect(0, 0, t - 1, h - 1, ink);
        c.fill_rect(w - t, 0, w - 1, h - 1, ink);
    }
    int y = margin / 2 + 2;
    for (const auto& m : masks) {
        draw_mask(c, m, band + margin + (text_w - m.width) / 2, y, ink);
        y += m.height;
    }
    return c;
}

}  // namespace platix::synth
