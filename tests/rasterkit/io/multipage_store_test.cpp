// TIFF files through the image store: page count, cursor, end of file, refused pages, shortage, damaged strips.
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

// A page of base + x + y, a different picture for each base.
TiffPage ramp(int w, int h, int base) {
    GrayImage g{w, h, {}};
    for (int i = 0; i < w * h; ++i) g.pixels.push_back(static_cast<std::uint8_t>(base + i % w + i / w));
    return tiff_gray_page(g);
}

class TiffStore : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir.file("pages.tif");
    void TearDown() override { SEG_close_image(); orvo::alloc_fail_at(0); }
    void set(const std::vector<TiffPage>& pages) {
        ASSERT_TRUE(write_tiff(file, pages));
        ASSERT_EQ(SEG_set_image_file(file.c_str()), 1);
    }
    std::vector<int> sizes() const { return {MAXCOL, MAXLIN, BPL, XSCALE, YSCALE}; }
};

TEST_F(TiffStore, PagesAreReadInTurnOrByTheCursorThenTheFileCloses) {
    const std::vector<TiffPage> three = {ramp(800, 600, 10), ramp(800, 600, 20), ramp(800, 600, 30)};
    set(three);
    EXPECT_TRUE(n_pages == 3 && crt_page == 0);
    for (int page = 1; page <= 3; ++page) {
        ASSERT_EQ(SEG_open_image(), 1) << page;
        EXPECT_EQ(crt_page, page);
        EXPECT_EQ(sizes(), (std::vector<int>{800, 600, 800, 1, 1}));  // kept at file size
        EXPECT_EQ(videobuffer[3 + 2 * 800], 10 * page + 5);
    }
    EXPECT_EQ(SEG_open_image(), 0);
    EXPECT_TRUE(videobuffer == nullptr && crt_page == 3);
    EXPECT_EQ(SEG_open_image(), 0);  // the handle is gone
    set(three);
    crt_page = 2;
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_TRUE(videobuffer[0] == 30 && crt_page == 3);
    crt_page = 0;  // back to the first page without setting the file again
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(videobuffer[0], 10);
}

TEST_F(TiffStore, ARefusedFileOrPageOrMemoryShortageLeavesNoImage) {
    TiffPage deep = tiff_gray_page(GrayImage{800, 600, std::vector<std::uint8_t>(800 * 600 * 2, 1)});
    deep.bits = 16;
    set({ramp(800, 600, 10), deep});
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(SEG_open_image(), 0);
    EXPECT_TRUE(videobuffer == nullptr && crt_page == 1);  // not advanced
    crt_page = 0;
    EXPECT_EQ(SEG_open_image(), 0);  // the handle was closed with the image
    set({ramp(800, 600, 10)});
    orvo::alloc_fail_at(1);
    EXPECT_EQ(SEG_open_image(), 0);
    EXPECT_TRUE(videobuffer == nullptr && crt_page == 0);
    orvo::alloc_fail_at(0);
    EXPECT_EQ(SEG_open_image(), 0);
    write_bytes(file, {'I', 'I', 42, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0});  // a file libtiff refuses is not set
    EXPECT_EQ(SEG_set_image_file(file.c_str()), 0);
    EXPECT_EQ(SEG_open_image(), 0);
    EXPECT_EQ(videobuffer, nullptr);
}

// A damaged strip gives the partial page unnormalised in rows of MAXCOL bytes; the handle stays open for a retry.
TEST_F(TiffStore, DamagedStripGivesThePartialPage) {
    TiffPage gray = ramp(200, 100, 10);
    TiffPage rgb = tiff_rgb_page(RgbImage{200, 100, std::vector<Rgb>(200 * 100, Rgb{0, 0, 255})});
    for (TiffPage* p : {&gray, &rgb}) {
        p->compression = COMPRESSION_ADOBE_DEFLATE;  // one row per strip
        ASSERT_TRUE(write_tiff(file, {*p}));
        // Overwrite the second half of the strips, written between the header and the directory.
        std::vector<std::uint8_t> bytes = read_bytes(file);
        const std::size_t at = bytes[4] | bytes[5] << 8 | bytes[6] << 16 | std::size_t{bytes[7]} << 24;
        ASSERT_LT(at, bytes.size());
        for (std::size_t i = 8 + (at - 8) / 2; i < at; ++i) bytes[i] = static_cast<std::uint8_t>(i * 37);
        write_bytes(file, bytes);
        ASSERT_EQ(SEG_set_image_file(file.c_str()), 1);
        ASSERT_EQ(SEG_open_image(), 2);
        EXPECT_EQ(sizes(), (std::vector<int>{200, 100, 200, 1, 1}));
        EXPECT_EQ(crt_page, 0);  // not advanced
        EXPECT_EQ(videobuffer[5 + 200 * 3], p == &gray ? 10 + 5 + 3 : 29);
        EXPECT_EQ(videobuffer[200 * 100 - 1], 0);  // rows after the error stay 0
        EXPECT_EQ(SEG_open_image(), 2);
    }
}

}  // namespace
