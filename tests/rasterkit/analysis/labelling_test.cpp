// Component labelling: erasing and the size filter of each mode (the skew tests walk its memory failures).
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "bitmap_draw.h"
#include "labelling.h"
#include "zero_alloc.h"

namespace {

class Labelling : public ::testing::Test {
protected:
    rk::AnalysisInstance a;
    void TearDown() override { orvo::alloc_fail_at(0); rk::free_runs(a); rk::free_objectbitmap(a); }
};

TEST_F(Labelling, EraseComponentBlanksItsRunsOnce) {
    rktest::blank_bitmap(a, 5, 2);
    rktest::ink_rect(a, 0, 0, 1, 1);
    rktest::ink_rect(a, 4, 0, 4, 1);
    ASSERT_EQ(rk::relabel(a), 1);
    rk::erase_component(a, 0);
    EXPECT_EQ(rktest::picture(a), (std::vector<std::string>{"....#", "....#"}));
    EXPECT_TRUE(a.componenttable[0].index == -1 && a.componenttable[0].width == 0);
    const rk::Run* run = a.runlist;  // the run stays in the list, marked erased
    while (run != nullptr && (run->row != 0 || run->first != 0)) run = run->next;
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->label, -1);
    for (int c : {0, 1, 1}) rk::erase_component(a, c);
    EXPECT_EQ(a.n_components, 0);
}

// Mode 0 keeps blobs at least 16 high and 96 large away from the sides; mode 1 only erases those at the sides.
TEST_F(Labelling, SizeFilterOfEachMode) {
    rktest::blank_bitmap(a, 80, 20);
    for (const auto& [l, t, r, b] : {std::array{2, 1, 7, 16}, std::array{10, 1, 14, 16}, std::array{20, 1, 29, 15},
                                     std::array{0, 1, 0, 18}, std::array{79, 1, 79, 18}, std::array{40, 0, 49, 19}})
        rktest::ink_rect(a, l, t, r, b);
    ASSERT_EQ(rk::relabel(a), 1);
    rk::filter_components(a, 0);
    EXPECT_EQ(a.n_components, 2);
    EXPECT_EQ(rktest::ink_count(a), 96 + 200);
    rk::free_runs(a);
    rk::free_objectbitmap(a);
    rktest::blank_bitmap(a, 30, 10);
    for (const auto& [l, r] : {std::pair{0, 1}, std::pair{28, 29}, std::pair{10, 10}}) rktest::ink_rect(a, l, 2, r, 2 + (l != 10));
    ASSERT_EQ(rk::relabel(a), 1);
    rk::filter_components(a, 1);
    EXPECT_EQ(a.n_components, 1);
    EXPECT_EQ(rktest::ink_count(a), 1);
}

}  // namespace
