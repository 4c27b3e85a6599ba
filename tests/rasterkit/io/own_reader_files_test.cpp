// The own-format readers on files: decompression bombs, loading from a path, allocations.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "own_format_writers.h"
#include "rasterkit.h"
#include "readers.h"
#include "temp_dir.h"
#include "zero_alloc.h"

namespace {

using namespace testsupport;
using Bytes = std::vector<std::uint8_t>;

constexpr int kW = 800, kH = 600;  // the size of the test pictures

// Gray of page pixel (x, y) in the test pictures: a pattern in both directions.
std::uint8_t pattern(int x, int y) { return static_cast<std::uint8_t>((x / 8 * 16 + y / 8 * 4 + x % 3) % 256); }

GrayImage gray_picture() {
    GrayImage img{kW, kH, {}};
    for (int i = 0; i < kW * kH; ++i) img.pixels.push_back(pattern(i % kW, i / kW));
    return img;
}
RgbImage rgb_picture() {
    RgbImage img{kW, kH, {}};
    for (std::uint8_t g : gray_picture().pixels) img.pixels.push_back({g, g, g});
    return img;
}

// Under a sixteenth of the declared pixel data is refused before allocating; a sixteenth gives the page, rest black.
TEST(OwnReadersRefuseBombs, FilesHoldingLessThanASixteenthOfTheirPixels) {
    const struct { const char* name; Bytes full; std::size_t declared; bool bottom_up; } cases[] = {
        {"bmp", bmp_file(rgb_picture(), 24), std::size_t{3} * kW * kH, true},
        {"pgm", pgm_file(gray_picture()), std::size_t{kW} * kH, false},
        {"itex", itex_file(gray_picture()), std::size_t{kW} * kH, false},
    };
    for (const auto& c : cases) {
        ASSERT_GT(c.full.size(), c.declared) << c.name;
        const std::size_t sixteenth = c.full.size() - c.declared + c.declared / 16;  // header and a sixteenth
        orvo::alloc_fail_at(0);
        EXPECT_EQ(rk::decode_bmp_pgm_itex(std::span(c.full.data(), sixteenth - 1)).error, rk::ReadError::truncated) << c.name;
        EXPECT_EQ(orvo::alloc_count(), 0) << c.name;
        rk::ReadResult r = rk::decode_bmp_pgm_itex(std::span(c.full.data(), sixteenth));
        ASSERT_TRUE(r.ok()) << c.name;
        // The first stored row holds data (the last in a BMP), the other end is black.
        const int kept_row = c.bottom_up ? kH - 1 : 0, lost_row = kH - 1 - kept_row;
        for (int x = 0; x < kW; ++x)
            ASSERT_TRUE(r.page.row(kept_row)[x] == pattern(x, kept_row) && r.page.row(lost_row)[x] == 0) << c.name << " " << x;
    }
}

TEST(OwnReadersRefuseBombs, PcxDataShorterThanItsTightestCodingAndABmpClaimingAHundredMillionPixels) {
    // A blank 1260 x 400 page codes at best in 20 byte pairs a row; a sixteenth of that is taken.
    const Bytes full = pcx_file(IndexedImage{1260, 400, Bytes(1260 * 400, 0), {{0, 0, 0}}});
    ASSERT_EQ(full.size(), 128 + 400 * 40 + 769);
    ASSERT_TRUE(rk::decode_pcx(full).ok());
    auto cut = [&](std::size_t data) {
        Bytes f(full.begin(), full.begin() + 128 + static_cast<long>(data));
        f.insert(f.end(), full.end() - 769, full.end());
        return f;
    };
    EXPECT_TRUE(rk::decode_pcx(cut(400 * 40 / 16)).ok());
    orvo::alloc_fail_at(0);
    EXPECT_EQ(rk::decode_pcx(cut(400 * 40 / 16 - 1)).error, rk::ReadError::truncated);
    EXPECT_EQ(orvo::alloc_count(), 0);
    // 120 x 1,048,656 pixels at 24 bits: 377 MB declared, 28 KB held, also through the store.
    Bytes f = bmp_file(RgbImage{120, 77, std::vector<Rgb>(120 * 77, Rgb{200, 200, 200})}, 24);
    ASSERT_EQ(f.size(), 54u + 77 * 360);
    put_le32(f, 22, 1048656);
    EXPECT_EQ(rk::decode_bmp_pgm_itex(f).error, rk::ReadError::truncated);
    TempDir dir;
    write_bytes(dir.file("bomb.bmp"), f);
    ASSERT_EQ(SEG_set_image_file(dir.file("bomb.bmp").c_str()), 1);
    EXPECT_EQ(SEG_open_image(), 0);
    EXPECT_EQ(videobuffer, nullptr);
    SEG_close_image();
}

// Failing the file buffer or the page refuses the file, both released (no third allocation); absent files refused.
TEST(OwnFormatFiles, PathReadersGiveThePageOrTheirCause) {
    TempDir dir;
    EXPECT_EQ(rk::read_bmp_pgm_itex(dir.file("absent.bmp").c_str()).error, rk::ReadError::cannot_open);
    EXPECT_EQ(rk::read_pcx(dir.file("absent.bmp").c_str()).error, rk::ReadError::cannot_open);
    EXPECT_EQ(rk::read_bmp_pgm_itex(nullptr).error, rk::ReadError::cannot_open);
    const IndexedImage img{3, 2, {0, 1, 2, 2, 1, 0}, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}};
    GrayImage gray{3, 22, {}};  // over the 64 bytes the file reader asks for
    for (int i = 0; i < 66; ++i) gray.pixels.push_back(Bytes{76, 149, 29, 29, 149, 76}[i % 6]);
    const std::pair<std::string, Bytes> files[] = {
        {dir.file("a.bmp"), bmp_file(img)},
        {dir.file("a.pcx"), pcx_file(img)},
        {dir.file("a.pgm"), pgm_file(gray)},
        {dir.file("a.img"), itex_file(gray)},
    };
    for (const auto& [path, bytes] : files) {
        write_bytes(path, bytes);
        const bool pcx = path.ends_with(".pcx");
        for (int k = 1; k <= 3; ++k) {
            orvo::alloc_fail_at(k);
            rk::ReadResult r = pcx ? rk::read_pcx(path.c_str()) : rk::read_bmp_pgm_itex(path.c_str());
            orvo::alloc_fail_at(0);
            EXPECT_EQ(r.error, k < 3 ? rk::ReadError::no_memory : rk::ReadError::none) << path << " " << k;
            const Bytes got = r.page.pixels ? Bytes(r.page.pixels.get(), r.page.pixels.get() + 6) : Bytes{};
            EXPECT_TRUE(got == (k < 3 ? Bytes{} : Bytes{76, 149, 29, 29, 149, 76}) && (k < 3 || r.page.width == 3)) << path << k;
        }
    }
}

}  // namespace
