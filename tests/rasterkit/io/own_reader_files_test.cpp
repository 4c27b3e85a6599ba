// The own-format readers on files: decompression bombs, loading from a path,
// their allocations, and the image store reading each format into the page.
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

using testsupport::GrayImage;
using testsupport::IndexedImage;
using testsupport::Rgb;
using testsupport::RgbImage;
using Bytes = std::vector<std::uint8_t>;

constexpr int kW = 800;  // a page size the store keeps as it is
constexpr int kH = 600;

// Gray of page pixel (x, y) in the test pictures: a pattern in both directions.
std::uint8_t pattern(int x, int y) { return static_cast<std::uint8_t>((x / 8 * 16 + y / 8 * 4 + x % 3) % 256); }

GrayImage gray_picture() {
    GrayImage img{kW, kH, {}};
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) img.pixels.push_back(pattern(x, y));
    return img;
}

IndexedImage indexed_picture() {
    IndexedImage img{kW, kH, gray_picture().pixels, {}};
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        img.palette.push_back({v, v, v});
    }
    return img;
}

RgbImage rgb_picture() {
    RgbImage img{kW, kH, {}};
    for (std::uint8_t g : gray_picture().pixels) img.pixels.push_back({g, g, g});
    return img;
}

// A header declaring far more pixel data than the file holds is refused before
// the page is allocated; a sixteenth or more gives the page, the rest black.
TEST(OwnReadersRefuseBombs, FilesHoldingLessThanASixteenthOfTheirPixels) {
    const struct {
        const char* name;
        Bytes (*make)();
        std::size_t declared;  // bytes of pixel data, at the end of the file
    } cases[] = {
        {"bmp", [] { return testsupport::bmp_file(rgb_picture(), 24); }, std::size_t{3} * kW * kH},
        {"pgm", [] { return testsupport::pgm_file(gray_picture()); }, std::size_t{kW} * kH},
        {"itex", [] { return testsupport::itex_file(gray_picture()); }, std::size_t{kW} * kH},
    };
    for (const auto& c : cases) {
        const Bytes full = c.make();
        const std::size_t declared = c.declared;
        ASSERT_GT(full.size(), declared) << c.name;
        const std::size_t data_start = full.size() - declared;
        orvo::alloc_fail_at(0);
        const Bytes bomb(full.begin(), full.begin() + static_cast<long>(data_start + declared / 16 - 1));
        EXPECT_EQ(rk::decode_bmp_pgm_itex(bomb).error, rk::ReadError::truncated) << c.name;
        EXPECT_EQ(orvo::alloc_count(), 0) << c.name;

        const Bytes cut(full.begin(), full.begin() + static_cast<long>(data_start + declared / 16));
        rk::ReadResult r = rk::decode_bmp_pgm_itex(cut);
        ASSERT_TRUE(r.ok()) << c.name;
        // The first stored row holds data (the last in a BMP), the other end is black.
        const std::uint8_t* px = r.page.pixels.get();
        const bool bottom_up = c.name[0] == 'b';
        const std::size_t kept_row = bottom_up ? kH - 1 : 0, lost_row = bottom_up ? 0 : kH - 1;
        int kept = 0, lost = 0;
        for (int x = 0; x < kW; ++x) {
            kept += px[kept_row * kW + static_cast<std::size_t>(x)] == pattern(x, static_cast<int>(kept_row));
            lost += px[lost_row * kW + static_cast<std::size_t>(x)] == 0;
        }
        EXPECT_EQ(kept, kW) << c.name;
        EXPECT_EQ(lost, kW) << c.name;
    }
}

TEST(OwnReadersRefuseBombs, PcxDataShorterThanItsTightestCoding) {
    // A blank 1260 x 400 page codes at best in 20 byte pairs a row.
    const IndexedImage blank{1260, 400, Bytes(1260 * 400, 0), indexed_picture().palette};
    Bytes full = testsupport::pcx_file(blank);
    ASSERT_EQ(full.size(), 128 + 400 * 40 + 769);
    rk::ReadResult r = rk::decode_pcx(full);
    ASSERT_TRUE(r.ok());
    // A sixteenth of that data is still taken; less is a bomb.
    auto cut = [&](std::size_t data) {
        Bytes f(full.begin(), full.begin() + 128 + static_cast<long>(data));
        f.insert(f.end(), full.end() - 769, full.end());
        return f;
    };
    EXPECT_TRUE(rk::decode_pcx(cut(400 * 40 / 16)).ok());
    orvo::alloc_fail_at(0);
    EXPECT_EQ(rk::decode_pcx(cut(400 * 40 / 16 - 1)).error, rk::ReadError::truncated);
    EXPECT_EQ(orvo::alloc_count(), 0);
}

TEST(OwnReadersRefuseBombs, ATwentyEightKilobyteBmpClaimingOneHundredMillionPixels) {
    // 120 x 1,048,656 pixels at 24 bits: 377 MB declared, 28 KB held.
    Bytes f = testsupport::bmp_file(RgbImage{120, 77, std::vector<Rgb>(120 * 77, Rgb{200, 200, 200})}, 24);
    ASSERT_EQ(f.size(), 54u + 77 * 360);
    testsupport::put_le32(f, 22, 1048656);
    EXPECT_EQ(rk::decode_bmp_pgm_itex(f).error, rk::ReadError::truncated);
    testsupport::TempDir dir;
    const std::string path = dir.file("bomb.bmp");
    testsupport::write_bytes(path, f);
    ASSERT_EQ(SEG_set_image_file(path.c_str()), 1);
    EXPECT_EQ(SEG_open_image(), 0);
    EXPECT_EQ(videobuffer, nullptr);
    SEG_close_image();
}

class OwnFormatStore : public ::testing::Test {
protected:
    void TearDown() override { SEG_close_image(); }

    // Sets and opens `bytes` written to `name`; the open's result.
    int set_and_open(const std::string& name, const Bytes& bytes) {
        const std::string path = dir.file(name);
        testsupport::write_bytes(path, bytes);
        EXPECT_EQ(SEG_set_image_file(path.c_str()), 1) << name;
        return SEG_open_image();
    }

    // The page held is the test pattern at file size.
    void expect_pattern_page() {
        ASSERT_NE(videobuffer, nullptr);
        ASSERT_EQ((std::vector<int>{MAXCOL, MAXLIN, BPL, XSCALE, YSCALE, crt_page, n_pages}),
                  (std::vector<int>{kW, kH, kW, 1, 1, 1, 1}));
        int wrong = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) wrong += videobuffer[y * kW + x] != pattern(x, y);
        EXPECT_EQ(wrong, 0);
    }

    testsupport::TempDir dir;
};

// Each own format, whatever the file is named, gives the pattern page.
TEST_F(OwnFormatStore, ReadsEachFormatWhateverTheName) {
    testsupport::BmpOptions down;
    down.top_down = true;
    const std::pair<const char*, Bytes> files[] = {
        {"a.bmp", testsupport::bmp_file(indexed_picture())},
        {"b.bmp", testsupport::bmp_file(rgb_picture(), 24)},
        {"c.bmp", testsupport::bmp_file(rgb_picture(), 32, down)},
        {"a.pcx", testsupport::pcx_file(indexed_picture())},
        {"a.pgm", testsupport::pgm_file(gray_picture())},
        {"itex.bmp", testsupport::itex_file(gray_picture())},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        ASSERT_EQ(set_and_open(name, bytes), 1);
        expect_pattern_page();
    }
}

TEST_F(OwnFormatStore, RejectedFileLeavesNoPage) {
    ASSERT_EQ(set_and_open("good.pgm", testsupport::pgm_file(gray_picture())), 1);
    Bytes bad = testsupport::bmp_file(rgb_picture(), 24);
    testsupport::put_le16(bad, 26, 2);  // planes
    for (const auto& [name, bytes] : {std::pair<const char*, Bytes>{"bad.bmp", bad},
                                      {"bad.pcx", testsupport::pcx24_file(rgb_picture())},
                                      {"bad.img", testsupport::itex_file(gray_picture(), 1)}}) {
        EXPECT_EQ(set_and_open(name, bytes), 0) << name;
        EXPECT_EQ(videobuffer, nullptr) << name;
        EXPECT_EQ(crt_page, 0) << name;
    }
}

TEST(OwnFormatFiles, PathReadersGiveTheDecodedPageOrCannotOpen) {
    testsupport::TempDir dir;
    EXPECT_EQ(rk::read_bmp_pgm_itex(dir.file("absent.bmp").c_str()).error, rk::ReadError::cannot_open);
    EXPECT_EQ(rk::read_pcx(dir.file("absent.bmp").c_str()).error, rk::ReadError::cannot_open);
    EXPECT_EQ(rk::read_bmp_pgm_itex(nullptr).error, rk::ReadError::cannot_open);
    IndexedImage img{3, 2, {0, 1, 2, 2, 1, 0}, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}};
    const Bytes want = {76, 149, 29, 29, 149, 76};
    testsupport::write_bytes(dir.file("a.bmp"), testsupport::bmp_file(img));
    testsupport::write_bytes(dir.file("a.pcx"), testsupport::pcx_file(img));
    rk::ReadResult results[] = {rk::read_bmp_pgm_itex(dir.file("a.bmp").c_str()),
                                rk::read_pcx(dir.file("a.pcx").c_str())};
    for (const rk::ReadResult& r : results) {
        ASSERT_TRUE(r.ok()) << rk::read_error_name(r.error);
        ASSERT_EQ(r.page.width, 3);
        ASSERT_EQ(r.page.height, 2);
        EXPECT_EQ(Bytes(r.page.pixels.get(), r.page.pixels.get() + 6), want);
    }
}

// The file buffer, then the page: each failure refuses the file, and both are released.
TEST(OwnFormatFiles, EachAllocationFailureRefusesTheFile) {
    testsupport::TempDir dir;
    const std::pair<std::string, Bytes> files[] = {
        {dir.file("a.bmp"), testsupport::bmp_file(RgbImage{5, 5, std::vector<Rgb>(25, Rgb{1, 2, 3})}, 24)},
        {dir.file("a.pcx"), testsupport::pcx_file(IndexedImage{5, 5, Bytes(25, 1), {{9, 9, 9}, {8, 8, 8}}})},
        {dir.file("a.pgm"), testsupport::pgm_file(GrayImage{10, 10, Bytes(100, 4)})},
        {dir.file("a.img"), testsupport::itex_file(GrayImage{10, 10, Bytes(100, 4)})},
    };
    for (const auto& [path, bytes] : files) {
        testsupport::write_bytes(path, bytes);
        const bool pcx = path.ends_with(".pcx");
        for (int k = 1; k <= 2; ++k) {
            orvo::alloc_fail_at(k);
            rk::ReadResult r = pcx ? rk::read_pcx(path.c_str()) : rk::read_bmp_pgm_itex(path.c_str());
            orvo::alloc_fail_at(0);
            EXPECT_EQ(r.error, rk::ReadError::no_memory) << path << " " << k;
            EXPECT_EQ(r.page.pixels.get(), nullptr);
        }
        orvo::alloc_fail_at(3);
        rk::ReadResult ok = pcx ? rk::read_pcx(path.c_str()) : rk::read_bmp_pgm_itex(path.c_str());
        orvo::alloc_fail_at(0);
        ASSERT_TRUE(ok.ok()) << path;
        EXPECT_NE(ok.page.pixels.get()[24], 0) << path;
    }
}

}  // namespace
