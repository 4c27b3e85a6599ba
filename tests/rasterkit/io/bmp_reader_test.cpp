// BMP decoding: grays at every depth, row order, padding, palettes; refusals of headers, sizes, cuts and offsets.
#include <gtest/gtest.h>

#include <algorithm>

#include "own_format_writers.h"
#include "own_reader_checks.h"

namespace {

using namespace testsupport;
using rktest::Bytes, rktest::page_pixels;

// Gray of 8-bit components, worked out independently of the reader.
std::uint8_t gray8(const Rgb& c) { return static_cast<std::uint8_t>((299 * c.r + 587 * c.g + 114 * c.b) / 1000); }

// Red, green, blue over white, gray 100 and a mixed colour: grays 76, 149, 29 / 255, 100, 123.
const RgbImage kThreeByTwo{3, 2, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}, {100, 100, 100}, {10, 200, 30}}};
const Bytes kThreeByTwoGray = {76, 149, 29, 255, 100, 123};
const std::vector<Rgb> kGrays = {{10, 10, 10}, {20, 20, 20}, {30, 30, 30}, {40, 40, 40}};

// A picture whose pixels are all different and none black.
RgbImage varied(int w, int h) {
    RgbImage img{w, h, {}};
    for (int i = 0; i < w * h; ++i)
        img.pixels.push_back({static_cast<std::uint8_t>(40 + 13 * i), static_cast<std::uint8_t>(200 - 7 * i),
                              static_cast<std::uint8_t>(90 + 29 * i)});
    return img;
}
Bytes expected_gray(const RgbImage& img) {
    Bytes g;
    for (const Rgb& c : img.pixels) g.push_back(gray8(c));
    return g;
}
// The picture at a depth; at 8 bits with one palette entry per pixel.
Bytes bmp_of(const RgbImage& img, int bits, const BmpOptions& o = {}) {
    IndexedImage ind{img.width, img.height, {}, img.pixels};
    for (std::size_t i = 0; i < img.pixels.size(); ++i) ind.indices.push_back(static_cast<std::uint8_t>(i));
    return bits == 8 ? bmp_file(ind, o) : bmp_file(img, bits, o);
}
Bytes patched(Bytes f, std::size_t at, std::uint32_t v) { put_le32(f, at, v); return f; }

TEST(BmpReaderDecodes, FilesOfEveryLayout) {
    Bytes bottom_first = bmp_file(RgbImage{1, 2, {{0, 0, 0}, {0, 0, 0}}}, 24);  // the rows' bytes written by hand
    std::fill_n(bottom_first.begin() + 54, 3, 10);  // the bottom row first
    std::fill_n(bottom_first.begin() + 58, 3, 20);
    Bytes palette_before_pixels = bmp_file(varied(2, 2), 24);  // 8 bytes between header and true-colour pixels
    palette_before_pixels.insert(palette_before_pixels.begin() + 54, {1, 2, 3, 4, 5, 6, 7, 8});
    const Bytes four_grays = bmp_file(IndexedImage{4, 1, {0, 1, 2, 3}, kGrays});
    const Bytes two_grays = bmp_file(IndexedImage{2, 1, {0, 1}, {kGrays[0], kGrays[1]}});
    const struct { const char* what; Bytes file; Bytes gray; } cases[] = {
        {"24 bits, three padding bytes a row", bmp_file(kThreeByTwo, 24, {.padding = 0xEE}), kThreeByTwoGray},
        {"the first stored row is the bottom", bottom_first, {20, 10}},
        {"32 bits skip the fourth byte", bmp_file(kThreeByTwo, 32, {.reserved = 0xFF}), kThreeByTwoGray},
        // 5-5-5 truncated twice: blue 3 -> 24, green 18 -> 148, red 9 -> 74; the top bit ignored.
        {"16 bits", bmp16_file(3, 2, {0x7FFF, 0x001F, 0x03E0, 0x7C00, 0x8000, 0xFFFF}),
         {255, 24, 148, 74, 0, 255}},
        {"an index past the palette is black", bmp_file(IndexedImage{4, 1, {0, 1, 2, 255}, {kGrays[3], kGrays[0]}}),
         {40, 10, 0, 0}},
        // Four colours used widen a palette the data offset makes two entries long.
        {"short palette widened to the colours used", patched(four_grays, 10, 54 + 8), {10, 20, 30, 40}},
        // With two colours used the pixels are read from 62: entry 2 (30, 30, 30, 0) as indices.
        {"short palette of two colours used", patched(patched(four_grays, 10, 54 + 8), 46, 2), {0, 0, 0, 10}},
        {"a longer palette than the colours used is kept",
         bmp_file(IndexedImage{2, 1, {0, 3}, kGrays}, {.colours_used = 1}), {10, 40}},
        {"colours used: the low 16 bits", patched(two_grays, 46, 0x00010002), {10, 20}},
        {"colours used: signed, -1 is not above 256", patched(two_grays, 46, 0x0000FFFF), {10, 20}},
        {"the info header is always 40 bytes", patched(bmp_file(IndexedImage{2, 1, {1, 0}, kGrays}), 14, 124),
         {20, 10}},
        {"a palette in front of true-colour pixels is skipped", patched(palette_before_pixels, 10, 54 + 8),
         expected_gray(varied(2, 2))},
    };
    for (const auto& c : cases) {
        rk::ReadResult r = rk::decode_bmp(c.file);
        ASSERT_TRUE(r.ok()) << c.what << ": " << rk::read_error_name(r.error);
        EXPECT_EQ(page_pixels(r), c.gray) << c.what;
    }
}

// Rows wider than 32767 pixels once overflowed a 16-bit count.
TEST(BmpReaderDecodes, TopDownAsBottomUpAtEveryDepthAndRowsWiderThan32767Pixels) {
    const RgbImage img = varied(5, 4);
    const BmpOptions down{.top_down = true};
    for (int bits : {8, 16, 24, 32}) {
        rk::ReadResult up = rk::decode_bmp(bmp_of(img, bits)), flipped = rk::decode_bmp(bmp_of(img, bits, down));
        ASSERT_TRUE(up.ok() && flipped.ok() && flipped.page.width == 5 && flipped.page.height == 4) << bits;
        EXPECT_EQ(page_pixels(flipped), bits == 16 ? page_pixels(up) : expected_gray(img)) << bits;
        EXPECT_EQ(page_pixels(up), page_pixels(flipped)) << bits;
    }
    RgbImage wide{40000, 1, std::vector<Rgb>(40000, Rgb{255, 255, 255})};
    wide.pixels[39999] = {0, 0, 255};
    rk::ReadResult r = rk::decode_bmp(bmp_file(wide, 24));
    ASSERT_TRUE(r.ok() && r.page.width == 40000);
    EXPECT_EQ(page_pixels(r)[39998], 255);
    EXPECT_EQ(page_pixels(r)[39999], 29);
}

TEST(BmpReaderRejects, HeaderFieldsWithTheirCause) {
    using E = rk::ReadError;
    // The field of `width` bytes (2 or 4) at `at` set to `value`.
    const struct { const char* what; std::size_t at; int width; std::uint32_t value; E error; } cases[] = {
        {"planes 2", 26, 2, 2, E::bad_header},
        {"1 bit", 28, 2, 1, E::unsupported},
        {"8 bits without palette", 28, 2, 8, E::bad_header},
        {"RLE8", 30, 4, 1, E::unsupported},
        {"257 colours used", 46, 4, 257, E::bad_header},
        {"width 0", 18, 4, 0, E::bad_size},
        {"width INT_MIN", 18, 4, 0x80000000, E::bad_size},
        {"height 0", 22, 4, 0, E::bad_size},
        {"height INT_MIN", 22, 4, 0x80000000, E::bad_size},
        {"width over the page bound", 18, 4, (1u << 28) + 1, E::bad_size},
        {"width x height over the bound", 18, 4, (1u << 26) + 1, E::bad_size},
    };
    for (const auto& c : cases) {
        Bytes f = bmp_file(varied(4, 4), 24);
        c.width == 2 ? put_le16(f, c.at, static_cast<std::uint16_t>(c.value)) : put_le32(f, c.at, c.value);
        rk::ReadResult r = rk::decode_bmp_pgm_itex(f);
        EXPECT_EQ(r.error, c.error) << c.what;
        EXPECT_EQ(r.page.pixels.get(), nullptr) << c.what;
    }
}

// Every cut is too short, holds under a sixteenth of the pixel data, or gives the pixels whose bytes it holds;
// a data offset past the end holds no pixels.
TEST(BmpReaderTruncated, KeepsTheWholePixelsPresentAtEveryDepthAndNoneAfterTheEnd) {
    for (int bits : {8, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        const std::size_t start = 54 + (bits == 8 ? 4 * 12 : 0), bpp = bits / 8, stride = (3 * bpp + 3) / 4 * 4;
        rktest::expect_every_cut(bmp_of(varied(3, 4), bits), rk::decode_bmp_pgm_itex,
                                 {{65, rk::ReadError::too_short}, {start + 4 * stride / 16, rk::ReadError::truncated}},
                                 [&](std::size_t i) { return start + (3 - i / 3) * stride + (i % 3 + 1) * bpp; });
    }
    EXPECT_EQ(rk::decode_bmp(patched(bmp_file(varied(3, 2), 24), 10, 0xFFFFFFFF)).error, rk::ReadError::truncated);
    // 4 bytes of pixel data declared: a sixteenth of it is no byte at all.
    rk::ReadResult r = rk::decode_bmp(
        patched(bmp_file(IndexedImage{2, 1, {0, 1}, {{50, 50, 50}, {60, 60, 60}}}), 10, 0x80000000));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), Bytes(2, 0));
}

}  // namespace
