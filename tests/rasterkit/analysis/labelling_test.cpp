// Component labelling: 8-connected runs, merged labels, the per-row index,
// the component table, the size filter, erasing and memory failures.
#include <gtest/gtest.h>

#include "bitmap_draw.h"
#include "labelling.h"
#include "zero_alloc.h"

namespace {

class Labelling : public ::testing::Test {
protected:
    rk::AnalysisInstance a;
    void TearDown() override {
        orvo::alloc_fail_at(0);
        rk::free_runs(a);
        rk::free_objectbitmap(a);
    }
    int label_at(int x, int y) {
        for (const rk::Run* r = a.runlist; r != nullptr; r = r->next)
            if (r->row == y && r->first <= x && x <= r->last) return r->label;
        return -2;
    }
};

TEST_F(Labelling, EmptyBitmapHasNoTable) {
    rktest::blank_bitmap(a, 10, 4);
    EXPECT_EQ(rk::label_bitmap(a, 0, 0, 9, 3), 1);
    EXPECT_EQ(a.runlist, nullptr);
    EXPECT_EQ(rk::build_component_table(a), 0);
    EXPECT_EQ(a.n_components, 0);
}

TEST_F(Labelling, FailsCleanlyWhenMemoryRunsOut) {
    rktest::bitmap_from(a, {"#.#", "###"});
    for (long k = 1; k <= 4; ++k) {
        orvo::alloc_fail_at(k);
        const int ok = rk::label_bitmap(a, 0, 0, 2, 1);
        const long made = orvo::alloc_count();
        orvo::alloc_fail_at(0);
        EXPECT_EQ(ok, k <= made ? 0 : 1) << k;
        if (k <= made) { EXPECT_TRUE(a.runlist == nullptr && a.rowindex == nullptr) << k; }
    }
    ASSERT_EQ(rk::label_bitmap(a, 0, 0, 2, 1), 1);
    orvo::alloc_fail_at(2);  // the table itself
    EXPECT_EQ(rk::build_component_table(a), 0);
    EXPECT_EQ(a.componenttable, nullptr);
}

TEST_F(Labelling, EraseComponentBlanksItsRunsOnce) {
    rktest::bitmap_from(a, {"##..#", "##..#"});
    ASSERT_EQ(rk::relabel(a), 1);
    rk::erase_component(a, 0);
    EXPECT_EQ(rktest::picture(a), (std::vector<std::string>{"....#", "....#"}));
    EXPECT_EQ(a.componenttable[0].index, -1);
    EXPECT_EQ(a.componenttable[0].width, 0);
    EXPECT_EQ(label_at(0, 0), -1);  // the run stays in the list, marked erased
    for (int c : {0, 1, 1}) rk::erase_component(a, c);
    EXPECT_EQ(a.n_components, 0);
}

TEST_F(Labelling, SizeFilterModeZeroKeepsTallBlobsAwayFromTheSides) {
    rktest::blank_bitmap(a, 80, 20);
    rktest::ink_rect(a, 2, 1, 7, 16);    // 6 x 16 = 96: kept
    rktest::ink_rect(a, 10, 1, 14, 16);  // 5 x 16 = 80
    rktest::ink_rect(a, 20, 1, 29, 15);  // 15 high
    rktest::ink_rect(a, 0, 1, 0, 18);    // touches the left side
    rktest::ink_rect(a, 79, 1, 79, 18);  // touches the right side
    rktest::ink_rect(a, 40, 0, 49, 19);  // 10 x 20: kept
    ASSERT_EQ(rk::relabel(a), 1);
    rk::filter_components(a, 0);
    EXPECT_EQ(a.n_components, 2);
    EXPECT_EQ(rktest::ink_count(a), 96 + 200);
}

TEST_F(Labelling, SizeFilterModeOneErasesOnlyBlobsTouchingTheSides) {
    rktest::blank_bitmap(a, 30, 10);
    rktest::ink_rect(a, 0, 2, 1, 3);
    rktest::ink_rect(a, 28, 2, 29, 3);
    rktest::ink_rect(a, 10, 2, 10, 2);
    ASSERT_EQ(rk::relabel(a), 1);
    rk::filter_components(a, 1);
    EXPECT_EQ(a.n_components, 1);
    EXPECT_EQ(rktest::ink_count(a), 1);
}

}  // namespace
