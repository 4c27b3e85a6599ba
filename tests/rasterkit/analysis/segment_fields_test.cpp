// Field segmentation: nesting and pairwise filters at their limits, the row copy, drawn plates, memory.
#include <gtest/gtest.h>

#include "bitmap_draw.h"
#include "field_filters.h"
#include "gray_page_fixture.h"
#include "localise.h"
#include "rasterkit.h"
#include "results.h"
#include "segment_fields.h"
#include "zero_alloc.h"

namespace {

// A record: its rectangle and score.
struct Rec { int l, t, r, b, n; };

// A record list built in order on a 1000 x 600 page.
class FieldFilters : public rktest::OnGrayPage {
protected:
    FieldFilters() : OnGrayPage(1000, 600) {}
    seg_result* head = nullptr;
    void TearDown() override { rk::free_result_list(head); OnGrayPage::TearDown(); }
    // Filters (or with nested, drops the nested of) the records; the scores kept.
    std::vector<int> kept(const std::vector<Rec>& recs, bool nested = false) {
        rk::free_result_list(head);
        head = nullptr;
        for (auto x = recs.rbegin(); x != recs.rend(); ++x) head = rktest::record(x->l, x->t, x->r, x->b, x->n, head);
        nested ? rk::drop_nested(head) : rk::filter_fields(head);
        std::vector<int> v;
        for (const seg_result* r = head; r != nullptr; r = r->next) v.push_back(rk::score_of(r));
        return v;
    }
};

TEST_F(FieldFilters, NestedCandidateGoesAndOfTwoEqualTheFirst) {
    EXPECT_EQ(kept({{300, 100, 500, 150, 1}, {310, 110, 400, 140, 2}, {300, 100, 500, 150, 3}, {600, 100, 700, 150, 4}}, true),
              (std::vector<int>{3, 4}));
}

TEST_F(FieldFilters, PairwiseRules) {
    const struct { const char* what; std::vector<Rec> recs; std::vector<int> kept; } cases[] = {
        {"3 and 4 above each other", {{300, 100, 500, 140, 3}, {300, 145, 500, 185, 4}}, {3, 4}},
        {"no more than a later one", {{200, 100, 400, 140, 6}, {500, 100, 700, 140, 5}}, {5}},
        {"fewer beside a later one", {{200, 100, 400, 140, 5}, {500, 100, 700, 140, 6}}, {5, 6}},
        {"reaching into a later rich one", {{200, 100, 400, 140, 3}, {500, 130, 700, 170, 5}}, {5}},
        {"gap 21 above: more than half of 40", {{300, 100, 500, 140, 4}, {300, 161, 500, 201, 6}}, {6}},
        {"gap 20 above", {{300, 100, 500, 140, 4}, {300, 160, 500, 200, 6}}, {4, 6}},
        {"small row gap 5 <= min(50 / 5, 16)", {{300, 100, 500, 130, 1}, {300, 135, 500, 185, 6}}, {1, 6}},
        {"small row gap 11", {{300, 100, 500, 124, 1}, {300, 135, 500, 185, 6}}, {6}},
        {"small row 11 columns out", {{289, 100, 500, 130, 1}, {300, 135, 500, 185, 6}}, {6}},
    };
    for (const auto& c : cases) EXPECT_EQ(kept(c.recs), c.kept) << c.what;
    // The last is never dropped pairwise.
    ASSERT_EQ(kept({{200, 100, 400, 140, 7}, {500, 100, 700, 140, 7}, {200, 300, 400, 340, 7}}), (std::vector<int>{7}));
    EXPECT_EQ(head->top, 300);
}

// A candidate of 20 columns (3 bytes a line), 4 lines, byte b of line y = 16y + b.
TEST_F(FieldFilters, RowCopyTakesWholeBytesAndNeverReadsPastACandidateLine) {
    rk::AnalysisInstance c;
    unsigned char bits[12];
    for (int i = 0; i < 12; ++i) bits[i] = static_cast<unsigned char>(16 * (i / 3) + i % 3);
    seg_result r{bits, 3, 20, 4, 0, 0, 0, 0, {}, nullptr}, f{};
    ASSERT_TRUE(rk::copy_field_rows(c, &f, &r, 8, 1, 20, 3));
    EXPECT_EQ((std::vector<int>{f.lines, f.columns, f.bpl}), (std::vector<int>{2, 12, 2}));
    EXPECT_EQ(std::vector<int>(f.bitmap, f.bitmap + 4), (std::vector<int>{17, 18, 33, 34}));
    EXPECT_EQ(c.objectbitmap, f.bitmap);
    orvo::zero_free(f.bitmap);
    ASSERT_TRUE(rk::copy_field_rows(c, &f, &r, 9, 0, 26, 2));  // wide and unaligned
    EXPECT_EQ(f.bpl, 3);
    EXPECT_EQ(std::vector<int>(f.bitmap, f.bitmap + 6), (std::vector<int>{1, 2, 0xFF, 17, 18, 0xFF}));
    orvo::zero_free(f.bitmap);
    orvo::alloc_fail_at(1);
    EXPECT_FALSE(rk::copy_field_rows(c, &f, &r, 0, 0, 20, 4));
    EXPECT_EQ(f.bitmap, nullptr);
}

// Plates drawn in a gray page, localised, then segmented.
class SegmentPlates : public rktest::OnGrayPage {
protected:
    SegmentPlates() : OnGrayPage(400, 240) {}
    // Four outlined characters over three, 16 x 30 at pitch 25.
    void two_line_plate() {
        g.fill(140, 50, 259, 149, 225);
        for (int i = 0; i < 4; ++i) outlined_char(150 + 25 * i, 58, 16, 30);
        for (int i = 0; i < 3; ++i) outlined_char(162 + 25 * i, 108, 16, 30);
        rk::add_candidate(a, 140, 50, 259, 149);
        rk::locate_candidates(a);
    }
};

TEST_F(SegmentPlates, TwoLinePlateGivesOneFieldPerRowInBothModes) {
    for (int mode = 0; mode < 2; ++mode) {
        SCOPED_TRACE(mode);
        two_line_plate();
        rk::segment_fields(a, mode);
        const auto v = list();
        ASSERT_EQ(v.size(), 2u);
        EXPECT_TRUE(rk::score_of(v[0]) == 4 && rk::score_of(v[1]) == 3 && v[0]->bottom < v[1]->top + 10);
        for (seg_result* r : v)  // a rebinarised field has the size of its page rectangle
            EXPECT_TRUE(mode == 1 ? r->columns == r->right - r->left + 1 && r->lines == r->bottom - r->top + 1
                                  : r->bpl == (r->columns + 7) / 8);
        // A copied lower row ending with the candidate's bitmap ends at its top plus its lines.
        if (mode == 0) { EXPECT_TRUE(v[1]->bottom == 150 && v[1]->lines == v[1]->bottom - v[1]->top); }
        rk::clear_results(a);
    }
}

TEST_F(SegmentPlates, EveryFailedAllocationOnlyDropsRowsOrFields) {
    for (int mode = 0; mode < 2; ++mode) {
        for (long k = 1; k < 300; ++k) {
            two_line_plate();
            orvo::alloc_fail_at(k);
            rk::segment_fields(a, mode);
            orvo::alloc_fail_at(0);
            const auto v = list();
            EXPECT_LE(v.size(), 2u) << "allocation " << k;
            for (seg_result* r : v) EXPECT_TRUE(r->bitmap != nullptr && rk::score_of(r) >= 3) << k;
            rk::clear_results(a);
        }
    }
}

}  // namespace
