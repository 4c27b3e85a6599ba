// Component labelling: erasing a component (the blob and skew tests run the rest, with its memory failures).
#include <gtest/gtest.h>

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

}  // namespace
