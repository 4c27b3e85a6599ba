// Field reading: segments and cuts, the word-space estimate, and whole
// fields read through OCR_recognize_field against nets made from a font.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/request.h"
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
        io->image_bits = b.bits.data();
        io->rows = b.height;
        io->columns = b.width;
        io->bytes_per_row = b.bpr;
        io->left = 0;
        io->top = 0;
        io->right = b.width;
        io->bottom = b.height;
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

TEST_F(FieldReading, UnknownShapesReadAsCaret) {
    TestBitmap b(100, 40);
    b.fill(10, 5, 20, 3);  // a bar far from every glyph
    b.fill(10, 5, 3, 28);
    b.fill(27, 20, 3, 13);
    ASSERT_EQ(read(b), 1);
    EXPECT_STREQ(io->raw_text, "^_");
}

}  // namespace
