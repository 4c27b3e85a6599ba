// Field segmentation: nested candidates, the geometry, small-row, pairwise
// and score filters at their limits, the bounded row copy, drawn one-line
// and two-line plates in both modes, and memory failures.
#include <gtest/gtest.h>

#include <vector>

#include "bitmap_draw.h"
#include "field_filters.h"
#include "gray_page_fixture.h"
#include "localise.h"
#include "rasterkit.h"
#include "results.h"
#include "segment_fields.h"
#include "zero_alloc.h"

namespace {

using rktest::Gray;

class PageSized : public ::testing::Test {
protected:
    int saved_lin = 0, saved_col = 0;
    void SetUp() override {
        saved_lin = ::MAXLIN;
        saved_col = ::MAXCOL;
        ::MAXCOL = 1000;
        ::MAXLIN = 600;
    }
    void TearDown() override {
        orvo::alloc_fail_at(0);
        ::MAXLIN = saved_lin;
        ::MAXCOL = saved_col;
    }
};

// A list of records built in the order given, freed at the end.
class FieldFilters : public PageSized {
protected:
    seg_result* head = nullptr;
    seg_result** tail = &head;
    void TearDown() override {
        rk::free_result_list(head);
        PageSized::TearDown();
    }
    seg_result* add(int l, int t, int r, int b, int n) {
        auto* rec = static_cast<seg_result*>(orvo::zero_alloc(sizeof(seg_result)));
        rec->left = l;
        rec->top = t;
        rec->right = r;
        rec->bottom = b;
        rec->text[0] = static_cast<char>(n);
        *tail = rec;
        tail = &rec->next;
        return rec;
    }
    std::vector<int> scores() const {
        std::vector<int> v;
        for (const seg_result* r = head; r != nullptr; r = r->next) v.push_back(rk::score_of(r));
        return v;
    }
    // Keeps only one record of the given shape and score?
    bool kept_alone(int l, int t, int r, int b, int n) {
        rk::free_result_list(head);
        head = nullptr;
        tail = &head;
        add(l, t, r, b, n);
        rk::filter_fields(head);
        return head != nullptr;
    }
};

TEST_F(FieldFilters, NestedCandidateGoesAndOfTwoEqualTheFirst) {
    add(300, 100, 500, 150, 1);
    add(310, 110, 400, 140, 2);  // inside the first
    add(300, 100, 500, 150, 3);  // equal to the first
    add(600, 100, 700, 150, 4);
    rk::drop_nested(head);
    EXPECT_EQ(scores(), (std::vector<int>{3, 4}));
}

TEST_F(FieldFilters, GeometryLimitsOfTopLineAndScore) {
    EXPECT_FALSE(kept_alone(300, 10, 500, 110, 5));
    EXPECT_TRUE(kept_alone(300, 11, 500, 111, 5));
    EXPECT_FALSE(kept_alone(300, 200, 500, 250, 10));
    EXPECT_TRUE(kept_alone(300, 200, 500, 250, 9));
}

TEST_F(FieldFilters, GeometryLimitsOfTheProportions) {
    EXPECT_TRUE(kept_alone(300, 200, 330, 250, 5));   // h 50 = 5 x 30 / 3
    EXPECT_FALSE(kept_alone(300, 200, 330, 251, 5));  // h 51
    EXPECT_TRUE(kept_alone(300, 200, 440, 220, 5));   // w 140 = 7 x 20
    EXPECT_FALSE(kept_alone(300, 200, 441, 220, 5));  // w 141
    EXPECT_FALSE(kept_alone(300, 100, 700, 410, 5));  // h 310 > max(150, 300)
}

TEST_F(FieldFilters, GeometryLimitsOfThePositionInThePage) {
    EXPECT_TRUE(kept_alone(150, 200, 200, 230, 5));   // right at 1000 / 5
    EXPECT_FALSE(kept_alone(150, 200, 199, 230, 5));
    EXPECT_TRUE(kept_alone(800, 200, 850, 230, 5));   // left at 1000 - 200
    EXPECT_FALSE(kept_alone(801, 200, 851, 230, 5));
    EXPECT_TRUE(kept_alone(300, 70, 350, 100, 5));    // bottom at 600 / 6
    EXPECT_FALSE(kept_alone(300, 69, 350, 99, 5));
    EXPECT_TRUE(kept_alone(300, 515, 350, 545, 5));   // top at 600 - 85
    EXPECT_FALSE(kept_alone(300, 516, 350, 546, 5));
}

TEST_F(FieldFilters, ABestScoreBelowThreeEmptiesTheList) {
    EXPECT_FALSE(kept_alone(300, 200, 500, 250, 2));
    EXPECT_TRUE(kept_alone(300, 200, 500, 250, 3));
}

TEST_F(FieldFilters, FieldsOfThreeAndFourCharactersAboveEachOtherBothStay) {
    add(300, 100, 500, 140, 3);
    add(300, 145, 500, 185, 4);
    rk::filter_fields(head);
    EXPECT_EQ(scores(), (std::vector<int>{3, 4}));
}

TEST_F(FieldFilters, AFieldWithNoMoreCharactersThanALaterOneGoes) {
    add(200, 100, 400, 140, 6);
    add(500, 100, 700, 140, 5);
    rk::filter_fields(head);
    EXPECT_EQ(scores(), (std::vector<int>{5}));
}

TEST_F(FieldFilters, AFieldWithFewerCharactersBesideALaterOneStays) {
    add(200, 100, 400, 140, 5);
    add(500, 100, 700, 140, 6);
    rk::filter_fields(head);
    EXPECT_EQ(scores(), (std::vector<int>{5, 6}));
}

TEST_F(FieldFilters, AFieldReachingIntoALaterRichOneGoes) {
    // 3 characters whose bottom lies inside a later field of 5.
    add(200, 100, 400, 140, 3);
    add(500, 130, 700, 170, 5);
    rk::filter_fields(head);
    EXPECT_EQ(scores(), (std::vector<int>{5}));
}

TEST_F(FieldFilters, AFieldFarAboveALaterOneGoes) {
    // Gap 21 lines: half the smaller height (40) is exceeded.
    add(300, 100, 500, 140, 4);
    add(300, 161, 500, 201, 6);
    rk::filter_fields(head);
    EXPECT_EQ(scores(), (std::vector<int>{6}));
    rk::free_result_list(head);
    head = nullptr;
    tail = &head;
    add(300, 100, 500, 140, 4);
    add(300, 160, 500, 200, 6);  // gap 20: not more than half
    rk::filter_fields(head);
    EXPECT_EQ(scores(), (std::vector<int>{4, 6}));
}

TEST_F(FieldFilters, ASmallRowStaysOnlyJustAboveALargerOne) {
    // Gap 5 <= min(50 / 5, 16): the small row belongs to the larger one.
    add(300, 100, 500, 130, 1);
    add(300, 135, 500, 185, 6);
    rk::filter_fields(head);
    EXPECT_EQ(scores(), (std::vector<int>{1, 6}));
    rk::free_result_list(head);
    head = nullptr;
    tail = &head;
    add(300, 100, 500, 124, 1);  // gap 11
    add(300, 135, 500, 185, 6);
    rk::filter_fields(head);
    EXPECT_EQ(scores(), (std::vector<int>{6}));
}

TEST_F(FieldFilters, ASmallRowMustLieWithinTheLargerOneSideToSide) {
    add(289, 100, 500, 130, 1);  // 11 columns left of the larger row
    add(300, 135, 500, 185, 6);
    rk::filter_fields(head);
    EXPECT_EQ(scores(), (std::vector<int>{6}));
}

TEST_F(FieldFilters, TheLastFieldIsNeverDroppedPairwise) {
    add(200, 100, 400, 140, 7);
    add(500, 100, 700, 140, 7);
    add(200, 300, 400, 340, 7);
    rk::filter_fields(head);
    EXPECT_EQ(scores(), (std::vector<int>{7}));
    EXPECT_EQ(head->top, 300);
}

// The copy of a row out of a candidate's bitmap.
class RowCopy : public PageSized {
protected:
    rk::AnalysisInstance a;
    seg_result r{};
    seg_result f{};
    void TearDown() override {
        orvo::zero_free(r.bitmap);
        orvo::zero_free(f.bitmap);
        PageSized::TearDown();
    }
    // r: 20 columns (3 bytes a line), 4 lines, byte b of line y = 16y + b.
    void make_candidate() {
        r.columns = 20;
        r.lines = 4;
        r.bpl = 3;
        r.bitmap = static_cast<unsigned char*>(orvo::zero_alloc(12));
        for (int y = 0; y < 4; ++y)
            for (int b = 0; b < 3; ++b) r.bitmap[y * 3 + b] = static_cast<unsigned char>(16 * y + b);
    }
};

TEST_F(RowCopy, CopiesWholeBytesFromTheRowsLeftByte) {
    make_candidate();
    ASSERT_TRUE(rk::copy_field_rows(a, &f, &r, 8, 1, 20, 3));
    EXPECT_EQ(f.lines, 2);
    EXPECT_EQ(f.columns, 12);
    EXPECT_EQ(f.bpl, 2);
    EXPECT_EQ(std::vector<int>(f.bitmap, f.bitmap + 4), (std::vector<int>{17, 18, 33, 34}));
    EXPECT_EQ(a.objectbitmap, f.bitmap);
    EXPECT_EQ(a.BMP_columns, 12);
}

TEST_F(RowCopy, AnUnalignedWideRowStopsAtTheEndOfTheCandidateLine) {
    make_candidate();
    // Columns 5 .. 19 need 2 bytes from byte 0; columns 13 .. 19 from byte 1
    // would need 1; a row 17 wide from column 9 needs 3 bytes from byte 1,
    // of which the line holds only 2: the third stays background.
    ASSERT_TRUE(rk::copy_field_rows(a, &f, &r, 9, 0, 26, 2));
    EXPECT_EQ(f.bpl, 3);
    EXPECT_EQ(std::vector<int>(f.bitmap, f.bitmap + 6), (std::vector<int>{1, 2, 0xFF, 17, 18, 0xFF}));
}

TEST_F(RowCopy, ReportsAFailedBitmapAllocation) {
    make_candidate();
    orvo::alloc_fail_at(1);
    EXPECT_FALSE(rk::copy_field_rows(a, &f, &r, 0, 0, 20, 4));
    EXPECT_EQ(f.bitmap, nullptr);
}

// Plates drawn in a gray page, localised, then segmented.
class SegmentPlates : public rktest::OnGrayPage {
protected:
    SegmentPlates() : OnGrayPage(400, 240) {}
    // n dark outlined characters of 16 x 30 at pitch 25 from (x, y).
    void chars(int x, int y, int n) {
        for (int i = 0; i < n; ++i, x += 25) outlined_char(x, y, 16, 30);
    }
    void one_line_plate() {
        g.fill(100, 60, 289, 109, 225);
        chars(112, 70, 7);
        rk::add_candidate(a, 100, 60, 289, 109);
    }
    void two_line_plate() {
        g.fill(140, 50, 259, 149, 225);
        chars(150, 58, 4);
        chars(162, 108, 3);
        rk::add_candidate(a, 140, 50, 259, 149);
    }
    std::vector<seg_result*> list() const {
        std::vector<seg_result*> v;
        for (seg_result* r = a.results; r != nullptr; r = r->next) v.push_back(r);
        return v;
    }
};

TEST_F(SegmentPlates, AOneLinePlateIsOneFieldScoringItsCharacters) {
    for (int mode = 0; mode < 2; ++mode) {
        one_line_plate();
        rk::locate_candidates(a);
        rk::segment_fields(a, mode);
        const auto v = list();
        ASSERT_EQ(v.size(), 1u) << "mode " << mode;
        EXPECT_EQ(rk::score_of(v[0]), 7);
        EXPECT_EQ(v[0]->left, 100);
        EXPECT_EQ(v[0]->bottom, 109);
        rk::clear_results(a);
    }
}

TEST_F(SegmentPlates, ATwoLinePlateGivesOneFieldPerRowInCopyMode) {
    two_line_plate();
    rk::locate_candidates(a);
    ASSERT_NE(a.results, nullptr);
    rk::segment_fields(a, 0);
    const auto v = list();
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(rk::score_of(v[0]), 4);
    EXPECT_EQ(rk::score_of(v[1]), 3);
    EXPECT_LT(v[0]->bottom, v[1]->top + 10);
    EXPECT_GE(v[0]->top, 50);
    // The lower row reaches the end of the candidate's bitmap: its bottom
    // is the candidate's top plus its line count.
    EXPECT_EQ(v[1]->bottom, 150);
    EXPECT_EQ(v[1]->lines, v[1]->bottom - v[1]->top);
    for (seg_result* r : v) {
        EXPECT_EQ(r->bpl, (r->columns + 7) / 8);
        EXPECT_NE(r->bitmap, nullptr);
    }
}

TEST_F(SegmentPlates, ATwoLinePlateGivesOneFieldPerRowWhenRebinarised) {
    two_line_plate();
    rk::locate_candidates(a);
    ASSERT_NE(a.results, nullptr);
    rk::segment_fields(a, 1);
    const auto v = list();
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(rk::score_of(v[0]), 4);
    EXPECT_EQ(rk::score_of(v[1]), 3);
    for (seg_result* r : v) {
        // A rebinarised field has the size of its page rectangle.
        EXPECT_EQ(r->columns, r->right - r->left + 1);
        EXPECT_EQ(r->lines, r->bottom - r->top + 1);
    }
}

TEST_F(SegmentPlates, AnEnlargedCandidateIsOneFieldAtTwiceItsSize) {
    g.fill(100, 60, 260, 99, 225);  // 161 x 40: doubled by localisation
    for (int i = 0; i < 7; ++i) {
        const int x = 110 + 20 * i;
        g.fill(x, 68, x + 11, 71, 25);
        g.fill(x, 88, x + 11, 91, 25);
        g.fill(x, 68, x + 3, 91, 25);
        g.fill(x + 8, 68, x + 11, 91, 25);
    }
    rk::add_candidate(a, 100, 60, 260, 99);
    rk::locate_candidates(a);
    ASSERT_NE(a.results, nullptr);
    ASSERT_EQ(a.results->lines, 80);
    for (int mode = 0; mode < 2; ++mode) {
        rk::segment_fields(a, mode);
        const auto v = list();
        ASSERT_EQ(v.size(), 1u) << "mode " << mode;
        EXPECT_EQ(rk::score_of(v[0]), 7);
        EXPECT_EQ(v[0]->lines, 80);
        EXPECT_EQ(v[0]->columns, 322);
        EXPECT_EQ(v[0]->top, 60);
    }
}

TEST_F(SegmentPlates, ACandidateInsideAnotherIsDroppedFirst) {
    one_line_plate();
    rk::add_candidate(a, 110, 65, 280, 105);
    rk::locate_candidates(a);
    ASSERT_EQ(list().size(), 2u);
    rk::segment_fields(a, 0);
    const auto v = list();
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0]->left, 100);
    EXPECT_EQ(v[0]->top, 60);
}

TEST_F(SegmentPlates, ACandidateWithoutBitmapMakesNothing) {
    rk::add_candidate(a, 100, 60, 289, 109);
    rk::segment_fields(a, 0);
    EXPECT_EQ(a.results, nullptr);
}

TEST_F(SegmentPlates, EveryFailedAllocationOnlyDropsRowsOrFields) {
    for (int mode = 0; mode < 2; ++mode) {
        for (long k = 1; k < 300; ++k) {
            two_line_plate();
            rk::locate_candidates(a);
            orvo::alloc_fail_at(k);
            rk::segment_fields(a, mode);
            orvo::alloc_fail_at(0);
            const auto v = list();
            EXPECT_LE(v.size(), 2u) << "allocation " << k;
            for (seg_result* r : v) {
                EXPECT_NE(r->bitmap, nullptr);
                EXPECT_GE(rk::score_of(r), 3);
            }
            rk::clear_results(a);
        }
    }
}

}  // namespace
