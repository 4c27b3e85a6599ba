// A 1-bit field bitmap built in memory by the tests (1 = background, 0 =
// ink, leftmost pixel in the top bit), with helpers to draw into it.
#pragma once

#include <cstdint>
#include <vector>

namespace gntest {

struct TestBitmap {
    int width, height, bpr;
    std::vector<std::uint8_t> bits;
    TestBitmap(int w, int h) : width(w), height(h), bpr((w + 7) / 8), bits(bpr * h, 0xFF) {}
    void set(int x, int y) {
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        bits[y * bpr + x / 8] &= static_cast<std::uint8_t>(~(0x80 >> (x % 8)));
    }
    void fill(int x, int y, int w, int h) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) set(i, j);
    }
};

}  // namespace gntest
