// The results list: insertion, cursor, hit tests, release, and the exported functions on the main instance.
#include <gtest/gtest.h>

#include <vector>

#include "instance.h"
#include "rasterkit.h"
#include "results.h"
#include "zero_alloc.h"

namespace {

class ResultsList : public ::testing::Test {
protected:
    rk::AnalysisInstance a;
    void TearDown() override { orvo::alloc_fail_at(0); }
    // Three records, first to last: C (200..), B (100..), A (0..).
    void three() { for (int l : {0, 100, 200}) rk::add_candidate(a, l, 0, l + 49, 19); }
    seg_result* nth(int i) { seg_result* r = a.results; while (i-- > 0) r = r->next; return r; }
    std::vector<int> sizes() const { return {a.BMP_lines, a.BMP_columns, a.BMP_bpl, a.bmp_size}; }
};

TEST_F(ResultsList, CursorSelectsAndStaysAtEitherEndFromEmptySingleAndLongerLists) {
    seg_result* cursor = nullptr;
    EXPECT_TRUE(rk::get_result(a, 1, &cursor) == 0 && rk::get_result(a, 0, &cursor) == 0 && cursor == nullptr);
    rk::add_candidate(a, 0, 0, 15, 9);
    a.results->bitmap = static_cast<unsigned char*>(orvo::zero_alloc(20));
    EXPECT_EQ(rk::get_result(a, 1, &cursor), 0);
    EXPECT_TRUE(cursor == a.results && a.objectbitmap == a.results->bitmap);
    EXPECT_EQ(sizes(), (std::vector<int>{10, 16, 2, 20}));
    const unsigned char* selected = a.objectbitmap;
    rk::clear_results(a);
    rk::clear_results(a);  // twice is harmless, and the selection is kept
    EXPECT_TRUE(a.results == nullptr && a.objectbitmap == selected);
    a.objectbitmap = nullptr;
    three();
    cursor = nullptr;
    const struct { int forward, more, at; } steps[] = {{1, 1, 0}, {5, 1, 1}, {1, 0, 2}, {1, 0, 2}, {0, 1, 1}, {0, 0, 0}, {0, 0, 0}};
    for (const auto& s : steps)
        EXPECT_TRUE(rk::get_result(a, s.forward, &cursor) == s.more && cursor == nth(s.at)) << s.forward << s.at;
    cursor = nullptr;  // a backward starting call selects the first record
    EXPECT_TRUE(rk::get_result(a, 0, &cursor) == 0 && cursor == nth(0));
    seg_result stranger{};  // backward from outside the list changes nothing
    cursor = &stranger;
    a.BMP_columns = 7;
    EXPECT_EQ(rk::get_result(a, 0, &cursor), 1);
    EXPECT_TRUE(cursor == &stranger && a.BMP_columns == 7);
}

// A hit takes the field's bitmap sizes; an overlap of two fields selects none.
TEST_F(ResultsList, SelectBmapHitsOneFieldWithItsEdgesAndNotAnOverlap) {
    EXPECT_EQ(rk::select_bmap(a, 0, 0), nullptr);
    three();
    EXPECT_TRUE(rk::select_bmap(a, 149, 19) == nth(1) && a.BMP_columns == 50 && rk::select_bmap(a, 200, 0) == nth(0));
    EXPECT_TRUE(rk::select_bmap(a, 150, 10) == nullptr && rk::select_bmap(a, 120, 20) == nullptr);
    rk::add_candidate(a, 0, 30, 100, 80);
    rk::add_candidate(a, 50, 55, 150, 105);
    EXPECT_TRUE(rk::select_bmap(a, 60, 60) == nullptr && a.BMP_columns == 50);
    EXPECT_EQ(rk::select_bmap(a, 10, 40), a.results->next);
}

TEST(ResultsOfTheMainInstance, LiveInTheExportedVariablesAndAWorkersDoNot) {
    ASSERT_EQ(::results, nullptr);
    rk::add_candidate(rk::main_instance(), 5, 5, 20, 8);
    rk::add_candidate(rk::main_instance(), 30, 5, 40, 8);
    EXPECT_EQ(SEG_get_results_number(), 2);
    seg_result* cursor = nullptr;
    EXPECT_EQ(SEG_get_result(1, &cursor), 1);
    EXPECT_EQ(::BMP_columns, 11);
    EXPECT_EQ(SEG_get_result(1, &cursor), 0);
    EXPECT_EQ((std::vector<int>{::BMP_columns, ::BMP_lines, ::BMP_bpl}), (std::vector<int>{16, 4, 2}));
    EXPECT_EQ(SEG_select_bmap(35, 6), ::results);
    SEG_clear_analysis_results();
    EXPECT_EQ(::results, nullptr);
    EXPECT_EQ(SEG_get_results_number(), 0);
    rk::AnalysisInstance w;
    rk::add_candidate(w, 0, 0, 9, 9);
    ::BMP_columns = 0;
    cursor = nullptr;
    rk::get_result(w, 1, &cursor);
    EXPECT_TRUE(::results == nullptr && w.BMP_columns == 10 && ::BMP_columns == 0);
}

}  // namespace
