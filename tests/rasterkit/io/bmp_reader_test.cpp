// BMP decoding: exact grays for every bit depth, row order, row padding,
// the palette rules, and refusal of every header the reader does not take,
// of truncated files and of failed allocations.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "own_format_writers.h"
#include "readers.h"

namespace {

using testsupport::BmpOptions;
using testsupport::IndexedImage;
using testsupport::Rgb;
using testsupport::RgbImage;
using Bytes = std::vector<std::uint8_t>;

Bytes page_pixels(const rk::ReadResult& r) {
    const std::uint8_t* p = r.page.pixels.get();
    return Bytes(p, p + static_cast<std::size_t>(r.page.width) * r.page.height);
}

// Gray of 8-bit components, worked out independently of the reader.
std::uint8_t gray8(const Rgb& c) { return static_cast<std::uint8_t>((299 * c.r + 587 * c.g + 114 * c.b) / 1000); }

// 3 x 2 picture: red, green, blue over white, gray 100, a mixed colour.
RgbImage three_by_two() {
    return {3, 2, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}, {100, 100, 100}, {10, 200, 30}}};
}
// Its grays: 76, 149, 29 / 255, 100, (2990 + 117400 + 3420) / 1000 = 123.
const Bytes kThreeByTwoGray = {76, 149, 29, 255, 100, 123};

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

// ---------------------------------------------------------------------------

TEST(BmpReaderDecodes, TwentyFourBitRowsOfThreePixelsCarryThreePaddingBytes) {
    BmpOptions o;
    o.padding = 0xEE;  // a reader that took padding for pixels would show it
    Bytes f = testsupport::bmp_file(three_by_two(), 24, o);
    ASSERT_EQ(f.size(), 54u + 2 * (9 + 3));
    rk::ReadResult r = rk::decode_bmp(f);
    ASSERT_TRUE(r.ok()) << rk::read_error_name(r.error);
    EXPECT_EQ(r.page.width, 3);
    EXPECT_EQ(r.page.height, 2);
    EXPECT_EQ(page_pixels(r), kThreeByTwoGray);
}

TEST(BmpReaderDecodes, FirstStoredRowIsTheBottomRow) {
    // Two rows, bottom row stored first: write bytes by hand.
    Bytes f = testsupport::bmp_file(RgbImage{1, 2, {{0, 0, 0}, {0, 0, 0}}}, 24);
    f[54] = 10, f[55] = 10, f[56] = 10;  // first stored row
    f[58] = 20, f[59] = 20, f[60] = 20;  // second stored row
    rk::ReadResult r = rk::decode_bmp(f);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), (Bytes{20, 10}));
}

TEST(BmpReaderDecodes, ThirtyTwoBitSkipsTheFourthByte) {
    BmpOptions o;
    o.reserved = 0xFF;
    Bytes f = testsupport::bmp_file(three_by_two(), 32, o);
    ASSERT_EQ(f.size(), 54u + 2 * 12);
    rk::ReadResult r = rk::decode_bmp(f);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), kThreeByTwoGray);
}

TEST(BmpReaderDecodes, SixteenBitIsFiveFiveFiveTruncatedTwice) {
    // 0x7FFF white; 0x001F blue: 114*31/1000 = 3, 3*255/31 = 24; 0x03E0
    // green: 18 -> 148; 0x7C00 red: 9 -> 74; 0x8000 only the ignored top
    // bit; 0xFFFF white with the top bit.
    const std::vector<std::uint16_t> v = {0x7FFF, 0x001F, 0x03E0, 0x7C00, 0x8000, 0xFFFF};
    rk::ReadResult r = rk::decode_bmp(testsupport::bmp16_file(3, 2, v));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), (Bytes{255, 24, 148, 74, 0, 255}));
}

TEST(BmpReaderDecodes, EightBitLooksUpThePalette) {
    IndexedImage img{3, 2, {0, 1, 2, 2, 1, 0}, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}};
    BmpOptions o;
    o.padding = 1;
    rk::ReadResult r = rk::decode_bmp(testsupport::bmp_file(img, o));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), (Bytes{76, 149, 29, 29, 149, 76}));
}

TEST(BmpReaderDecodes, EightBitIndexPastThePaletteGivesBlack) {
    IndexedImage img{4, 1, {0, 1, 2, 255}, {{200, 200, 200}, {50, 50, 50}}};
    rk::ReadResult r = rk::decode_bmp(testsupport::bmp_file(img));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), (Bytes{200, 50, 0, 0}));
}

TEST(BmpReaderDecodes, ShortPaletteIsWidenedToTheColoursUsed) {
    // Four palette entries are written but the data offset announces two;
    // with four colours used the palette is taken as 16 bytes, so the
    // pixel data is still found after all four entries.
    IndexedImage img{4, 1, {0, 1, 2, 3}, {{10, 10, 10}, {20, 20, 20}, {30, 30, 30}, {40, 40, 40}}};
    Bytes f = testsupport::bmp_file(img);
    testsupport::put_le32(f, 10, 54 + 8);
    rk::ReadResult r = rk::decode_bmp(f);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), (Bytes{10, 20, 30, 40}));

    // With two colours used the palette stays 8 bytes and the pixels are
    // read from offset 62, where entries 2 and 3 lie.
    testsupport::put_le32(f, 46, 2);
    r = rk::decode_bmp(f);
    ASSERT_TRUE(r.ok());
    // Bytes at 62..65 are entry 2: 30, 30, 30, 0 -> palette indices.
    EXPECT_EQ(page_pixels(r), (Bytes{0, 0, 0, 10}));
}

TEST(BmpReaderDecodes, LongerPaletteThanColoursUsedIsKept) {
    IndexedImage img{2, 1, {0, 3}, {{10, 10, 10}, {20, 20, 20}, {30, 30, 30}, {40, 40, 40}}};
    BmpOptions o;
    o.colours_used = 1;
    rk::ReadResult r = rk::decode_bmp(testsupport::bmp_file(img, o));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), (Bytes{10, 40}));
}

TEST(BmpReaderDecodes, ColoursUsedIsTheLowSixteenBitsSigned) {
    IndexedImage img{2, 1, {0, 1}, {{10, 10, 10}, {20, 20, 20}}};
    Bytes f = testsupport::bmp_file(img);
    testsupport::put_le32(f, 46, 0x00010002);  // low half 2
    EXPECT_TRUE(rk::decode_bmp(f).ok());
    testsupport::put_le32(f, 46, 0x0000FFFF);  // -1: not above 256
    rk::ReadResult r = rk::decode_bmp(f);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), (Bytes{10, 20}));
}

TEST(BmpReaderDecodes, InfoHeaderIsAlwaysFortyBytes) {
    // A larger header size field changes nothing: palette at 54, pixels
    // after it.
    IndexedImage img{2, 1, {1, 0}, {{10, 10, 10}, {20, 20, 20}}};
    Bytes f = testsupport::bmp_file(img);
    testsupport::put_le32(f, 14, 124);
    rk::ReadResult r = rk::decode_bmp(f);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), (Bytes{20, 10}));
}

TEST(BmpReaderDecodes, PaletteInFrontOfTrueColourPixelsIsSkipped) {
    RgbImage img = varied(2, 2);
    Bytes f = testsupport::bmp_file(img, 24);
    // Insert 8 bytes between header and pixels and move the data offset.
    f.insert(f.begin() + 54, {1, 2, 3, 4, 5, 6, 7, 8});
    testsupport::put_le32(f, 10, 54 + 8);
    rk::ReadResult r = rk::decode_bmp(f);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), expected_gray(img));
}

// 8: a palette of one entry per pixel.
class BmpReaderTopDown : public ::testing::TestWithParam<int> {};

TEST_P(BmpReaderTopDown, GivesTheSamePageAsBottomUp) {
    const int bits = GetParam();
    RgbImage img = varied(5, 4);
    IndexedImage ind{5, 4, {}, img.pixels};
    for (int i = 0; i < 20; ++i) ind.indices.push_back(static_cast<std::uint8_t>(i));
    BmpOptions down;
    down.top_down = true;
    rk::ReadResult up_r = rk::decode_bmp(bits == 8 ? testsupport::bmp_file(ind) : testsupport::bmp_file(img, bits));
    rk::ReadResult down_r =
        rk::decode_bmp(bits == 8 ? testsupport::bmp_file(ind, down) : testsupport::bmp_file(img, bits, down));
    ASSERT_TRUE(up_r.ok());
    ASSERT_TRUE(down_r.ok());
    EXPECT_EQ(down_r.page.width, 5);
    EXPECT_EQ(down_r.page.height, 4);
    EXPECT_EQ(page_pixels(down_r), page_pixels(up_r));
    if (bits != 16) {
        EXPECT_EQ(page_pixels(down_r), expected_gray(img));
    }
}

INSTANTIATE_TEST_SUITE_P(BitDepths, BmpReaderTopDown, ::testing::Values(8, 16, 24, 32));

TEST(BmpReaderDecodes, RowsWiderThan32767Pixels) {
    RgbImage img{40000, 1, std::vector<Rgb>(40000, Rgb{255, 255, 255})};
    img.pixels[39999] = {0, 0, 255};
    rk::ReadResult r = rk::decode_bmp(testsupport::bmp_file(img, 24));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.page.width, 40000);
    EXPECT_EQ(r.page.pixels.get()[0], 255);
    EXPECT_EQ(r.page.pixels.get()[39998], 255);
    EXPECT_EQ(r.page.pixels.get()[39999], 29);
}

// ---------------------------------------------------------------------------

struct HeaderPatch {
    const char* what;
    std::size_t at;
    int width;  // 2 or 4
    std::uint32_t value;
    rk::ReadError error;
};

class BmpReaderRejects : public ::testing::TestWithParam<HeaderPatch> {};

TEST_P(BmpReaderRejects, HeaderField) {
    const HeaderPatch p = GetParam();
    Bytes f = testsupport::bmp_file(varied(4, 4), 24);
    if (p.width == 2)
        testsupport::put_le16(f, p.at, static_cast<std::uint16_t>(p.value));
    else
        testsupport::put_le32(f, p.at, p.value);
    rk::ReadResult r = rk::decode_bmp_pgm_itex(f);
    EXPECT_EQ(r.error, p.error) << p.what;
    EXPECT_EQ(r.page.pixels.get(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, BmpReaderRejects,
    ::testing::Values(HeaderPatch{"planes 0", 26, 2, 0, rk::ReadError::bad_header},
                      HeaderPatch{"planes 2", 26, 2, 2, rk::ReadError::bad_header},
                      HeaderPatch{"1 bit", 28, 2, 1, rk::ReadError::unsupported},
                      HeaderPatch{"4 bits", 28, 2, 4, rk::ReadError::unsupported},
                      HeaderPatch{"0 bits", 28, 2, 0, rk::ReadError::unsupported},
                      HeaderPatch{"15 bits", 28, 2, 15, rk::ReadError::unsupported},
                      HeaderPatch{"8 bits without palette", 28, 2, 8, rk::ReadError::bad_header},
                      HeaderPatch{"RLE8", 30, 4, 1, rk::ReadError::unsupported},
                      HeaderPatch{"RLE4", 30, 4, 2, rk::ReadError::unsupported},
                      HeaderPatch{"bit fields", 30, 4, 3, rk::ReadError::unsupported},
                      HeaderPatch{"257 colours used", 46, 4, 257, rk::ReadError::bad_header},
                      HeaderPatch{"32767 colours used", 46, 4, 0x7FFF, rk::ReadError::bad_header},
                      HeaderPatch{"width 0", 18, 4, 0, rk::ReadError::bad_size},
                      HeaderPatch{"width -1", 18, 4, 0xFFFFFFFF, rk::ReadError::bad_size},
                      HeaderPatch{"width INT_MIN", 18, 4, 0x80000000, rk::ReadError::bad_size},
                      HeaderPatch{"width INT_MAX", 18, 4, 0x7FFFFFFF, rk::ReadError::bad_size},
                      HeaderPatch{"height 0", 22, 4, 0, rk::ReadError::bad_size},
                      HeaderPatch{"height INT_MIN", 22, 4, 0x80000000, rk::ReadError::bad_size},
                      HeaderPatch{"height INT_MAX", 22, 4, 0x7FFFFFFF, rk::ReadError::bad_size},
                      HeaderPatch{"width over the page bound", 18, 4, (1u << 28) + 1, rk::ReadError::bad_size},
                      HeaderPatch{"width x height over the bound", 18, 4, (1u << 26) + 1,
                                  rk::ReadError::bad_size}));

TEST(BmpReaderRejectsSize, ProductOverThePageBound) {
    Bytes f = testsupport::bmp_file(varied(2, 2), 24);
    testsupport::put_le32(f, 18, 1u << 14);
    testsupport::put_le32(f, 22, static_cast<std::uint32_t>(-((1 << 14) + 1)));
    EXPECT_EQ(rk::decode_bmp(f).error, rk::ReadError::bad_size);
    // Exactly at the bound the size passes, and the file is refused for
    // holding far less than its pixel data.
    testsupport::put_le32(f, 22, static_cast<std::uint32_t>(-(1 << 14)));
    EXPECT_EQ(rk::decode_bmp(f).error, rk::ReadError::truncated);
}

TEST(BmpReaderRejectsSize, FilesOfSixtyFourBytesOrFewer) {
    Bytes f = testsupport::bmp_file(varied(2, 2), 24);  // 54 + 16 = 70 bytes
    ASSERT_EQ(f.size(), 70u);
    EXPECT_EQ(rk::decode_bmp_pgm_itex(std::span(f.data(), 64)).error, rk::ReadError::too_short);
    EXPECT_EQ(rk::decode_bmp_pgm_itex(std::span(f.data(), 5)).error, rk::ReadError::too_short);
    EXPECT_TRUE(rk::decode_bmp_pgm_itex(std::span(f.data(), 65)).ok());
    // The decoder alone needs the 54 header bytes.
    EXPECT_EQ(rk::decode_bmp(std::span(f.data(), 53)).error, rk::ReadError::too_short);
}

// Every cut of a valid file is refused as too short, refused as holding
// less than a sixteenth of its pixel data, or gives the page with exactly
// the pixels whose bytes lie within the cut, the others 0.
class BmpReaderTruncated : public ::testing::TestWithParam<int> {};

TEST_P(BmpReaderTruncated, KeepsTheWholePixelsPresent) {
    const int bits = GetParam();
    RgbImage img = varied(3, 4);
    Bytes f;
    Bytes full_gray;
    if (bits == 8) {
        IndexedImage ind{3, 4, {}, {}};
        for (int i = 0; i < 12; ++i) {
            ind.indices.push_back(static_cast<std::uint8_t>(i));
            ind.palette.push_back(img.pixels[static_cast<std::size_t>(i)]);
        }
        f = testsupport::bmp_file(ind);
    } else {
        f = testsupport::bmp_file(img, bits);
    }
    rk::ReadResult whole = rk::decode_bmp(f);
    ASSERT_TRUE(whole.ok());
    full_gray = page_pixels(whole);
    for (std::uint8_t g : full_gray) ASSERT_NE(g, 0);

    const std::size_t data_start = 54 + (bits == 8 ? 4 * 12 : 0);
    const std::size_t bpp = static_cast<std::size_t>(bits / 8);
    const std::size_t stride = (3 * bpp + 3) / 4 * 4;
    for (std::size_t len = 0; len <= f.size(); ++len) {
        rk::ReadResult r = rk::decode_bmp_pgm_itex(std::span(f.data(), len));
        if (len <= 64) {
            EXPECT_EQ(r.error, rk::ReadError::too_short) << len;
            continue;
        }
        if (len < data_start + 4 * stride / 16) {
            EXPECT_EQ(r.error, rk::ReadError::truncated) << len;
            continue;
        }
        ASSERT_TRUE(r.ok()) << len;
        ASSERT_EQ(r.page.width, 3);
        ASSERT_EQ(r.page.height, 4);
        for (int k = 0; k < 4; ++k) {
            const int y = 3 - k;  // stored bottom-up
            for (int x = 0; x < 3; ++x) {
                const bool present = data_start + k * stride + (x + 1) * bpp <= len;
                const std::uint8_t want = present ? full_gray[static_cast<std::size_t>(y * 3 + x)] : 0;
                EXPECT_EQ(r.page.pixels.get()[y * 3 + x], want) << "len " << len << " x " << x << " y " << y;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BitDepths, BmpReaderTruncated, ::testing::Values(8, 16, 24, 32));

TEST(BmpReaderRejectsSize, DataOffsetPastTheEndHoldsNoPixels) {
    Bytes f = testsupport::bmp_file(varied(3, 2), 24);
    testsupport::put_le32(f, 10, 0xFFFFFFFF);
    EXPECT_EQ(rk::decode_bmp(f).error, rk::ReadError::truncated);

    IndexedImage ind{2, 1, {0, 1}, {{50, 50, 50}, {60, 60, 60}}};
    f = testsupport::bmp_file(ind);
    testsupport::put_le32(f, 10, 0x80000000);
    // 4 bytes of pixel data declared: a sixteenth of it is no byte at all.
    rk::ReadResult r = rk::decode_bmp(f);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), Bytes(2, 0));
}

}  // namespace
