// A small 5 x 7 block font drawn at any scale into test bitmaps, and one-box nets around glyphs.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "classify/features.h"
#include "image/bitmap_view.h"
#include "image/framing.h"
#include "kb/kb_file.h"
#include "kb/net.h"
#include "test_field_bitmap.h"
#include "zero_alloc.h"

namespace gntest {

// The 1-bit field bitmap the engine tests draw into.
using TestBitmap = testsupport::FieldBitmap;

inline const char* glyph_rows(char c) {
    switch (c) {
        case 'A': return ".###.#...##...#######...##...##...#";
        case 'B': return "####.#...##...#####.#...##...#####.";
        case 'C': return ".#####....#....#....#....#.....####";
        case '1': return "..#...##....#....#....#....#...###.";
        case '2': return ".###.#...#....#...#...#...#...#####";
        case '3': return "####.....#....#.###.....#....#####.";
        case '8': return ".###.#...##...#.###.#...##...#.###.";
        default: return nullptr;
    }
}

// Draws c with its top-left corner at (x, y), `scale` pixels per cell; returns the width drawn.
inline int draw_glyph(TestBitmap& b, char c, int x, int y, int scale) {
    const char* rows = glyph_rows(c);
    if (rows == nullptr) return 0;
    for (int r = 0; r < 7; ++r)
        for (int k = 0; k < 5; ++k)
            if (rows[r * 5 + k] == '#') b.fill(x + k * scale, y + r * scale, scale, scale);
    return 5 * scale;
}

// Draws text with `gap` pixels between glyphs, `space` for a blank; returns the x after the last glyph.
inline int draw_text(TestBitmap& b, const std::string& text, int x, int y, int scale, int gap,
                     int space) {
    for (char c : text) x += c == ' ' ? space - gap : draw_glyph(b, c, x, y, scale) + gap;
    return x - gap;
}

// A net of class c with one node from -margin to +margin around the features of the current frame.
inline gn::Net* framed_net(char c, int margin) {
    const gn::Frame f = gn::current_frame();
    gn::FeatureVector v;
    gn::extract_features(f.left, f.top, f.width, f.height, &v);
    gn::Net* n = gn::net_new(static_cast<unsigned char>(c), '_',
                             static_cast<unsigned char>(gn::shape_code(v.v)));
    n->nodes = static_cast<gn::Node*>(orvo::zero_alloc(sizeof(gn::Node)));
    n->node_count = 1;
    for (int m = 0; m < 49; ++m) {
        const int lo = v.v[m] - margin, hi = v.v[m] + margin;
        n->nodes[0].lo[m] = static_cast<std::int16_t>(lo < -16 ? -16 : lo);
        n->nodes[0].hi[m] = static_cast<std::int16_t>(hi > 16 ? 16 : hi);
        n->nodes[0].centre[m] = v.v[m];
    }
    return n;
}

// The net of glyph c drawn at the scale; leaves the glyph's bitmap installed.
inline gn::Net* glyph_net(char c, int scale, int margin, TestBitmap* scratch) {
    *scratch = TestBitmap(5 * scale + 10, 7 * scale + 10);
    draw_glyph(*scratch, c, 5, 5, scale);
    gn::install_bitmap(scratch->bits.data(), scratch->height, scratch->bpr);
    return gn::frame_char(0, 0, scratch->width, scratch->height) ? framed_net(c, margin) : nullptr;
}

// A net of class c1 c2 with `nodes` nodes whose values follow a pattern of `seed`.
inline gn::Net* pattern_net(unsigned char c1, unsigned char c2, int nodes, int seed) {
    gn::Net* n = gn::net_new(c1, c2, static_cast<unsigned char>(seed % 8));
    n->nodes = static_cast<gn::Node*>(orvo::zero_alloc_array(nodes, sizeof(gn::Node)));
    n->node_count = nodes;
    for (int k = 0; k < nodes; ++k)
        for (int m = 0; m < 49; ++m) {
            n->nodes[k].lo[m] = static_cast<std::int16_t>(-16 + (m + seed) % 5);
            n->nodes[k].hi[m] = static_cast<std::int16_t>(16 - (m + k) % 7);
            n->nodes[k].centre[m] = static_cast<std::int16_t>((m * 3 + seed) % 9 - 4);
        }
    return n;
}

// The .kbf bytes of the nets from `head` on; with `classes` ("A_B_..."), of one-node nets of them.
inline std::vector<std::uint8_t> kb_image(const gn::Net* head, const std::string& classes = "") {
    gn::Net* made = nullptr;
    for (std::size_t i = 0; i + 1 < classes.size(); i += 2) {
        gn::Net* n = pattern_net(classes[i], classes[i + 1], 1, 0);
        n->next = made;
        made = n;
    }
    gn::ByteBuffer b;
    const bool built = gn::build_kb_image(made ? made : head, &b);
    gn::nets_free(made);
    return built ? std::vector<std::uint8_t>(b.data(), b.data() + b.size()) : std::vector<std::uint8_t>{};
}

}  // namespace gntest
