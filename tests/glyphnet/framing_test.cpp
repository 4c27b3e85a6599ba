// Character framing (tiny rectangles, specks, colons, gaps) and pixel tests at and past the edges.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "engine/request.h"
#include "image/bitmap_view.h"
#include "image/framing.h"
#include "glyph_font.h"

namespace {

using gntest::TestBitmap;

TEST(Framing, FramesTheCharacterAndNotItsSurroundings) {
    // Rectangles left, top, width, height; frame {0}: none; also_tolerant: the same when gap-tolerant.
    struct Case { const char* name; int w, h; std::vector<std::array<int, 4>> ink; std::array<int, 4> region, frame; bool also_tolerant; };
    const std::vector<Case> cases = {
        {"fewer than nine pixels", 16, 16, {{0, 0, 16, 16}}, {2, 2, 2, 4}, {0, 0, 0, 0}, false},
        {"no run of four rows", 16, 16, {{0, 0, 16, 16}}, {2, 2, 3, 3}, {0, 0, 0, 0}, false},
        {"nine pixels", 16, 16, {{0, 0, 16, 16}}, {2, 2, 3, 4}, {2, 2, 3, 4}, false},
        {"a speck above is dropped", 40, 40, {{10, 10, 6, 20}, {12, 5, 1, 1}}, {0, 0, 40, 40}, {10, 10, 6, 20}, true},
        {"both blobs of a colon", 20, 30, {{5, 5, 3, 5}, {5, 14, 3, 5}}, {5, 0, 3, 30}, {5, 5, 3, 14}, false},
        {"short gaps bridged, long ones not", 30, 60, {{5, 10, 8, 16}, {5, 28, 8, 6}, {5, 44, 8, 6}},
         {0, 0, 30, 60}, {5, 10, 8, 24}, false},
    };
    for (bool tolerant : {false, true})
        for (const Case& c : cases) {
            if (tolerant && !c.also_tolerant) continue;
            SCOPED_TRACE(std::string(c.name) + (tolerant ? ", gap-tolerant" : ""));
            TestBitmap b(c.w, c.h);
            for (const auto& r : c.ink) b.fill(r[0], r[1], r[2], r[3]);
            gn::install_bitmap(b.bits.data(), b.height, b.bpr);
            gn::request() = gn::Request{};
            gn::request().gap_tolerant = tolerant;
            const bool framed = gn::frame_char(c.region[0], c.region[1], c.region[2], c.region[3]);
            ASSERT_EQ(framed, c.frame[2] != 0);
            if (!framed) continue;
            const gn::Frame f = gn::current_frame();
            EXPECT_EQ((std::array<int, 4>{f.left, f.top, f.width, f.height}), c.frame);
        }
    gn::request() = gn::Request{};
}

TEST(Framing, PixelTestsStayInsideTheBitmap) {
    TestBitmap b(20, 5);
    b.set(9, 4), b.set(9, 2), b.set(3, 0);
    gn::install_bitmap(b.bits.data(), b.height, b.bpr);
    // Rows past the bottom read the last row; other outside pixels are background.
    EXPECT_EQ(std::vector<bool>({gn::is_ink(9, 2), gn::is_ink(9, 3), gn::is_ink(-1, 2), gn::is_ink(9, 99),
                                 gn::is_ink(8, 99), gn::is_ink(3, -1)}),
              std::vector<bool>({true, false, false, true, false, false}));
    EXPECT_EQ(gn::row_bytes_empty(2, -5, 99), 0);
    EXPECT_EQ(std::vector<bool>({gn::row_has_ink(7, 0, 20), gn::row_has_ink(7, 0, 9), gn::row_has_ink(-1, 0, 20)}),
              std::vector<bool>({true, false, false}));
    // Columns: a miss, a hit, no rows, rows from above the top.
    EXPECT_EQ(std::vector<bool>({gn::col_has_ink(9, 3, 4), gn::col_has_ink(9, 5, 8), gn::col_has_ink(9, 7, 7),
                                 gn::col_has_ink(3, -4, 0), gn::col_has_ink(3, -4, 1)}),
              std::vector<bool>({false, true, false, false, true}));
}

}  // namespace
