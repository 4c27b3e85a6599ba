// Writing PNG files for the analysis dump: an RGB picture and a 1-bit
// black-and-white bitmap.
#pragma once

#include <string>
#include <vector>

namespace dump {

// Writes width x height RGB pixels (3 bytes each, rows top first). Returns
// false when the file cannot be written.
bool write_rgb_png(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb);

// Writes a 1-bit bitmap of `lines` rows of `bpl` bytes, the leftmost pixel
// of a byte in its most significant bit, 0 = black (ink), 1 = white, as a
// 1-bit gray PNG of columns x lines. bpl must be at least (columns + 7) / 8.
// Returns false when the file cannot be written.
bool write_bitmap_png(const std::string& path, int columns, int lines, const unsigned char* bits, int bpl);

}  // namespace dump
