// Drawing field and character frames over the page.
#include "annotate.h"

#include "coords.h"
#include "rasterkit.h"

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

}  // namespace

RgbPicture annotate_page(const unsigned char* page, const ImageResult& r) {
    RgbPicture p;
    p.width = r.maxcol;
    p.height = r.maxlin;
    const std::size_t n = static_cast<std::size_t>(r.maxcol) * static_cast<std::size_t>(r.maxlin);
    p.rgb.resize(n * 3);
    for (std::size_t i = 0; i < n; ++i) {
        p.rgb[3 * i] = p.rgb[3 * i + 1] = p.rgb[3 * i + 2] = page != nullptr ? page[i] : 0;
    }
    for (std::size_t k = 0; k < r.fields.size(); ++k) {
        const auto& f = r.fields[k];
        frame(p, f.page_box, 4, k == 0 ? Colour{0, 224, 0} : Colour{224, 0, 0});
    }
    for (const auto& f : r.fields) {
        for (const auto& c : f.chars) {
            frame(p, drawn_char_frame(c.bitmap_box, f.page_box, f.lines, r.maxcol, r.maxlin), 2, Colour{240, 120, 224});
        }
    }
    return p;
}

bool write_annotation(const std::string& png_path, const ImageResult& r, std::string* why) {
    if (videobuffer == nullptr || MAXCOL != r.maxcol || MAXLIN != r.maxlin) {
        *why = "no page held";
        return false;
    }
    return write_png_file(png_path, annotate_page(videobuffer, r), why);
}

}  // namespace platix
