// The image store through its C interface: which files are set, what an
// open holds, the page cursor, closing, and the failure paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "image_store.h"
#include "rasterkit.h"
#include "temp_dir.h"
#include "zero_alloc.h"

namespace {

using testsupport::write_bytes;

// A PGM file of w x h pixels, pixel (x, y) = value(x, y).
template <typename F>
std::vector<std::uint8_t> pgm(int w, int h, F value) {
    std::string head = "P5\n" + std::to_string(w) + "\n" + std::to_string(h) + "\n255\n";
    std::vector<std::uint8_t> bytes(head.begin(), head.end());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) bytes.push_back(static_cast<std::uint8_t>(value(x, y)));
    return bytes;
}

class ImageStore : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::string page_file = dir.file("page.pgm");

    void SetUp() override {
        // 800 x 600 is kept at file size by normalisation.
        write_bytes(page_file, pgm(800, 600, [](int x, int y) { return (x + 3 * y) & 0xFF; }));
    }
    void TearDown() override {
        SEG_close_image();
        orvo::alloc_fail_at(0);
    }
};

TEST_F(ImageStore, OpenHoldsThePageAndAdvancesTheCursor) {
    ASSERT_EQ(SEG_set_image_file(page_file.c_str()), 1);
    EXPECT_EQ(n_pages, 1);
    EXPECT_EQ(crt_page, 0);
    EXPECT_EQ(rk::current_format(), rk::ImageFormat::pgm);
    ASSERT_EQ(SEG_open_image(), 1);
    ASSERT_NE(videobuffer, nullptr);
    EXPECT_EQ(MAXCOL, 800);
    EXPECT_EQ(MAXLIN, 600);
    EXPECT_EQ(BPL, 800);
    EXPECT_EQ(XSCALE, 1);
    EXPECT_EQ(YSCALE, 1);
    EXPECT_EQ(crt_page, 1);
    EXPECT_EQ(videobuffer[0], 0);
    EXPECT_EQ(videobuffer[799 + 599 * 800], (799 + 3 * 599) & 0xFF);
    // Another open reads the file again.
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(crt_page, 2);
    EXPECT_EQ(videobuffer[5 + 800], (5 + 3) & 0xFF);
}

TEST_F(ImageStore, LargePageIsHeldAtItsNormalisedSize) {
    const std::string big = dir.file("big.pgm");
    write_bytes(big, pgm(2000, 1000, [](int x, int) { return x < 1000 ? 40 : 200; }));
    ASSERT_EQ(SEG_set_image_file(big.c_str()), 1);
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(MAXCOL, 1000);
    EXPECT_EQ(MAXLIN, 500);
    EXPECT_EQ(BPL, 1000);
    EXPECT_EQ(XSCALE, -2);
    EXPECT_EQ(YSCALE, -2);
    EXPECT_EQ(videobuffer[0], 40);
    EXPECT_EQ(videobuffer[999 + 499 * 1000], 200);
    // The temporary page was taken over: freeing it now must not touch the page.
    SEG_free_temp_scaled_image();
    EXPECT_EQ(videobuffer[999], 200);
}

TEST_F(ImageStore, CloseEmptiesThePageButKeepsSizes) {
    ASSERT_EQ(SEG_set_image_file(page_file.c_str()), 1);
    ASSERT_EQ(SEG_open_image(), 1);
    XSCALE = 3;
    SEG_close_image();
    EXPECT_EQ(videobuffer, nullptr);
    EXPECT_EQ(XSCALE, 1);
    EXPECT_EQ(YSCALE, 1);
    EXPECT_EQ(MAXCOL, 800);
    EXPECT_EQ(MAXLIN, 600);
    EXPECT_EQ(crt_page, 1);
    SEG_close_image();  // closing twice is harmless
    EXPECT_EQ(videobuffer, nullptr);
}

TEST_F(ImageStore, SetRefusesShortUnknownAndMissingFiles) {
    const std::string four = dir.file("four.bmp");
    write_bytes(four, {'B', 'M', 0, 0});
    EXPECT_EQ(SEG_set_image_file(four.c_str()), 0);

    const std::string blank = dir.file("blank.pgm");
    write_bytes(blank, {'P', '5', ' ', '8', '\n', '8', '\n'});
    EXPECT_EQ(SEG_set_image_file(blank.c_str()), 0);

    EXPECT_EQ(SEG_set_image_file(dir.file("missing.png").c_str()), 0);
    EXPECT_EQ(SEG_set_image_file(dir.path().c_str()), 0);  // a folder
    EXPECT_EQ(SEG_set_image_file(nullptr), 0);
    const std::string too_long(5000, 'x');
    EXPECT_EQ(SEG_set_image_file(too_long.c_str()), 0);
}

TEST_F(ImageStore, FiveByteBitmapIsSetButCannotBeOpened) {
    const std::string five = dir.file("five.bmp");
    write_bytes(five, {'B', 'M', 0, 0, 0});
    EXPECT_EQ(SEG_set_image_file(five.c_str()), 1);
    EXPECT_EQ(SEG_open_image(), 0);
    EXPECT_EQ(videobuffer, nullptr);
    EXPECT_EQ(crt_page, 0);
}

TEST_F(ImageStore, OpenAfterAFailedSetDoesNotReloadTheFileBefore) {
    ASSERT_EQ(SEG_set_image_file(page_file.c_str()), 1);
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(SEG_set_image_file(dir.file("missing.pgm").c_str()), 0);
    EXPECT_EQ(SEG_open_image(), 0);
    EXPECT_EQ(videobuffer, nullptr);

    const std::string four = dir.file("four.pgm");
    write_bytes(four, {'P', '5', '\n', '1'});
    ASSERT_EQ(SEG_set_image_file(page_file.c_str()), 1);
    EXPECT_EQ(SEG_set_image_file(four.c_str()), 0);
    EXPECT_EQ(SEG_open_image(), 0);
}

TEST_F(ImageStore, FormatComesFromContentNotName) {
    const std::string misnamed = dir.file("really-a-pgm.jpg");
    write_bytes(misnamed, pgm(800, 600, [](int, int) { return 9; }));
    ASSERT_EQ(SEG_set_image_file(misnamed.c_str()), 1);
    EXPECT_EQ(rk::current_format(), rk::ImageFormat::pgm);
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(videobuffer[123], 9);
}

TEST_F(ImageStore, MemoryShortageWhileNormalisingKeepsThePageAsRead) {
    const std::string small = dir.file("small.pgm");
    write_bytes(small, pgm(200, 100, [](int, int) { return 50; }));
    ASSERT_EQ(SEG_set_image_file(small.c_str()), 1);
    orvo::alloc_fail_at(3);  // file bytes and page succeed, the scaled page fails
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(MAXCOL, 200);
    EXPECT_EQ(MAXLIN, 100);
    EXPECT_EQ(XSCALE, 1);
    EXPECT_EQ(videobuffer[200 * 100 - 1], 50);
    orvo::alloc_fail_at(0);
    ASSERT_EQ(SEG_open_image(), 1);
    EXPECT_EQ(MAXCOL, 600);
    EXPECT_EQ(XSCALE, 3);
}

}  // namespace

namespace {

// A gray scene with a light plate of seven dark characters on it.
std::vector<std::uint8_t> plate_scene(int w, int h) {
    std::vector<std::uint8_t> px(static_cast<std::size_t>(w) * h, 110);
    const auto fill = [&](int l, int t, int r, int b, int v) {
        for (int y = t; y <= b; ++y)
            for (int x = l; x <= r; ++x) px[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint8_t>(v);
    };
    const int pl = w / 4, pt = h / 2, cw = w / 24, ch = h / 8;
    fill(pl, pt, pl + 9 * cw + cw / 2, pt + ch + ch / 2, 235);
    for (int i = 0; i < 7; ++i) {
        const int x = pl + cw / 2 + i * (cw + cw / 4), y = pt + ch / 4, s = cw / 5 + 1;
        fill(x, y, x + cw - 1, y + s, 20);
        fill(x, y + ch - 1 - s, x + cw - 1, y + ch - 1, 20);
        fill(x, y, x + s, y + ch - 1, 20);
        if (i % 2) fill(x + cw - 1 - s, y, x + cw - 1, y + ch - 1, 20);
        else fill(x, y + ch / 2 - s / 2, x + cw - 1, y + ch / 2 + s / 2, 20);
    }
    return px;
}

struct Held {
    int maxcol, maxlin, bpl, xscale, yscale, pages, page;
    std::vector<std::uint8_t> pixels;
    std::vector<std::array<int, 4>> fields;
    bool operator==(const Held&) const = default;
};

Held held_and_analysed() {
    Held h{MAXCOL, MAXLIN, BPL, XSCALE, YSCALE, n_pages, crt_page, {}, {}};
    h.pixels.assign(videobuffer, videobuffer + static_cast<std::size_t>(MAXCOL) * MAXLIN);
    SEG_clear_analysis_results();
    SEG_analyze_image(3);
    for (seg_result* r = results; r != nullptr; r = r->next) h.fields.push_back({r->left, r->top, r->right, r->bottom});
    SEG_clear_analysis_results();
    return h;
}

}  // namespace

// The same pixels give the same normalised page and the same fields whether
// they come through a file or from memory: at file size, reduced, enlarged.
TEST_F(ImageStore, GrayPageFromMemoryIsNormalisedAsAFileIs) {
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{800, 600}, {2400, 1600}, {300, 220}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        const std::vector<std::uint8_t> px = plate_scene(w, h);
        std::string head = "P5\n" + std::to_string(w) + "\n" + std::to_string(h) + "\n255\n";
        std::vector<std::uint8_t> file(head.begin(), head.end());
        file.insert(file.end(), px.begin(), px.end());
        write_bytes(page_file, file);
        ASSERT_EQ(SEG_set_image_file(page_file.c_str()), 1);
        ASSERT_EQ(SEG_open_image(), 1);
        const Held through_file = held_and_analysed();
        EXPECT_FALSE(through_file.fields.empty());

        // From memory with padded rows; the store forgets the file set.
        const int stride = w + 13;
        std::vector<std::uint8_t> padded(static_cast<std::size_t>(stride) * h, 7);
        for (int y = 0; y < h; ++y) std::copy_n(&px[static_cast<std::size_t>(y) * w], w, &padded[static_cast<std::size_t>(y) * stride]);
        ASSERT_EQ(SEG_open_gray_page(padded.data(), w, h, stride), 1);
        EXPECT_EQ(held_and_analysed(), through_file);
        EXPECT_EQ(SEG_open_image(), 0);
    }
}

TEST_F(ImageStore, GrayPageFromMemoryRefusesBeforeHoldingAnything) {
    std::vector<std::uint8_t> px(64 * 64, 200);
    const struct {
        const unsigned char* pixels;
        int w, h, stride;
    } cases[] = {{nullptr, 64, 64, 64}, {px.data(), 0, 64, 64}, {px.data(), 64, -1, 64},
                 {px.data(), 64, 64, 63}, {px.data(), 1 << 15, 1 << 14, 1 << 15}};
    for (const auto& c : cases) {
        ASSERT_EQ(SEG_open_gray_page(px.data(), 64, 64, 64), 1);
        EXPECT_EQ(SEG_open_gray_page(c.pixels, c.w, c.h, c.stride), 0) << c.w << " x " << c.h;
        EXPECT_EQ(videobuffer, nullptr);
    }
    orvo::alloc_fail_at(1);
    EXPECT_EQ(SEG_open_gray_page(px.data(), 64, 64, 64), 0);
    EXPECT_EQ(videobuffer, nullptr);
}
