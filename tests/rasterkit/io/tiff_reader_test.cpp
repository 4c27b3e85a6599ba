// TIFF pages through the store: page counting and the page cursor, the
// layouts taken (gray, palette, RGB) and refused, and the end of the file.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

#include "library_writers.h"
#include "rasterkit.h"
#include "readers.h"
#include "temp_dir.h"
#include "zero_alloc.h"

namespace {

using namespace testsupport;

GrayImage gray(int w, int h, std::uint8_t base) {
    GrayImage g{w, h, {}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) g.pixels.push_back(static_cast<std::uint8_t>(base + x + y));
    return g;
}

class TiffStore : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir.file("pages.tif");
    void TearDown() override {
        SEG_close_image();
        orvo::alloc_fail_at(0);
    }
};

TEST_F(TiffStore, ThreePagesAreReadInTurnThenTheFileCloses) {
    // 800 x 600 pages are kept at file size.
    ASSERT_TRUE(write_tiff(file, {tiff_gray_page(gray(800, 600, 10)), tiff_gray_page(gray(800, 600, 20)),
                                  tiff_gray_page(gray(800, 600, 30))}));
    ASSERT_EQ(SEG_set_image_file(file.c_str()), 1);
    EXPECT_EQ(n_pages, 3);
    EXPECT_EQ(crt_page, 0);
    for (int page = 1; page <= 3; ++page) {
        ASSERT_EQ(SEG_open_image(), 1) << page;
        EXPECT_EQ(crt_page, page);
        EXPECT_EQ(MAXCOL, 800);
        EXPECT_EQ(BPL, 800);
        EXPECT_EQ(videobuffer[0], 10 * page);
        EXPECT_EQ(videobuffer[3 + 2 * 800], 10 * page + 5);
    }
    EXPECT_EQ(SEG_open_image(), 0);
    EXPECT_EQ(videobuffer, nullptr);
    EXPECT_EQ(SEG_open_image(), 0);  // the handle is gone
    // Going back to an earlier page needs the file set again.
    ASSERT_EQ(SEG_set_image_file(file.c_str()), 1);
    crt_page = 1;
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(videobuffer[0], 20);
}

TEST_F(TiffStore, SmallPagesAreNormalised) {
    ASSERT_TRUE(write_tiff(file, {tiff_gray_page(gray(200, 100, 0))}));
    ASSERT_EQ(SEG_set_image_file(file.c_str()), 1);
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(MAXCOL, 600);
    EXPECT_EQ(MAXLIN, 300);
    EXPECT_EQ(XSCALE, 3);
}

TEST_F(TiffStore, MemoryShortageClosesTheImage) {
    ASSERT_TRUE(write_tiff(file, {tiff_gray_page(gray(800, 600, 10))}));
    ASSERT_EQ(SEG_set_image_file(file.c_str()), 1);
    orvo::alloc_fail_at(1);
    EXPECT_EQ(SEG_open_image(), 0);
    EXPECT_EQ(videobuffer, nullptr);
    EXPECT_EQ(SEG_open_image(), 0);
}

TEST_F(TiffStore, DamagedStripGivesThePartialPageUnnormalised) {
    TiffPage p = tiff_gray_page(gray(200, 100, 10));
    p.compression = 8;  // deflate, one row per strip
    ASSERT_TRUE(write_tiff(file, {p}));
    // Garble the second half of the strips (they lie between the header and
    // the directory).
    std::vector<std::uint8_t> bytes = read_bytes(file);
    const std::size_t dir_offset = bytes[4] | bytes[5] << 8 | bytes[6] << 16 | std::size_t{bytes[7]} << 24;
    ASSERT_LT(dir_offset, bytes.size());
    for (std::size_t i = 8 + (dir_offset - 8) / 2; i < dir_offset; ++i) bytes[i] = static_cast<std::uint8_t>(i * 37);
    write_bytes(file, bytes);

    ASSERT_EQ(SEG_set_image_file(file.c_str()), 1);
    ASSERT_EQ(SEG_open_image(), 2);
    ASSERT_NE(videobuffer, nullptr);
    EXPECT_EQ(MAXCOL, 200);  // not normalised
    EXPECT_EQ(MAXLIN, 100);
    EXPECT_EQ(XSCALE, 1);
    EXPECT_EQ(crt_page, 0);  // not advanced
    EXPECT_EQ(videobuffer[0], 10);
    EXPECT_EQ(videobuffer[5 + 200 * 3], 10 + 5 + 3);
    EXPECT_EQ(videobuffer[200 * 100 - 1], 0);  // rows after the error stay 0
}

class TiffPageReader : public ::testing::Test {
protected:
    TempDir dir;
    rk::GrayPage page;
    rk::ReadError error = rk::ReadError::none;

    rk::TiffPageResult read(const std::vector<TiffPage>& pages, int index = 0) {
        const std::string file = dir.file("t.tif");
        EXPECT_TRUE(write_tiff(file, pages));
        int n = 0;
        TIFF* tiff = rk::tiff_open(file.c_str(), &n);
        EXPECT_NE(tiff, nullptr);
        rk::TiffPageResult r = rk::read_tiff_page(tiff, index, page, &error);
        TIFFClose(tiff);
        return r;
    }
};

TEST_F(TiffPageReader, ConvertsPaletteThroughTheColourMap) {
    TiffPage p = tiff_gray_page(GrayImage{3, 1, {0, 1, 2}});
    p.photometric = 3;
    p.colormap.assign(3 * 256, 0);
    // index 1: pure red (gray 76), index 2: pure blue (gray 29); the low
    // byte of each 16-bit entry is dropped.
    p.colormap[1] = 0xFFFF;
    p.colormap[2 * 256 + 2] = 0xFF80;
    p.colormap[0] = p.colormap[256] = p.colormap[512] = 0x64FF;  // 100,100,100
    ASSERT_EQ(read({p}), rk::TiffPageResult::ok);
    EXPECT_EQ(page.row(0)[0], 100);
    EXPECT_EQ(page.row(0)[1], 76);
    EXPECT_EQ(page.row(0)[2], 29);
}

TEST_F(TiffPageReader, ConvertsInterleavedRgbAndKeepsMinIsWhiteGray) {
    RgbImage rgb{2, 1, {{255, 0, 0}, {10, 200, 30}}};
    ASSERT_EQ(read({tiff_rgb_page(rgb)}), rk::TiffPageResult::ok);
    EXPECT_EQ(page.width, 2);
    EXPECT_EQ(page.row(0)[0], 76);
    EXPECT_EQ(page.row(0)[1], (299 * 10 + 587 * 200 + 114 * 30) / 1000);

    TiffPage white = tiff_gray_page(GrayImage{2, 1, {0, 250}});
    white.photometric = 0;  // read as it is, never inverted
    ASSERT_EQ(read({white}), rk::TiffPageResult::ok);
    EXPECT_EQ(page.row(0)[0], 0);
    EXPECT_EQ(page.row(0)[1], 250);
}

TEST_F(TiffPageReader, RefusesOtherLayoutsBeforeReadingPixels) {
    TiffPage bilevel = tiff_gray_page(GrayImage{8, 2, {0xAA, 0x55}});
    bilevel.bits = 1;
    EXPECT_EQ(read({bilevel}), rk::TiffPageResult::failed);
    EXPECT_EQ(error, rk::ReadError::unsupported);

    TiffPage deep = tiff_gray_page(GrayImage{2, 2, std::vector<std::uint8_t>(8, 7)});
    deep.bits = 16;
    EXPECT_EQ(read({deep}), rk::TiffPageResult::failed);

    TiffPage planes = tiff_rgb_page(RgbImage{2, 2, std::vector<Rgb>(4)});
    planes.planar_separate = true;
    EXPECT_EQ(read({planes}), rk::TiffPageResult::failed);
    EXPECT_EQ(error, rk::ReadError::unsupported);
    EXPECT_EQ(page.pixels, nullptr);

    TiffPage two = tiff_gray_page(GrayImage{2, 1, {1, 2, 3, 4}});
    two.samples = 2;
    two.photometric = 1;
    EXPECT_EQ(read({two}), rk::TiffPageResult::failed);
}

TEST_F(TiffPageReader, MissingDirectoryFails) {
    EXPECT_EQ(read({tiff_gray_page(GrayImage{2, 1, {1, 2}})}, 3), rk::TiffPageResult::failed);
}

TEST(TiffOpen, RefusesFilesLibtiffCannotOpen) {
    TempDir dir;
    const std::string file = dir.file("bad.tif");
    write_bytes(file, {'I', 'I', 42, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0});
    int n = -1;
    EXPECT_EQ(rk::tiff_open(file.c_str(), &n), nullptr);
    EXPECT_EQ(SEG_set_image_file(file.c_str()), 0);
    EXPECT_EQ(SEG_open_image(), 0);
}

}  // namespace
