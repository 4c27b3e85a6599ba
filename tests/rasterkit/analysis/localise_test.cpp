// Candidate localisation: candidates without characters or out of the page dropped, every failed allocation.
#include <gtest/gtest.h>

#include "gray_page_fixture.h"
#include "localise.h"
#include "results.h"
#include "zero_alloc.h"

namespace {

class Localise : public rktest::OnGrayPage {
protected:
    Localise() : OnGrayPage(400, 200) {}
    // A light plate of w x h at (l, t) with seven outlined characters of cw x ch.
    void plate(int l, int t, int w, int h, int cw = 16, int ch = 30, int pitch = 25) {
        g.fill(l, t, l + w - 1, t + h - 1, 225);
        for (int i = 0; i < 7; ++i) outlined_char(l + 10 + pitch * i, t + (h - ch) / 2, cw, ch);
    }
};

TEST_F(Localise, PlateWithoutCharactersOrReachingOutOfThePageIsDropped) {
    g.fill(100, 60, 289, 109, 225);
    rk::add_candidate(a, 100, 60, 289, 109);
    rk::add_candidate(a, 10, 150, 90, 190);
    rk::locate_candidates(a);
    EXPECT_EQ(a.results, nullptr);
    plate(100, 60, 190, 50);
    rk::add_candidate(a, 100, 60, 289, 109);
    a.results->right = 400;  // one column past the page
    rk::locate_candidates(a);
    EXPECT_EQ(a.results, nullptr);
}

TEST_F(Localise, EveryFailedAllocationDropsAtMostTheCandidate) {
    plate(100, 60, 161, 40, 12, 24, 20);
    plate(100, 130, 190, 50);
    for (long k = 1; k < 200; ++k) {
        rk::add_candidate(a, 100, 60, 260, 99);
        rk::add_candidate(a, 100, 130, 289, 179);
        orvo::alloc_fail_at(k);
        rk::locate_candidates(a);
        orvo::alloc_fail_at(0);
        for (seg_result* r : list()) EXPECT_NE(r->bitmap, nullptr) << "allocation " << k;
        EXPECT_LE(list().size(), 2u);
        rk::clear_results(a);
    }
}

}  // namespace
