// TIFF pages through an open libtiff handle: layouts taken with their grays, refusals before allocating, allocations.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "library_writers.h"
#include "readers.h"
#include "temp_dir.h"
#include "zero_alloc.h"

namespace {

using namespace testsupport;
using Bytes = std::vector<std::uint8_t>;

// Sets the value of a SHORT or LONG tag of the first directory of a little-endian TIFF.
void set_tag_value(std::vector<std::uint8_t>& b, std::uint16_t tag, std::uint32_t value) {
    const std::size_t dir = b[4] | b[5] << 8 | b[6] << 16 | std::size_t{b[7]} << 24;
    const int entries = b[dir] | b[dir + 1] << 8;
    for (int i = 0; i < entries; ++i) {
        const std::size_t e = dir + 2 + 12 * static_cast<std::size_t>(i);
        if ((b[e] | b[e + 1] << 8) != tag) continue;
        const int type = b[e + 2] | b[e + 3] << 8;
        for (int k = 0; k < (type == TIFF_LONG ? 4 : 2); ++k) b[e + 8 + k] = static_cast<std::uint8_t>(value >> 8 * k);
        return;
    }
    ADD_FAILURE() << "tag " << tag << " not in the directory";
}

class TiffPageReader : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir.file("t.tif");
    rk::GrayPage page;
    rk::ReadError error = rk::ReadError::none;
    long allocations = -1;

    void TearDown() override { orvo::alloc_fail_at(0); }
    // Reads directory `index` of the file written last; `fail_at` makes that allocation of the read fail.
    rk::TiffPageResult read_file(int index = 0, long fail_at = 0) {
        int n = 0;
        TIFF* tiff = rk::tiff_open(file.c_str(), &n);
        EXPECT_NE(tiff, nullptr);
        if (tiff == nullptr) return rk::TiffPageResult::failed;
        orvo::alloc_fail_at(fail_at);
        error = rk::ReadError::none;
        rk::TiffPageResult r = rk::read_tiff_page(tiff, index, page, &error);
        allocations = orvo::alloc_count();
        orvo::alloc_fail_at(0);
        TIFFClose(tiff);
        return r;
    }

    rk::TiffPageResult read(const std::vector<TiffPage>& pages, int index = 0, long fail_at = 0) {
        EXPECT_TRUE(write_tiff(file, pages));
        return read_file(index, fail_at);
    }

    std::vector<int> pixels() const {
        if (!page.pixels) return {};
        return {page.pixels.get(), page.pixels.get() + static_cast<std::size_t>(page.width) * page.height};
    }
};

TEST_F(TiffPageReader, LayoutsGiveTheirGrays) {
    TiffPage white = tiff_gray_page(GrayImage{3, 1, {0, 17, 250}});
    white.photometric = PHOTOMETRIC_MINISWHITE;  // not inverted
    TiffPage high = tiff_gray_page(GrayImage{3, 1, {0, 1, 2}});
    high.photometric = PHOTOMETRIC_PALETTE;  // only the high byte of each entry counts
    high.colormap.assign(3 * 256, 0);
    high.colormap[0] = high.colormap[256] = high.colormap[512] = 0x64FF;
    high.colormap[1] = 0xFFFF;
    high.colormap[512 + 2] = 0xFF80;
    const struct { const char* what; TiffPage page; std::vector<int> gray; } cases[] = {
        {"8-bit gray", tiff_gray_page(GrayImage{3, 2, {0, 1, 127, 128, 254, 255}}), {0, 1, 127, 128, 254, 255}},
        {"min-is-white", white, {0, 17, 250}},
        {"palette", tiff_palette_page(IndexedImage{4, 1, {2, 0, 1, 3}, {{255, 0, 0}, {0, 0, 255}, {100, 100, 100}, {10, 200, 30}}}),
         {100, 76, 29, 123}},
        {"palette high bytes", high, {100, 76, 29}},
        {"interleaved RGB", tiff_rgb_page(RgbImage{4, 1, {{255, 0, 0}, {0, 0, 255}, {10, 200, 30}, {77, 77, 77}}}),
         {76, 29, 123, 77}},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(read({c.page}), rk::TiffPageResult::ok) << c.what;
        EXPECT_EQ(page.width, c.page.width) << c.what;
        EXPECT_EQ(pixels(), c.gray) << c.what;
    }
}

// The page with other bits and samples per pixel, photometric and planar layout.
TiffPage shaped(TiffPage p, int bits, int samples, int photometric, bool planar = false) {
    p.bits = bits, p.samples = samples, p.photometric = photometric, p.planar_separate = planar;
    return p;
}

// Unsupported layouts and tags patched in a written file: refused with their cause before allocating.
TEST_F(TiffPageReader, RefusesLayoutsAndPatchedHeadersBeforeAllocating) {
    const struct { const char* what; TiffPage page; std::vector<std::pair<std::uint16_t, std::uint32_t>> tags; rk::ReadError error; }
        cases[] = {
        {"1 bit", shaped(tiff_gray_page(GrayImage{8, 2, {0xAA, 0x55}}), 1, 1, 1), {}, rk::ReadError::unsupported},
        {"16 bits", shaped(tiff_gray_page(GrayImage{2, 2, Bytes(8, 7)}), 16, 1, 1), {}, rk::ReadError::unsupported},
        {"separate planes", shaped(tiff_rgb_page(RgbImage{2, 2, std::vector<Rgb>(4)}), 8, 3, 2, true), {},
         rk::ReadError::unsupported},
        {"2 samples", shaped(tiff_gray_page(GrayImage{2, 1, {1, 2, 3, 4}}), 8, 2, 1), {}, rk::ReadError::unsupported},
        {"4 samples", shaped(tiff_gray_page(GrayImage{1, 1, {1, 2, 3, 4}}), 8, 4, PHOTOMETRIC_SEPARATED), {},
         rk::ReadError::unsupported},
        {"old-style JPEG with three samples", tiff_rgb_page(RgbImage{2, 1, {{1, 2, 3}, {4, 5, 6}}}),
         {{TIFFTAG_COMPRESSION, COMPRESSION_OJPEG}}, rk::ReadError::unsupported},
        {"1.6e9 pixels", tiff_gray_page(GrayImage{4, 4, std::vector<std::uint8_t>(16, 9)}),
         {{TIFFTAG_IMAGEWIDTH, 40000}, {TIFFTAG_IMAGELENGTH, 40000}}, rk::ReadError::bad_size},
        {"strips far shorter than the rows", tiff_gray_page(GrayImage{64, 64, std::vector<std::uint8_t>(64 * 64, 9)}),
         {{TIFFTAG_IMAGEWIDTH, 4000}, {TIFFTAG_IMAGELENGTH, 4000}}, rk::ReadError::truncated},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(write_tiff(file, {c.page}));
        std::vector<std::uint8_t> bytes = read_bytes(file);
        for (const auto& [tag, value] : c.tags) set_tag_value(bytes, tag, value);
        write_bytes(file, bytes);
        EXPECT_EQ(read_file(), rk::TiffPageResult::failed) << c.what;
        EXPECT_TRUE(error == c.error && allocations == 0 && page.pixels == nullptr) << c.what;
    }
    // 64 x 1000 holds 4096 of 64000 bytes, more than a sixteenth: read as far as the strips go.
    std::vector<std::uint8_t> bytes = read_bytes(file);
    set_tag_value(bytes, TIFFTAG_IMAGEWIDTH, 64);
    set_tag_value(bytes, TIFFTAG_IMAGELENGTH, 1000);
    write_bytes(file, bytes);
    EXPECT_NE(read_file(), rk::TiffPageResult::failed);
    EXPECT_EQ(page.height, 1000);
}

// Gray rows go straight into the page; RGB rows through a row buffer after it.
TEST_F(TiffPageReader, MissingDirectoryOrEachAllocationFailureFailsTheRead) {
    EXPECT_EQ(read({tiff_gray_page(GrayImage{2, 1, {1, 2}})}, 3), rk::TiffPageResult::failed);
    EXPECT_EQ(page.pixels, nullptr);
    const std::pair<TiffPage, long> cases[] = {{tiff_gray_page(GrayImage{5, 3, std::vector<std::uint8_t>(15, 3)}), 1},
                                               {tiff_rgb_page(RgbImage{5, 3, std::vector<Rgb>(15, Rgb{9, 9, 9})}), 2}};
    for (const auto& [p, n] : cases) {
        ASSERT_EQ(read({p}), rk::TiffPageResult::ok);
        EXPECT_EQ(allocations, n);
        for (long k = 1; k <= n; ++k) {
            EXPECT_EQ(read({p}, 0, k), rk::TiffPageResult::failed) << k;
            EXPECT_TRUE(error == rk::ReadError::no_memory && page.pixels == nullptr) << k;
        }
    }
}

}  // namespace
