// PGM and ITEX decoding: pixels as stored, strict PGM header lines, the ITEX type, cuts.
#include <gtest/gtest.h>

#include <string>

#include "own_format_writers.h"
#include "own_reader_checks.h"

namespace {

using testsupport::GrayImage;
using rktest::Bytes, rktest::page_pixels;
using E = rk::ReadError;

GrayImage ramp(int w, int h) {
    GrayImage img{w, h, {}};
    for (int i = 0; i < w * h; ++i) img.pixels.push_back(static_cast<std::uint8_t>(1 + (i * 37) % 255));
    return img;
}

// A PGM made of the given header text and pixel bytes.
Bytes pgm(const std::string& header, const Bytes& pixels) {
    Bytes f(header.begin(), header.end());
    f.insert(f.end(), pixels.begin(), pixels.end());
    return f;
}

TEST(PgmReaderDecodes, HeaderLinesAndPixelBytes) {
    const struct { const char* what; std::string header; Bytes pixels; int width, height; Bytes page; } cases[] = {
        // 14 characters and the line feed is the longest line taken.
        {"15-character lines", "P5\n00000000000003\n   00000000002\n          255\n", {1, 2, 3, 4, 5, 6}, 3, 2,
         {1, 2, 3, 4, 5, 6}},
        {"blanks around the numbers", "P5\n 2\r\n\t1 \n255\r\n", {7, 8}, 2, 1, {7, 8}},
        {"extra bytes after the pixels", "P5\n2\n1\n255\n", {1, 2, 3, 4}, 2, 1, {1, 2}},
        {"as written, top row first", "P5\n9\n7\n255\n", ramp(9, 7).pixels, 9, 7, ramp(9, 7).pixels},
    };
    for (const auto& c : cases) {
        rk::ReadResult r = rk::decode_pgm(pgm(c.header, c.pixels));
        ASSERT_TRUE(r.ok()) << c.what << ": " << rk::read_error_name(r.error);
        EXPECT_EQ(r.page.width, c.width) << c.what;
        EXPECT_EQ(r.page.height, c.height) << c.what;
        EXPECT_EQ(page_pixels(r), c.page) << c.what;
    }
}

TEST(PgmReaderRejects, HeaderLines) {
    const struct { const char* what; std::string header; E error; } cases[] = {
        {"width and height on one line", "P5\n3 2\n255\n", E::bad_header},
        {"blank after P5", "P5 3\n2\n255\n", E::bad_header},
        {"comment line", "P5\n# made by hand\n3\n2\n255\n", E::bad_header},
        {"16-character line", "P5\n000000000000003\n2\n255\n", E::bad_header},
        {"empty width line", "P5\n\n2\n255\n", E::bad_header},
        {"negative width", "P5\n-3\n2\n255\n", E::bad_header},
        {"maximum 254", "P5\n3\n2\n254\n", E::unsupported},
        {"maximum 65535", "P5\n3\n2\n65535\n", E::unsupported},
        {"width 0", "P5\n0\n2\n255\n", E::bad_size},
        {"height 0", "P5\n3\n0\n255\n", E::bad_size},
        {"over the page bound", "P5\n16385\n16384\n255\n", E::bad_size},
        {"huge width", "P5\n99999999999999\n1\n255\n", E::bad_size},
    };
    // Pixel bytes holding a "255" line, which a reader running on into them would find.
    Bytes pixels(80, 0x41);
    pixels[0] = '2', pixels[1] = '5', pixels[2] = '5', pixels[3] = '\n';
    for (const auto& c : cases) {
        rk::ReadResult r = rk::decode_bmp_pgm_itex(pgm(c.header, pixels));
        EXPECT_EQ(r.error, c.error) << c.what;
        EXPECT_EQ(r.page.pixels.get(), nullptr) << c.what;
    }
}

// Cut in the header, or holding less than a sixteenth of the pixels; the file reader refuses 64 bytes first.
TEST(PgmAndItexReadersShort, CutAnywhere) {
    const Bytes f = pgm("P5\n12\n10\n255\n", Bytes(120, 0x80));
    const auto end_of = [](std::size_t i) { return 13 + i + 1; };
    rktest::expect_every_cut(f, rk::decode_pgm, {{13, E::too_short}, {13 + 120 / 16, E::truncated}}, end_of);
    rktest::expect_every_cut(f, rk::decode_bmp_pgm_itex, {{65, E::too_short}}, end_of);
    // The ITEX decoder alone takes one pixel byte (a sixteenth of 16), not a bare header.
    rktest::expect_every_cut(testsupport::itex_file(ramp(4, 4)), rk::decode_itex,
                             {{64, E::too_short}, {65, E::truncated}}, [](std::size_t i) { return 64 + i + 1; });
}

// Unused header fields carry anything; sizes are unsigned.
TEST(ItexReaderDecodes, PixelsAsStoredAfterTheHeaderAtUnsignedSizes) {
    GrayImage img = ramp(5, 3);
    Bytes f = testsupport::itex_file(img);
    testsupport::put_le16(f, 2, 0xBEEF);
    testsupport::put_le32(f, 8, 0xDEADBEEF);
    for (std::size_t i = 14; i < 64; ++i) f[i] = static_cast<std::uint8_t>(i);
    rk::ReadResult r = rk::decode_bmp_pgm_itex(f);
    ASSERT_TRUE(r.ok() && r.page.width == 5 && r.page.height == 3) << rk::read_error_name(r.error);
    EXPECT_EQ(page_pixels(r), img.pixels);
    GrayImage wide{40000, 1, Bytes(40000, 7)};
    wide.pixels.back() = 200;
    r = rk::decode_itex(testsupport::itex_file(wide));
    ASSERT_TRUE(r.ok() && r.page.width == 40000);
    EXPECT_EQ(r.page.pixels.get()[39999], 200);
}

TEST(ItexReaderRejects, FileTypeOtherThanZeroAndZeroOrOversizedPages) {
    for (int type : {1, 0x100})
        EXPECT_EQ(rk::decode_bmp_pgm_itex(testsupport::itex_file(ramp(4, 4), type)).error, rk::ReadError::unsupported);
    // 65535 x 65535 is over the page bound.
    for (const auto& [w, h] : {std::pair{0, 4}, std::pair{4, 0}, std::pair{0xFFFF, 0xFFFF}}) {
        Bytes f = testsupport::itex_file(ramp(4, 4));
        testsupport::put_le16(f, 4, static_cast<std::uint16_t>(w));
        testsupport::put_le16(f, 6, static_cast<std::uint16_t>(h));
        EXPECT_EQ(rk::decode_itex(f).error, rk::ReadError::bad_size) << w << " x " << h;
    }
}

}  // namespace
