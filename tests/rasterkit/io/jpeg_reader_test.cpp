// JPEG files: exact gray pages; damaged, empty, missing and oversized files give none, shortage gives none.
#include <gtest/gtest.h>

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

// Flat 16 x 16 blocks in one row, block k of value values[k]: kept exactly at quality 100.
template <typename Pixel>
std::vector<Pixel> blocks(const std::vector<Pixel>& values) {
    std::vector<Pixel> px;
    for (std::size_t i = 0; i < values.size() * 16 * 16; ++i) px.push_back(values[i % (values.size() * 16) / 16]);
    return px;
}

class JpegReader : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir.file("photo.jpg");
    std::string messages;
    void TearDown() override { SEG_close_image(); orvo::alloc_fail_at(0); }
    rk::ReadResult read_quietly() {
        testing::internal::CaptureStderr();
        rk::ReadResult r = rk::read_jpeg(file.c_str());
        messages = testing::internal::GetCapturedStderr();
        return r;
    }
};

TEST_F(JpegReader, GrayAndColourFilesGiveExactGrays) {
    // Extremes and their neighbours: a quantiser of 256 levels would move some by one.
    const std::vector<std::uint8_t> grays = {0, 1, 2, 127, 128, 200, 253, 254, 255};
    ASSERT_TRUE(write_jpeg(file, GrayImage{9 * 16, 16, blocks(grays)}, 100));
    rk::ReadResult r = rk::read_jpeg(file.c_str());
    ASSERT_TRUE(r.ok() && r.page.width == 9 * 16 && r.page.height == 16);
    EXPECT_EQ(std::vector<std::uint8_t>(r.page.row(0), r.page.row(0) + 9 * 16 * 16), blocks(grays));
    // The library's luminance, rounded: green 149.7 -> 150 (the truncating gray rule gives 149).
    const std::vector<Rgb> colours = {{255, 0, 0}, {0, 0, 255}, {0, 255, 0}, {255, 255, 255}, {0, 0, 0}, {50, 50, 50}};
    ASSERT_TRUE(write_jpeg(file, RgbImage{6 * 16, 16, blocks(colours)}, 100));
    r = rk::read_jpeg(file.c_str());
    ASSERT_TRUE(r.ok());
    const std::vector<int> want = {76, 29, 150, 255, 0, 50};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(r.page.row(8)[k * 16 + 8], want[static_cast<std::size_t>(k)]) << k;
}

TEST_F(JpegReader, DamagedEmptyOrMissingFilesGiveNoPage) {
    write_bytes(file, {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0});
    rk::ReadResult r = read_quietly();
    EXPECT_TRUE(r.error == rk::ReadError::decode_failed && r.page.pixels == nullptr);
    EXPECT_NE(messages, "");  // the library's own message output
    write_bytes(file, {});
    EXPECT_EQ(read_quietly().error, rk::ReadError::decode_failed);
    EXPECT_EQ(rk::read_jpeg(dir.file("none.jpg").c_str()).error, rk::ReadError::cannot_open);
    EXPECT_EQ(rk::read_jpeg(nullptr).error, rk::ReadError::cannot_open);
}

TEST_F(JpegReader, OversizedFrameIsRefusedBeforeAllocatingAndShortageGivesNoPage) {
    ASSERT_TRUE(write_jpeg(file, GrayImage{8, 8, std::vector<std::uint8_t>(64, 1)}, 90));
    orvo::alloc_fail_at(1);
    EXPECT_EQ(rk::read_jpeg(file.c_str()).error, rk::ReadError::no_memory);
    orvo::alloc_fail_at(0);
    EXPECT_TRUE(rk::read_jpeg(file.c_str()).ok());
    EXPECT_EQ(orvo::alloc_count(), 1);  // the page is the reader's one block
    std::vector<std::uint8_t> bytes = read_bytes(file);
    // SOF0: FF C0, length, precision, height (2 bytes), width (2 bytes): 60000 x 60000.
    std::size_t sof = 2;
    while (sof + 9 < bytes.size() && !(bytes[sof] == 0xFF && bytes[sof + 1] == 0xC0)) ++sof;
    ASSERT_LT(sof + 9, bytes.size());
    for (std::size_t k : {5u, 7u}) bytes[sof + k] = 60000 >> 8, bytes[sof + k + 1] = 60000 & 0xFF;
    write_bytes(file, bytes);
    orvo::alloc_fail_at(0);
    EXPECT_EQ(rk::read_jpeg(file.c_str()).error, rk::ReadError::bad_size);
    EXPECT_EQ(orvo::alloc_count(), 0);
}

}  // namespace
