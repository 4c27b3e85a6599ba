// Field reading: segments and cuts with the three gap lengths, the
// word-space estimate and its checks, the split search inside a cell, the
// height rules, and whole fields read through OCR_recognize_field against
// nets made from a font.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/request.h"
#include "field/cell_reader.h"
#include "field/height_rules.h"
#include "field/segmentation.h"
#include "field/space_width.h"
#include "glyph_font.h"
#include "glyphnet.h"
#include "kb/kb_store.h"
#include "orvosys.h"

namespace {

using gntest::TestBitmap;

TEST(FieldCuts, CutTouchingCharactersAlongAFallingPath) {
    TestBitmap b(30, 20);
    b.fill(0, 0, 10, 20);   // left character
    b.fill(10, 12, 2, 8);   // its foot, touching the right one's column
    b.fill(11, 0, 10, 10);  // right character, upper part
    b.fill(13, 10, 8, 10);  // right character, lower part
    gn::install_bitmap(b.bits.data(), b.height, b.bpr);
    gn::request() = gn::Request{};
    int pw = 0, rs = 0;
    ASSERT_TRUE(gn::cut_search(0, 0, 21, 20, &pw, &rs));
    EXPECT_EQ(pw, 12);  // up to the column the path stepped to
    EXPECT_EQ(rs, 11);
    gn::Segment segs[8];
    const int n = gn::find_segments(0, 0, 30, 20, segs, 8);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(segs[0].left, 0);
    EXPECT_EQ(segs[0].right, 12);
    EXPECT_EQ(segs[1].left, 11);
    EXPECT_EQ(segs[1].right, 21);
}

// The same two touching characters, twice as tall: the first cut leaves a
// piece narrow enough to keep, and the scan goes on at that piece's end,
// not where the cut's rest begins.
TEST(FieldCuts, APieceKeptAfterTheFirstCutEndsWhereTheNextSegmentStarts) {
    TestBitmap b(30, 44);
    b.fill(0, 2, 10, 40);   // left character, rows 2-41
    b.fill(10, 32, 2, 10);  // its foot
    b.fill(11, 2, 10, 20);  // right character, upper part
    b.fill(13, 22, 8, 20);  // right character, lower part
    gn::install_bitmap(b.bits.data(), b.height, b.bpr);
    gn::request() = gn::Request{};
    int pw = 0, rs = 0;
    ASSERT_TRUE(gn::cut_search(0, 2, 21, 40, &pw, &rs));
    EXPECT_EQ(pw, 12);
    EXPECT_EQ(rs, 11);
    gn::Segment segs[8];
    const int n = gn::find_segments(0, 0, 30, 44, segs, 8);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(segs[0].left, 0);
    EXPECT_EQ(segs[0].right, 12);
    EXPECT_EQ(segs[1].left, 12);
    EXPECT_EQ(segs[1].right, 21);
}

// A segment nested in the one before it is dropped, and the one before is
// then clipped only against the segment that follows the dropped one.
TEST(FieldCuts, CleanUpClipsAgainstTheSegmentsThatStay) {
    TestBitmap b(60, 30);
    b.fill(0, 5, 20, 20);
    b.fill(30, 5, 10, 20);
    gn::install_bitmap(b.bits.data(), b.height, b.bpr);
    gn::request() = gn::Request{};
    gn::Segment segs[3] = {{0, 5, 20, 25}, {10, 5, 18, 25}, {30, 5, 40, 25}};
    int aw = 0, ah = 0;
    ASSERT_EQ(gn::clean_up_segments(segs, 3, &aw, &ah), 2);
    EXPECT_EQ(segs[0].left, 0);
    EXPECT_EQ(segs[0].right, 20);
    EXPECT_EQ(segs[1].left, 30);
    EXPECT_EQ(segs[1].right, 40);
    EXPECT_EQ(aw, 15);
    EXPECT_EQ(ah, 20);
}

TEST(FieldCuts, WideGapsCutAtTheFirstEmptyColumn) {
    TestBitmap b(40, 12);
    b.fill(0, 0, 8, 12);
    b.fill(9, 0, 8, 12);  // one empty column at 8
    gn::install_bitmap(b.bits.data(), b.height, b.bpr);
    int pw = 0, rs = 0;
    ASSERT_TRUE(gn::first_empty_column_cut(0, 0, 17, 12, 5, &pw, &rs));
    EXPECT_EQ(pw, 8);
    EXPECT_EQ(rs, 9);
    EXPECT_FALSE(gn::first_empty_column_cut(0, 0, 17, 12, 9, &pw, &rs));
}

TEST(SpaceWidth, FindsTheWordGap) {
    int hist[2048] = {};
    hist[4] = 4;
    hist[16] = 1;
    EXPECT_EQ(gn::estimate_space_width(hist), 16);
    int flat[2048] = {};
    flat[2] = 6;
    EXPECT_EQ(gn::estimate_space_width(flat), gn::kNoSpaces);
    gn::Segment cells[3] = {{0, 0, 20, 28}, {22, 0, 42, 28}, {54, 0, 74, 28}};
    EXPECT_EQ(gn::space_width(cells, 3, 20, 28, false), 12);
    EXPECT_EQ(gn::space_width(cells, 3, 20, 28, true), 20);
}

// Blocks 4 wide (narrower than 5/12 of their height, so never cut) with
// gaps of 1, 2, 3 and 4 empty columns between them.
TestBitmap gap_ladder() {
    TestBitmap b(40, 12);
    for (int x : {0, 5, 11, 18, 26}) b.fill(x, 0, 4, 12);
    gn::install_bitmap(b.bits.data(), b.height, b.bpr);
    return b;
}

std::string segment_spans(int right) {
    gn::Segment segs[8];
    const int n = gn::find_segments(0, 0, right, 12, segs, 8);
    std::string r;
    for (int i = 0; i < n; ++i)
        r += "[" + std::to_string(segs[i].left) + "," + std::to_string(segs[i].right) + ")";
    return r;
}

TEST(FieldGaps, OneTwoOrFourEmptyColumnsSeparate) {
    TestBitmap b = gap_ladder();
    gn::request() = gn::Request{};
    EXPECT_EQ(segment_spans(32), "[0,4)[5,9)[11,15)[18,22)[26,30)");
    gn::request().wide_gaps = true;
    EXPECT_EQ(segment_spans(32), "[0,9)[11,15)[18,22)[26,30)");
    // A segment still in ink at the right edge is dropped with wide gaps.
    EXPECT_EQ(segment_spans(30), "[0,9)[11,15)[18,22)");
    gn::request() = gn::Request{};
    gn::request().gap_tolerant = true;
    EXPECT_EQ(segment_spans(32), "[0,22)[26,30)");
    // Ink up to the edge stays in the last segment.
    EXPECT_EQ(segment_spans(30), "[0,22)[26,30)");
    gn::request() = gn::Request{};
}

int estimate(std::initializer_list<std::pair<int, int>> gaps) {
    int hist[2048] = {};
    for (auto [g, n] : gaps) hist[g] = n;
    return gn::estimate_space_width(hist);
}

TEST(SpaceWidthEstimate, FollowsItsBranches) {
    // mean 3, sd 2: c = 6 is present and small, so the widest gap wins.
    EXPECT_EQ(estimate({{2, 10}, {6, 2}, {9, 1}}), 9);
    // Steps of one from d = 2 to c = 8: the middle, 5, plus 3.
    EXPECT_EQ(estimate({{2, 10}, {6, 1}, {7, 1}, {8, 1}, {9, 1}}), 8);
    // c - d <= 3 with a wide largest gap: maxg (13 is absent).
    EXPECT_EQ(estimate({{10, 8}, {12, 1}, {14, 1}}), 14);
    // c - d <= 3, small d and maxg: no spaces.
    EXPECT_EQ(estimate({{7, 20}, {9, 2}, {11, 1}}), gn::kNoSpaces);
}

// Cells 10 wide whose gaps follow the list.
int width_for(std::initializer_list<int> gaps, int avg_w, int avg_h) {
    gn::Segment cells[32];
    int n = 0, x = 0;
    cells[n++] = {x, 0, x + 10, 20};
    for (int g : gaps) {
        x += 10 + g;
        cells[n++] = {x, 0, x + 10, 20};
    }
    return gn::space_width(cells, n, avg_w, avg_h, false);
}

TEST(SpaceWidthChecks, FallBackTightenOrReject) {
    const auto ladder = {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 6, 6, 9};
    EXPECT_EQ(width_for(ladder, 12, 20), 9);  // kept
    // Cells smaller than the estimate: the first gap from 4 on replaces it.
    EXPECT_EQ(width_for(ladder, 6, 8), 6);
    // Gaps all alike: no word spaces, 3/2 of the larger cell size.
    EXPECT_EQ(width_for({2, 2, 2, 2}, 20, 28), 42);
    // The estimate 9 is below o = min(60 / 3, 80 / 4).
    EXPECT_EQ(width_for(ladder, 60, 80), gn::kNoSpaces);
    // The estimate 14 with a smallest gap 10 above two thirds of it.
    EXPECT_EQ(width_for({10, 10, 10, 10, 10, 10, 10, 10, 12, 14}, 12, 20), gn::kNoSpaces);
}

// Moves the centre of the first node of the net by `step` on `count`
// features from `first` on, adding count x step x step to the distance of
// the vector it was made from.
void move_centre(gn::Net* n, int first, int count, int step) {
    for (int m = first; m < first + count; ++m) {
        const int c = n->nodes[0].centre[m];
        n->nodes[0].centre[m] = static_cast<std::int16_t>(c + step <= 16 ? c + step : c - step);
    }
}

TEST(SplitSearch, ThresholdsDependOnTheTrialWidth) {
    // 'A' alone (20 x 28) at the left of a rest of w columns: every trial
    // of 20 columns or more frames exactly the 'A'. With h = 28 the first
    // threshold (500) holds below 18, the second (1600) from there, the
    // third (500) from w - 17.
    TestBitmap scratch(1, 1);
    const auto split_at = [&](int count, int step, int w) {
        gn::Net* n = gntest::glyph_net('A', 4, 6, &scratch);
        move_centre(n, 0, count, step);
        TestBitmap b(100, 40);
        gntest::draw_glyph(b, 'A', 4, 6, 4);
        gn::install_bitmap(b.bits.data(), b.height, b.bpr);
        gn::request() = gn::Request{};
        const int r = gn::split_search(n, 4, 6, w, 28);
        gn::nets_free(n);
        return r;
    };
    EXPECT_EQ(split_at(19, 5, 60), 59);  // 475: the widest trial
    EXPECT_EQ(split_at(20, 5, 60), 42);  // 500: only under the second
    EXPECT_EQ(split_at(44, 6, 60), 42);  // 1584
    EXPECT_EQ(split_at(45, 6, 60), 0);   // 1620: no trial counts
    EXPECT_EQ(split_at(20, 5, 30), 0);   // 500, the third from 13 on
    EXPECT_EQ(split_at(19, 5, 30), 29);
}

// A slot string of one-character slots (class, frame top, frame height),
// every cell spanning rows 10 to 40.
struct Slots {
    gn::SlotString s{};
    gn::Segment cells[32];
    int n = 0;
    void add(const char* cls, int top, int height) {
        cells[n] = {n * 10, 10, n * 10 + 8, 40};
        gn::add_class_slot(&s, cls[0], cls[1] ? cls[1] : '_', n, n * 10, top, 8, height);
        ++n;
    }
    std::string apply() {
        gn::apply_height_rules(&s, cells, n);
        return s.bytes;
    }
};

TEST(HeightRules, FixShortLettersCaseAndMarks) {
    Slots t;
    for (int i = 0; i < 10; ++i) t.add("A", 10, 30);
    t.add("I", 10, 8);   // full height by class, an apostrophe by size
    t.add("l", 18, 20);  // short 'l' high up but over 2c/3: 'i'
    t.add("l", 10, 10);  // short and high: apostrophe
    t.add("l", 26, 12);  // short and low: 'i'
    t.add("o", 10, 30);
    t.add("O", 22, 18);
    t.add("S", 10, 24);  // exactly d: lower case
    t.add("s", 10, 26);
    t.add("cO", 10, 30);
    t.add("o-", 10, 30);
    t.add("o1", 10, 30);  // '1' is full height: the 'o' keeps its case
    t.add(",", 34, 8);    // low: comma
    t.add(",", 10, 8);    // high: apostrophe
    // Full-height bytes: the ten 'A', "I", the three 'l', "O", "S", the 'O'
    // of "cO" and the '1'; c = 452 / 18 = 25, d = 22 for the 'l'; then
    // c = 410 / 15 = 27, d = 24, with a = 40 and b = 10 throughout.
    EXPECT_EQ(t.apply(),
              "A_A_A_A_A_A_A_A_A_A_'_i_'_i_O_o_s_S_COO-o1,_'_");
}

TEST(HeightRules, ChangeNothingWithoutFullHeightCharacters) {
    Slots t;
    t.add("o", 10, 30);
    t.add("s", 10, 5);
    EXPECT_EQ(t.apply(), "o_s_");
}

class FieldReading : public ::testing::Test {
protected:
    static int quiet(void*, const char*, const char*, unsigned) { return OSYS_IDOK; }
    void SetUp() override {
        osys_set_message_presenter(&quiet, nullptr, nullptr);
        io = OCR_init(nullptr, 0);
        gn::ListEntry list[1];
        std::snprintf(list[0].path, sizeof list[0].path, "font.kbf");
        gn::set_entries(list, 1);
        gn::KbEntry& e = gn::kb_store().entries[0];
        TestBitmap scratch(1, 1);
        for (char c : std::string("ABC1238")) {
            gn::Net* n = gntest::glyph_net(c, 4, 3, &scratch);
            n->next = e.nets;
            e.nets = n;
            ++e.net_count;
        }
        e.loaded = true;
        gn::kb_store().loaded_count = 1;
    }
    void TearDown() override {
        OCR_cleanup();
        osys_set_message_presenter(nullptr, nullptr, nullptr);
    }
    int read(TestBitmap& b) {
        testsupport::show_whole_field(io, b);
        return OCR_recognize_field();
    }
    ocr_io* io = nullptr;
};

TEST_F(FieldReading, ReadsWordsWithTheirSpacesAndBoxes) {
    TestBitmap b(220, 40);
    gntest::draw_text(b, "ABC 123", 4, 6, 4, 4, 16);
    ASSERT_EQ(read(b), 6);
    EXPECT_STREQ(io->text, "ABC 123");
    EXPECT_STREQ(io->raw_text, "A_B_C_ _1_2_3_");
    EXPECT_EQ(io->boxes[0][0], 4);
    EXPECT_EQ(io->boxes[0][1], 6);
    EXPECT_EQ(io->boxes[0][2], 24);
    EXPECT_EQ(io->boxes[0][3], 34);
    EXPECT_EQ(io->boxes[3][0], 4 + 3 * 24 + 12 + 4);  // '1' starts one cell in
}

TEST_F(FieldReading, OneBlankForATwelvePixelGap) {
    TestBitmap b(200, 40);
    int x = gntest::draw_text(b, "AB", 2, 6, 4, 2, 12);
    gntest::draw_text(b, "C", x + 12, 6, 4, 2, 12);
    ASSERT_EQ(read(b), 3);
    EXPECT_STREQ(io->raw_text, "A_B_ _C_");
}

TEST_F(FieldReading, AppliesTemplatesAndKinds) {
    TestBitmap b(220, 40);
    gntest::draw_text(b, "A8C 123", 4, 6, 4, 4, 16);
    std::strcpy(io->template_, "CCC NNN");
    ASSERT_EQ(read(b), 6);
    EXPECT_STREQ(io->text, "ABC 123");
    io->kb_mode = 1;
    io->template_[0] = '\0';
    ASSERT_EQ(read(b), 6);
    EXPECT_STREQ(io->text, "48C 123");  // A -> 4, no rule for C
}

TEST_F(FieldReading, EmptyRegionGivesNothing) {
    TestBitmap b(100, 30);
    std::strcpy(io->text, "old");
    EXPECT_EQ(read(b), 0);
    EXPECT_STREQ(io->text, "");
    EXPECT_EQ(io->box_count, 0);
}

TEST_F(FieldReading, ReadsOneCharacterOnRequest) {
    TestBitmap b(60, 40);
    gntest::draw_glyph(b, '2', 10, 5, 4);
    io->kb_mode = 255;
    ASSERT_EQ(read(b), 1);
    EXPECT_STREQ(io->text, "2");
    EXPECT_STREQ(io->raw_text, "2_");
    EXPECT_EQ(io->boxes[0][0], 10);
    EXPECT_EQ(io->boxes[0][2], 30);
    TestBitmap blank(60, 40);
    EXPECT_EQ(read(blank), 0);
}

TEST_F(FieldReading, SplitsACellOfTwoTouchingCharacters) {
    TestBitmap b(100, 40);
    gntest::draw_text(b, "AB", 4, 6, 4, 0, 16);  // no gap and no falling path
    gn::install_bitmap(b.bits.data(), b.height, b.bpr);
    gn::request() = gn::Request{};
    gn::Segment segs[4];
    ASSERT_EQ(gn::find_segments(0, 0, 100, 40, segs, 4), 1);
    ASSERT_EQ(read(b), 2);
    EXPECT_STREQ(io->raw_text, "A_B_");
    EXPECT_EQ(io->boxes[0][2], 24);
    EXPECT_EQ(io->boxes[1][0], 24);
    EXPECT_EQ(io->boxes[1][2], 44);
}

TEST_F(FieldReading, KeepsACellWholeWhenNoPartIsCloseEnough) {
    // 'A' with a bar touching its right side: one cell 24 wide, where only
    // the trial 20 wide frames the 'A' alone, under the third threshold.
    TestBitmap b(100, 40);
    gntest::draw_glyph(b, 'A', 4, 6, 4);
    b.fill(24, 6, 4, 28);
    gn::Net* a = gn::find_net(gn::kb_store().entries[0].nets, 'A', '_');
    move_centre(a, 0, 19, 5);  // 475: split after the 'A'
    ASSERT_EQ(read(b), 2);
    EXPECT_STREQ(io->raw_text, "A_1_");
    EXPECT_EQ(io->boxes[0][2], 24);
    EXPECT_EQ(io->boxes[1][0], 24);
    move_centre(a, 19, 1, 5);  // 500: no split, and nothing near enough
    ASSERT_EQ(read(b), 1);
    EXPECT_STREQ(io->raw_text, "^_");
    EXPECT_EQ(io->boxes[0][0], 4);
    EXPECT_EQ(io->boxes[0][2], 28);
}

TEST_F(FieldReading, GapTolerantRequestsKeepBrokenCharactersWhole) {
    // 'B' cut by three empty columns, twice, 25 and then 6 columns apart.
    TestBitmap b(140, 40);
    for (int x : {4, 49, 75}) {
        gntest::draw_glyph(b, 'B', x, 6, 4);
        for (int y = 6; y < 34; ++y)
            for (int k = 8; k < 11; ++k) b.bits[y * b.bpr + (x + k) / 8] |= 0x80 >> ((x + k) % 8);
    }
    // A gap-tolerant base (type 250) knowing the broken 'B'.
    gn::request() = gn::Request{};
    gn::request().gap_tolerant = true;
    gn::install_bitmap(b.bits.data(), b.height, b.bpr);
    ASSERT_TRUE(gn::frame_char(0, 0, 30, 40));
    const gn::Frame f = gn::current_frame();
    EXPECT_EQ(f.left, 4);
    EXPECT_EQ(f.width, 20);
    gn::FeatureVector v;
    gn::extract_features(f.left, f.top, f.width, f.height, &v);
    gn::Net* n = gn::net_new('B', '_', static_cast<unsigned char>(gn::shape_code(v.v)));
    n->nodes = static_cast<gn::Node*>(orvo::zero_alloc(sizeof(gn::Node)));
    n->node_count = 1;
    for (int m = 0; m < 49; ++m) {
        n->nodes[0].lo[m] = n->nodes[0].hi[m] = n->nodes[0].centre[m] = v.v[m];
    }
    gn::KbStore& st = gn::kb_store();
    gn::KbEntry& e = st.entries[1];
    std::snprintf(e.path, sizeof e.path, "gaps.kbf");
    e.type = 250;
    e.nets = n;
    e.net_count = 1;
    e.loaded = true;
    st.entry_count = 2;
    st.loaded_count = 2;

    io->gap_tolerant = 1;
    ASSERT_EQ(read(b), 3);
    // Space width = average cell width 20: one blank for 25, none for 6.
    EXPECT_STREQ(io->raw_text, "B_ _B_B_");
    EXPECT_EQ(io->boxes[1][0], 49);
    EXPECT_EQ(io->boxes[1][2], 69);
    io->gap_tolerant = 0;  // the font base alone, one piece per half
    ASSERT_EQ(read(b), 6);
    EXPECT_EQ(io->boxes[0][2], 12);
    EXPECT_EQ(io->boxes[1][0], 15);
}

TEST_F(FieldReading, WideGapsNeedTwoEmptyColumns) {
    TestBitmap b(100, 40);
    gntest::draw_text(b, "AB", 4, 6, 4, 1, 16);
    io->wide_gaps = 1;  // one piece [4, 45), cut at its empty column
    ASSERT_EQ(read(b), 2);
    EXPECT_STREQ(io->raw_text, "A_B_");
    EXPECT_EQ(io->boxes[0][2], 24);
    EXPECT_EQ(io->boxes[1][0], 25);
    TestBitmap c(100, 40);
    gntest::draw_text(c, "AB", 4, 6, 4, 3, 16);
    ASSERT_EQ(read(c), 2);
    io->right = 46;  // the 'B' runs into the edge: not read
    ASSERT_EQ(OCR_recognize_field(), 1);
    EXPECT_STREQ(io->raw_text, "A_");
}

TEST_F(FieldReading, StaysInsideTheBitmapAndTheSlotString) {
    TestBitmap b(100, 40);
    gntest::draw_text(b, "AB", 4, 6, 4, 4, 16);
    read(b);
    io->left = -300;
    io->top = -50;
    io->right = 5000;
    io->bottom = 900;
    ASSERT_EQ(OCR_recognize_field(), 2);
    EXPECT_STREQ(io->raw_text, "A_B_");
    // 2100 blocks of 4 x 6: 2047 segments at most, and the slot string
    // stops at 2046 bytes.
    TestBitmap many(12700, 10);
    for (int i = 0; i < 2100; ++i) many.fill(i * 6, 2, 4, 6);
    ASSERT_EQ(read(many), 1023);
    EXPECT_EQ(std::strlen(io->raw_text), 2046u);
    EXPECT_EQ(io->boxes[1022][0], 1022 * 6);
}

TEST_F(FieldReading, UnknownShapesReadAsCaret) {
    TestBitmap b(100, 40);
    b.fill(10, 5, 20, 3);  // a bar far from every glyph
    b.fill(10, 5, 3, 28);
    b.fill(27, 20, 3, 13);
    ASSERT_EQ(read(b), 1);
    EXPECT_STREQ(io->raw_text, "^_");
}

}  // namespace
