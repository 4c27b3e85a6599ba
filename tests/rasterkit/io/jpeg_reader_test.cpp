// JPEG files: gray and colour files come out as gray pages, a truncated
// file still gives a page, damaged and empty files give none.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "library_writers.h"
#include "rasterkit.h"
#include "readers.h"
#include "temp_dir.h"
#include "zero_alloc.h"

namespace {

using namespace testsupport;

class JpegReader : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir.file("photo.jpg");
    void TearDown() override {
        SEG_close_image();
        orvo::alloc_fail_at(0);
    }
};

GrayImage flat_gray(int w, int h, std::uint8_t v) { return {w, h, std::vector<std::uint8_t>(std::size_t(w) * h, v)}; }

TEST_F(JpegReader, GrayFileKeepsItsValues) {
    // Flat areas survive JPEG coding exactly at quality 100.
    GrayImage img = flat_gray(32, 16, 200);
    for (int y = 0; y < 16; ++y)
        for (int x = 16; x < 32; ++x) img.pixels[y * 32 + x] = 40;
    ASSERT_TRUE(write_jpeg(file, img, 100));
    rk::ReadResult r = rk::read_jpeg(file.c_str());
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.page.width, 32);
    EXPECT_EQ(r.page.height, 16);
    EXPECT_NEAR(r.page.row(4)[3], 200, 1);
    EXPECT_NEAR(r.page.row(12)[28], 40, 1);
}

TEST_F(JpegReader, ColourFileIsDeliveredAsGray) {
    RgbImage img{16, 16, std::vector<Rgb>(256, Rgb{255, 0, 0})};
    ASSERT_TRUE(write_jpeg(file, img, 100));
    rk::ReadResult r = rk::read_jpeg(file.c_str());
    ASSERT_TRUE(r.ok());
    // The library's own colour conversion gives about the gray of red (76).
    EXPECT_NEAR(r.page.row(8)[8], 76, 3);
}

TEST_F(JpegReader, TruncatedFileStillGivesAPage) {
    // Busy picture: nearly all of the file is scan data, so a cut at two
    // thirds falls inside the scan.
    GrayImage img = flat_gray(256, 256, 120);
    for (int i = 0; i < 256 * 256; ++i) img.pixels[i] = static_cast<std::uint8_t>((i * 7919) % 251);
    img.pixels[0] = 120;
    ASSERT_TRUE(write_jpeg(file, img, 95));
    std::vector<std::uint8_t> bytes = read_bytes(file);
    bytes.resize(bytes.size() * 2 / 3);
    write_bytes(file, bytes);
    rk::ReadResult r = rk::read_jpeg(file.c_str());
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.page.width, 256);
    EXPECT_EQ(r.page.height, 256);
    // The rows the file still holds are decoded; the first row is near its
    // values, so the page is not a blank one.
    int close = 0;
    for (int x = 0; x < 256; ++x) close += std::abs(r.page.row(0)[x] - img.pixels[x]) < 40;
    EXPECT_GT(close, 128);
}

TEST_F(JpegReader, DamagedOrEmptyFilesGiveNoPage) {
    write_bytes(file, {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0});
    testing::internal::CaptureStderr();  // the library prints its fatal message
    EXPECT_EQ(rk::read_jpeg(file.c_str()).error, rk::ReadError::decode_failed);
    write_bytes(file, {});
    EXPECT_EQ(rk::read_jpeg(file.c_str()).error, rk::ReadError::decode_failed);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(rk::read_jpeg(dir.file("none.jpg").c_str()).error, rk::ReadError::cannot_open);
}

TEST_F(JpegReader, MemoryShortageGivesNoPage) {
    ASSERT_TRUE(write_jpeg(file, flat_gray(8, 8, 1)));
    orvo::alloc_fail_at(1);
    EXPECT_EQ(rk::read_jpeg(file.c_str()).error, rk::ReadError::no_memory);
}

TEST_F(JpegReader, IsRecognisedByContentWhateverTheName) {
    const std::string misnamed = dir.file("photo.png");
    ASSERT_TRUE(write_jpeg(misnamed, flat_gray(800, 600, 90), 100));
    ASSERT_EQ(SEG_set_image_file(misnamed.c_str()), 1);
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(MAXCOL, 800);
    EXPECT_EQ(MAXLIN, 600);
    EXPECT_NEAR(videobuffer[1000], 90, 1);
}

}  // namespace
