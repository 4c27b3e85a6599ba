// Hardening helpers: pages and image files of every format, a results-list check, taught glyphs.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_glyphs.h"
#include "glyphnet.h"
#include "library_writers.h"
#include "message_log.h"
#include "orvosys.h"
#include "own_format_writers.h"
#include "plate_scene.h"
#include "rasterkit.h"

namespace hardening {

using Bytes = std::vector<std::uint8_t>;

// A gray street scene with one plate.
inline testsupport::GrayImage scene(int w, int h, const char* text, std::uint32_t seed) {
    return samples::to_gray(samples::draw_scene({w, h, text, seed, false}));
}

// A light plate of `n` outlined characters (every second barred) on ramps of over ten grays: both phases run.
inline testsupport::GrayImage drawn_plate(int w, int h, int cw, int ch, int n, int gap) {
    testsupport::GrayImage g{w, h, {}};
    const int pw = n * (cw + gap) + gap, ph = ch + 8, x0 = (w - pw) / 2, y0 = (h - ph) / 2, cy = y0 + 4;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool plate = x >= x0 && x < x0 + pw && y >= y0 && y < y0 + ph;
            const int i = (x - x0 - gap) / (cw + gap), cx = x0 + gap + i * (cw + gap);
            const bool stroke = x >= x0 + gap && i < n && x < cx + cw && y >= cy && y < cy + ch &&
                                (x < cx + 2 || x >= cx + cw - 2 || y < cy + 2 || y >= cy + ch - 2 ||
                                 (i % 2 == 1 && y >= cy + ch / 2 - 1 && y <= cy + ch / 2));
            g.pixels.push_back(static_cast<std::uint8_t>(stroke ? 25 : plate ? 230 : 90 + (x * 7 + y * 3) % 60));
        }
    return g;
}

inline testsupport::IndexedImage gray_indexed(const testsupport::GrayImage& g) {
    testsupport::IndexedImage out{g.width, g.height, g.pixels, {}};
    for (int i = 0; i < 256; ++i) out.palette.push_back({std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)});
    return out;
}

// Writes `g` as `format` ("bmp", "pcx", "pgm", "itex", "jpeg", "png", "tiff") to `path`; false on failure.
inline bool write_image(const std::string& path, const std::string& format, const testsupport::GrayImage& g) {
    using namespace testsupport;
    if (format == "jpeg") return write_jpeg(path, g, 90);
    if (format == "tiff") return write_tiff(path, {tiff_gray_page(g)});
    if (format == "png") {
        PngOptions gray;
        gray.colour_type = 0;
        return write_png(path, g.width, g.height, std::vector<std::uint16_t>(g.pixels.begin(), g.pixels.end()), gray);
    }
    if (format == "bmp" || format == "pcx") {
        write_bytes(path, format == "bmp" ? bmp_file(gray_indexed(g)) : pcx_file(gray_indexed(g)));
    } else {
        write_bytes(path, format == "pgm" ? pgm_file(g) : itex_file(g));
    }
    return true;
}

// Checks each record of `results` (bitmap size, field inside the page, empty text); returns the count.
inline int check_results(const std::string& where) {
    int n = 0;
    for (const seg_result* r = results; r != nullptr; r = r->next, ++n) {
        EXPECT_TRUE(r->bitmap != nullptr && r->columns >= 1 && r->lines >= 1 && r->bpl == (r->columns + 7) / 8 &&
                    r->left >= 0 && r->top >= 0 && r->left <= r->right && r->top <= r->bottom &&
                    r->right < MAXCOL && r->bottom < MAXLIN && r->text[0] == 0)
            << where << ": record " << n;
    }
    EXPECT_EQ(n, SEG_get_results_number()) << where;
    return n;
}

// Draws glyph c alone at `scale`, reads it and teaches it into base 1 as `taught` (default: c).
inline int teach(ocr_io* io, char c, int scale = 4, char taught = 0) {
    fuzzglyphs::Bitmap b(5 * scale + 16, 7 * scale + 16);
    fuzzglyphs::draw(b, c, 8, 8, scale);
    testsupport::show_whole_field(io, b);
    io->kb_index = 1;
    io->kb_mode = 0;
    OCR_recognize_field();
    std::snprintf(io->taught_class, sizeof io->taught_class, "%c", taught ? taught : c);
    fuzzglyphs::set_shown(io->shown_class, io->text);
    std::memset(io->prior_frame, 0, sizeof io->prior_frame);
    return OCR_learn_char();
}

}  // namespace hardening
