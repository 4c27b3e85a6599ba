// Candidate localisation: the 2x enlargement with its exact pixel values,
// which candidates are enlarged, binarisation into the record, and the
// unlinking and release of candidates that fail.
#include <gtest/gtest.h>

#include <vector>

#include "bitmap_draw.h"
#include "gray_page_fixture.h"
#include "localise.h"
#include "rasterkit.h"
#include "results.h"
#include "zero_alloc.h"

namespace {

using rktest::Gray;

TEST(Enlargement, FillsEachBlockFromTheSourceAndItsLeftAndUpperNeighbours) {
    const unsigned char src[] = {10, 20, 99, 30, 40, 99};  // 2 x 2, stride 3
    std::vector<unsigned char> out(16, 0);
    rk::enlarge_2x(src, 3, 2, 2, out.data());
    const std::vector<unsigned char> want = {10, 10, 15, 20,   //
                                             10, 10, 15, 20,   //
                                             20, 25, 23, 31,   //
                                             30, 30, 35, 40};
    EXPECT_EQ(out, want);
}

TEST(Enlargement, ASingleRowRepeatsTheSourceInBothCopyRows) {
    const unsigned char src[] = {0, 255, 100};
    std::vector<unsigned char> out(12, 7);
    rk::enlarge_2x(src, 3, 3, 1, out.data());
    // (0 + 255) / 2 = 127, (255 + 100) / 2 = 177.
    const std::vector<unsigned char> want = {0, 0, 127, 255, 177, 100,  //
                                             0, 0, 127, 255, 177, 100};
    EXPECT_EQ(out, want);
}

class Localise : public rktest::OnGrayPage {
protected:
    Localise() : OnGrayPage(400, 200) {}
    // A light plate of w x h at (l, t) with seven dark outlined characters
    // of cw x ch, 4 pixels thick, centred vertically.
    void plate(int l, int t, int w, int h, int cw, int ch, int pitch) {
        g.fill(l, t, l + w - 1, t + h - 1, 225);
        const int y = t + (h - ch) / 2;
        for (int i = 0; i < 7; ++i) {
            outlined_char(l + 10 + pitch * i, y, cw, ch);
        }
    }
    std::vector<seg_result*> list() const {
        std::vector<seg_result*> v;
        for (seg_result* r = a.results; r != nullptr; r = r->next) v.push_back(r);
        return v;
    }
};

TEST_F(Localise, BinarisesAPlateIntoItsOwnBitmap) {
    plate(100, 60, 190, 50, 16, 30, 25);
    rk::add_candidate(a, 100, 60, 289, 109);
    rk::locate_candidates(a);
    ASSERT_EQ(list().size(), 1u);
    seg_result* r = a.results;
    ASSERT_NE(r->bitmap, nullptr);
    EXPECT_EQ(r->columns, 190);
    EXPECT_EQ(r->lines, 50);
    EXPECT_EQ(r->bpl, 24);
    EXPECT_EQ(r->left, 100);
    EXPECT_EQ(r->bottom, 109);
    EXPECT_EQ(a.objectbitmap, r->bitmap);
    // Dark strokes are ink: the first character's left stroke at column 10.
    EXPECT_EQ(rk::pixel_is_ink(a, 11, 25), 1);
    EXPECT_EQ(rk::pixel_is_ink(a, 18, 25), 0);
}

TEST_F(Localise, DoublesALowLongCandidate) {
    plate(100, 60, 161, 40, 12, 24, 20);
    rk::add_candidate(a, 100, 60, 260, 99);  // 161 x 40
    rk::locate_candidates(a);
    ASSERT_EQ(list().size(), 1u);
    EXPECT_EQ(a.results->columns, 322);
    EXPECT_EQ(a.results->lines, 80);
    EXPECT_EQ(a.results->bpl, 41);
    EXPECT_EQ(a.results->right, 260);  // the rectangle stays in page pixels
}

TEST_F(Localise, KeepsTheSizeOfACandidateFourTimesAsWideAsHigh) {
    plate(100, 60, 160, 40, 12, 24, 20);
    rk::add_candidate(a, 100, 60, 259, 99);  // 160 x 40
    rk::locate_candidates(a);
    ASSERT_EQ(list().size(), 1u);
    EXPECT_EQ(a.results->columns, 160);
    EXPECT_EQ(a.results->lines, 40);
}

TEST_F(Localise, KeepsTheSizeOfACandidateFortyOneHigh) {
    plate(100, 60, 200, 41, 12, 24, 20);
    rk::add_candidate(a, 100, 60, 299, 100);  // 200 x 41
    rk::locate_candidates(a);
    ASSERT_EQ(list().size(), 1u);
    EXPECT_EQ(a.results->columns, 200);
    EXPECT_EQ(a.results->lines, 41);
}

TEST_F(Localise, WithoutMemoryForTheCopyBinarisesAtTheOriginalSize) {
    plate(100, 60, 161, 40, 12, 24, 20);
    rk::add_candidate(a, 100, 60, 260, 99);
    // The first allocation is the candidate's row thresholds, the second
    // the enlarged copy.
    orvo::alloc_fail_at(2);
    rk::locate_candidates(a);
    ASSERT_EQ(list().size(), 1u);
    EXPECT_EQ(a.results->columns, 161);
    EXPECT_EQ(a.results->lines, 40);
}

TEST_F(Localise, UnlinksFailedCandidatesBeforeAndAfterASurvivor) {
    plate(100, 60, 190, 50, 16, 30, 25);
    rk::add_candidate(a, 10, 150, 90, 190);    // uniform: last
    rk::add_candidate(a, 100, 60, 289, 109);   // the plate
    rk::add_candidate(a, 300, 10, 390, 50);    // uniform: head
    rk::locate_candidates(a);
    const auto v = list();
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0]->left, 100);
    EXPECT_EQ(v[0]->next, nullptr);
}

TEST_F(Localise, KeepsTheOrderOfSeveralSurvivors) {
    plate(20, 20, 190, 50, 16, 30, 25);
    plate(20, 120, 190, 50, 16, 30, 25);
    rk::add_candidate(a, 20, 120, 209, 169);
    rk::add_candidate(a, 250, 120, 390, 160);  // uniform, between the two
    rk::add_candidate(a, 20, 20, 209, 69);
    rk::locate_candidates(a);
    const auto v = list();
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0]->top, 20);
    EXPECT_EQ(v[1]->top, 120);
}

TEST_F(Localise, AListOfFailuresEndsEmpty) {
    g.fill(100, 60, 289, 109, 225);  // a plate without characters
    rk::add_candidate(a, 100, 60, 289, 109);
    rk::add_candidate(a, 10, 150, 90, 190);
    rk::add_candidate(a, 300, 150, 399, 199);
    rk::locate_candidates(a);
    EXPECT_EQ(a.results, nullptr);
}

TEST_F(Localise, DropsACandidateReachingOutOfThePage) {
    plate(100, 60, 190, 50, 16, 30, 25);
    rk::add_candidate(a, 100, 60, 289, 109);
    a.results->right = 400;  // one column past the page
    rk::locate_candidates(a);
    EXPECT_EQ(a.results, nullptr);
}

TEST_F(Localise, EveryFailedAllocationDropsAtMostTheCandidate) {
    plate(100, 60, 161, 40, 12, 24, 20);
    plate(100, 130, 190, 50, 16, 30, 25);
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
