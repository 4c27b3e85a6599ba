// PNG files: every colour type and depth to gray, compositing over the
// background, transparency, gamma, interlacing, damaged files and memory
// shortage.
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

class PngReader : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir.file("image.png");

    void SetUp() override { unsetenv("SCREEN_GAMMA"); }
    void TearDown() override {
        unsetenv("SCREEN_GAMMA");
        orvo::alloc_fail_at(0);
        SEG_close_image();
    }

    // Writes a w x h image of the samples and reads it back: the page, row
    // by row.
    std::vector<int> read_back(int w, int h, const std::vector<std::uint16_t>& samples, const PngOptions& o,
                               const std::vector<Rgb>& palette = {}) {
        EXPECT_TRUE(write_png(file, w, h, samples, o, palette));
        rk::ReadResult r = rk::read_png(file.c_str());
        EXPECT_TRUE(r.ok()) << rk::read_error_name(r.error);
        if (!r.ok()) return {};
        EXPECT_EQ(r.page.width, w);
        EXPECT_EQ(r.page.height, h);
        return {r.page.pixels.get(), r.page.pixels.get() + static_cast<std::size_t>(w) * h};
    }
    std::vector<int> first_row(int w, const std::vector<std::uint16_t>& samples, const PngOptions& o,
                               const std::vector<Rgb>& palette = {}) {
        return read_back(w, 1, samples, o, palette);
    }
};

PngOptions type(int colour_type, int bit_depth = 8) {
    PngOptions o;
    o.colour_type = colour_type;
    o.bit_depth = bit_depth;
    return o;
}

PngOptions with_background(PngOptions o, std::uint16_t r, std::uint16_t g, std::uint16_t b) {
    o.with_background = true;
    o.background[0] = r;
    o.background[1] = g;
    o.background[2] = b;
    return o;
}

TEST_F(PngReader, RgbPixelsBecomeTheirGray) {
    EXPECT_EQ(first_row(4, {255, 0, 0, 0, 0, 255, 9, 9, 9, 10, 200, 30}, type(2)),
              (std::vector<int>{76, 29, 9, 123}));
}

TEST_F(PngReader, KeepsRowsInOrder) {
    EXPECT_EQ(read_back(2, 3, {1, 2, 3, 4, 5, 6}, type(0)), (std::vector<int>{1, 2, 3, 4, 5, 6}));
}

TEST_F(PngReader, GrayOfEveryDepthIsWidenedToEightBits) {
    EXPECT_EQ(first_row(3, {0, 1, 1}, type(0, 1)), (std::vector<int>{0, 255, 255}));
    EXPECT_EQ(first_row(4, {0, 1, 2, 3}, type(0, 2)), (std::vector<int>{0, 85, 170, 255}));
    EXPECT_EQ(first_row(3, {1, 7, 15}, type(0, 4)), (std::vector<int>{17, 119, 255}));
    EXPECT_EQ(first_row(3, {0, 77, 255}, type(0, 8)), (std::vector<int>{0, 77, 255}));
}

TEST_F(PngReader, SixteenBitSamplesKeepTheirHighByte) {
    EXPECT_EQ(first_row(3, {0x1234, 0xFF00, 0x12FF}, type(0, 16)), (std::vector<int>{0x12, 0xFF, 0x12}));
    EXPECT_EQ(first_row(2, {0xFF00, 0, 0, 0x0000, 0x00FF, 0xFFFF}, type(2, 16)), (std::vector<int>{76, 29}));
}

TEST_F(PngReader, PaletteImagesAreExpanded) {
    EXPECT_EQ(first_row(3, {2, 0, 1}, type(3), {{255, 0, 0}, {0, 0, 255}, {100, 100, 100}}),
              (std::vector<int>{100, 76, 29}));
    EXPECT_EQ(first_row(4, {1, 0, 1, 1}, type(3, 1), {{0, 0, 0}, {0, 0, 255}}), (std::vector<int>{29, 0, 29, 29}));
}

TEST_F(PngReader, AlphaIsCompositedOverBlackWithoutBackground) {
    // Opaque white, transparent white, half-covered white.
    // t = 255 x 128 + 0 + 128 = 32768; (32768 + 128) >> 8 = 128
    EXPECT_EQ(first_row(3, {255, 255, 255, 255, 255, 255, 255, 0, 255, 255, 255, 128}, type(6)),
              (std::vector<int>{255, 0, 128}));
    // Gray with alpha: 200 at alpha 1: t = 200 + 128 = 328; (328 + 1) >> 8 = 1
    EXPECT_EQ(first_row(2, {200, 0, 200, 1}, type(4)), (std::vector<int>{0, 1}));
}

TEST_F(PngReader, AlphaIsCompositedOverAnEightBitBackground) {
    // 0 over 200 at alpha 64: t = 200 x 191 + 128 = 38328; (38328 + 149) >> 8 = 150
    EXPECT_EQ(first_row(2, {0, 0, 0, 0, 0, 0, 0, 64}, with_background(type(6), 200, 200, 200)),
              (std::vector<int>{200, 150}));
    // The background is composited channel by channel: red 30, green 60,
    // blue 90 gives (299 x 30 + 587 x 60 + 114 x 90) / 1000 = 54.
    EXPECT_EQ(first_row(1, {255, 255, 255, 0}, with_background(type(6), 30, 60, 90)), (std::vector<int>{54}));
    // Gray with alpha, 8 bits: the gray value is the background.
    EXPECT_EQ(first_row(1, {255, 0}, with_background(type(4), 77, 0, 0)), (std::vector<int>{77}));
}

TEST_F(PngReader, SixteenBitBackgroundTakesTheHighBytes) {
    // High bytes 0x12, 0x56, 0x9A give 73; the low bytes would give 107.
    EXPECT_EQ(first_row(1, {0xFFFF, 0xFFFF, 0xFFFF, 0}, with_background(type(6, 16), 0x1234, 0x5678, 0x9ABC)),
              (std::vector<int>{73}));
    EXPECT_EQ(first_row(1, {0xFFFF, 0}, with_background(type(4, 16), 0x6400, 0, 0)), (std::vector<int>{100}));
}

TEST_F(PngReader, LowDepthGrayBackgroundIsScaledToEightBits) {
    // The transparent value shows the background; the other pixels stay.
    PngOptions o = with_background(type(0, 2), 2, 0, 0);  // 2 x 85 = 170
    o.with_transparent_value = true;
    o.transparent[0] = 3;
    EXPECT_EQ(first_row(3, {3, 1, 0}, o), (std::vector<int>{170, 85, 0}));

    o = with_background(type(0, 1), 1, 0, 0);  // 255
    o.with_transparent_value = true;
    o.transparent[0] = 0;
    EXPECT_EQ(first_row(2, {0, 1}, o), (std::vector<int>{255, 255}));

    o = with_background(type(0, 4), 3, 0, 0);  // 3 x 17 = 51
    o.with_transparent_value = true;
    o.transparent[0] = 15;
    EXPECT_EQ(first_row(2, {15, 2}, o), (std::vector<int>{51, 34}));
}

TEST_F(PngReader, TransparentColourValueShowsTheBackground) {
    PngOptions o = with_background(type(2), 10, 20, 30);
    o.with_transparent_value = true;
    o.transparent[0] = 255;
    o.transparent[1] = 0;
    o.transparent[2] = 0;
    // (299 x 10 + 587 x 20 + 114 x 30) / 1000 = 18
    EXPECT_EQ(first_row(2, {255, 0, 0, 0, 0, 255}, o), (std::vector<int>{18, 29}));
}

TEST_F(PngReader, PaletteTransparencyUsesTheTableAndThePaletteBackground) {
    PngOptions o = type(3);
    o.palette_alpha = {0, 255};
    const std::vector<Rgb> palette = {{255, 255, 255}, {255, 255, 255}, {30, 60, 90}};
    EXPECT_EQ(first_row(2, {0, 1}, o, palette), (std::vector<int>{0, 255}));
    // A palette background names an entry: its colour is the background.
    o.with_background = true;
    o.background[0] = 2;
    EXPECT_EQ(first_row(2, {0, 1}, o, palette), (std::vector<int>{54, 255}));
}

TEST_F(PngReader, InterlacedImagesAreReadWhole) {
    std::vector<std::uint16_t> samples;
    for (int i = 0; i < 9 * 9; ++i) samples.push_back(static_cast<std::uint16_t>(i * 3));
    PngOptions o = type(0);
    o.interlaced = true;
    testing::internal::CaptureStderr();  // libpng may warn about interlace handling
    const std::vector<int> page = read_back(9, 9, samples, o);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(page, std::vector<int>(samples.begin(), samples.end()));
}

TEST_F(PngReader, FileGammaMatchingTheDefaultDisplayLeavesValuesUnchanged) {
    // File gamma 1/2.2 with the default display exponent 2.2: the
    // correction exponent 1 / (file gamma x display exponent) is 1.
    PngOptions o = type(0);
    o.file_gamma = 1 / 2.2;
    EXPECT_EQ(first_row(4, {0, 1, 100, 255}, o), (std::vector<int>{0, 1, 100, 255}));
}

TEST_F(PngReader, WithoutGammaChunkNothingIsCorrected) {
    setenv("SCREEN_GAMMA", "1.0", 1);
    EXPECT_EQ(first_row(3, {0, 100, 255}, type(0)), (std::vector<int>{0, 100, 255}));
}

TEST_F(PngReader, DisplayExponentComesFromTheEnvironment) {
    // gAMA 1/2.2 with a display exponent of 1: the correction exponent is
    // 2.2, so 100 becomes 255 x (100 / 255)^2.2 = 32.5 -> 33 (libpng rounds).
    PngOptions o = type(0);
    o.file_gamma = 1 / 2.2;
    setenv("SCREEN_GAMMA", "1.0", 1);
    const std::vector<int> corrected = first_row(3, {0, 100, 255}, o);
    ASSERT_EQ(corrected.size(), 3u);
    EXPECT_EQ(corrected[0], 0);
    EXPECT_NEAR(corrected[1], 33, 1);
    EXPECT_EQ(corrected[2], 255);
}

TEST_F(PngReader, UnusableDisplayExponentFallsBackToTheDefault) {
    // libpng would refuse (zero, negative) or misread (128 and more) these;
    // the reader uses 2.2 instead, which leaves a 1/2.2 file unchanged.
    PngOptions o = type(0);
    o.file_gamma = 1 / 2.2;
    for (const char* text : {"", "abc", "0", "-1", "1e300", "500"}) {
        setenv("SCREEN_GAMMA", text, 1);
        EXPECT_EQ(first_row(3, {0, 100, 255}, o), (std::vector<int>{0, 100, 255})) << text;
    }
}

TEST_F(PngReader, TruncatedFilesFailWithTheReadFunctionsError) {
    std::vector<std::uint16_t> samples(3 * 64 * 64, 7);
    ASSERT_TRUE(write_png(file, 64, 64, samples, type(2)));
    const std::vector<std::uint8_t> whole = read_bytes(file);
    for (std::size_t keep : {std::size_t{8}, std::size_t{20}, std::size_t{40}, whole.size() / 2, whole.size() - 20}) {
        write_bytes(file, {whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(keep)});
        testing::internal::CaptureStderr();
        rk::ReadResult r = rk::read_png(file.c_str());
        const std::string messages = testing::internal::GetCapturedStderr();
        EXPECT_EQ(r.error, rk::ReadError::decode_failed) << keep;
        EXPECT_EQ(r.page.pixels, nullptr);
        EXPECT_NE(messages.find("my_fread error"), std::string::npos) << keep << ": " << messages;
    }
    // The reader's state is left clean: the whole file reads again.
    write_bytes(file, whole);
    EXPECT_TRUE(rk::read_png(file.c_str()).ok());
}

TEST_F(PngReader, DamagedDataGivesNoPage) {
    std::vector<std::uint16_t> samples(3 * 32 * 32);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::uint16_t>(i * 13 % 256);
    ASSERT_TRUE(write_png(file, 32, 32, samples, type(2)));
    std::vector<std::uint8_t> bytes = read_bytes(file);
    for (std::size_t i = 60; i < bytes.size() - 30; ++i) bytes[i] ^= 0x5A;  // inside IDAT
    write_bytes(file, bytes);
    testing::internal::CaptureStderr();
    rk::ReadResult r = rk::read_png(file.c_str());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(r.error, rk::ReadError::decode_failed);
}

TEST_F(PngReader, WrongSignatureOrMissingFileIsRefused) {
    write_bytes(file, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, 0x0B, 0, 0});
    EXPECT_EQ(rk::read_png(file.c_str()).error, rk::ReadError::bad_header);
    write_bytes(file, {0x89, 'P', 'N', 'G'});
    EXPECT_EQ(rk::read_png(file.c_str()).error, rk::ReadError::bad_header);
    EXPECT_EQ(rk::read_png(dir.file("none.png").c_str()).error, rk::ReadError::cannot_open);
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
    ASSERT_TRUE(write_png(file, 1, 1, {5}, type(0)));
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
    EXPECT_EQ(rk::read_png(file.c_str()).error, rk::ReadError::bad_size);
    EXPECT_EQ(orvo::alloc_count(), 0);
}

TEST_F(PngReader, MemoryShortageGivesNoPage) {
    ASSERT_TRUE(write_png(file, 4, 4, std::vector<std::uint16_t>(48, 1), type(2)));
    orvo::alloc_fail_at(0);
    ASSERT_TRUE(rk::read_png(file.c_str()).ok());
    // The decoded rows, their address array and the page.
    EXPECT_EQ(orvo::alloc_count(), 3);
    for (long k = 1; k <= 3; ++k) {
        orvo::alloc_fail_at(k);
        rk::ReadResult r = rk::read_png(file.c_str());
        EXPECT_EQ(r.error, rk::ReadError::no_memory) << k;
        EXPECT_EQ(r.page.pixels, nullptr);
    }
    orvo::alloc_fail_at(0);
    EXPECT_TRUE(rk::read_png(file.c_str()).ok());
}

TEST_F(PngReader, StoreHoldsTheGrayPage) {
    // 800 x 600 is kept at file size; 1 in 3 pixels fully transparent.
    std::vector<std::uint16_t> samples;
    for (int i = 0; i < 800 * 600; ++i) samples.insert(samples.end(), {255, 0, 0, std::uint16_t(i % 3 ? 255 : 0)});
    ASSERT_TRUE(write_png(file, 800, 600, samples, type(6)));
    ASSERT_EQ(SEG_set_image_file(file.c_str()), 1);
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(MAXCOL, 800);
    EXPECT_EQ(MAXLIN, 600);
    EXPECT_EQ(BPL, 800);
    EXPECT_EQ(XSCALE, 1);
    EXPECT_EQ(videobuffer[0], 0);
    EXPECT_EQ(videobuffer[1], 76);
    EXPECT_EQ(videobuffer[800 * 600 - 1], 76);
}

TEST_F(PngReader, StoreNormalisesSmallPagesAndRefusesDamagedOnes) {
    ASSERT_TRUE(write_png(file, 200, 100, std::vector<std::uint16_t>(200 * 100, 60), type(0)));
    ASSERT_EQ(SEG_set_image_file(file.c_str()), 1);
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(MAXCOL, 600);
    EXPECT_EQ(XSCALE, 3);
    EXPECT_EQ(videobuffer[600 * 300 - 1], 60);

    std::vector<std::uint8_t> bytes = read_bytes(file);
    bytes.resize(bytes.size() - 30);
    write_bytes(file, bytes);
    ASSERT_EQ(SEG_set_image_file(file.c_str()), 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(SEG_open_image(), 0);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(videobuffer, nullptr);
}

}  // namespace
