// Drawn fields for the training tests, on a page of 800 x 600 that read well, and the labels around them.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "image_result.h"
#include "labels.h"

namespace platix_test {

inline platix::ImageResult page_with(std::vector<platix::FieldResult> fields) {
    platix::ImageResult r;
    r.status = platix::ImageStatus::ok, r.width = r.maxcol = 800, r.height = r.maxlin = 600, r.fields = std::move(fields);
    return r;
}

inline platix::LabelledImage label(const std::string& plate, int x, int y, int w, int h) {
    platix::LabelledImage l;
    l.plate = plate, l.x = x, l.y = y, l.w = w, l.h = h;
    return l;
}

// A blocky lettering, 5 x 7 cells of 3 x 3 pixels per character, rows top to bottom. Its O and 0 are one glyph, and
// so are its I and 1: a plate in this lettering is ambiguous by shape.
inline const std::map<char, const char*>& glyphs() {
    static const std::map<char, const char*> g = {
        {'0', ".###.#...##...##...##...##...#.###."}, {'1', "..#...##....#....#....#....#...###."},
        {'2', ".###.#...#....#...#...#...#...#####"}, {'3', "####.....#....#.###.....#....#####."},
        {'4', "...#...##..#.#.#..#.#####...#....#."}, {'7', "#####....#...#...#...#....#....#..."},
        {'8', ".###.#...##...#.###.#...##...#.###."}, {'A', ".###.#...##...#######...##...##...#"},
        {'B', "####.#...##...#####.#...##...#####."}, {'H', "#...##...##...#######...##...##...#"},
        {'K', "#...##..#.#.#..##...#.#..#..#.#...#"}};
    return g;
}

constexpr int kCell = 3, kGap = 6, kMargin = 4;

// A field bitmap of `text` in the blocky lettering at page position (x, y).
inline platix::FieldResult drawn_field(const std::string& text, int x, int y) {
    platix::FieldResult f;
    const int n = static_cast<int>(text.size());
    f.columns = 2 * kMargin + n * 5 * kCell + (n - 1) * kGap;
    f.lines = 2 * kMargin + 7 * kCell;
    f.bpl = (f.columns + 7) / 8;
    f.bitmap.assign(static_cast<std::size_t>(f.bpl) * static_cast<std::size_t>(f.lines), 0xFF);
    for (int i = 0; i < n; ++i) {
        const char c = text[static_cast<std::size_t>(i)];
        const char* rows = glyphs().at(c == 'O' ? '0' : c == 'I' ? '1' : c);
        const int left = kMargin + i * (5 * kCell + kGap);
        for (int r = 0; r < 7; ++r)
            for (int k = 0; k < 5 * kCell * kCell; ++k) {
                const int X = left + k / kCell % 5 * kCell + k % kCell, Y = kMargin + r * kCell + k / (5 * kCell);
                if (rows[r * 5 + k / kCell % 5] == '#')
                    f.bitmap[static_cast<std::size_t>(Y * f.bpl + X / 8)] &= static_cast<std::uint8_t>(~(0x80 >> (X % 8)));
            }
    }
    f.page_box = {x, y, x + f.columns - 1, y + f.lines - 1};
    f.file_box = f.page_box;
    return f;
}

}  // namespace platix_test
