// Gray test plates for the learned reader: dark 5 x 7 block characters on a light page, with seeded noise.
#pragma once

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace pntest {

// The rows of 0-9, A, B, C and O, five cells each, top to bottom; nullptr for any other character.
inline const char* glyph_rows(char c) {
    static const char* const rows[] = {
        ".###.#...##..###.#.###..##...#.###.", "..#...##....#....#....#....#...###.", ".###.#...#....#...#...#...#...#####",
        "####.....#....#.###.....#....#####.", "...#...##..#.#.#..#.#####...#....#.", "######....####.....#....##...#.###.",
        "..##..#...#....####.#...##...#.###.", "#####....#...#...#...#....#....#...", ".###.#...##...#.###.#...##...#.###.",
        ".###.#...##...#.####....#...#..##..", ".###.#...##...#######...##...##...#", "####.#...##...#####.#...##...#####.",
        ".#####....#....#....#....#.....####", ".###.#...##...##...##...##...#.###."};
    static const char kChars[] = "0123456789ABCO";
    const char* at = c == '\0' ? nullptr : std::strchr(kChars, c);
    return at == nullptr ? nullptr : rows[at - kChars];
}

struct Page { int width = 0, height = 0; std::vector<std::uint8_t> pixels; };

// A page with `text` at (x, y), `scale` pixels per font cell, one cell between characters; *box
// receives the text's rectangle (right and bottom exclusive).
inline Page draw_plate(const std::string& text, int scale, int x, int y, int width, int height, unsigned seed,
                       int box[4]) {
    Page p{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height, 215)};
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> noise(-20, 20);
    int cx = x;
    for (char c : text) {
        const char* rows = glyph_rows(c);
        for (int i = 0; rows && i < 35 * scale * scale; ++i) {
            const int px = cx + i % (5 * scale), py = y + i / (5 * scale);  // the cell (px - cx) / scale, (py - y) / scale
            if (rows[(py - y) / scale * 5 + (px - cx) / scale] == '#' && px >= 0 && px < width && py >= 0 && py < height)
                p.pixels[static_cast<std::size_t>(py) * width + px] = 40;
        }
        cx += 6 * scale;
    }
    for (auto& v : p.pixels) v = static_cast<std::uint8_t>(std::clamp(v + noise(rng), 0, 255));
    box[0] = x, box[1] = y, box[2] = cx - scale, box[3] = y + 7 * scale;
    return p;
}

}  // namespace pntest
