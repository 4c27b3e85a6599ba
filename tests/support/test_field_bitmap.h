// A 1-bit field bitmap (1 background, 0 ink, leftmost pixel in the top bit) and a record pointed at all of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "glyphnet.h"

namespace testsupport {

struct FieldBitmap {
    int width, height, bpr;
    std::vector<std::uint8_t> bits;
    FieldBitmap(int w, int h)
        : width(w), height(h), bpr((w + 7) / 8), bits(static_cast<std::size_t>(bpr) * h, 0xFF) {}
    // Inks one pixel; pixels outside the bitmap are ignored.
    void set(int x, int y) {
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        bits[static_cast<std::size_t>(y) * bpr + x / 8] &= static_cast<std::uint8_t>(~(0x80 >> (x % 8)));
    }
    void fill(int x, int y, int w, int h) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) set(i, j);
    }
};

// Makes the whole bitmap the field of the record's next request.
inline void show_whole_field(ocr_io* io, FieldBitmap& b) {
    io->image_bits = b.bits.data();
    io->rows = b.height, io->columns = b.width, io->bytes_per_row = b.bpr;
    io->left = 0, io->top = 0, io->right = b.width, io->bottom = b.height;
}

}  // namespace testsupport
