// TIFF files through the image store: page counting, the page cursor, the
// end of the file, refused pages, memory shortage and the partial page of a
// damaged strip.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

#include "library_writers.h"
#include "rasterkit.h"
#include "temp_dir.h"
#include "zero_alloc.h"

namespace {

using namespace testsupport;

// base + x + y, a different picture for each base.
GrayImage ramp(int w, int h, int base) {
    GrayImage g{w, h, {}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) g.pixels.push_back(static_cast<std::uint8_t>(base + x + y));
    return g;
}

// Overwrites the second half of the strip data of a one-directory file
// (libtiff writes the strips between the header and the directory).
void garble_second_half_of_strips(const std::string& file) {
    std::vector<std::uint8_t> bytes = read_bytes(file);
    const std::size_t dir = bytes[4] | bytes[5] << 8 | bytes[6] << 16 | std::size_t{bytes[7]} << 24;
    ASSERT_LT(dir, bytes.size());
    for (std::size_t i = 8 + (dir - 8) / 2; i < dir; ++i) bytes[i] = static_cast<std::uint8_t>(i * 37);
    write_bytes(file, bytes);
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
    ASSERT_TRUE(write_tiff(file, {tiff_gray_page(ramp(800, 600, 10)), tiff_gray_page(ramp(800, 600, 20)),
                                  tiff_gray_page(ramp(800, 600, 30))}));
    ASSERT_EQ(SEG_set_image_file(file.c_str()), 1);
    EXPECT_EQ(n_pages, 3);
    EXPECT_EQ(crt_page, 0);
    for (int page = 1; page <= 3; ++page) {
        ASSERT_EQ(SEG_open_image(), 1) << page;
        EXPECT_EQ(crt_page, page);
        EXPECT_EQ(MAXCOL, 800);
        EXPECT_EQ(MAXLIN, 600);
        EXPECT_EQ(BPL, 800);
        EXPECT_EQ(XSCALE, 1);
        EXPECT_EQ(videobuffer[0], 10 * page);
        EXPECT_EQ(videobuffer[3 + 2 * 800], 10 * page + 5);
    }
    EXPECT_EQ(SEG_open_image(), 0);
    EXPECT_EQ(videobuffer, nullptr);
    EXPECT_EQ(crt_page, 3);
    EXPECT_EQ(SEG_open_image(), 0);  // the handle is gone
    EXPECT_EQ(videobuffer, nullptr);
}

TEST_F(TiffStore, TheCursorChoosesThePageToRead) {
    ASSERT_TRUE(write_tiff(file, {tiff_gray_page(ramp(800, 600, 10)), tiff_gray_page(ramp(800, 600, 20)),
                                  tiff_gray_page(ramp(800, 600, 30))}));
    ASSERT_EQ(SEG_set_image_file(file.c_str()), 1);
    crt_page = 2;
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(videobuffer[0], 30);
    EXPECT_EQ(crt_page, 3);
    crt_page = 0;  // back to the first page without setting the file again
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(videobuffer[0], 10);
    EXPECT_EQ(crt_page, 1);
}

TEST_F(TiffStore, PagesOfDifferentLayoutsAndSizes) {
    RgbImage colour{900, 700, std::vector<Rgb>(900 * 700, Rgb{255, 0, 0})};
    IndexedImage indexed{640, 480, std::vector<std::uint8_t>(640 * 480, 1), {{0, 0, 0}, {0, 0, 255}}};
    ASSERT_TRUE(write_tiff(file, {tiff_rgb_page(colour), tiff_palette_page(indexed)}));
    ASSERT_EQ(SEG_set_image_file(file.c_str()), 1);
    EXPECT_EQ(n_pages, 2);
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(MAXCOL, 900);
    EXPECT_EQ(MAXLIN, 700);
    EXPECT_EQ(BPL, 900);
    EXPECT_EQ(videobuffer[900 * 700 - 1], 76);
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(MAXCOL, 640);
    EXPECT_EQ(MAXLIN, 480);
    EXPECT_EQ(videobuffer[1234], 29);
}

TEST_F(TiffStore, SmallPagesAreNormalised) {
    ASSERT_TRUE(write_tiff(file, {tiff_gray_page(ramp(200, 100, 0))}));
    ASSERT_EQ(SEG_set_image_file(file.c_str()), 1);
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(MAXCOL, 600);
    EXPECT_EQ(MAXLIN, 300);
    EXPECT_EQ(XSCALE, 3);
    EXPECT_EQ(YSCALE, 3);
}

TEST_F(TiffStore, ARefusedPageClosesTheImage) {
    TiffPage deep = tiff_gray_page(GrayImage{800, 600, std::vector<std::uint8_t>(800 * 600 * 2, 1)});
    deep.bits = 16;
    ASSERT_TRUE(write_tiff(file, {tiff_gray_page(ramp(800, 600, 10)), deep}));
    ASSERT_EQ(SEG_set_image_file(file.c_str()), 1);
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(SEG_open_image(), 0);
    EXPECT_EQ(videobuffer, nullptr);
    EXPECT_EQ(crt_page, 1);  // not advanced
    crt_page = 0;
    EXPECT_EQ(SEG_open_image(), 0);  // the handle was closed with the image
}

TEST_F(TiffStore, MemoryShortageClosesTheImage) {
    ASSERT_TRUE(write_tiff(file, {tiff_gray_page(ramp(800, 600, 10))}));
    ASSERT_EQ(SEG_set_image_file(file.c_str()), 1);
    orvo::alloc_fail_at(1);
    EXPECT_EQ(SEG_open_image(), 0);
    EXPECT_EQ(videobuffer, nullptr);
    EXPECT_EQ(crt_page, 0);
    orvo::alloc_fail_at(0);
    EXPECT_EQ(SEG_open_image(), 0);
}

TEST_F(TiffStore, DamagedGrayStripGivesThePartialPageUnnormalised) {
    TiffPage p = tiff_gray_page(ramp(200, 100, 10));
    p.compression = COMPRESSION_ADOBE_DEFLATE;  // one row per strip
    ASSERT_TRUE(write_tiff(file, {p}));
    garble_second_half_of_strips(file);

    ASSERT_EQ(SEG_set_image_file(file.c_str()), 1);
    ASSERT_EQ(SEG_open_image(), 2);
    ASSERT_NE(videobuffer, nullptr);
    EXPECT_EQ(MAXCOL, 200);  // not normalised
    EXPECT_EQ(MAXLIN, 100);
    EXPECT_EQ(BPL, 200);
    EXPECT_EQ(XSCALE, 1);
    EXPECT_EQ(crt_page, 0);  // not advanced
    EXPECT_EQ(videobuffer[0], 10);
    EXPECT_EQ(videobuffer[5 + 200 * 3], 10 + 5 + 3);
    EXPECT_EQ(videobuffer[200 * 100 - 1], 0);  // rows after the error stay 0
    // The handle stays open: the page can be tried again.
    EXPECT_EQ(SEG_open_image(), 2);
}

TEST_F(TiffStore, DamagedRgbStripKeepsOneBytePerPixelRows) {
    TiffPage p = tiff_rgb_page(RgbImage{200, 100, std::vector<Rgb>(200 * 100, Rgb{0, 0, 255})});
    p.compression = COMPRESSION_ADOBE_DEFLATE;
    ASSERT_TRUE(write_tiff(file, {p}));
    garble_second_half_of_strips(file);

    ASSERT_EQ(SEG_set_image_file(file.c_str()), 1);
    ASSERT_EQ(SEG_open_image(), 2);
    // The rows of the page are MAXCOL bytes, not the file's scanline size.
    EXPECT_EQ(BPL, 200);
    EXPECT_EQ(MAXCOL, 200);
    EXPECT_EQ(videobuffer[199 + 200 * 2], 29);
    EXPECT_EQ(videobuffer[200 * 100 - 1], 0);
}

TEST_F(TiffStore, FilesLibtiffRefusesAreNotSet) {
    write_bytes(file, {'I', 'I', 42, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0});
    EXPECT_EQ(SEG_set_image_file(file.c_str()), 0);
    EXPECT_EQ(SEG_open_image(), 0);
    EXPECT_EQ(videobuffer, nullptr);
}

}  // namespace
