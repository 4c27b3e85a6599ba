// Synthetic plate scenes: background gradient with random boxes, a plate
// with a dark border and characters drawn from a 5 x 7 block font.
#include "plate_scene.h"

#include <algorithm>
#include <cstring>
#include <random>

namespace samples {
namespace {

// 5 x 7 glyphs, one string of 7 rows of 5 cells each ('#' = ink).
struct Glyph {
    char c;
    const char* rows[7];
};

constexpr Glyph kFont[] = {
    {'0', {" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### "}},
    {'1', {"  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
    {'2', {" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"}},
    {'3', {"#####", "   # ", "  #  ", "   # ", "    #", "#   #", " ### "}},
    {'4', {"   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "}},
    {'5', {"#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "}},
    {'6', {"  ## ", " #   ", "#    ", "#### ", "#   #", "#   #", " ### "}},
    {'7', {"#####", "    #", "   # ", "  #  ", " #   ", " #   ", " #   "}},
    {'8', {" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "}},
    {'9', {" ### ", "#   #", "#   #", " ####", "    #", "   # ", " ##  "}},
    {'A', {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {'B', {"#### ", "#   #", "#   #", "#### ", "#   #", "#   #", "#### "}},
    {'C', {" ### ", "#   #", "#    ", "#    ", "#    ", "#   #", " ### "}},
    {'D', {"#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "}},
    {'E', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"}},
    {'H', {"#   #", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {'K', {"#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"}},
    {'M', {"#   #", "## ##", "# # #", "# # #", "#   #", "#   #", "#   #"}},
    {'P', {"#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "}},
    {'R', {"#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"}},
    {'S', {" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "}},
    {'T', {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "}},
    {'X', {"#   #", "#   #", " # # ", "  #  ", " # # ", "#   #", "#   #"}},
    {'Z', {"#####", "    #", "   # ", "  #  ", " #   ", "#    ", "#####"}},
};

const Glyph* find_glyph(char c) {
    for (const Glyph& g : kFont)
        if (g.c == c) return &g;
    return nullptr;
}

void fill(testsupport::RgbImage& img, int x0, int y0, int x1, int y1, testsupport::Rgb colour) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, img.width);
    y1 = std::min(y1, img.height);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) img.pixels[static_cast<size_t>(y) * img.width + x] = colour;
}

}  // namespace

testsupport::RgbImage draw_scene(const SceneOptions& o) {
    testsupport::RgbImage img;
    img.width = o.width;
    img.height = o.height;
    img.pixels.resize(static_cast<size_t>(o.width) * o.height);
    std::mt19937 rng(o.seed);

    // Background: a vertical gradient with random darker and lighter boxes.
    for (int y = 0; y < o.height; ++y) {
        auto v = static_cast<std::uint8_t>(90 + 80 * y / std::max(o.height - 1, 1));
        testsupport::Rgb c = o.colour ? testsupport::Rgb{v, static_cast<std::uint8_t>(v * 9 / 10),
                                                         static_cast<std::uint8_t>(v * 7 / 10)}
                                      : testsupport::Rgb{v, v, v};
        fill(img, 0, y, o.width, y + 1, c);
    }
    std::uniform_int_distribution<int> px(0, o.width - 1), py(0, o.height - 1), pv(30, 220);
    for (int i = 0; i < 25; ++i) {
        int x = px(rng), y = py(rng);
        auto v = static_cast<std::uint8_t>(pv(rng));
        fill(img, x, y, x + o.width / 12, y + o.height / 20, {v, v, v});
    }

    // Plate: about a third of the width, centred low in the picture.
    const int n = static_cast<int>(o.text.size());
    const int cell = std::max(2, o.width / 3 / (6 * std::max(n, 1) + 4));
    const int pw = cell * (6 * n + 4), ph = cell * 11;
    const int left = (o.width - pw) / 2, top = o.height * 3 / 5 - ph / 2;
    const testsupport::Rgb plate = o.colour ? testsupport::Rgb{240, 200, 40} : testsupport::Rgb{235, 235, 235};
    fill(img, left - cell, top - cell, left + pw + cell, top + ph + cell, {20, 20, 20});
    fill(img, left, top, left + pw, top + ph, plate);
    for (int i = 0; i < n; ++i) {
        const Glyph* g = find_glyph(o.text[static_cast<size_t>(i)]);
        if (g == nullptr) continue;
        const int gx = left + 2 * cell + i * 6 * cell, gy = top + 2 * cell;
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 5; ++c)
                if (g->rows[r][c] == '#')
                    fill(img, gx + c * cell, gy + r * cell, gx + (c + 1) * cell, gy + (r + 1) * cell,
                         {15, 15, 15});
    }
    return img;
}

testsupport::GrayImage to_gray(const testsupport::RgbImage& image) {
    testsupport::GrayImage g;
    g.width = image.width;
    g.height = image.height;
    g.pixels.reserve(image.pixels.size());
    for (const auto& p : image.pixels)
        g.pixels.push_back(static_cast<std::uint8_t>((299 * p.r + 587 * p.g + 114 * p.b) / 1000));
    return g;
}

}  // namespace samples
