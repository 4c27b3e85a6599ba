// The results list: candidates pushed at the head, cursor navigation in
// both directions, hit tests, release, and the exported functions working
// on the exported list.
#include <gtest/gtest.h>

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
    void three() {
        rk::add_candidate(a, 0, 0, 49, 19);     // A
        rk::add_candidate(a, 100, 0, 149, 19);  // B
        rk::add_candidate(a, 200, 0, 249, 19);  // C
    }
    seg_result* nth(int i) {
        seg_result* r = a.results;
        while (i-- > 0) r = r->next;
        return r;
    }
};

TEST_F(ResultsList, AddCandidatePushesAtTheHeadWithItsSizes) {
    rk::add_candidate(a, 10, 20, 18, 30);
    rk::add_candidate(a, 0, 0, 7, 3);
    ASSERT_EQ(rk::results_number(a), 2);
    const seg_result* r = a.results;
    EXPECT_EQ(r->right, 7);
    const seg_result* s = r->next;
    EXPECT_EQ(s->left, 10);
    EXPECT_EQ(s->top, 20);
    EXPECT_EQ(s->right, 18);
    EXPECT_EQ(s->bottom, 30);
    EXPECT_EQ(s->columns, 9);
    EXPECT_EQ(s->lines, 11);
    EXPECT_EQ(s->bpl, 2);
    EXPECT_EQ(s->bitmap, nullptr);
    EXPECT_EQ(s->text[0], 0);
    EXPECT_EQ(s->next, nullptr);
}

TEST_F(ResultsList, AddCandidateDropsTheRecordWhenMemoryRunsOut) {
    rk::add_candidate(a, 0, 0, 9, 9);
    orvo::alloc_fail_at(1);
    rk::add_candidate(a, 20, 0, 29, 9);
    EXPECT_EQ(rk::results_number(a), 1);
    EXPECT_EQ(a.results->left, 0);
}

TEST_F(ResultsList, EmptyListCountsZeroAndSelectsNothing) {
    EXPECT_EQ(rk::results_number(a), 0);
    seg_result* cursor = nullptr;
    EXPECT_EQ(rk::get_result(a, 1, &cursor), 0);
    EXPECT_EQ(rk::get_result(a, 0, &cursor), 0);
    EXPECT_EQ(cursor, nullptr);
    EXPECT_EQ(a.objectbitmap, nullptr);
    EXPECT_EQ(rk::select_bmap(a, 0, 0), nullptr);
}

TEST_F(ResultsList, StartingCallWithOneRecordLoadsItAndReportsTheEnd) {
    rk::add_candidate(a, 0, 0, 15, 9);
    a.results->bitmap = static_cast<unsigned char*>(orvo::zero_alloc(20));
    seg_result* cursor = nullptr;
    EXPECT_EQ(rk::get_result(a, 1, &cursor), 0);
    EXPECT_EQ(cursor, a.results);
    EXPECT_EQ(a.objectbitmap, a.results->bitmap);
    EXPECT_EQ(a.BMP_lines, 10);
    EXPECT_EQ(a.BMP_columns, 16);
    EXPECT_EQ(a.BMP_bpl, 2);
    EXPECT_EQ(a.bmp_size, 20);
}

TEST_F(ResultsList, ForwardWalksToTheLastAndStaysThere) {
    three();
    seg_result* cursor = nullptr;
    EXPECT_EQ(rk::get_result(a, 1, &cursor), 1);
    EXPECT_EQ(cursor, nth(0));
    EXPECT_EQ(rk::get_result(a, 5, &cursor), 1);
    EXPECT_EQ(cursor, nth(1));
    EXPECT_EQ(rk::get_result(a, 1, &cursor), 0);
    EXPECT_EQ(cursor, nth(2));
    EXPECT_EQ(rk::get_result(a, 1, &cursor), 0);
    EXPECT_EQ(cursor, nth(2));
    EXPECT_EQ(a.BMP_columns, 50);
}

TEST_F(ResultsList, BackwardWalksToTheFirstAndStaysThere) {
    three();
    seg_result* cursor = nth(2);
    EXPECT_EQ(rk::get_result(a, 0, &cursor), 1);
    EXPECT_EQ(cursor, nth(1));
    EXPECT_EQ(rk::get_result(a, 0, &cursor), 0);
    EXPECT_EQ(cursor, nth(0));
    EXPECT_EQ(rk::get_result(a, 0, &cursor), 0);
    EXPECT_EQ(cursor, nth(0));
    // A backward starting call selects the first record.
    cursor = nullptr;
    EXPECT_EQ(rk::get_result(a, 0, &cursor), 0);
    EXPECT_EQ(cursor, nth(0));
}

TEST_F(ResultsList, BackwardFromACursorOutsideTheListChangesNothing) {
    three();
    seg_result stranger{};
    seg_result* cursor = &stranger;
    a.objectbitmap = nullptr;
    a.BMP_columns = 7;
    EXPECT_EQ(rk::get_result(a, 0, &cursor), 1);
    EXPECT_EQ(cursor, &stranger);
    EXPECT_EQ(a.BMP_columns, 7);
}

TEST_F(ResultsList, SelectBmapHitsOneFieldIncludingItsRightAndBottomEdges) {
    three();
    EXPECT_EQ(rk::select_bmap(a, 149, 19), nth(1));
    EXPECT_EQ(a.BMP_columns, 50);
    EXPECT_EQ(rk::select_bmap(a, 200, 0), nth(0));
    EXPECT_EQ(rk::select_bmap(a, 150, 10), nullptr);
    EXPECT_EQ(rk::select_bmap(a, 120, 20), nullptr);
}

TEST_F(ResultsList, SelectBmapOnTwoOverlappingFieldsSelectsNothing) {
    rk::add_candidate(a, 0, 0, 100, 50);
    rk::add_candidate(a, 50, 25, 150, 75);
    a.BMP_columns = 3;
    EXPECT_EQ(rk::select_bmap(a, 60, 30), nullptr);
    EXPECT_EQ(a.BMP_columns, 3);
    EXPECT_EQ(rk::select_bmap(a, 10, 10), a.results->next);
}

TEST_F(ResultsList, ClearFreesEverythingAndTwiceIsHarmless) {
    three();
    a.results->bitmap = static_cast<unsigned char*>(orvo::zero_alloc(8));
    seg_result* cursor = nullptr;
    rk::get_result(a, 1, &cursor);
    unsigned char* selected = a.objectbitmap;
    rk::clear_results(a);
    EXPECT_EQ(a.results, nullptr);
    EXPECT_EQ(a.objectbitmap, selected);  // the selection variables are not touched
    rk::clear_results(a);
    EXPECT_EQ(rk::results_number(a), 0);
    a.objectbitmap = nullptr;
}

TEST(ResultsOfTheMainInstance, LiveInTheExportedVariables) {
    rk::AnalysisInstance& m = rk::main_instance();
    EXPECT_TRUE(m.is_main());
    ASSERT_EQ(::results, nullptr);
    rk::add_candidate(m, 5, 5, 20, 8);
    rk::add_candidate(m, 30, 5, 40, 8);
    ASSERT_NE(::results, nullptr);
    EXPECT_EQ(::results->left, 30);
    EXPECT_EQ(SEG_get_results_number(), 2);
    seg_result* cursor = nullptr;
    EXPECT_EQ(SEG_get_result(1, &cursor), 1);
    EXPECT_EQ(::BMP_columns, 11);
    EXPECT_EQ(SEG_get_result(1, &cursor), 0);
    EXPECT_EQ(::BMP_columns, 16);
    EXPECT_EQ(::BMP_lines, 4);
    EXPECT_EQ(::BMP_bpl, 2);
    EXPECT_EQ(SEG_select_bmap(35, 6), ::results);
    EXPECT_EQ(::BMP_columns, 11);
    SEG_clear_analysis_results();
    EXPECT_EQ(::results, nullptr);
    EXPECT_EQ(SEG_get_results_number(), 0);
    SEG_clear_analysis_results();
}

TEST(ResultsOfAWorkerInstance, StayOutOfTheExportedVariables) {
    rk::AnalysisInstance w;
    EXPECT_FALSE(w.is_main());
    rk::add_candidate(w, 0, 0, 9, 9);
    EXPECT_EQ(::results, nullptr);
    EXPECT_EQ(rk::results_number(w), 1);
    seg_result* cursor = nullptr;
    ::BMP_columns = 0;
    rk::get_result(w, 1, &cursor);
    EXPECT_EQ(w.BMP_columns, 10);
    EXPECT_EQ(::BMP_columns, 0);
    // The worker's destructor frees its list.
}

}  // namespace
