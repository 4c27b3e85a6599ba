// The text-row finder on drawn fields, its row cursor, its table limits
// and its memory failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <tuple>
#include <vector>

#include "bitmap_draw.h"
#include "text_row_steps.h"
#include "text_rows.h"
#include "zero_alloc.h"

namespace {

struct Row {
    int left, top, right, bottom;
    bool operator==(const Row&) const = default;
    bool operator<(const Row& o) const {
        return std::tie(left, top, right, bottom) < std::tie(o.left, o.top, o.right, o.bottom);
    }
};
std::ostream& operator<<(std::ostream& os, const Row& r) {
    return os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}
using Rows = std::vector<Row>;

class TextRows : public ::testing::Test {
public:
    rk::AnalysisInstance a;

    void TearDown() override { reset(); }
    void reset() {
        orvo::alloc_fail_at(0);
        rk::release_text_rows(a);
        rk::free_objectbitmap(a);
    }
    int find() {
        return rk::find_text_rows(a, a.objectbitmap, a.BMP_lines, a.BMP_columns, a.BMP_bpl);
    }
    Row next() {
        Row r{};
        rk::next_text_row(a, &r.left, &r.top, &r.right, &r.bottom);
        return r;
    }
    Rows rows() {
        Rows out;
        a.textrows.row_cursor = -1;
        for (int i = 0; i < a.textrows.block_count; ++i) out.push_back(next());
        return out;
    }
    // `n` solid characters 16 wide at a pitch of `pitch` from column x, lines t..b.
    void characters(int n, int x, int pitch, int t, int b) {
        for (int i = 0; i < n; ++i) rktest::ink_rect(a, x + pitch * i, t, x + pitch * i + 15, b);
    }
    void two_line_plate() {
        rktest::blank_bitmap(a, 400, 140);
        characters(7, 40, 24, 20, 59);
        characters(5, 80, 24, 80, 119);
    }
    void barred_lines() {  // two lines of text joined by a bolt
        rktest::blank_bitmap(a, 400, 160);
        characters(7, 40, 24, 20, 59);
        characters(7, 40, 24, 100, 139);
        rktest::ink_rect(a, 24, 20, 31, 139);
    }
    // 25 lines of 85 blocks, each three bytes wide on one sampled line.
    void block_grid() {
        rktest::blank_bitmap(a, 4096, 100);
        for (int y = 0; y < 100; y += 4)
            for (int k = 0; k < 85; ++k) rktest::ink_rect(a, 48 * k, y, 48 * k + 23, y);
    }
    // 100 strokes one byte wide, three blank bytes apart, on lines t .. b.
    void strokes(int t, int b) {
        for (int k = 0; k < 100; ++k) rktest::ink_rect(a, 32 * k, t, 32 * k + 7, b);
    }
    // Tables for running single steps on the current bitmap.
    void prepare_tables() {
        rk::TextRowsState& s = a.textrows;
        s.blocktable = static_cast<rk::TextBlock*>(
            orvo::zero_alloc_array(rk::kTextBlockCapacity, sizeof(rk::TextBlock)));
        s.runtable = static_cast<rk::TextRun*>(
            orvo::zero_alloc_array(rk::kTextRunCapacity, sizeof(rk::TextRun)));
        ASSERT_NE(s.blocktable, nullptr);
        ASSERT_NE(s.runtable, nullptr);
        for (int i = 0; i < rk::kTextRunCapacity; ++i) s.runtable[i].label = -1;
        s.block_count = 0;
        s.byte_end = a.BMP_columns / 8;
    }
    void set_blocks(const std::vector<rk::TextBlock>& blocks) {
        std::copy(blocks.begin(), blocks.end(), a.textrows.blocktable);
        a.textrows.block_count = static_cast<int>(blocks.size());
    }
    Row block(int i) const {
        const rk::TextBlock& b = a.textrows.blocktable[i];
        return {b.left, b.top, b.right, b.bottom};
    }
};

// Ink drawn on a field: n > 0 solid characters 16 wide at a pitch from x on
// lines t..b, or n == 0 one rectangle x..r, t..b.
struct Ink {
    int n, x, r, t, b;
};

TEST_F(TextRows, FieldsGiveTheirRowsInReadingOrder) {
    const std::vector<Ink> frame_sides = {{0, 8, 391, 112, 115}, {0, 8, 11, 4, 115}, {0, 388, 391, 4, 115},
                                          {7, 40, 24, 40, 79}};
    std::vector<Ink> frame = frame_sides, beside{{10, 104, 24, 30, 79}}, above{{10, 104, 24, 70, 119}};
    frame.push_back({0, 8, 391, 4, 7});
    for (int y : {26, 42, 58, 74}) beside.push_back({0, 16, 79, y, y + 4});
    for (int y : {10, 26, 42, 58}) above.push_back({0, 16, 79, y, y + 4});
    const struct {
        const char* name;
        int w, h;
        std::vector<Ink> ink;
        Rows want;
    } cases[] = {
        {"blank", 400, 100, {}, {}},
        {"one line", 400, 100, {{7, 40, 24, 30, 69}}, {{32, 28, 208, 70}}},
        {"widely spaced", 400, 100, {{4, 40, 48, 30, 69}}, {{32, 28, 208, 70}}},
        {"two lines, upper first", 400, 140, {{5, 80, 24, 80, 119}, {7, 40, 24, 20, 59}},
         {{32, 18, 208, 60}, {72, 78, 200, 120}}},
        {"bolt joining two lines: cut at the blank band", 400, 160,
         {{7, 40, 24, 20, 59}, {7, 40, 24, 100, 139}, {0, 24, 31, 20, 139}}, {{16, 18, 208, 82}, {16, 78, 208, 140}}},
        {"closed frame dropped", 400, 120, frame, {{32, 38, 208, 80}}},
        {"frame open at the top stays, its content goes", 400, 120, frame_sides, {{1, 2, 398, 116}}},
        // The plate text starts above the lowest small line: it comes before that line.
        {"small print column beside text", 480, 120, beside,
         {{8, 24, 88, 32}, {8, 40, 88, 48}, {8, 56, 88, 64}, {96, 28, 344, 80}, {8, 72, 88, 80}}},
        {"small print column above text", 480, 140, above,
         {{8, 8, 88, 16}, {8, 24, 88, 32}, {8, 40, 88, 48}, {8, 56, 88, 64}, {96, 68, 344, 120}}},
        {"ink in the gap keeps neighbours apart", 400, 100,
         {{1, 40, 0, 30, 69}, {1, 112, 0, 30, 69}, {0, 80, 87, 30, 30}, {0, 80, 87, 49, 49}},
         {{32, 28, 64, 70}, {104, 28, 136, 70}}},
        {"clear gap joins neighbours", 400, 100, {{1, 40, 0, 30, 69}, {1, 112, 0, 30, 69}}, {{32, 28, 136, 70}}},
        {"all ink stays inside the margins", 100, 40, {{0, 0, 99, 0, 39}}, {{1, 2, 98, 38}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        rktest::blank_bitmap(a, c.w, c.h);
        for (const Ink& k : c.ink) {
            if (k.n > 0) {
                characters(k.n, k.x, k.r, k.t, k.b);
            } else {
                rktest::ink_rect(a, k.x, k.t, k.r, k.b);
            }
        }
        ASSERT_EQ(find(), static_cast<int>(c.want.size()));
        EXPECT_EQ(rows(), c.want);
        if (c.want.empty()) { EXPECT_EQ(a.textrows.runtable, nullptr); }
        reset();
    }
}

TEST_F(TextRows, ScatteredInkOnAnOddFieldStaysInsideTheMargins) {
    rktest::blank_bitmap(a, 203, 77);
    std::uint32_t seed = 12345;
    for (int y = 0; y < 77; ++y)
        for (int x = 0; x < 203; ++x) {
            seed = seed * 1103515245u + 12345u;
            if ((seed >> 16) % 5 == 0) rk::pixel_set_ink(a, x, y);
        }
    ASSERT_GE(find(), 1);
    for (const Row& r : rows()) {
        EXPECT_TRUE(r.left >= 1 && r.top >= 2 && r.right <= 201 && r.bottom <= 75) << r;
    }
}

TEST_F(TextRows, FullBlockTableGivesItsCapacityInsideTheMargins) {
    block_grid();
    ASSERT_EQ(find(), rk::kTextBlockCapacity);
    for (const Row& r : rows())
        ASSERT_TRUE(r.left >= 1 && r.right <= 4094 && r.top >= 2 && r.bottom <= 98) << r;
}

TEST_F(TextRows, CursorRepeatsTheLastRowAndClampsCallerValues) {
    two_line_plate();
    ASSERT_EQ(find(), 2);
    const Row upper{32, 18, 208, 60}, lower{72, 78, 200, 120};
    a.textrows.row_cursor = -1;
    EXPECT_EQ((Rows{next(), next(), next(), next()}), (Rows{upper, lower, lower, lower}));
    const std::pair<int, Row> set[] = {{9, lower}, {-7, upper}, {0, lower}};
    for (const auto& [cursor, want] : set) {
        a.textrows.row_cursor = cursor;
        EXPECT_EQ(next(), want) << cursor;
    }
    // A fresh search replaces the rows of the last one.
    rk::free_objectbitmap(a);
    rktest::blank_bitmap(a, 400, 100);
    characters(7, 40, 24, 30, 69);
    ASSERT_EQ(find(), 1);
    EXPECT_EQ(rows(), (Rows{{32, 28, 208, 70}}));
}

TEST_F(TextRows, WithoutRowsNothingIsHandedOutAndReleaseIsRepeatable) {
    rktest::blank_bitmap(a, 100, 40);
    ASSERT_EQ(find(), 0);
    Row r{-5, -5, -5, -5};
    rk::next_text_row(a, &r.left, &r.top, &r.right, &r.bottom);
    EXPECT_EQ(r, (Row{-5, -5, -5, -5}));
    rk::release_text_rows(a);
    rk::release_text_rows(a);
    EXPECT_EQ(a.textrows.blocktable, nullptr);
    EXPECT_EQ(a.textrows.block_count, 0);
}

TEST_F(TextRows, TableAllocationFailuresGiveTheirCodeAndFreeEverything) {
    for (const auto& [fail_at, code] : {std::pair{1, -2}, std::pair{2, -1}}) {
        rktest::blank_bitmap(a, 400, 100);
        characters(7, 40, 24, 30, 69);
        orvo::alloc_fail_at(fail_at);
        EXPECT_EQ(find(), code) << fail_at;
        EXPECT_EQ(a.textrows.blocktable, nullptr);
        EXPECT_EQ(a.textrows.runtable, nullptr);
        EXPECT_EQ(a.textrows.block_count, 0);
        reset();
    }
}

TEST_F(TextRows, BlockSizeLimits) {
    rktest::blank_bitmap(a, 200, 402);
    rktest::ink_rect(a, 8, 0, 23, 12);      // 2 bytes, 12 lines: no block
    rktest::ink_rect(a, 48, 0, 71, 12);     // 3 bytes, 12 lines
    rktest::ink_rect(a, 96, 0, 111, 14);    // 2 bytes, 14 lines
    rktest::ink_rect(a, 136, 0, 143, 400);  // 400 lines: no block
    rktest::ink_rect(a, 168, 0, 175, 398);  // 398 lines
    prepare_tables();
    rk::scan_runs(a);
    EXPECT_EQ(rk::close_blocks(a, a.BMP_lines), 5);
    ASSERT_EQ(a.textrows.block_count, 3);
    EXPECT_EQ((Rows{block(0), block(1), block(2)}), (Rows{{6, 0, 9, 12}, {12, 0, 14, 14}, {21, 0, 22, 398}}));
}

// A full run table: finished blocks are closed and open runs kept; with
// nothing finished, or no memory to pack, the runs are dropped.
TEST_F(TextRows, FullRunTable) {
    struct Case {
        const char* name;
        bool split, no_memory;
        int count;
        std::vector<std::pair<int, Row>> want;
    };
    const Case cases[] = {
        {"nothing finished", false, false, 100,
         {{0, {384, 80, 385, 98}}, {3, {396, 80, 397, 98}}, {4, {0, 82, 1, 98}}, {99, {380, 82, 381, 98}}}},
        {"finished closed, open kept", true, false, 200,
         {{0, {0, 0, 1, 28}}, {99, {396, 0, 397, 28}}, {100, {0, 40, 1, 98}}, {199, {396, 40, 397, 98}}}},
        {"no memory for packing", true, true, 100, {{0, {0, 0, 1, 28}}, {99, {396, 0, 397, 28}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rktest::blank_bitmap(a, 3200, 100);
        if (c.split) {
            strokes(0, 29);
            strokes(40, 99);
        } else {
            strokes(0, 99);
        }
        prepare_tables();
        if (c.no_memory) orvo::alloc_fail_at(1);
        rk::scan_runs(a);
        if (c.split) { EXPECT_EQ(a.textrows.block_count, 100); }
        rk::close_blocks(a, a.BMP_lines);
        ASSERT_EQ(a.textrows.block_count, c.count);
        for (const auto& [i, want] : c.want) EXPECT_EQ(block(i), want) << i;
        reset();
    }
}

TEST_F(TextRows, SortEndsOnBlocksEachAboveAnotherAndKeepsThemAll) {
    rktest::blank_bitmap(a, 200, 200);
    prepare_tables();
    std::vector<rk::TextBlock> blocks;
    for (int i = 0; i < 40; ++i) {
        const int l = (i * 7) % 13, t = (i * 11) % 37;
        blocks.push_back({l, t, l + 5, t + 9});
    }
    set_blocks(blocks);
    rk::sort_blocks(a, 0, 0);
    ASSERT_EQ(a.textrows.block_count, 40);
    Rows before, after;
    for (int i = 0; i < 40; ++i) {
        before.push_back({blocks[i].left, blocks[i].top, blocks[i].right, blocks[i].bottom});
        after.push_back(block(i));
    }
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
}

TEST_F(TextRows, OnlyAFragmentBelowAFifthOfTheBandJoinsTheCharacterAbove) {
    rktest::blank_bitmap(a, 200, 100);
    prepare_tables();
    set_blocks({{5, 36, 8, 74}, {11, 36, 14, 58}, {11, 62, 14, 66}, {17, 36, 20, 74}});
    rk::absorb_fragments(a);
    EXPECT_EQ(block(1), (Row{11, 36, 14, 66}));
    EXPECT_EQ(a.textrows.blocktable[2].left, -1);
    set_blocks({{5, 36, 8, 74}, {11, 36, 14, 58}, {11, 60, 14, 68}, {17, 36, 20, 74}});
    rk::absorb_fragments(a);  // 8 lines: not below a fifth of 38
    EXPECT_EQ((Rows{block(1), block(2)}), (Rows{{11, 36, 14, 58}, {11, 60, 14, 68}}));
}

TEST_F(TextRows, TwoMisalignedLinesEndTheColumnSearch) {
    rktest::blank_bitmap(a, 200, 100);
    prepare_tables();
    set_blocks({{2, 10, 9, 14}, {5, 20, 8, 24}, {6, 30, 9, 34}, {2, 40, 9, 44}, {2, 50, 9, 54},
                {30, 0, 40, 40}});
    EXPECT_FALSE(rk::in_text_column(a, 0));
}

TEST_F(TextRows, SplitNeedsATallWideBlockAndRoomForTheCuts) {
    barred_lines();
    int cuts[8] = {};
    ASSERT_EQ(rk::split_at_gaps(a, 24, 20, 208, 138, cuts, 8), 2);
    EXPECT_EQ((std::vector<int>{cuts[0], cuts[1], cuts[2]}), (std::vector<int>{20, 80, 138}));
    EXPECT_EQ(rk::split_at_gaps(a, 24, 20, 208, 138, cuts, 2), -1);  // no room for the cut
    EXPECT_EQ(rk::split_at_gaps(a, 24, 20, 208, 83, cuts, 8), 1);    // 63 lines
    EXPECT_EQ(cuts[1], 83);
    EXPECT_EQ(rk::split_at_gaps(a, 24, 20, 123, 138, cuts, 8), 1);  // 99 pixels
    EXPECT_EQ(rk::split_at_gaps(a, 0, 20, 400, 119, cuts, 8), 1);    // 400 wide, 99 high
}

TEST_F(TextRows, SplitLeavesTheBlockWhenThePiecesWouldNotFit) {
    barred_lines();
    prepare_tables();
    std::vector<rk::TextBlock> blocks(rk::kTextBlockCapacity - 1, rk::TextBlock{40, 0, 41, 4});
    blocks[0] = {3, 20, 25, 138};
    set_blocks(blocks);
    rk::split_blocks(a);
    ASSERT_EQ(a.textrows.block_count, rk::kTextBlockCapacity - 1);
    EXPECT_EQ(block(0), (Row{3, 20, 25, 138}));
    blocks.resize(4);
    set_blocks(blocks);
    rk::split_blocks(a);
    ASSERT_EQ(a.textrows.block_count, 5);
    EXPECT_EQ((Rows{block(0), block(1), block(4)}),
              (Rows{{3, 20, 25, 80}, {3, 80, 25, 138}, {40, 0, 41, 4}}));
}

}  // namespace
