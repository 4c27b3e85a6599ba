// Drawing a plate: background, optional band and border, one or two rows
// of text.
#include "plate_render.h"

#include <algorithm>
#include <cmath>

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
    // Capitals below about 21 pixels are too small for the reader's
    // character filters, so the plates start just above that.
    s.cap_height = rng.uniform(22, 38);
    // Plate fonts are set wider than print: the gap between characters
    // varies from a tenth to a fifth of the capital height.
    s.spacing = std::max(1, s.cap_height * rng.uniform(10, 20) / 100);
    s.ink_level = rng.uniform(10, 60);
    return s;
}

std::vector<std::string> split_rows(const std::string& text) {
    std::string bare;
    for (char c : text)
        if (c != ' ') bare += c;
    // The most even split at a blank, as long as each row keeps three
    // characters; otherwise the characters are halved, the longer half
    // below.
    std::size_t best = std::string::npos;
    std::size_t best_short = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != ' ') continue;
        std::size_t before = 0;
        for (std::size_t k = 0; k < i; ++k)
            if (text[k] != ' ') ++before;
        const std::size_t shorter = std::min(before, bare.size() - before);
        if (shorter >= 3 && shorter > best_short) {
            best = i;
            best_short = shorter;
        }
    }
    if (best != std::string::npos) return {text.substr(0, best), text.substr(best + 1)};
    const std::size_t half = bare.size() / 2;
    return {bare.substr(0, half), bare.substr(half)};
}

void draw_mask(Canvas& c, const TextMask& m, int x0, int y0, Colour ink) {
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            const auto a = m.alpha[static_cast<std::size_t>(y) * static_cast<std::size_t>(m.width) + static_cast<std::size_t>(x)];
            if (a) c.blend(x0 + x, y0 + y, ink, a / 255.0);
        }
}

TextMask small_words(GlyphRenderer& glyphs, const std::string& font, const std::string& words, int cap, int room) {
    TextMask m = glyphs.render(font, words, cap, 1);
    while (m.width > room && cap > 4) m = glyphs.render(font, words, --cap, 1);
    return m;
}

namespace {

void draw_border(Canvas& c, int t, Colour ink) {
    const int w = c.width(), h = c.height();
    c.fill_rect(0, 0, w - 1, t - 1, ink);
    c.fill_rect(0, h - t, w - 1, h - 1, ink);
    c.fill_rect(0, 0, t - 1, h - 1, ink);
    c.fill_rect(w - t, 0, w - 1, h - 1, ink);
}

const Colour kBandBlue{20, 50, 160};
const Colour kWhite{245, 245, 245};

// One row with the blue band at the left: the ring of stars at its top,
// the country code below them.
Canvas draw_eu(GlyphRenderer& glyphs, const std::string& text, const PlateStyle& s, TextArea& area) {
    const TextMask m = glyphs.render(s.font, text, s.cap_height, std::max(1, s.spacing));
    const int margin = s.cap_height / 3 + 3;
    const int band = s.cap_height * 2 / 3 + 4;
    const int w = m.width + 2 * margin + band;
    const int h = m.height + margin + 4;
    Canvas c(w, h, s.paper);
    c.fill_rect(0, 0, band - 1, h - 1, kBandBlue);
    const Colour star{240, 200, 30};
    const double r = band / 4.0;
    for (int k = 0; k < 12; ++k) {
        const double a = k * 3.14159265358979 / 6;
        const int x = static_cast<int>(band / 2.0 + r * std::cos(a)), y = static_cast<int>(h / 3.0 + r * std::sin(a));
        c.fill_rect(x, y, x + (band > 24 ? 1 : 0), y, star);
    }
    if (!s.band_text.empty()) {
        const TextMask code = small_words(glyphs, s.font, s.band_text, std::max(4, band / 3), band - 4);
        draw_mask(c, code, (band - code.width) / 2, h * 3 / 5, kWhite);
    }
    if (s.border) draw_border(c, std::max(2, s.cap_height / 12), s.ink);
    draw_mask(c, m, band + margin, margin / 2 + 2, s.ink);
    area = {band + margin, margin / 2 + 2, band + margin + m.width, margin / 2 + 2 + m.height};
    return c;
}

// Wider plate, about two to one: the state name small at the top, the
// characters in the middle of the rest.
Canvas draw_us(GlyphRenderer& glyphs, const std::string& text, const PlateStyle& s, TextArea& area) {
    const TextMask m = glyphs.render(s.font, text, s.cap_height, std::max(1, s.spacing));
    const int margin = s.cap_height / 3 + 3;
    const int w = m.width + 2 * margin;
    const TextMask caption = small_words(glyphs, s.font, s.caption, std::max(4, s.cap_height * 2 / 5), w - 2 * margin);
    const int top = margin / 2 + 2 + (s.caption.empty() ? 0 : caption.height);
    const int h = std::max(w * 45 / 100, top + m.height + margin);
    Canvas c(w, h, s.paper);
    if (s.border) draw_border(c, std::max(2, s.cap_height / 12), s.ink);
    if (!s.caption.empty()) draw_mask(c, caption, (w - caption.width) / 2, margin / 2 + 2, s.ink);
    draw_mask(c, m, margin, top + (h - top - m.height) / 2, s.ink);
    area = {margin, top + (h - top - m.height) / 2, margin + m.width, top + (h - top - m.height) / 2 + m.height};
    return c;
}

// Mercosur: the blue band across the top with "BRASIL" and a small flag
// at its right end, black rim. Older grey plate: the city small above.
Canvas draw_br(GlyphRenderer& glyphs, const std::string& text, const PlateStyle& s, TextArea& area) {
    const TextMask m = glyphs.render(s.font, text, s.cap_height, std::max(1, s.spacing));
    const int margin = s.cap_height / 3 + 3;
    const int w = m.width + 2 * margin;
    if (s.mercosur) {
        const int band = std::max(8, s.cap_height / 2);
        const int h = band + m.height + margin / 2 + 4;
        Canvas c(w, h, s.paper);
        c.fill_rect(0, 0, w - 1, band - 1, kBandBlue);
        const int fw = band * 7 / 5, fh = band * 7 / 10, fx = w - margin / 2 - fw, fy = (band - fh) / 2;
        c.fill_rect(fx, fy, fx + fw - 1, fy + fh - 1, Colour{0, 150, 60});
        c.fill_rect(fx + fw / 4, fy + fh / 4, fx + fw * 3 / 4 - 1, fy + fh * 3 / 4 - 1, Colour{250, 210, 0});
        if (!s.band_text.empty()) {
            const TextMask words = small_words(glyphs, s.font, s.band_text, std::max(4, band * 3 / 5), w / 2);
            draw_mask(c, words, (w - words.width) / 2, (band - words.height) / 2, kWhite);
        }
        if (s.border) draw_border(c, std::max(1, s.cap_height / 16), s.ink);
        draw_mask(c, m, margin, band + margin / 4 + 2, s.ink);
        area = {margin, band + margin / 4 + 2, margin + m.width, band + margin / 4 + 2 + m.height};
        return c;
    }
    const TextMask caption = small_words(glyphs, s.font, s.caption, std::max(4, s.cap_height / 3), w - 2 * margin);
    const int top = margin / 2 + 2 + (s.caption.empty() ? 0 : caption.height);
    const int h = top + m.height + margin / 2 + 2;
    Canvas c(w, h, s.paper);
    if (s.border) draw_border(c, std::max(2, s.cap_height / 12), s.ink);
    if (!s.caption.empty()) draw_mask(c, caption, (w - caption.width) / 2, margin / 2 + 2, s.ink);
    draw_mask(c, m, margin, top, s.ink);
    area = {margin, top, margin + m.width, top + m.height};
    return c;
}

}  // namespace

Canvas render_plate(GlyphRenderer& glyphs, const std::string& text, const PlateStyle& s, TextArea* where) {
    TextArea unused;
    TextArea& area = where != nullptr ? *where : unused;
    switch (s.region) {
    case PlateRegion::eu: return draw_eu(glyphs, text, s, area);
    case PlateRegion::us: return draw_us(glyphs, text, s, area);
    case PlateRegion::br: return draw_br(glyphs, text, s, area);
    case PlateRegion::mixed: break;
    }
    const Colour paper = s.yellow ? Colour{235, 200, 40} : Colour{238, 238, 232};
    const double level = s.ink_level;
    const Colour ink{level, level, level + 5};
    std::vector<std::string> rows;
    if (s.two_rows) {
        rows = split_rows(text);
    } else {
        rows.push_back(text);
    }
    const int spacing = std::max(1, s.spacing);
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
    area = {band + margin, y, band + margin + text_w, y + text_h};
    for (const auto& m : masks) {
        draw_mask(c, m, band + margin + (text_w - m.width) / 2, y, ink);
        y += m.height;
    }
    return c;
}

}  // namespace platix::synth
