// Blob analysis on drawn plates: rows of outlined characters with specks,
// frames, bars, a character glued to the frame edge, and a character
// glued to a stroke below the row.
#include <gtest/gtest.h>

#include "bitmap_draw.h"
#include "blobs.h"
#include "zero_alloc.h"

namespace {

class AnalyzeBlobs : public ::testing::Test {
protected:
    rk::AnalysisInstance a;
    void TearDown() override {
        orvo::alloc_fail_at(0);
        rk::free_objectbitmap(a);
    }
    // An outlined character (like a '0') with strokes 3 pixels thick.
    void glyph(int l, int t, int w, int h) {
        rktest::ink_rect(a, l, t, l + w - 1, t + 2);
        rktest::ink_rect(a, l, t + h - 3, l + w - 1, t + h - 1);
        rktest::ink_rect(a, l, t, l + 2, t + h - 1);
        rktest::ink_rect(a, l + w - 3, t, l + w - 1, t + h - 1);
    }
    // Seven 14 x 24 characters at a pitch of 20 in a 160 x 34 field.
    void seven_field() {
        rktest::blank_bitmap(a, 160, 34);
        for (int i = 0; i < 7; ++i) glyph(10 + 20 * i, 5, 14, 24);
    }
};

TEST_F(AnalyzeBlobs, StrictModeCountsARowOfCharacters) {
    seven_field();
    EXPECT_EQ(rk::analyze_blobs(a, 1), 1);
    EXPECT_EQ(a.n_components, 7);
    EXPECT_EQ(a.runlist, nullptr);
    EXPECT_EQ(a.componenttable, nullptr);
}

TEST_F(AnalyzeBlobs, LenientModeCountsARowOfCharacters) {
    seven_field();
    EXPECT_EQ(rk::analyze_blobs(a, 0), 1);
    EXPECT_EQ(a.n_components, 7);
}

TEST_F(AnalyzeBlobs, SpecksAreErasedInBothModes) {
    for (int mode : {0, 1}) {
        seven_field();
        rktest::ink_rect(a, 3, 15, 5, 17);
        rktest::ink_rect(a, 150, 10, 152, 11);
        rktest::ink_rect(a, 26, 15, 27, 16);
        EXPECT_EQ(rk::analyze_blobs(a, mode), 1) << mode;
        EXPECT_EQ(a.n_components, 7) << mode;
        EXPECT_EQ(rk::pixel_is_ink(a, 4, 16), 0) << mode;
        EXPECT_EQ(rk::pixel_is_ink(a, 26, 15), 0) << mode;
        rk::free_objectbitmap(a);
    }
}

TEST_F(AnalyzeBlobs, AThinFrameIsRemoved) {
    for (int mode : {0, 1}) {
        seven_field();
        // A one-pixel frame around the row, clear of the characters.
        rktest::ink_rect(a, 3, 1, 156, 1);
        rktest::ink_rect(a, 3, 32, 156, 32);
        rktest::ink_rect(a, 3, 1, 3, 32);
        rktest::ink_rect(a, 156, 1, 156, 32);
        EXPECT_EQ(rk::analyze_blobs(a, mode), 1) << mode;
        EXPECT_EQ(a.n_components, 7) << mode;
        EXPECT_EQ(rk::pixel_is_ink(a, 80, 1), 0) << mode;
        rk::free_objectbitmap(a);
    }
}

TEST_F(AnalyzeBlobs, SolidBarsAreErased) {
    seven_field();
    rktest::ink_rect(a, 148, 8, 157, 25);  // a solid block at the right end
    EXPECT_EQ(rk::analyze_blobs(a, 1), 1);
    EXPECT_EQ(a.n_components, 7);
    EXPECT_EQ(rk::pixel_is_ink(a, 150, 15), 0);
}

TEST_F(AnalyzeBlobs, InkOnlyInTheTopOrBottomRowIsLost) {
    rktest::blank_bitmap(a, 60, 30);
    rktest::ink_rect(a, 5, 0, 50, 0);
    rktest::ink_rect(a, 5, 29, 50, 29);
    EXPECT_EQ(rk::analyze_blobs(a, 0), 0);
    EXPECT_EQ(a.n_components, 0);
    EXPECT_EQ(rktest::ink_count(a), 0);
}

TEST_F(AnalyzeBlobs, ASingleCharacterFailsInBothModes) {
    for (int mode : {0, 1}) {
        rktest::blank_bitmap(a, 60, 34);
        glyph(20, 5, 14, 24);
        EXPECT_EQ(rk::analyze_blobs(a, mode), 0) << mode;
        EXPECT_EQ(a.n_components, 0);
        rk::free_objectbitmap(a);
    }
}

TEST_F(AnalyzeBlobs, StrictModeRejectsARowOfPlainStrokes) {
    rktest::blank_bitmap(a, 160, 34);
    for (int i = 0; i < 7; ++i) rktest::ink_rect(a, 10 + 20 * i, 5, 13 + 20 * i, 28);  // 4 x 24 poles
    EXPECT_EQ(rk::analyze_blobs(a, 1), 0);
    EXPECT_EQ(a.n_components, 0);
}

TEST_F(AnalyzeBlobs, StrictModeRejectsARowCrowdedIntoOneSide) {
    rktest::blank_bitmap(a, 400, 34);
    for (int i = 0; i < 5; ++i) glyph(10 + 20 * i, 5, 14, 24);  // ends at column 103 < 3 * 80
    EXPECT_EQ(rk::analyze_blobs(a, 1), 0);
}

TEST_F(AnalyzeBlobs, FailsWhenLabellingRunsOutOfMemory) {
    seven_field();
    orvo::alloc_fail_at(2);  // the marker map is 1, the row index 2
    EXPECT_EQ(rk::analyze_blobs(a, 1), 0);
    EXPECT_EQ(a.n_components, 0);
    EXPECT_EQ(a.runlist, nullptr);
}

TEST_F(AnalyzeBlobs, WorksWithoutTheMarkerMap) {
    seven_field();
    rktest::ink_rect(a, 30, 31, 60, 31);  // a one-pixel underline
    orvo::alloc_fail_at(1);               // no marker map: the thin line stays for now
    EXPECT_EQ(rk::analyze_blobs(a, 1), 1);
    EXPECT_EQ(a.n_components, 7);
}

class GluedFrameEdge : public AnalyzeBlobs {
protected:
    // A "C": top and bottom bars and a left stroke, one run per middle row.
    void open_glyph(int l, int t, int w, int h) {
        rktest::ink_rect(a, l, t, l + w - 1, t + 2);
        rktest::ink_rect(a, l, t + h - 3, l + w - 1, t + h - 1);
        rktest::ink_rect(a, l, t, l + 2, t + h - 1);
    }
    // A 100 x 50 plate: a frame edge at columns 0-2 and `n` characters of
    // 12 x 24; the first character is tied to the edge on rows 20-22.
    void plate(int n, bool open = false) {
        rktest::blank_bitmap(a, 100, 50);
        rktest::ink_rect(a, 0, 5, 2, 44);
        for (int i = 0; i < n; ++i) {
            if (open)
                open_glyph(10 + 18 * i, 12, 12, 24);
            else
                glyph(10 + 18 * i, 12, 12, 24);
        }
        rktest::ink_rect(a, 3, 20, 9, 22);
    }
};

TEST_F(GluedFrameEdge, TheGluedCharacterIsSplitOffAndRedrawn) {
    // Open characters leave at most 6 runs in a row: the short-run step
    // does not relabel, and the erased side runs are still in the run list.
    plate(5, true);
    EXPECT_EQ(rk::analyze_blobs(a, 0), 1);
    EXPECT_EQ(a.n_components, 5);
    // The frame edge and the tie are gone; the character's own left stroke
    // on the tied rows is drawn again.
    EXPECT_EQ(rk::pixel_is_ink(a, 1, 30), 0);
    EXPECT_EQ(rk::pixel_is_ink(a, 5, 21), 0);
    for (int y = 20; y <= 22; ++y) EXPECT_EQ(rk::pixel_is_ink(a, 11, y), 1) << y;
}

TEST_F(GluedFrameEdge, AfterTheShortRunRelabellingNothingIsRedrawn) {
    // Closed characters give 11 runs in a middle row, so the short-run step
    // relabels: the erased side runs leave the run list and the tied rows
    // of the first character's left stroke stay blank.
    plate(5);
    EXPECT_EQ(rk::analyze_blobs(a, 0), 1);
    EXPECT_EQ(a.n_components, 5);
    EXPECT_EQ(rk::pixel_is_ink(a, 5, 21), 0);
    for (int y = 20; y <= 22; ++y) EXPECT_EQ(rk::pixel_is_ink(a, 11, y), 0) << y;
    EXPECT_EQ(rk::pixel_is_ink(a, 11, 19), 1);
}

TEST_F(GluedFrameEdge, AFrameArmAcrossACharacterIsNotGluedBack) {
    // A frame arm from the left edge through the first character's inside
    // on rows 30-31: split off with the frame, it must not come back as a
    // stub inside the character once the short-run step has relabelled.
    rktest::blank_bitmap(a, 100, 50);
    rktest::ink_rect(a, 0, 5, 2, 44);
    for (int i = 0; i < 5; ++i) glyph(10 + 18 * i, 12, 12, 24);
    rktest::ink_rect(a, 3, 30, 16, 31);
    EXPECT_EQ(rk::analyze_blobs(a, 0), 1);
    EXPECT_EQ(a.n_components, 5);
    for (int x = 0; x <= 16; ++x)
        for (int y = 30; y <= 31; ++y) EXPECT_EQ(rk::pixel_is_ink(a, x, y), 0) << x << "," << y;
    EXPECT_EQ(rk::pixel_is_ink(a, 20, 30), 1);  // the right stroke stays
}

TEST_F(GluedFrameEdge, WithFewLabelsNothingIsSplit) {
    plate(4);
    EXPECT_EQ(rk::analyze_blobs(a, 0), 1);
    EXPECT_EQ(a.n_components, 3);
    EXPECT_EQ(rk::pixel_is_ink(a, 11, 30), 0);
}

TEST_F(AnalyzeBlobs, TheNextBottomMovesToThePairMeanWithTheRowBottom) {
    // Seven characters with tops 5 and bottoms 28 (T = 5, B = 28, B - T =
    // 23), except the first, which ends at 25, and the second, which ends
    // at 29, an odd distance below B. The second's bottom moves to
    // (29 + 28) / 2 = 28: 6 x |28 - 25| = 18 is not above 23, and the first
    // character stays. (Moving by half the distance, truncated, would leave
    // 29 and give 24 > 23.)
    rktest::blank_bitmap(a, 160, 34);
    glyph(10, 5, 14, 21);
    glyph(30, 5, 14, 25);
    for (int i = 2; i < 7; ++i) glyph(10 + 20 * i, 5, 14, 24);
    EXPECT_EQ(rk::analyze_blobs(a, 1), 1);
    EXPECT_EQ(a.n_components, 7);
    EXPECT_EQ(rk::pixel_is_ink(a, 11, 20), 1);
}

TEST_F(AnalyzeBlobs, ACharacterGluedToAStrokeBelowIsCutAtTheRow) {
    rktest::blank_bitmap(a, 100, 50);
    for (int i = 0; i < 5; ++i) glyph(10 + 18 * i, 12, 12, 24);
    rktest::ink_rect(a, 46, 36, 48, 44);  // under the middle character
    EXPECT_EQ(rk::analyze_blobs(a, 0), 1);
    EXPECT_EQ(a.n_components, 5);
    for (int y = 36; y <= 44; ++y) EXPECT_EQ(rk::pixel_is_ink(a, 47, y), 0) << y;
    EXPECT_EQ(rk::pixel_is_ink(a, 47, 35), 1);
}

}  // namespace
