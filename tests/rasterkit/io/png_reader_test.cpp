// PNG files: every colour type and depth to gray, compositing, transparency, gamma, damage, shortage.
#include <gtest/gtest.h>
#include <zlib.h>

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
using Samples = std::vector<std::uint16_t>;

class PngReader : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir.file("image.png");

    void SetUp() override { unsetenv("SCREEN_GAMMA"); }
    void TearDown() override { unsetenv("SCREEN_GAMMA"); orvo::alloc_fail_at(0); SEG_close_image(); }
    // Writes a w x h image of the samples and reads back the page.
    std::vector<int> read_back(int w, int h, const Samples& samples, const PngOptions& o,
                               const std::vector<Rgb>& palette = {}) {
        EXPECT_TRUE(write_png(file, w, h, samples, o, palette));
        rk::ReadResult r = rk::read_png(file.c_str());
        EXPECT_TRUE(r.ok() && r.page.width == w && r.page.height == h) << rk::read_error_name(r.error);
        if (!r.ok()) return {};
        return {r.page.pixels.get(), r.page.pixels.get() + static_cast<std::size_t>(w) * h};
    }
    // Reads the file quietly: the decode error, and libpng's messages.
    rk::ReadError read_quietly(std::string* messages = nullptr) {
        testing::internal::CaptureStderr();
        const rk::ReadResult r = rk::read_png(file.c_str());
        const std::string m = testing::internal::GetCapturedStderr();
        if (messages) *messages = m;
        EXPECT_EQ(r.page.pixels, nullptr);
        return r.error;
    }
};

PngOptions type(int colour, int depth = 8) { PngOptions o; o.colour_type = colour, o.bit_depth = depth; return o; }
// With a background (in file units) and, unless trns < 0, a transparent gray or red value.
PngOptions over(int colour_type, int bit_depth, std::uint16_t r, std::uint16_t g, std::uint16_t b, int trns = -1) {
    PngOptions o = type(colour_type, bit_depth);
    o.with_background = true, o.background[0] = r, o.background[1] = g, o.background[2] = b;
    o.with_transparent_value = trns >= 0, o.transparent[0] = static_cast<std::uint16_t>(trns);
    return o;
}
// A palette image with alpha 0 and 255 for entries 0 and 1.
PngOptions palette_alpha(PngOptions o) { o.colour_type = 3; o.palette_alpha = {0, 255}; return o; }

const std::vector<Rgb> kWhitesAndTeal = {{255, 255, 255}, {255, 255, 255}, {30, 60, 90}};

// One row of samples in a file of the given type, and the grays the reader must give.
struct RowCase { const char* what; int width; Samples samples; PngOptions options; std::vector<Rgb> palette; std::vector<int> gray; };
const RowCase kRows[] = {
    {"RGB to its gray", 4, {255, 0, 0, 0, 0, 255, 9, 9, 9, 10, 200, 30}, type(2), {}, {76, 29, 9, 123}},
    {"2-bit gray widened", 4, {0, 1, 2, 3}, type(0, 2), {}, {0, 85, 170, 255}},
    {"16-bit gray keeps the high byte", 3, {0x1234, 0xFF00, 0x12FF}, type(0, 16), {}, {0x12, 0xFF, 0x12}},
    {"16-bit RGB keeps the high bytes", 2, {0xFF00, 0, 0, 0x0000, 0x00FF, 0xFFFF}, type(2, 16), {}, {76, 29}},
    {"1-bit palette expanded", 4, {1, 0, 1, 1}, type(3, 1), {{0, 0, 0}, {0, 0, 255}}, {29, 0, 29, 29}},
    // Opaque, transparent and half-covered white over black: t = 255 x 128 + 128 = 32768; (32768 + 128) >> 8 = 128.
    {"RGBA over black", 3, {255, 255, 255, 255, 255, 255, 255, 0, 255, 255, 255, 128}, type(6), {}, {255, 0, 128}},
    // 200 at alpha 1: t = 200 + 128 = 328; (328 + 1) >> 8 = 1.
    {"gray+alpha over black", 2, {200, 0, 200, 1}, type(4), {}, {0, 1}},
    // 0 over 200 at alpha 64: t = 200 x 191 + 128 = 38328; (38328 + 149) >> 8 = 150.
    {"RGBA over a gray background", 2, {0, 0, 0, 0, 0, 0, 0, 64}, over(6, 8, 200, 200, 200), {}, {200, 150}},
    // Channel by channel: (299 x 30 + 587 x 60 + 114 x 90) / 1000 = 54.
    {"RGBA over a coloured background", 1, {255, 255, 255, 0}, over(6, 8, 30, 60, 90), {}, {54}},
    {"gray+alpha background is its gray", 1, {255, 0}, over(4, 8, 77, 0, 0), {}, {77}},
    // High bytes 0x12, 0x56, 0x9A give 73; the low bytes would give 107.
    {"16-bit background takes the high bytes", 1, {0xFFFF, 0xFFFF, 0xFFFF, 0}, over(6, 16, 0x1234, 0x5678, 0x9ABC), {}, {73}},
    // Low-depth backgrounds are scaled to 8 bits (2 x 85, 3 x 17); the transparent value shows it.
    {"2-bit transparent gray", 3, {3, 1, 0}, over(0, 2, 2, 0, 0, 3), {}, {170, 85, 0}},
    {"4-bit transparent gray", 2, {15, 2}, over(0, 4, 3, 0, 0, 15), {}, {51, 34}},
    // (299 x 10 + 587 x 20 + 114 x 30) / 1000 = 18.
    {"transparent RGB value", 2, {255, 0, 0, 0, 0, 255}, over(2, 8, 10, 20, 30, 255), {}, {18, 29}},
    {"palette alpha over black", 2, {0, 1}, palette_alpha({}), kWhitesAndTeal, {0, 255}},
    // A palette background names an entry: its colour (54) is the background.
    {"palette alpha over a palette background", 2, {0, 1},
     palette_alpha(over(3, 8, 2, 0, 0)), kWhitesAndTeal, {54, 255}},
};

TEST_F(PngReader, RowsOfEveryTypeBecomeTheirGray) {
    for (const RowCase& c : kRows) EXPECT_EQ(read_back(c.width, 1, c.samples, c.options, c.palette), c.gray) << c.what;
}

// Exponent 1 / (file gamma x SCREEN_GAMMA), which is 2.2 unset or unusable (libpng refuses <= 0, misreads >= 128).
TEST_F(PngReader, GammaFollowsTheFileAndTheDisplayExponent) {
    const struct { const char* screen_gamma; double file_gamma; int middle; } cases[] = {
        {nullptr, 1 / 2.2, 100}, {"1.0", 0, 100}, {"1.0", 1 / 2.2, 33},  // 255 x (100 / 255)^2.2
        {"abc", 1 / 2.2, 100}, {"0", 1 / 2.2, 100}, {"1e300", 1 / 2.2, 100}, {"500", 1 / 2.2, 100},
    };
    for (const auto& c : cases) {
        if (c.screen_gamma) setenv("SCREEN_GAMMA", c.screen_gamma, 1);
        else unsetenv("SCREEN_GAMMA");
        PngOptions o = type(0);
        o.file_gamma = c.file_gamma;
        const std::vector<int> row = read_back(3, 1, {0, 100, 255}, o);
        ASSERT_EQ(row.size(), 3u);
        EXPECT_TRUE(row[0] == 0 && std::abs(row[1] - c.middle) <= (c.middle == 100 ? 0 : 1) && row[2] == 255)
            << (c.screen_gamma ? c.screen_gamma : "unset") << ": " << row[1];
    }
}

TEST_F(PngReader, TruncatedDamagedMissingOrMisnamedFilesGiveTheirCause) {
    Samples samples(3 * 64 * 64);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::uint16_t>(i * 13 % 256);
    ASSERT_TRUE(write_png(file, 64, 64, samples, type(2)));
    const std::vector<std::uint8_t> whole = read_bytes(file);
    for (std::size_t keep : {std::size_t{8}, std::size_t{20}, std::size_t{40}, whole.size() / 2, whole.size() - 20}) {
        write_bytes(file, {whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(keep)});
        std::string messages;
        EXPECT_EQ(read_quietly(&messages), rk::ReadError::decode_failed) << keep;
        EXPECT_NE(messages.find("my_fread error"), std::string::npos) << keep << ": " << messages;
    }
    write_bytes(file, whole);  // the reader's state is left clean: the whole file reads again
    EXPECT_TRUE(rk::read_png(file.c_str()).ok());
    std::vector<std::uint8_t> damaged = whole;
    for (std::size_t i = 60; i < damaged.size() - 30; ++i) damaged[i] ^= 0x5A;  // inside IDAT
    write_bytes(file, damaged);
    EXPECT_EQ(read_quietly(), rk::ReadError::decode_failed);
    write_bytes(file, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, 0x0B, 0, 0});
    EXPECT_EQ(read_quietly(), rk::ReadError::bad_header);
    write_bytes(file, {0x89, 'P', 'N', 'G'});
    EXPECT_EQ(read_quietly(), rk::ReadError::bad_header);
    EXPECT_EQ(rk::read_png(dir.file("none.png").c_str()).error, rk::ReadError::cannot_open);
}

TEST_F(PngReader, OversizedPagesAreRefusedBeforeAllocating) {
    ASSERT_TRUE(write_png(file, 1, 1, {5}, type(0)));
    std::vector<std::uint8_t> bytes = read_bytes(file);
    // IHDR width at 16, height at 20 (3.6e9 pixels: within libpng's limits, beyond the page bound), CRC at 29.
    const auto put_be32 = [&](std::size_t at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k) bytes[at + k] = static_cast<std::uint8_t>(v >> (24 - 8 * k));
    };
    put_be32(16, 60000);
    put_be32(20, 60000);
    put_be32(29, static_cast<std::uint32_t>(crc32(0, bytes.data() + 12, 17)));  // over the chunk type and data
    write_bytes(file, bytes);
    orvo::alloc_fail_at(0);
    EXPECT_EQ(rk::read_png(file.c_str()).error, rk::ReadError::bad_size);
    EXPECT_EQ(orvo::alloc_count(), 0);
}

TEST_F(PngReader, MemoryShortageGivesNoPage) {
    ASSERT_TRUE(write_png(file, 4, 4, Samples(48, 1), type(2)));
    orvo::alloc_fail_at(0);
    ASSERT_TRUE(rk::read_png(file.c_str()).ok());
    EXPECT_EQ(orvo::alloc_count(), 3);  // the decoded rows, their address array and the page
    for (long k = 1; k <= 3; ++k) {
        orvo::alloc_fail_at(k);
        rk::ReadResult r = rk::read_png(file.c_str());
        EXPECT_TRUE(r.error == rk::ReadError::no_memory && r.page.pixels == nullptr) << k;
    }
}

}  // namespace
