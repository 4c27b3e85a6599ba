// PNG files: every colour type and depth to gray, compositing over the
// background, transparency, gamma, and damaged files.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "library_writers.h"
#include "readers.h"
#include "temp_dir.h"
#include "zero_alloc.h"

namespace {

using namespace testsupport;

class PngReader : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir.file("image.png");

    void SetUp() override { unsetenv("SCREEN_GAMMA"); }
    void TearDown() override {
        unsetenv("SCREEN_GAMMA");
        orvo::alloc_fail_at(0);
    }

    // Writes the samples and reads the file back; the page's first row.
    std::vector<int> first_row(int w, const std::vector<std::uint16_t>& samples, const PngOptions& o,
                               const std::vector<Rgb>& palette = {}) {
        EXPECT_TRUE(write_png(file, w, 1, samples, o, palette));
        rk::ReadResult r = rk::read_png(file.c_str());
        EXPECT_TRUE(r.ok());
        if (!r.ok()) return {};
        EXPECT_EQ(r.page.width, w);
        EXPECT_EQ(r.page.height, 1);
        return {r.page.row(0), r.page.row(0) + w};
    }
};

TEST_F(PngReader, RgbPixelsBecomeTheirGray) {
    PngOptions o;
    EXPECT_EQ(first_row(3, {255, 0, 0, 0, 0, 255, 9, 9, 9}, o), (std::vector<int>{76, 29, 9}));
}

TEST_F(PngReader, GrayOfEveryDepthIsWidenedToEightBits) {
    PngOptions o;
    o.colour_type = 0;
    o.bit_depth = 1;
    EXPECT_EQ(first_row(3, {0, 1, 1}, o), (std::vector<int>{0, 255, 255}));
    o.bit_depth = 2;
    EXPECT_EQ(first_row(4, {0, 1, 2, 3}, o), (std::vector<int>{0, 85, 170, 255}));
    o.bit_depth = 4;
    EXPECT_EQ(first_row(2, {1, 15}, o), (std::vector<int>{17, 255}));
    o.bit_depth = 16;
    EXPECT_EQ(first_row(2, {0x1234, 0xFF00}, o), (std::vector<int>{0x12, 0xFF}));
}

TEST_F(PngReader, PaletteImagesAreExpanded) {
    PngOptions o;
    o.colour_type = 3;
    EXPECT_EQ(first_row(3, {2, 0, 1}, o, {{255, 0, 0}, {0, 0, 255}, {100, 100, 100}}),
              (std::vector<int>{100, 76, 29}));
}

TEST_F(PngReader, AlphaIsCompositedOverBlackWithoutBackground) {
    PngOptions o;
    o.colour_type = 6;
    // Opaque white, transparent white, half-covered white.
    const std::vector<int> row = first_row(3, {255, 255, 255, 255, 255, 255, 255, 0, 255, 255, 255, 128}, o);
    // t = 255 x 128 + 0 + 128 = 32768; (32768 + 128) >> 8 = 128
    EXPECT_EQ(row, (std::vector<int>{255, 0, 128}));
}

TEST_F(PngReader, AlphaIsCompositedOverTheFileBackground) {
    PngOptions o;
    o.colour_type = 6;
    o.with_background = true;
    o.background[0] = 200;
    o.background[1] = 200;
    o.background[2] = 200;
    // 0 over 200 at alpha 64: t = 200 x 191 + 128 = 38328; (38328 + 149) >> 8 = 150
    EXPECT_EQ(first_row(2, {0, 0, 0, 0, 0, 0, 0, 64}, o), (std::vector<int>{200, 150}));

    PngOptions g;
    g.colour_type = 4;  // gray + alpha, 16 bits: background's high byte
    g.bit_depth = 16;
    g.with_background = true;
    g.background[0] = 0x6400;
    EXPECT_EQ(first_row(1, {0xFFFF, 0}, g), (std::vector<int>{100}));
}

TEST_F(PngReader, LowDepthGrayBackgroundIsScaled) {
    PngOptions o;
    o.colour_type = 0;
    o.bit_depth = 2;
    o.with_background = true;
    o.background[0] = 2;  // 2 x 85 = 170
    o.with_transparent_value = true;
    o.transparent[0] = 3;  // white pixels are transparent
    EXPECT_EQ(first_row(2, {3, 1}, o), (std::vector<int>{170, 85}));
}

TEST_F(PngReader, PaletteTransparencyUsesTheTable) {
    PngOptions o;
    o.colour_type = 3;
    o.palette_alpha = {0, 255};
    EXPECT_EQ(first_row(2, {0, 1}, o, {{255, 255, 255}, {255, 255, 255}}), (std::vector<int>{0, 255}));
}

TEST_F(PngReader, GammaIsCorrectedOnlyWhenTheFileGivesIt) {
    PngOptions o;
    o.colour_type = 0;
    // File gamma 1/2.2 with the default display exponent 2.2: unchanged.
    o.file_gamma = 1 / 2.2;
    EXPECT_EQ(first_row(3, {0, 100, 255}, o), (std::vector<int>{0, 100, 255}));

    // Without gAMA no correction, whatever SCREEN_GAMMA says.
    setenv("SCREEN_GAMMA", "1.0", 1);
    PngOptions plain;
    plain.colour_type = 0;
    EXPECT_EQ(first_row(3, {0, 100, 255}, plain), (std::vector<int>{0, 100, 255}));

    // gAMA 1/2.2 with a display exponent of 1: the correction exponent is
    // 1 / (0.4545 x 1) = 2.2, so 100 becomes 255 x (100 / 255)^2.2 = 33.
    const std::vector<int> corrected = first_row(3, {0, 100, 255}, o);
    ASSERT_EQ(corrected.size(), 3u);
    EXPECT_EQ(corrected[0], 0);
    EXPECT_NEAR(corrected[1], 33, 1);
    EXPECT_EQ(corrected[2], 255);
}

TEST_F(PngReader, DamagedFilesGiveNoPage) {
    PngOptions o;
    std::vector<std::uint16_t> samples(3 * 64 * 64, 7);
    ASSERT_TRUE(write_png(file, 64, 64, samples, o));
    const std::vector<std::uint8_t> whole = read_bytes(file);
    testing::internal::CaptureStderr();  // libpng may warn
    for (std::size_t keep : {std::size_t{8}, std::size_t{20}, std::size_t{40}, whole.size() - 20}) {
        write_bytes(file, {whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(keep)});
        rk::ReadResult r = rk::read_png(file.c_str());
        EXPECT_FALSE(r.ok()) << keep;
        EXPECT_EQ(r.page.pixels, nullptr);
    }
    write_bytes(file, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, 0x0B, 0, 0});
    EXPECT_EQ(rk::read_png(file.c_str()).error, rk::ReadError::bad_header);
    testing::internal::GetCapturedStderr();
}

// CRC-32 of PNG chunks (type and data).
std::uint32_t crc32(const std::uint8_t* p, std::size_t n) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

TEST_F(PngReader, OversizedPagesAreRefusedBeforeAllocating) {
    PngOptions o;
    o.colour_type = 0;
    ASSERT_TRUE(write_png(file, 1, 1, {5}, o));
    std::vector<std::uint8_t> bytes = read_bytes(file);
    // IHDR: length at 8, type at 12, width at 16, height at 20, CRC at 29.
    auto put_be32 = [&](std::size_t at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k) bytes[at + k] = static_cast<std::uint8_t>(v >> (24 - 8 * k));
    };
    put_be32(16, 60000);
    put_be32(20, 60000);  // 3.6e9 pixels: within libpng's limits, beyond the page bound
    put_be32(29, crc32(bytes.data() + 12, 17));
    write_bytes(file, bytes);
    orvo::alloc_fail_at(0);
    const long before = orvo::alloc_count();
    EXPECT_EQ(rk::read_png(file.c_str()).error, rk::ReadError::bad_size);
    EXPECT_EQ(orvo::alloc_count(), before);
}

TEST_F(PngReader, MemoryShortageGivesNoPage) {
    PngOptions o;
    ASSERT_TRUE(write_png(file, 4, 4, std::vector<std::uint16_t>(48, 1), o));
    for (long k = 1; k <= 3; ++k) {
        orvo::alloc_fail_at(k);
        EXPECT_EQ(rk::read_png(file.c_str()).error, rk::ReadError::no_memory) << k;
    }
    orvo::alloc_fail_at(0);
    EXPECT_TRUE(rk::read_png(file.c_str()).ok());
}

}  // namespace
