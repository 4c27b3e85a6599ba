// Hostile but valid images load or are refused as documented and read bounded and well formed.
#include <gtest/gtest.h>
#include <png.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>

#include "hardening_support.h"

namespace {

using hardening::Bytes;
using testsupport::GrayImage;

GrayImage flat(int w, int h, std::uint8_t v) { return {w, h, Bytes(static_cast<std::size_t>(w) * h, v)}; }

class HostileImages : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::MessageLog quiet;
        io = OCR_init(base.list.c_str(), 0);
        ASSERT_NE(io, nullptr);
        for (char c : std::string("HELT470")) ASSERT_EQ(hardening::teach(io, c), 1) << c;
    }
    void TearDown() override { SEG_clear_analysis_results(), SEG_close_image(), OCR_cleanup(); }
    // Loads `path` through the store; returns SEG_open_image's result.
    int load(const std::string& path) {
        return SEG_clear_analysis_results(), SEG_set_image_file(path.c_str()), SEG_open_image();
    }
    int load(const GrayImage& g, const char* format = "pgm") {
        const std::string path = dir.file(std::string("page.") + format);
        EXPECT_TRUE(hardening::write_image(path, format, g));
        return load(path);
    }

    // Analyses the held page at depth 5, reads every field found, checks all bounds; returns the result count.
    int analyse_and_read(const std::string& what) {
        EXPECT_NE(videobuffer, nullptr) << what;
        if (videobuffer == nullptr) return 0;
        const Bytes page(videobuffer, videobuffer + static_cast<std::size_t>(MAXCOL) * MAXLIN);
        unsigned char* const held = videobuffer;
        EXPECT_EQ(SEG_analyze_image(5), 1) << what;
        EXPECT_EQ(videobuffer, held) << what;
        EXPECT_TRUE(std::equal(page.begin(), page.end(), held)) << what << ": the page changed";
        const int n = hardening::check_results(what);
        for (seg_result* r = results; r != nullptr; r = r->next) {
            testsupport::FieldBitmap b(r->columns, r->lines);  // an exact copy: reads past it are caught
            b.bits.assign(r->bitmap, r->bitmap + static_cast<std::size_t>(r->bpl) * r->lines);
            testsupport::show_whole_field(io, b);
            io->kb_index = io->kb_mode = 0;
            std::strcpy(io->template_, "C");
            const int boxes = OCR_recognize_field();
            EXPECT_TRUE(boxes == io->box_count && boxes >= 0 && boxes <= 2046) << what << ": " << boxes;
            EXPECT_TRUE(std::memchr(io->text, 0, sizeof io->text) && std::memchr(io->raw_text, 0, sizeof io->raw_text));
            for (int i = 0; i < io->box_count && i < 2048; ++i) {
                const int* x = io->boxes[i];
                EXPECT_TRUE(x[0] >= 0 && x[1] >= 0 && x[0] < x[2] && x[1] < x[3] && x[2] <= r->columns && x[3] <= r->lines)
                    << what << ": box " << i;
            }
        }
        return n;
    }
    testsupport::KbFolder base;
    testsupport::TempDir dir;
    ocr_io* io = nullptr;
};

template <typename At>
GrayImage painted(int w, int h, At at) {
    GrayImage g = flat(w, h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) g.pixels[static_cast<std::size_t>(y) * w + x] = at(x, y);
    return g;
}

TEST_F(HostileImages, ExtremeFlatNoisyAndPeriodicPagesStayBounded) {
    struct Case { const char* name; GrayImage page; int results; };  // results -1: unchecked
    std::mt19937 rng(7);
    const GrayImage noise = painted(640, 480, [&](int, int) { return static_cast<std::uint8_t>(rng()); });
    const auto checker = [](int s) {
        return painted(640, 480, [s](int x, int y) -> std::uint8_t { return (x / s + y / s) % 2 ? 255 : 0; });
    };
    const std::vector<Case> cases = {
        {"1 x 10000", painted(1, 10000, [](int, int y) -> std::uint8_t { return y % 3 ? 200 : 10; }), -1},
        {"10000 x 1", painted(10000, 1, [](int x, int) -> std::uint8_t { return x % 3 ? 200 : 10; }), -1},
        {"all black", flat(800, 600, 0), 0}, {"all white", flat(800, 600, 255), 0}, {"noise", noise, -1},
        {"checkerboard of 1", checker(1), -1}, {"checkerboard of 4", checker(4), -1}, {"checkerboard of 16", checker(16), -1},
        // 3 x 5 dark blobs every 6 x 8 pixels: some 10000 of them.
        {"small glyphs", painted(800, 600, [](int x, int y) -> std::uint8_t {
             const int x0 = x - (x - 2) % 6, y0 = y - (y - 2) % 8;
             return x >= 2 && y >= 2 && x - x0 < 3 && y - y0 < 5 && x0 + 3 < 800 && y0 + 5 < 600 ? 20 : 220; }), -1},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(load(c.page), 1) << c.name;
        const int n = analyse_and_read(c.name);
        if (c.results >= 0) { EXPECT_EQ(n, c.results) << c.name; }
    }
    // One pixel: too short for the PGM reader (64 bytes or fewer); as PNG it is enlarged 550 times.
    EXPECT_EQ(load(flat(1, 1, 77), "pgm"), 0);
    ASSERT_EQ(load(flat(1, 1, 77), "png"), 1);
    EXPECT_EQ(std::vector<int>({MAXCOL, MAXLIN, XSCALE, YSCALE}), std::vector<int>({550, 550, 550, 550}));
    EXPECT_EQ(std::count(videobuffer, videobuffer + 550 * 550, 77), 550 * 550);
    EXPECT_EQ(analyse_and_read("1 x 1"), 0);
}

// Writes a gray PNG row by row (no whole picture in memory): a light page, a band of bars across.
bool write_big_png(const std::string& path, int w, int h) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
        return png_destroy_write_struct(&png, &info), std::fclose(f), false;
    png_init_io(png, f);
    png_set_compression_level(png, 1);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_GRAY,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> plain(static_cast<std::size_t>(w), 210), bars(static_cast<std::size_t>(w), 210);
    for (int x = w / 4; x < 3 * w / 4; ++x) bars[static_cast<std::size_t>(x)] = (x / 24) % 2 != 0 ? 20 : 210;
    for (int y = 0; y < h; ++y)  // the bars in a band across the middle
        png_write_row(png, y > 7 * h / 16 && y < 9 * h / 16 ? bars.data() : plain.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

TEST_F(HostileImages, LargestPageTheReadersAccept) {
    // 16384 x 16384 = 2^28 pixels, the largest page a reader takes.
    const std::string path = dir.file("largest.png");
    ASSERT_TRUE(write_big_png(path, 16384, 16384));
    ASSERT_EQ(load(path), 1);
    // Reduced by 11 (16384 / 11 = 1489 on both sides).
    EXPECT_EQ(std::vector<int>({XSCALE, YSCALE, MAXCOL, MAXLIN, videobuffer[0]}), std::vector<int>({-11, -11, 1489, 1489, 210}));
    analyse_and_read("16384 x 16384");
    SEG_close_image();

    // One row more is refused before anything is allocated.
    testsupport::GrayImage small = flat(8, 8, 100);
    Bytes bmp = testsupport::bmp_file(hardening::gray_indexed(small));
    testsupport::put_le32(bmp, 18, 16384);
    testsupport::put_le32(bmp, 22, 16385);
    testsupport::write_bytes(dir.file("too-big.bmp"), bmp);
    EXPECT_EQ(load(dir.file("too-big.bmp")), 0);
    EXPECT_EQ(videobuffer, nullptr);
}

TEST_F(HostileImages, MultiPageTiffWithABrokenLastPage) {
    const GrayImage a = hardening::scene(400, 300, "HE 47", 5), b = hardening::scene(400, 300, "LT 70", 6);
    std::vector<testsupport::TiffPage> pages;
    for (const GrayImage* g : {&a, &b, &a})
        pages.push_back(testsupport::tiff_gray_page(*g)), pages.back().compression = 8;
    const std::string path = dir.file("pages.tif");
    ASSERT_TRUE(testsupport::write_tiff(path, pages));
    // Garbage over the compressed data of the last page's first strip, from its tenth byte on.
    Bytes file = testsupport::read_bytes(path);
    TIFF* t = TIFFOpen(path.c_str(), "r");
    ASSERT_TRUE(t != nullptr && TIFFSetDirectory(t, 2));
    toff_t *offsets = nullptr, *counts = nullptr;
    const bool found = TIFFGetField(t, TIFFTAG_STRIPOFFSETS, &offsets) && TIFFGetField(t, TIFFTAG_STRIPBYTECOUNTS, &counts);
    const std::size_t from = found ? offsets[0] + 10 : 0, to = found ? offsets[0] + counts[0] : 0;  // before the close
    TIFFClose(t);
    ASSERT_LT(from, to);
    for (std::size_t i = from; i < to; ++i) file[i] = static_cast<std::uint8_t>(i * 37 + 11);
    testsupport::write_bytes(path, file);
    SEG_clear_analysis_results();
    ASSERT_EQ(SEG_set_image_file(path.c_str()), 1);
    EXPECT_EQ(n_pages, 3);
    for (int page = 1; page <= 2; ++page) {
        ASSERT_EQ(SEG_open_image(), 1) << page;
        EXPECT_EQ(crt_page, page);
        analyse_and_read("tiff page " + std::to_string(page));
        SEG_clear_analysis_results();
    }
    const int r = SEG_open_image();
    if (r == 2) {  // the rows before the error, zeros after; not normalised, the cursor not advanced
        EXPECT_EQ(std::vector<int>({crt_page, MAXCOL, MAXLIN, videobuffer[299 * 400 + 399]}),
                  std::vector<int>({2, 400, 300, 0}));
        analyse_and_read("broken tiff page");
    } else {
        EXPECT_EQ(r, 0);
        EXPECT_EQ(videobuffer, nullptr);
    }
}

}  // namespace
