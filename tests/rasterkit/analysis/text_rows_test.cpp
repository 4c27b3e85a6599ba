// The text-row finder on drawn fields, its row cursor, table limits and memory failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>

#include "bitmap_draw.h"
#include "text_row_steps.h"
#include "text_rows.h"
#include "zero_alloc.h"

namespace {

using Row = std::array<int, 4>;  // left, top, right, bottom
using Rows = std::vector<Row>;

// Ink: n > 0 solid characters 16 wide at pitch r from x on lines t..b, or n == 0 one rectangle x..r, t..b.
struct Ink { int n, x, r, t, b; };

class TextRows : public ::testing::Test {
public:
    rk::AnalysisInstance a;

    void TearDown() override { reset(); }
    void reset() { orvo::alloc_fail_at(0); rk::release_text_rows(a); rk::free_objectbitmap(a); }
    void draw(int w, int h, const std::vector<Ink>& ink) {
        rktest::blank_bitmap(a, w, h);
        for (const Ink& k : ink)
            for (int i = 0; i < std::max(k.n, 1); ++i)
                if (k.n > 0) rktest::ink_rect(a, k.x + k.r * i, k.t, k.x + k.r * i + 15, k.b);
                else rktest::ink_rect(a, k.x, k.t, k.r, k.b);
    }
    int find() { return rk::find_text_rows(a, a.objectbitmap, a.BMP_lines, a.BMP_columns, a.BMP_bpl); }
    Row next() { Row r{}; rk::next_text_row(a, &r[0], &r[1], &r[2], &r[3]); return r; }
    Rows rows() {
        Rows out;
        a.textrows.row_cursor = -1;
        for (int i = 0; i < a.textrows.block_count; ++i) out.push_back(next());
        return out;
    }
    // 100 strokes one byte wide, three blank bytes apart, on lines t .. b.
    void strokes(int t, int b) { for (int k = 0; k < 100; ++k) rktest::ink_rect(a, 32 * k, t, 32 * k + 7, b); }
    // Tables for running single steps on the current bitmap.
    void prepare_tables() {
        rk::TextRowsState& s = a.textrows;
        using rk::TextBlock, rk::TextRun;
        s.blocktable = static_cast<TextBlock*>(orvo::zero_alloc_array(rk::kTextBlockCapacity, sizeof(TextBlock)));
        s.runtable = static_cast<TextRun*>(orvo::zero_alloc_array(rk::kTextRunCapacity, sizeof(TextRun)));
        ASSERT_TRUE(s.blocktable != nullptr && s.runtable != nullptr);
        for (int i = 0; i < rk::kTextRunCapacity; ++i) s.runtable[i].label = -1;
        s.block_count = 0;
        s.byte_end = a.BMP_columns / 8;
    }
    void set_blocks(const std::vector<rk::TextBlock>& b) {
        std::copy(b.begin(), b.end(), a.textrows.blocktable);
        a.textrows.block_count = static_cast<int>(b.size());
    }
    Row block(int i) const { const auto& b = a.textrows.blocktable[i]; return {b.left, b.top, b.right, b.bottom}; }
};

TEST_F(TextRows, FieldsGiveTheirRowsInReadingOrder) {
    const std::vector<Ink> frame_sides = {{0, 8, 391, 112, 115}, {0, 8, 11, 4, 115}, {0, 388, 391, 4, 115},
                                          {7, 40, 24, 40, 79}};
    std::vector<Ink> frame = frame_sides, beside{{10, 104, 24, 30, 79}}, above{{10, 104, 24, 70, 119}};
    frame.push_back({0, 8, 391, 4, 7});
    for (int y : {26, 42, 58, 74}) beside.push_back({0, 16, 79, y, y + 4});
    for (int y : {10, 26, 42, 58}) above.push_back({0, 16, 79, y, y + 4});
    const struct { const char* name; int w, h; std::vector<Ink> ink; Rows want; } cases[] = {
        {"blank", 400, 100, {}, {}},
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
        draw(c.w, c.h, c.ink);
        ASSERT_EQ(find(), static_cast<int>(c.want.size()));
        EXPECT_EQ(rows(), c.want);
        if (c.want.empty()) { EXPECT_EQ(a.textrows.runtable, nullptr); }
        reset();
    }
}

// Hostile ink: random pixels on an odd size, and a full block table.
TEST_F(TextRows, ScatteredInkAndAFullBlockTableStayInsideTheMargins) {
    rktest::blank_bitmap(a, 203, 77);
    std::uint32_t seed = 12345;
    for (int y = 0; y < 77; ++y)
        for (int x = 0; x < 203; ++x)
            if (((seed = seed * 1103515245u + 12345u) >> 16) % 5 == 0) rk::pixel_set_ink(a, x, y);
    ASSERT_GE(find(), 1);
    for (const Row& r : rows()) EXPECT_TRUE(r[0] >= 1 && r[1] >= 2 && r[2] <= 201 && r[3] <= 75);
    reset();
    rktest::blank_bitmap(a, 4096, 100);  // 25 lines of 85 blocks three bytes wide
    for (int y = 0; y < 100; y += 4)
        for (int k = 0; k < 85; ++k) rktest::ink_rect(a, 48 * k, y, 48 * k + 23, y);
    ASSERT_EQ(find(), rk::kTextBlockCapacity);
    for (const Row& r : rows()) ASSERT_TRUE(r[0] >= 1 && r[2] <= 4094 && r[1] >= 2 && r[3] <= 98);
}

TEST_F(TextRows, CursorRepeatsTheLastRowClampsCallerValuesAndEmptyHandsOutNothing) {
    draw(400, 140, {{7, 40, 24, 20, 59}, {5, 80, 24, 80, 119}});
    ASSERT_EQ(find(), 2);
    const Row upper{32, 18, 208, 60}, lower{72, 78, 200, 120};
    a.textrows.row_cursor = -1;
    EXPECT_EQ((Rows{next(), next(), next()}), (Rows{upper, lower, lower}));
    for (const auto& [cursor, want] : {std::pair{9, lower}, std::pair{-7, upper}, std::pair{0, lower}}) {
        a.textrows.row_cursor = cursor;
        EXPECT_EQ(next(), want) << cursor;
    }
    rk::free_objectbitmap(a);  // a fresh search replaces the rows of the last one
    draw(100, 40, {});
    ASSERT_EQ(find(), 0);
    Row r{-5, -5, -5, -5};
    rk::next_text_row(a, &r[0], &r[1], &r[2], &r[3]);
    EXPECT_EQ(r, (Row{-5, -5, -5, -5}));
    rk::release_text_rows(a);
    rk::release_text_rows(a);  // twice is harmless
    EXPECT_TRUE(a.textrows.blocktable == nullptr && a.textrows.block_count == 0);
}

TEST_F(TextRows, TableAllocationFailuresGiveTheirCodeAndFreeEverything) {
    for (const auto& [fail_at, code] : {std::pair{1, -2}, std::pair{2, -1}}) {
        draw(400, 100, {{7, 40, 24, 30, 69}});
        orvo::alloc_fail_at(fail_at);
        EXPECT_EQ(find(), code) << fail_at;
        const rk::TextRowsState& s = a.textrows;
        EXPECT_TRUE(s.blocktable == nullptr && s.runtable == nullptr && s.block_count == 0);
        reset();
    }
}

// A full run table: finished blocks closed and open runs kept; nothing finished or no memory to pack drops the runs.
TEST_F(TextRows, FullRunTable) {
    const struct { const char* name; bool split, no_memory; int count; std::vector<std::pair<int, Row>> want; } cases[] = {
        {"nothing finished", false, false, 100,
         {{0, {384, 80, 385, 98}}, {3, {396, 80, 397, 98}}, {4, {0, 82, 1, 98}}, {99, {380, 82, 381, 98}}}},
        {"finished closed, open kept", true, false, 200,
         {{0, {0, 0, 1, 28}}, {99, {396, 0, 397, 28}}, {100, {0, 40, 1, 98}}, {199, {396, 40, 397, 98}}}},
        {"no memory for packing", true, true, 100, {{0, {0, 0, 1, 28}}, {99, {396, 0, 397, 28}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        rktest::blank_bitmap(a, 3200, 100);
        strokes(c.split ? 40 : 0, 99);
        if (c.split) strokes(0, 29);
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

// The sort once looped for ever on blocks each above another.
TEST_F(TextRows, SortEndsOnBlocksEachAboveAnotherAndKeepsThemAll) {
    rktest::blank_bitmap(a, 200, 200);
    prepare_tables();
    std::vector<rk::TextBlock> blocks;
    for (int i = 0; i < 40; ++i) blocks.push_back({(i * 7) % 13, (i * 11) % 37, (i * 7) % 13 + 5, (i * 11) % 37 + 9});
    set_blocks(blocks);
    rk::sort_blocks(a, 0, 0);
    Rows before, after;
    for (const rk::TextBlock& b : blocks) before.push_back({b.left, b.top, b.right, b.bottom});
    for (int i = 0; i < a.textrows.block_count; ++i) after.push_back(block(i));
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
}

// Fragments fold into the block above or below them; two misaligned lines end a text column.
TEST_F(TextRows, FragmentJoinsTheBlockAboveAndMisalignedLinesEndAColumn) {
    rktest::blank_bitmap(a, 200, 100);
    prepare_tables();
    set_blocks({{5, 36, 8, 74}, {11, 36, 14, 58}, {11, 62, 14, 66}, {17, 36, 20, 74}});
    rk::absorb_fragments(a);
    EXPECT_TRUE(block(1) == (Row{11, 36, 14, 66}) && a.textrows.blocktable[2].left == -1);
    set_blocks({{2, 10, 9, 14}, {5, 20, 8, 24}, {6, 30, 9, 34}, {2, 40, 9, 44}, {2, 50, 9, 54}, {30, 0, 40, 40}});
    EXPECT_FALSE(rk::in_text_column(a, 0));
}

}  // namespace
