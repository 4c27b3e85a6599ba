// The image store through its C interface: which files are set, what an
// open holds, the page cursor, closing, and the failure paths.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "image_store.h"
#include "rasterkit.h"
#include "temp_dir.h"
#include "zero_alloc.h"

namespace {

using testsupport::write_bytes;

// A PGM file of w x h pixels, pixel (x, y) = value(x, y).
template <typename F>
std::vector<std::uint8_t> pgm(int w, int h, F value) {
    std::string head = "P5\n" + std::to_string(w) + "\n" + std::to_string(h) + "\n255\n";
    std::vector<std::uint8_t> bytes(head.begin(), head.end());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) bytes.push_back(static_cast<std::uint8_t>(value(x, y)));
    return bytes;
}

class ImageStore : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::string page_file = dir.file("page.pgm");

    void SetUp() override {
        // 800 x 600 is kept at file size by normalisation.
        write_bytes(page_file, pgm(800, 600, [](int x, int y) { return (x + 3 * y) & 0xFF; }));
    }
    void TearDown() override {
        SEG_close_image();
        orvo::alloc_fail_at(0);
    }
};

TEST_F(ImageStore, OpenHoldsThePageAndAdvancesTheCursor) {
    ASSERT_EQ(SEG_set_image_file(page_file.c_str()), 1);
    EXPECT_EQ(n_pages, 1);
    EXPECT_EQ(crt_page, 0);
    EXPECT_EQ(rk::current_format(), rk::ImageFormat::pgm);
    ASSERT_EQ(SEG_open_image(), 1);
    ASSERT_NE(videobuffer, nullptr);
    EXPECT_EQ(MAXCOL, 800);
    EXPECT_EQ(MAXLIN, 600);
    EXPECT_EQ(BPL, 800);
    EXPECT_EQ(XSCALE, 1);
    EXPECT_EQ(YSCALE, 1);
    EXPECT_EQ(crt_page, 1);
    EXPECT_EQ(videobuffer[0], 0);
    EXPECT_EQ(videobuffer[799 + 599 * 800], (799 + 3 * 599) & 0xFF);
    // Another open reads the file again.
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(crt_page, 2);
    EXPECT_EQ(videobuffer[5 + 800], (5 + 3) & 0xFF);
}

TEST_F(ImageStore, LargePageIsHeldAtItsNormalisedSize) {
    const std::string big = dir.file("big.pgm");
    write_bytes(big, pgm(2000, 1000, [](int x, int) { return x < 1000 ? 40 : 200; }));
    ASSERT_EQ(SEG_set_image_file(big.c_str()), 1);
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(MAXCOL, 1000);
    EXPECT_EQ(MAXLIN, 500);
    EXPECT_EQ(BPL, 1000);
    EXPECT_EQ(XSCALE, -2);
    EXPECT_EQ(YSCALE, -2);
    EXPECT_EQ(videobuffer[0], 40);
    EXPECT_EQ(videobuffer[999 + 499 * 1000], 200);
    // The temporary page was taken over: freeing it now must not touch the page.
    SEG_free_temp_scaled_image();
    EXPECT_EQ(videobuffer[999], 200);
}

TEST_F(ImageStore, CloseEmptiesThePageButKeepsSizes) {
    ASSERT_EQ(SEG_set_image_file(page_file.c_str()), 1);
    ASSERT_EQ(SEG_open_image(), 1);
    XSCALE = 3;
    SEG_close_image();
    EXPECT_EQ(videobuffer, nullptr);
    EXPECT_EQ(XSCALE, 1);
    EXPECT_EQ(YSCALE, 1);
    EXPECT_EQ(MAXCOL, 800);
    EXPECT_EQ(MAXLIN, 600);
    EXPECT_EQ(crt_page, 1);
    SEG_close_image();  // closing twice is harmless
    EXPECT_EQ(videobuffer, nullptr);
}

TEST_F(ImageStore, SetRefusesShortUnknownAndMissingFiles) {
    const std::string four = dir.file("four.bmp");
    write_bytes(four, {'B', 'M', 0, 0});
    EXPECT_EQ(SEG_set_image_file(four.c_str()), 0);

    const std::string blank = dir.file("blank.pgm");
    write_bytes(blank, {'P', '5', ' ', '8', '\n', '8', '\n'});
    EXPECT_EQ(SEG_set_image_file(blank.c_str()), 0);

    EXPECT_EQ(SEG_set_image_file(dir.file("missing.png").c_str()), 0);
    EXPECT_EQ(SEG_set_image_file(dir.path().c_str()), 0);  // a folder
    EXPECT_EQ(SEG_set_image_file(nullptr), 0);
    const std::string too_long(5000, 'x');
    EXPECT_EQ(SEG_set_image_file(too_long.c_str()), 0);
}

TEST_F(ImageStore, FiveByteBitmapIsSetButCannotBeOpened) {
    const std::string five = dir.file("five.bmp");
    write_bytes(five, {'B', 'M', 0, 0, 0});
    EXPECT_EQ(SEG_set_image_file(five.c_str()), 1);
    EXPECT_EQ(SEG_open_image(), 0);
    EXPECT_EQ(videobuffer, nullptr);
    EXPECT_EQ(crt_page, 0);
}

TEST_F(ImageStore, OpenAfterAFailedSetDoesNotReloadTheFileBefore) {
    ASSERT_EQ(SEG_set_image_file(page_file.c_str()), 1);
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(SEG_set_image_file(dir.file("missing.pgm").c_str()), 0);
    EXPECT_EQ(SEG_open_image(), 0);
    EXPECT_EQ(videobuffer, nullptr);

    const std::string four = dir.file("four.pgm");
    write_bytes(four, {'P', '5', '\n', '1'});
    ASSERT_EQ(SEG_set_image_file(page_file.c_str()), 1);
    EXPECT_EQ(SEG_set_image_file(four.c_str()), 0);
    EXPECT_EQ(SEG_open_image(), 0);
}

TEST_F(ImageStore, FormatComesFromContentNotName) {
    const std::string misnamed = dir.file("really-a-pgm.jpg");
    write_bytes(misnamed, pgm(800, 600, [](int, int) { return 9; }));
    ASSERT_EQ(SEG_set_image_file(misnamed.c_str()), 1);
    EXPECT_EQ(rk::current_format(), rk::ImageFormat::pgm);
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(videobuffer[123], 9);
}

TEST_F(ImageStore, MemoryShortageWhileReadingGivesNoPage) {
    ASSERT_EQ(SEG_set_image_file(page_file.c_str()), 1);
    for (long k = 1; k <= 2; ++k) {
        orvo::alloc_fail_at(k);  // the file bytes, then the page
        EXPECT_EQ(SEG_open_image(), 0) << k;
        EXPECT_EQ(videobuffer, nullptr);
        EXPECT_EQ(crt_page, 0);
    }
    orvo::alloc_fail_at(0);
    EXPECT_EQ(SEG_open_image(), 1);
}

TEST_F(ImageStore, MemoryShortageWhileNormalisingKeepsThePageAsRead) {
    const std::string small = dir.file("small.pgm");
    write_bytes(small, pgm(200, 100, [](int, int) { return 50; }));
    ASSERT_EQ(SEG_set_image_file(small.c_str()), 1);
    orvo::alloc_fail_at(3);  // file bytes and page succeed, the scaled page fails
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(MAXCOL, 200);
    EXPECT_EQ(MAXLIN, 100);
    EXPECT_EQ(XSCALE, 1);
    EXPECT_EQ(videobuffer[200 * 100 - 1], 50);
    orvo::alloc_fail_at(0);
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(MAXCOL, 600);
    EXPECT_EQ(XSCALE, 3);
}

}  // namespace
