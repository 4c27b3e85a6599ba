// The image store through its C interface: files of every format, the cursor, closing, pages from memory.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "image_store.h"
#include "library_writers.h"
#include "own_format_writers.h"
#include "rasterkit.h"
#include "temp_dir.h"
#include "zero_alloc.h"

namespace {

using testsupport::write_bytes;
using Bytes = std::vector<std::uint8_t>;

// A PGM file of w x h pixels, pixel (x, y) = value(x, y).
Bytes pgm(int w, int h, int (*value)(int, int)) {
    const std::string head = "P5\n" + std::to_string(w) + "\n" + std::to_string(h) + "\n255\n";
    Bytes bytes(head.begin(), head.end());
    for (int i = 0; i < w * h; ++i) bytes.push_back(static_cast<std::uint8_t>(value(i % w, i / w)));
    return bytes;
}

class ImageStore : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::string page_file = dir.file("page.jpg");  // a PGM misnamed: the content decides

    void SetUp() override { write_bytes(page_file, pgm(800, 600, [](int x, int y) { return (x + 3 * y) & 0xFF; })); }
    void TearDown() override { SEG_close_image(); orvo::alloc_fail_at(0); }
    std::string file(const char* name, const Bytes& bytes) { write_bytes(dir.file(name), bytes); return dir.file(name); }
    static std::vector<int> sizes() { return {MAXCOL, MAXLIN, BPL, XSCALE, YSCALE, crt_page}; }
};

TEST_F(ImageStore, OpenHoldsThePageAdvancesTheCursorAndCloseEmptiesIt) {
    ASSERT_EQ(SEG_set_image_file(page_file.c_str()), 1);
    EXPECT_TRUE(n_pages == 1 && crt_page == 0);
    EXPECT_EQ(rk::current_format(), rk::ImageFormat::pgm);
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(sizes(), (std::vector<int>{800, 600, 800, 1, 1, 1}));  // kept at file size
    EXPECT_EQ(videobuffer[799 + 599 * 800], (799 + 3 * 599) & 0xFF);
    ASSERT_EQ(SEG_open_image(), 1);  // another open reads the file again
    EXPECT_EQ(crt_page, 2);
    EXPECT_EQ(videobuffer[5 + 800], 8);
    XSCALE = 3;
    SEG_close_image();
    EXPECT_EQ(videobuffer, nullptr);
    EXPECT_EQ(sizes(), (std::vector<int>{800, 600, 800, 1, 1, 2}));  // sizes kept, factors reset
    SEG_close_image();  // closing twice is harmless
}

TEST_F(ImageStore, LargePageIsHeldAtItsNormalisedSize) {
    ASSERT_EQ(SEG_set_image_file(file("big.pgm", pgm(2000, 1000, [](int x, int) { return x < 1000 ? 40 : 200; })).c_str()), 1);
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(sizes(), (std::vector<int>{1000, 500, 1000, -2, -2, 1}));
    EXPECT_EQ(videobuffer[0], 40);
    // The temporary page was taken over: freeing it now must not touch the page.
    SEG_free_temp_scaled_image();
    EXPECT_EQ(videobuffer[999 + 499 * 1000], 200);
}

TEST_F(ImageStore, SetRefusesShortUnknownAndMissingFiles) {
    const std::string too_long(5000, 'x');
    for (const std::string& path : {file("four.bmp", {'B', 'M', 0, 0}), file("blank.pgm", {'P', '5', ' ', '8', '\n', '8', '\n'}),
                                    dir.file("missing.png"), dir.path(), too_long})
        EXPECT_EQ(SEG_set_image_file(path.c_str()), 0) << path.substr(0, 80);
    EXPECT_EQ(SEG_set_image_file(nullptr), 0);
    // Five bytes are set but cannot be opened.
    EXPECT_EQ(SEG_set_image_file(file("five.bmp", {'B', 'M', 0, 0, 0}).c_str()), 1);
    EXPECT_EQ(SEG_open_image(), 0);
    EXPECT_TRUE(videobuffer == nullptr && crt_page == 0);
}

// Each format is recognised by its content whatever the name; a damaged file of each leaves no page.
TEST_F(ImageStore, OpensEveryFormatByItsContentAndADamagedFileLeavesNoPage) {
    using namespace testsupport;
    const GrayImage gray{800, 600, Bytes(800 * 600, 90)};
    const IndexedImage indexed{800, 600, Bytes(800 * 600, 0), {{90, 90, 90}}};
    ASSERT_TRUE(write_png(dir.file("png.bmp"), RgbImage{800, 600, std::vector<Rgb>(800 * 600, Rgb{90, 90, 90})}));
    ASSERT_TRUE(write_jpeg(dir.file("jpeg.png"), gray, 100));
    const Bytes png = read_bytes(dir.file("png.bmp"));
    Bytes bad_bmp = bmp_file(indexed);
    put_le16(bad_bmp, 26, 2);  // planes
    const std::pair<std::string, int> files[] = {
        {dir.file("png.bmp"), 1}, {dir.file("jpeg.png"), 1}, {file("pcx.jpg", pcx_file(indexed)), 1},
        {file("bmp.pcx", bmp_file(indexed)), 1}, {file("itex.pgm", itex_file(gray)), 1},
        {file("png.png", {png.begin(), png.end() - 30}), 0},
        {file("jpeg.jpg", {0xFF, 0xD8, 0xFF, 0xDB, 0, 0x43, 1, 2}), 0},
        {file("bad.bmp", bad_bmp), 0}, {file("bad.pcx", pcx24_file(RgbImage{8, 8, std::vector<Rgb>(64)})), 0},
        {file("bad.img", itex_file(gray, 1)), 0}};
    for (const auto& [path, opened] : files) {
        ASSERT_EQ(SEG_set_image_file(page_file.c_str()), 1);
        ASSERT_EQ(SEG_open_image(), 1);
        ASSERT_EQ(SEG_set_image_file(path.c_str()), 1) << path;
        testing::internal::CaptureStderr();  // the libraries' messages on damage
        EXPECT_EQ(SEG_open_image(), opened) << path;
        testing::internal::GetCapturedStderr();
        const bool page = videobuffer != nullptr && videobuffer[800 * 600 - 1] == 90;
        const bool held = page && sizes() == std::vector<int>{800, 600, 800, 1, 1, 1};
        EXPECT_TRUE(opened ? held : videobuffer == nullptr && crt_page == 0) << path;
    }
}

TEST_F(ImageStore, OpenAfterAFailedSetDoesNotReloadTheFileBefore) {
    for (const std::string& bad : {dir.file("missing.pgm"), file("four.pgm", {'P', '5', '\n', '1'})}) {
        ASSERT_EQ(SEG_set_image_file(page_file.c_str()), 1);
        ASSERT_EQ(SEG_open_image(), 1);
        EXPECT_EQ(SEG_set_image_file(bad.c_str()), 0);
        EXPECT_EQ(SEG_open_image(), 0);
        EXPECT_EQ(videobuffer, nullptr);
    }
}

TEST_F(ImageStore, MemoryShortageWhileNormalisingKeepsThePageAsRead) {
    ASSERT_EQ(SEG_set_image_file(file("small.pgm", pgm(200, 100, [](int, int) { return 50; })).c_str()), 1);
    orvo::alloc_fail_at(3);  // file bytes and page succeed, the scaled page fails
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(sizes(), (std::vector<int>{200, 100, 200, 1, 1, 1}));
    EXPECT_EQ(videobuffer[200 * 100 - 1], 50);
    orvo::alloc_fail_at(0);
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(sizes(), (std::vector<int>{600, 300, 600, 3, 3, 2}));
}

TEST_F(ImageStore, GrayPageFromMemoryRefusesBeforeHoldingAnything) {
    Bytes px(64 * 64, 200);
    const struct { const unsigned char* pixels; int w, h, stride; } cases[] = {
        {nullptr, 64, 64, 64}, {px.data(), 0, 64, 64}, {px.data(), 64, -1, 64}, {px.data(), 64, 64, 63},
        {px.data(), 1 << 15, 1 << 14, 1 << 15}};
    for (const auto& c : cases) {
        ASSERT_EQ(SEG_open_gray_page(px.data(), 64, 64, 64), 1);
        EXPECT_EQ(SEG_open_gray_page(c.pixels, c.w, c.h, c.stride), 0) << c.w << " x " << c.h;
        EXPECT_EQ(videobuffer, nullptr);
    }
    orvo::alloc_fail_at(1);
    EXPECT_EQ(SEG_open_gray_page(px.data(), 64, 64, 64), 0);
    EXPECT_EQ(videobuffer, nullptr);
}

}  // namespace
