// JPEG files: gray and colour files come out as exact gray pages, a
// truncated file still gives a page, damaged, empty and oversized files
// give none.
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

// A picture of flat 16 x 16 blocks, block k (row-major) of value values[k].
// At quality 100 the encoder keeps flat blocks exactly.
template <typename Pixel>
std::vector<Pixel> blocks(int bw, int bh, const std::vector<Pixel>& values) {
    std::vector<Pixel> px(static_cast<std::size_t>(bw) * bh * 256);
    for (int y = 0; y < bh * 16; ++y)
        for (int x = 0; x < bw * 16; ++x)
            px[static_cast<std::size_t>(y) * bw * 16 + x] = values[(y / 16) * bw + x / 16];
    return px;
}

// The value at the centre of block k of a page of 16 x 16 blocks.
int block_value(const rk::GrayPage& page, int bw, int k) {
    return page.pixels.get()[static_cast<std::size_t>((k / bw) * 16 + 8) * page.width + (k % bw) * 16 + 8];
}

class JpegReader : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir.file("photo.jpg");
    void TearDown() override {
        SEG_close_image();
        orvo::alloc_fail_at(0);
    }
};

TEST_F(JpegReader, GrayFileGivesItsExactGrayValues) {
    // The extremes and the values next to them: a quantiser with 256
    // levels would move some of these by one.
    const std::vector<std::uint8_t> values = {0, 1, 2, 127, 128, 200, 253, 254, 255};
    GrayImage img{9 * 16, 16, blocks<std::uint8_t>(9, 1, values)};
    ASSERT_TRUE(write_jpeg(file, img, 100));
    rk::ReadResult r = rk::read_jpeg(file.c_str());
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.page.width, 9 * 16);
    EXPECT_EQ(r.page.height, 16);
    for (int k = 0; k < 9; ++k) EXPECT_EQ(block_value(r.page, 9, k), values[k]) << k;
    // Every pixel of a flat block, not only its centre.
    int off = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 9 * 16; ++x) off += r.page.row(y)[x] != values[x / 16];
    EXPECT_EQ(off, 0);
}

TEST_F(JpegReader, ColourFileIsDeliveredAsTheLibrarysGray) {
    // The library's own conversion keeps the luminance, rounded: red
    // 0.299 x 255 = 76.2 -> 76, blue 0.114 x 255 = 29.1 -> 29, green
    // 0.587 x 255 = 149.7 -> 150 (the truncating gray rule would give 149).
    const std::vector<Rgb> values = {{255, 0, 0}, {0, 0, 255}, {0, 255, 0}, {255, 255, 255}, {0, 0, 0}, {50, 50, 50}};
    RgbImage img{6 * 16, 16, blocks<Rgb>(6, 1, values)};
    ASSERT_TRUE(write_jpeg(file, img, 100));
    rk::ReadResult r = rk::read_jpeg(file.c_str());
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.page.width, 6 * 16);
    const std::vector<int> want = {76, 29, 150, 255, 0, 50};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(block_value(r.page, 6, k), want[k]) << k;
}

TEST_F(JpegReader, OddSizesKeepTheirWidthAndHeight) {
    GrayImage img{37, 5, std::vector<std::uint8_t>(37 * 5, 90)};
    ASSERT_TRUE(write_jpeg(file, img, 100));
    rk::ReadResult r = rk::read_jpeg(file.c_str());
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.page.width, 37);
    EXPECT_EQ(r.page.height, 5);
    EXPECT_EQ(r.page.row(4)[36], 90);
}

TEST_F(JpegReader, TruncatedFileStillGivesAPage) {
    // A busy top half and a flat bottom half; the file is cut inside the
    // scan data of the top half.
    GrayImage img{128, 128, std::vector<std::uint8_t>(128 * 128, 200)};
    for (int i = 0; i < 128 * 64; ++i) img.pixels[i] = static_cast<std::uint8_t>((i * 7919) % 251);
    ASSERT_TRUE(write_jpeg(file, img, 95));
    std::vector<std::uint8_t> bytes = read_bytes(file);
    bytes.resize(bytes.size() / 3);
    write_bytes(file, bytes);
    testing::internal::CaptureStderr();
    rk::ReadResult r = rk::read_jpeg(file.c_str());
    const std::string messages = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.page.width, 128);
    EXPECT_EQ(r.page.height, 128);
    // Warnings are not printed at the default trace level.
    EXPECT_EQ(messages, "");
    // The rows the file still holds are decoded: the first row is near its
    // values. The blocks after the cut have no data: mid gray.
    int close = 0;
    for (int x = 0; x < 128; ++x) close += std::abs(r.page.row(0)[x] - img.pixels[x]) < 40;
    EXPECT_GT(close, 64);
    EXPECT_EQ(r.page.row(127)[0], 128);
    EXPECT_EQ(r.page.row(127)[127], 128);
}

TEST_F(JpegReader, DamagedFileGivesNoPageAndThePrintedReason) {
    write_bytes(file, {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0});
    testing::internal::CaptureStderr();
    rk::ReadResult r = rk::read_jpeg(file.c_str());
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_EQ(r.error, rk::ReadError::decode_failed);
    EXPECT_EQ(r.page.pixels, nullptr);
    EXPECT_NE(messages, "");  // the library's own message output
}

TEST_F(JpegReader, EmptyOrMissingFileGivesNoPage) {
    write_bytes(file, {});
    testing::internal::CaptureStderr();
    EXPECT_EQ(rk::read_jpeg(file.c_str()).error, rk::ReadError::decode_failed);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(rk::read_jpeg(dir.file("none.jpg").c_str()).error, rk::ReadError::cannot_open);
    EXPECT_EQ(rk::read_jpeg(nullptr).error, rk::ReadError::cannot_open);
}

TEST_F(JpegReader, OversizedFrameIsRefusedBeforeAllocating) {
    ASSERT_TRUE(write_jpeg(file, GrayImage{8, 8, std::vector<std::uint8_t>(64, 1)}, 90));
    std::vector<std::uint8_t> bytes = read_bytes(file);
    // SOF0: FF C0, length, precision, height (2 bytes), width (2 bytes).
    std::size_t sof = 2;
    while (sof + 9 < bytes.size() && !(bytes[sof] == 0xFF && bytes[sof + 1] == 0xC0)) ++sof;
    ASSERT_LT(sof + 9, bytes.size());
    bytes[sof + 5] = 60000 >> 8;
    bytes[sof + 6] = 60000 & 0xFF;
    bytes[sof + 7] = 60000 >> 8;
    bytes[sof + 8] = 60000 & 0xFF;  // 3.6e9 pixels
    write_bytes(file, bytes);
    orvo::alloc_fail_at(0);
    EXPECT_EQ(rk::read_jpeg(file.c_str()).error, rk::ReadError::bad_size);
    EXPECT_EQ(orvo::alloc_count(), 0);
}

TEST_F(JpegReader, MemoryShortageGivesNoPage) {
    ASSERT_TRUE(write_jpeg(file, GrayImage{8, 8, std::vector<std::uint8_t>(64, 1)}));
    orvo::alloc_fail_at(1);
    EXPECT_EQ(rk::read_jpeg(file.c_str()).error, rk::ReadError::no_memory);
    orvo::alloc_fail_at(0);
    rk::ReadResult r = rk::read_jpeg(file.c_str());
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(orvo::alloc_count(), 1);  // the page is the reader's one block
}

TEST_F(JpegReader, IsRecognisedByContentWhateverTheName) {
    const std::string misnamed = dir.file("photo.png");
    ASSERT_TRUE(write_jpeg(misnamed, GrayImage{800, 600, std::vector<std::uint8_t>(800 * 600, 90)}, 100));
    ASSERT_EQ(SEG_set_image_file(misnamed.c_str()), 1);
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(MAXCOL, 800);
    EXPECT_EQ(MAXLIN, 600);
    EXPECT_EQ(BPL, 800);
    EXPECT_EQ(crt_page, 1);
    EXPECT_EQ(videobuffer[1000], 90);
    EXPECT_EQ(videobuffer[800 * 600 - 1], 90);
}

TEST_F(JpegReader, StoreGetsNoPageFromADamagedFile) {
    write_bytes(file, {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00, 1, 2, 3});
    ASSERT_EQ(SEG_set_image_file(file.c_str()), 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(SEG_open_image(), 0);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(videobuffer, nullptr);
    EXPECT_EQ(crt_page, 0);
}

}  // namespace
