// Drawing field and character frames over the page.
#include "annotate.h"

#include <algorithm>
#include <stdexcept>

#include "coords.h"
#include "decode/decoded_page.h"
#include "rasterkit.h"
#include "synth/glyph_renderer.h"

namespace platix {

namespace {

struct Colour {
    unsigned char r, g, b;
};

void put(RgbPicture& p, int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= p.width || y >= p.height) return;
    const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(p.width) + static_cast<std::size_t>(x)) * 3;
    p.rgb[i] = c.r;
    p.rgb[i + 1] = c.g;
    p.rgb[i + 2] = c.b;
}

// A rectangle outline `pen` pixels wide, centred on the edges.
void frame(RgbPicture& p, const Box& b, int pen, Colour c) {
    const int lo = -(pen / 2);
    const int hi = lo + pen - 1;
    for (int d = lo; d <= hi; ++d) {
        for (int x = b.left + lo; x <= b.right + hi; ++x) {
            put(p, x, b.top + d, c);
            put(p, x, b.bottom + d, c);
        }
        for (int y = b.top + lo; y <= b.bottom + hi; ++y) {
            put(p, b.left + d, y, c);
            put(p, b.right + d, y, c);
        }
    }
}

// The picture at the file's own size: decoded again in colour when this
// program can, else the gray page stretched back by its factors.
RgbPicture original_picture(const std::string& path, const unsigned char* page, const ImageResult& r) {
    decode::Decoded d = decode::decode_colour(path);
    RgbPicture p;
    if (d.outcome == decode::Outcome::decoded && d.image.channels == 3 && d.image.width == r.width &&
        d.image.height == r.height) {
        p.width = d.image.width;
        p.height = d.image.height;
        p.rgb = std::move(d.image.pixels);
        return p;
    }
    p.width = r.width;
    p.height = r.height;
    p.rgb.resize(static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height) * 3);
    for (int y = 0; y < p.height; ++y) {
        const int py = std::min(r.maxlin - 1, static_cast<int>(static_cast<long long>(y) * r.maxlin / p.height));
        for (int x = 0; x < p.width; ++x) {
            const int px = std::min(r.maxcol - 1, static_cast<int>(static_cast<long long>(x) * r.maxcol / p.width));
            const unsigned char v = page[static_cast<std::size_t>(py) * static_cast<std::size_t>(r.maxcol) + px];
            const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(p.width) + x) * 3;
            p.rgb[i] = p.rgb[i + 1] = p.rgb[i + 2] = v;
        }
    }
    return p;
}

// The field's text in white on a band of its frame colour, just above the
// frame (below it when the frame touches the top).
void label(RgbPicture& p, synth::GlyphRenderer& fonts, const std::string& font, const Box& b, const std::string& text,
           int cap, Colour c) {
    if (text.empty() || font.empty()) return;
    synth::TextMask m;
    try {
        m = fonts.render(font, text, cap, 1);
    } catch (const std::exception&) {
        return;
    }
    const int pad = std::max(2, cap / 4);
    const int band_h = m.height + 2 * pad;
    const int top = b.top - band_h - 2 >= 0 ? b.top - band_h - 2 : b.bottom + 3;
    for (int y = 0; y < band_h; ++y)
        for (int x = 0; x < m.width + 2 * pad; ++x) put(p, b.left + x, top + y, c);
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            const int a = m.alpha[static_cast<std::size_t>(y) * static_cast<std::size_t>(m.width) + x];
            if (a < 128) continue;
            put(p, b.left + pad + x, top + pad + y, Colour{255, 255, 255});
        }
}

}  // namespace

RgbPicture annotate_original(const std::string& path, const unsigned char* page, const ImageResult& r) {
    RgbPicture p = original_picture(path, page, r);
    const int size = std::min(p.width, p.height);
    const int pen = std::max(2, size / 200);
    const int cap = std::max(12, size / 30);
    for (std::size_t k = 0; k < r.fields.size(); ++k)
        frame(p, r.fields[k].file_box, pen, k == 0 ? Colour{0, 224, 0} : Colour{224, 0, 0});
    for (const auto& f : r.fields)
        for (const auto& c : f.chars) frame(p, c.file_box, std::max(1, pen / 2), Colour{240, 120, 224});
    synth::GlyphRenderer fonts;
    const auto available = synth::GlyphRenderer::available_fonts();
    const std::string font = available.empty() ? std::string() : available.front();
    for (std::size_t k = 0; k < r.fields.size(); ++k)
        label(p, fonts, font, r.fields[k].file_box, r.fields[k].text, cap, k == 0 ? Colour{0, 150, 0} : Colour{170, 0, 0});
    return p;
}

bool write_annotation(const std::string& png_path, const ImageResult& r, std::string* why) {
    if (videobuffer == nullptr || MAXCOL != r.maxcol || MAXLIN != r.maxlin || r.width <= 0 || r.height <= 0) {
        *why = "no page held";
        return false;
    }
    return write_png_file(png_path, annotate_original(r.path, videobuffer, r), why);
}

}  // namespace platix
