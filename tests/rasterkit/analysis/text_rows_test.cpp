// The text-row finder on drawn fields: one- and two-line plates, frames,
// fragments, a column of small print, ink between blocks, the full run
// and block tables, the row cursor and the memory failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
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
};

std::ostream& operator<<(std::ostream& os, const Row& r) {
    return os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

class TextRows : public ::testing::Test {
protected:
    rk::AnalysisInstance a;

    void TearDown() override {
        orvo::alloc_fail_at(0);
        rk::release_text_rows(a);
        rk::free_objectbitmap(a);
    }
    int find() { return rk::find_text_rows(a, a.objectbitmap, a.BMP_lines, a.BMP_columns, a.BMP_bpl); }
    std::vector<Row> rows() {
        std::vector<Row> out;
        a.textrows.row_cursor = -1;
        for (int i = 0; i < a.textrows.block_count; ++i) {
            Row r{};
            rk::next_text_row(a, &r.left, &r.top, &r.right, &r.bottom);
            out.push_back(r);
        }
        return out;
    }
    // `n` solid characters 16 wide at a pitch of `pitch` from column x, lines t..b.
    void characters(int n, int x, int pitch, int t, int b) {
        for (int i = 0; i < n; ++i) rktest::ink_rect(a, x + pitch * i, t, x + pitch * i + 15, b);
    }
    // Tables for running single steps on the current bitmap.
    void prepare_tables() {
        rk::TextRowsState& s = a.textrows;
        s.blocktable = static_cast<rk::TextBlock*>(orvo::zero_alloc_array(rk::kTextBlockCapacity, sizeof(rk::TextBlock)));
        s.runtable = static_cast<rk::TextRun*>(orvo::zero_alloc_array(rk::kTextRunCapacity, sizeof(rk::TextRun)));
        ASSERT_NE(s.blocktable, nullptr);
        ASSERT_NE(s.runtable, nullptr);
        for (int i = 0; i < rk::kTextRunCapacity; ++i) s.runtable[i].label = -1;
        s.block_count = 0;
        s.byte_end = a.BMP_columns / 8;
    }
    void set_blocks(const std::vector<rk::TextBlock>& blocks) {
        for (std::size_t i = 0; i < blocks.size(); ++i) a.textrows.blocktable[i] = blocks[i];
        a.textrows.block_count = static_cast<int>(blocks.size());
    }
    Row block(int i) const {
        const rk::TextBlock& b = a.textrows.blocktable[i];
        return {b.left, b.top, b.right, b.bottom};
    }
};

// ---- Whole fields ----

TEST_F(TextRows, BlankFieldHasNoRows) {
    rktest::blank_bitmap(a, 400, 100);
    EXPECT_EQ(find(), 0);
    EXPECT_EQ(a.textrows.row_cursor, -1);
    EXPECT_EQ(a.textrows.runtable, nullptr);
}

TEST_F(TextRows, OneLinePlateGivesOnePaddedRow) {
    rktest::blank_bitmap(a, 400, 100);
    characters(7, 40, 24, 30, 69);  // bytes 5 .. 24, sampled lines 30 .. 68
    ASSERT_EQ(find(), 1);
    EXPECT_EQ(rows(), (std::vector<Row>{{32, 28, 208, 70}}));
}

TEST_F(TextRows, WidelySpacedCharactersJoinIntoOneRow) {
    rktest::blank_bitmap(a, 400, 100);
    characters(4, 40, 48, 30, 69);  // four blocks two bytes wide, two blank bytes apart
    ASSERT_EQ(find(), 1);
    EXPECT_EQ(rows(), (std::vector<Row>{{32, 28, 208, 70}}));
}

TEST_F(TextRows, TwoLinePlateGivesUpperRowFirst) {
    rktest::blank_bitmap(a, 400, 140);
    characters(5, 80, 24, 80, 119);
    characters(7, 40, 24, 20, 59);
    ASSERT_EQ(find(), 2);
    EXPECT_EQ(rows(), (std::vector<Row>{{32, 18, 208, 60}, {72, 78, 200, 120}}));
}

TEST_F(TextRows, LinesJoinedByABarAreCutAtTheBlankBand) {
    rktest::blank_bitmap(a, 400, 160);
    characters(7, 40, 24, 20, 59);
    characters(7, 40, 24, 100, 139);
    rktest::ink_rect(a, 24, 20, 31, 139);  // a bolt joining both lines
    ASSERT_EQ(find(), 2);
    EXPECT_EQ(rows(), (std::vector<Row>{{16, 18, 208, 82}, {16, 78, 208, 140}}));
}

// A frame 4 pixels thick around the field, and a line of text inside it.
TEST_F(TextRows, FrameAroundThePlateIsDropped) {
    rktest::blank_bitmap(a, 400, 120);
    rktest::ink_rect(a, 8, 4, 391, 7);
    rktest::ink_rect(a, 8, 112, 391, 115);
    rktest::ink_rect(a, 8, 4, 11, 115);
    rktest::ink_rect(a, 388, 4, 391, 115);
    characters(7, 40, 24, 40, 79);
    ASSERT_EQ(find(), 1);
    EXPECT_EQ(rows(), (std::vector<Row>{{32, 38, 208, 80}}));
}

TEST_F(TextRows, EnclosingBlockOpenAtTheTopStaysAndItsContentGoes) {
    rktest::blank_bitmap(a, 400, 120);
    rktest::ink_rect(a, 8, 112, 391, 115);
    rktest::ink_rect(a, 8, 4, 11, 115);
    rktest::ink_rect(a, 388, 4, 391, 115);
    characters(7, 40, 24, 40, 79);
    ASSERT_EQ(find(), 1);
    EXPECT_EQ(rows(), (std::vector<Row>{{1, 2, 398, 116}}));
}

// Four short lines of small print left of the plate text stay four rows of
// their own. In reading order the plate text, which starts above the lowest
// small line and lies mostly above it, comes before that line.
TEST_F(TextRows, SmallPrintColumnIsKeptApart) {
    rktest::blank_bitmap(a, 480, 120);
    for (int t : {26, 42, 58, 74}) rktest::ink_rect(a, 16, t, 79, t + 4);  // bytes 2 .. 9
    characters(10, 104, 24, 30, 79);                                        // bytes 13 .. 41
    ASSERT_EQ(find(), 5);
    EXPECT_EQ(rows(), (std::vector<Row>{{8, 24, 88, 32},
                                        {8, 40, 88, 48},
                                        {8, 56, 88, 64},
                                        {96, 28, 344, 80},
                                        {8, 72, 88, 80}}));
}

// The same column with the plate text starting below the lowest small line:
// the whole column comes first, upper lines first.
TEST_F(TextRows, SmallPrintColumnAbovePlateTextComesFirst) {
    rktest::blank_bitmap(a, 480, 140);
    for (int t : {10, 26, 42, 58}) rktest::ink_rect(a, 16, t, 79, t + 4);  // bytes 2 .. 9
    characters(10, 104, 24, 70, 119);                                       // bytes 13 .. 41
    ASSERT_EQ(find(), 5);
    EXPECT_EQ(rows(), (std::vector<Row>{{8, 8, 88, 16},
                                        {8, 24, 88, 32},
                                        {8, 40, 88, 48},
                                        {8, 56, 88, 64},
                                        {96, 68, 344, 120}}));
}

TEST_F(TextRows, InkInTheGapKeepsNeighboursApart) {
    rktest::blank_bitmap(a, 400, 100);
    characters(1, 40, 0, 30, 69);   // bytes 5, 6
    characters(1, 112, 0, 30, 69);  // bytes 14, 15
    rktest::ink_rect(a, 80, 30, 87, 30);  // byte 10 on line 30
    rktest::ink_rect(a, 80, 49, 87, 49);  // and on line 49
    ASSERT_EQ(find(), 2);
    EXPECT_EQ(rows(), (std::vector<Row>{{32, 28, 64, 70}, {104, 28, 136, 70}}));
}

TEST_F(TextRows, WithoutInkInTheGapNeighboursJoin) {
    rktest::blank_bitmap(a, 400, 100);
    characters(1, 40, 0, 30, 69);
    characters(1, 112, 0, 30, 69);
    ASSERT_EQ(find(), 1);
    EXPECT_EQ(rows(), (std::vector<Row>{{32, 28, 136, 70}}));
}

TEST_F(TextRows, RowsStayInsideTheMargins) {
    // All ink, and then a scatter of ink, on fields of odd sizes.
    rktest::blank_bitmap(a, 100, 40);
    rktest::ink_rect(a, 0, 0, 99, 39);
    ASSERT_EQ(find(), 1);
    EXPECT_EQ(rows(), (std::vector<Row>{{1, 2, 98, 38}}));
    rk::release_text_rows(a);
    rk::free_objectbitmap(a);

    rktest::blank_bitmap(a, 203, 77);
    std::uint32_t seed = 12345;
    for (int y = 0; y < 77; ++y)
        for (int x = 0; x < 203; ++x) {
            seed = seed * 1103515245u + 12345u;
            if ((seed >> 16) % 5 == 0) rk::pixel_set_ink(a, x, y);
        }
    const int n = find();
    ASSERT_GE(n, 1);
    for (const Row& r : rows()) {
        EXPECT_GE(r.left, 1) << r;
        EXPECT_GE(r.top, 2) << r;
        EXPECT_LE(r.right, 203 - 2) << r;
        EXPECT_LE(r.bottom, 77 - 2) << r;
    }
}

TEST_F(TextRows, FullBlockTableGivesItsCapacity) {
    // 25 lines of 85 blocks, each three bytes wide on one sampled line.
    rktest::blank_bitmap(a, 4096, 100);
    for (int y = 0; y < 100; y += 4)
        for (int k = 0; k < 85; ++k) rktest::ink_rect(a, 48 * k, y, 48 * k + 23, y);
    ASSERT_EQ(find(), rk::kTextBlockCapacity);
    for (const Row& r : rows()) {
        ASSERT_GE(r.left, 1);
        ASSERT_LE(r.right, 4094);
        ASSERT_GE(r.top, 2);
        ASSERT_LE(r.bottom, 98);
    }
}

// ---- The row cursor ----

TEST_F(TextRows, AskingBeyondTheLastRowRepeatsIt) {
    rktest::blank_bitmap(a, 400, 140);
    characters(7, 40, 24, 20, 59);
    characters(5, 80, 24, 80, 119);
    ASSERT_EQ(find(), 2);
    std::vector<Row> got;
    for (int i = 0; i < 4; ++i) {
        Row r{};
        rk::next_text_row(a, &r.left, &r.top, &r.right, &r.bottom);
        got.push_back(r);
    }
    const Row upper{32, 18, 208, 60};
    const Row lower{72, 78, 200, 120};
    EXPECT_EQ(got, (std::vector<Row>{upper, lower, lower, lower}));

    Row r{};
    a.textrows.row_cursor = 9;  // set past the rows by a caller
    rk::next_text_row(a, &r.left, &r.top, &r.right, &r.bottom);
    EXPECT_EQ(r, lower);
    a.textrows.row_cursor = -7;
    rk::next_text_row(a, &r.left, &r.top, &r.right, &r.bottom);
    EXPECT_EQ(r, upper);
    a.textrows.row_cursor = 0;  // wanting row 1
    rk::next_text_row(a, &r.left, &r.top, &r.right, &r.bottom);
    EXPECT_EQ(r, lower);
}

TEST_F(TextRows, WithoutRowsNothingIsHandedOut) {
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

// ---- Memory ----

TEST_F(TextRows, RowTableFailureGivesMinusTwo) {
    rktest::blank_bitmap(a, 400, 100);
    characters(7, 40, 24, 30, 69);
    orvo::alloc_fail_at(1);
    EXPECT_EQ(find(), -2);
    EXPECT_EQ(a.textrows.blocktable, nullptr);
    EXPECT_EQ(a.textrows.block_count, 0);
}

TEST_F(TextRows, RunTableFailureGivesMinusOneAndFreesTheRowTable) {
    rktest::blank_bitmap(a, 400, 100);
    characters(7, 40, 24, 30, 69);
    orvo::alloc_fail_at(2);
    EXPECT_EQ(find(), -1);
    EXPECT_EQ(a.textrows.blocktable, nullptr);
    EXPECT_EQ(a.textrows.runtable, nullptr);
    EXPECT_EQ(a.textrows.block_count, 0);
}

TEST_F(TextRows, AFreshSearchReplacesTheRowsOfTheLastOne) {
    rktest::blank_bitmap(a, 400, 140);
    characters(7, 40, 24, 20, 59);
    characters(5, 80, 24, 80, 119);
    ASSERT_EQ(find(), 2);
    rk::free_objectbitmap(a);
    rktest::blank_bitmap(a, 400, 100);
    characters(7, 40, 24, 30, 69);
    ASSERT_EQ(find(), 1);
    EXPECT_EQ(rows(), (std::vector<Row>{{32, 28, 208, 70}}));
}

// ---- Single steps ----

TEST_F(TextRows, BlockSizeLimits) {
    rktest::blank_bitmap(a, 200, 402);
    rktest::ink_rect(a, 8, 0, 23, 12);    // 2 bytes, 12 lines: no block
    rktest::ink_rect(a, 48, 0, 71, 12);   // 3 bytes, 12 lines
    rktest::ink_rect(a, 96, 0, 111, 14);  // 2 bytes, 14 lines
    rktest::ink_rect(a, 136, 0, 143, 400);  // 400 lines: no block
    rktest::ink_rect(a, 168, 0, 175, 398);  // 398 lines
    prepare_tables();
    rk::scan_runs(a);
    EXPECT_EQ(rk::close_blocks(a, a.BMP_lines), 5);
    ASSERT_EQ(a.textrows.block_count, 3);
    EXPECT_EQ(block(0), (Row{6, 0, 9, 12}));
    EXPECT_EQ(block(1), (Row{12, 0, 14, 14}));
    EXPECT_EQ(block(2), (Row{21, 0, 22, 398}));
}

// 100 strokes one byte wide, three blank bytes apart, on lines t .. b.
void strokes(rk::AnalysisInstance& a, int t, int b) {
    for (int k = 0; k < 100; ++k) rktest::ink_rect(a, 32 * k, t, 32 * k + 7, b);
}

TEST_F(TextRows, FullRunTableWithNothingFinishedDropsTheRuns) {
    // 50 sampled lines of 100 runs: the table fills on line 80 with the
    // 96th stroke, when no stroke has ended yet.
    rktest::blank_bitmap(a, 3200, 100);
    strokes(a, 0, 99);
    prepare_tables();
    rk::scan_runs(a);
    rk::close_blocks(a, a.BMP_lines);
    ASSERT_EQ(a.textrows.block_count, 100);
    EXPECT_EQ(block(0), (Row{384, 80, 385, 98}));  // strokes 96 .. 99 go on from line 80
    EXPECT_EQ(block(3), (Row{396, 80, 397, 98}));
    EXPECT_EQ(block(4), (Row{0, 82, 1, 98}));      // the others from line 82
    EXPECT_EQ(block(99), (Row{380, 82, 381, 98}));
}

TEST_F(TextRows, FullRunTableClosesFinishedBlocksAndKeepsOpenRuns) {
    rktest::blank_bitmap(a, 3200, 100);
    strokes(a, 0, 29);   // 1500 runs, finished by line 30
    strokes(a, 40, 99);  // 3000 runs; the table fills on line 90
    prepare_tables();
    rk::scan_runs(a);
    EXPECT_EQ(a.textrows.block_count, 100);  // closed when the table filled
    rk::close_blocks(a, a.BMP_lines);
    ASSERT_EQ(a.textrows.block_count, 200);
    EXPECT_EQ(block(0), (Row{0, 0, 1, 28}));
    EXPECT_EQ(block(99), (Row{396, 0, 397, 28}));
    EXPECT_EQ(block(100), (Row{0, 40, 1, 98}));
    EXPECT_EQ(block(199), (Row{396, 40, 397, 98}));
}

TEST_F(TextRows, FullRunTableWithoutMemoryForPackingKeepsTheClosedBlocks) {
    rktest::blank_bitmap(a, 3200, 100);
    strokes(a, 0, 29);
    strokes(a, 40, 99);
    prepare_tables();
    orvo::alloc_fail_at(1);  // the packed table
    rk::scan_runs(a);
    rk::close_blocks(a, a.BMP_lines);
    // The first lines' blocks stay; the second ones lose their runs up to
    // line 90 and what is left of them is too small for a block.
    ASSERT_EQ(a.textrows.block_count, 100);
    EXPECT_EQ(block(0), (Row{0, 0, 1, 28}));
    EXPECT_EQ(block(99), (Row{396, 0, 397, 28}));
}

TEST_F(TextRows, CloseStopsAtAFullBlockTable) {
    rktest::blank_bitmap(a, 4096, 100);
    for (int y = 0; y < 100; y += 4)
        for (int k = 0; k < 85; ++k) rktest::ink_rect(a, 48 * k, y, 48 * k + 23, y);
    prepare_tables();
    rk::scan_runs(a);
    EXPECT_EQ(rk::close_blocks(a, a.BMP_lines), rk::kTextBlockCapacity);
    EXPECT_EQ(a.textrows.block_count, rk::kTextBlockCapacity);
    EXPECT_EQ(block(2047), (Row{42, 96, 45, 96}));  // 24 full lines, then 8 of the last
}

TEST_F(TextRows, SortPutsUpperBlocksFirst) {
    rktest::blank_bitmap(a, 200, 60);
    prepare_tables();
    set_blocks({{10, 0, 14, 20}, {0, 30, 4, 50}, {0, 0, 4, 20}});
    rk::sort_blocks(a, 0, 0);
    EXPECT_EQ(block(0), (Row{0, 0, 4, 20}));
    EXPECT_EQ(block(1), (Row{10, 0, 14, 20}));  // above the block of the same column below
    EXPECT_EQ(block(2), (Row{0, 30, 4, 50}));
}

TEST_F(TextRows, SortEndsOnBlocksEachAboveAnother) {
    // Overlapping blocks climbing over one another in both directions.
    rktest::blank_bitmap(a, 200, 200);
    prepare_tables();
    std::vector<rk::TextBlock> blocks;
    for (int i = 0; i < 40; ++i) blocks.push_back({(i * 7) % 13, (i * 11) % 37, (i * 7) % 13 + 5, (i * 11) % 37 + 9});
    set_blocks(blocks);
    rk::sort_blocks(a, 0, 0);
    ASSERT_EQ(a.textrows.block_count, 40);
    // The same blocks, only in another order.
    auto as_rows = [](const std::vector<rk::TextBlock>& v) {
        std::vector<Row> r;
        for (const auto& b : v) r.push_back({b.left, b.top, b.right, b.bottom});
        std::sort(r.begin(), r.end(), [](const Row& x, const Row& y) {
            return std::tie(x.left, x.top, x.right, x.bottom) < std::tie(y.left, y.top, y.right, y.bottom);
        });
        return r;
    };
    const std::vector<rk::TextBlock> after(a.textrows.blocktable, a.textrows.blocktable + 40);
    EXPECT_EQ(as_rows(after), as_rows(blocks));
}

TEST_F(TextRows, SmallFragmentJoinsTheCharacterAboveIt) {
    rktest::blank_bitmap(a, 200, 100);
    prepare_tables();
    set_blocks({{5, 36, 8, 74}, {11, 36, 14, 58}, {11, 62, 14, 66}, {17, 36, 20, 74}});
    rk::absorb_fragments(a);
    EXPECT_EQ(block(1), (Row{11, 36, 14, 66}));
    EXPECT_EQ(a.textrows.blocktable[2].left, -1);
    EXPECT_EQ(block(0), (Row{5, 36, 8, 74}));
    EXPECT_EQ(block(3), (Row{17, 36, 20, 74}));
}

TEST_F(TextRows, TallerPieceIsNotAFragment) {
    rktest::blank_bitmap(a, 200, 100);
    prepare_tables();
    set_blocks({{5, 36, 8, 74}, {11, 36, 14, 58}, {11, 60, 14, 68}, {17, 36, 20, 74}});
    rk::absorb_fragments(a);  // 8 lines: not below a fifth of the band's 38
    EXPECT_EQ(block(1), (Row{11, 36, 14, 58}));
    EXPECT_EQ(block(2), (Row{11, 60, 14, 68}));
}

TEST_F(TextRows, ThreeAlignedLinesMakeAColumn) {
    rktest::blank_bitmap(a, 200, 100);
    prepare_tables();
    set_blocks({{2, 10, 9, 14}, {3, 20, 8, 24}, {2, 30, 7, 34}, {2, 40, 9, 44}, {30, 0, 40, 40}});
    EXPECT_TRUE(rk::in_text_column(a, 0));
    EXPECT_TRUE(rk::in_text_column(a, 3));
    EXPECT_FALSE(rk::in_text_column(a, 4));
    EXPECT_TRUE(rk::beside_text_column(a, 4));
    EXPECT_TRUE(rk::column_between(a, 3, 4));
    // Two misaligned lines end the search.
    set_blocks({{2, 10, 9, 14}, {5, 20, 8, 24}, {6, 30, 9, 34}, {2, 40, 9, 44}, {2, 50, 9, 54}, {30, 0, 40, 40}});
    EXPECT_FALSE(rk::in_text_column(a, 0));
}

TEST_F(TextRows, SplitNeedsATallWideEnoughBlock) {
    rktest::blank_bitmap(a, 400, 160);
    characters(7, 40, 24, 20, 59);
    characters(7, 40, 24, 100, 139);
    rktest::ink_rect(a, 24, 20, 31, 139);
    int cuts[8] = {};
    ASSERT_EQ(rk::split_at_gaps(a, 24, 20, 208, 138, cuts, 8), 2);
    EXPECT_EQ(cuts[0], 20);
    EXPECT_EQ(cuts[1], 80);
    EXPECT_EQ(cuts[2], 138);
    EXPECT_EQ(rk::split_at_gaps(a, 24, 20, 208, 138, cuts, 2), -1);  // no room for the cut
    EXPECT_EQ(rk::split_at_gaps(a, 24, 20, 208, 83, cuts, 8), 1);    // 63 lines
    EXPECT_EQ(cuts[1], 83);
    EXPECT_EQ(rk::split_at_gaps(a, 24, 20, 123, 138, cuts, 8), 1);   // 99 pixels
    EXPECT_EQ(rk::split_at_gaps(a, 0, 20, 400, 119, cuts, 8), 1);    // 400 wide, 99 high
}

TEST_F(TextRows, SplitStopsWhenThePiecesWouldNotFit) {
    rktest::blank_bitmap(a, 400, 160);
    characters(7, 40, 24, 20, 59);
    characters(7, 40, 24, 100, 139);
    rktest::ink_rect(a, 24, 20, 31, 139);
    prepare_tables();
    std::vector<rk::TextBlock> blocks(rk::kTextBlockCapacity - 1, rk::TextBlock{40, 0, 41, 4});
    blocks[0] = {3, 20, 25, 138};  // splits in two
    set_blocks(blocks);
    rk::split_blocks(a);
    ASSERT_EQ(a.textrows.block_count, rk::kTextBlockCapacity - 1);
    EXPECT_EQ(block(0), (Row{3, 20, 25, 138}));  // no room: left as it was
    EXPECT_EQ(block(1), (Row{40, 0, 41, 4}));

    blocks.resize(4);
    set_blocks(blocks);
    rk::split_blocks(a);
    ASSERT_EQ(a.textrows.block_count, 5);
    EXPECT_EQ(block(0), (Row{3, 20, 25, 80}));
    EXPECT_EQ(block(1), (Row{3, 80, 25, 138}));
    EXPECT_EQ(block(4), (Row{40, 0, 41, 4}));
}

}  // namespace
