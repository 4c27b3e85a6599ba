// Field reading: cuts, the word-space estimate, height rules, and whole fields read against a font.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <utility>

#include "engine/request.h"
#include "field/cell_reader.h"
#include "field/height_rules.h"
#include "field/segmentation.h"
#include "field/space_width.h"
#include "glyph_font.h"
#include "glyphnet.h"
#include "kb/kb_store.h"
#include "message_log.h"

namespace {

using gntest::TestBitmap;

struct Rect { int x, y, w, h; };

// Installs a bitmap of filled rectangles under a default request.
TestBitmap drawn(int w, int h, std::initializer_list<Rect> rects) {
    TestBitmap b(w, h);
    for (const Rect& r : rects) b.fill(r.x, r.y, r.w, r.h);
    gn::install_bitmap(b.bits.data(), b.height, b.bpr);
    gn::request() = gn::Request{};
    return b;
}

std::string spans(int right, int height) {
    gn::Segment segs[8];
    const int n = gn::find_segments(0, 0, right, height, segs, 8);
    std::string r;
    for (int i = 0; i < n; ++i) r += "[" + std::to_string(segs[i].left) + "," + std::to_string(segs[i].right) + ")";
    return r;
}

// Touching characters cut along a falling path; the taller pair goes on where the first piece ends.
TEST(FieldCuts, CutTouchingCharactersAlongAFallingPath) {
    TestBitmap a = drawn(30, 20, {{0, 0, 10, 20}, {10, 12, 2, 8}, {11, 0, 10, 10}, {13, 10, 8, 10}});
    int pw = 0, rs = 0;
    ASSERT_TRUE(gn::cut_search(0, 0, 21, 20, &pw, &rs));
    EXPECT_EQ(std::make_pair(pw, rs), std::make_pair(12, 11));  // up to the column the path stepped to
    EXPECT_EQ(spans(30, 20), "[0,12)[11,21)");
    TestBitmap b = drawn(30, 44, {{0, 2, 10, 40}, {10, 32, 2, 10}, {11, 2, 10, 20}, {13, 22, 8, 20}});
    ASSERT_TRUE(gn::cut_search(0, 2, 21, 40, &pw, &rs));
    EXPECT_EQ(std::make_pair(pw, rs), std::make_pair(12, 11));
    EXPECT_EQ(spans(30, 44), "[0,12)[12,21)");
}

// A nested segment is dropped; the one before is clipped only against the one after the dropped.
TEST(FieldCuts, CleanUpClipsAgainstTheSegmentsThatStay) {
    TestBitmap b = drawn(60, 30, {{0, 5, 20, 20}, {30, 5, 10, 20}});
    gn::Segment segs[3] = {{0, 5, 20, 25}, {10, 5, 18, 25}, {30, 5, 40, 25}};
    int aw = 0, ah = 0;
    ASSERT_EQ(gn::clean_up_segments(segs, 3, &aw, &ah), 2);
    EXPECT_EQ(std::vector<int>({segs[0].right, segs[1].left, aw, ah}), std::vector<int>({20, 30, 15, 20}));
}

TEST(SpaceWidth, TheEstimateFollowsItsBranchesAndTheCellsCanRejectIt) {
    struct Case { const char* name; std::vector<std::pair<int, int>> gaps; int expected; };  // gaps: length, count
    const std::vector<Case> cases = {
        {"a lone wide gap", {{4, 4}, {16, 1}}, 16}, {"all gaps alike", {{2, 6}}, gn::kNoSpaces},
        {"c present and small: the widest gap", {{2, 10}, {6, 2}, {9, 1}}, 9},
        {"steps of one from d to c: the middle plus 3", {{2, 10}, {6, 1}, {7, 1}, {8, 1}, {9, 1}}, 8},
        {"c - d <= 3 with a wide largest gap", {{10, 8}, {12, 1}, {14, 1}}, 14},
        {"c - d <= 3, small d and largest gap", {{7, 20}, {9, 2}, {11, 1}}, gn::kNoSpaces},
    };
    for (const Case& c : cases) {
        int hist[2048] = {};
        for (auto [g, n] : c.gaps) hist[g] = n;
        EXPECT_EQ(gn::estimate_space_width(hist), c.expected) << c.name;
    }
    gn::Segment cells[14];  // 10 wide; the estimate stands, or falls below min(w / 3, h / 4) of the cells
    int n = 0, x = 0;
    for (int g : {0, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 6, 6, 9}) cells[n++] = {x += 10 + g, 0, x + 10, 20};
    EXPECT_EQ(gn::space_width(cells, n, 12, 20, false), 9);
    EXPECT_EQ(gn::space_width(cells, n, 60, 80, false), gn::kNoSpaces);
}

// One-character slots (class, frame top, frame height), cells on rows 10-40.
struct Slots {
    gn::SlotString s{};
    gn::Segment cells[32];
    int n = 0;
    void add(const char* cls, int top, int height) {
        cells[n] = {n * 10, 10, n * 10 + 8, 40};
        gn::add_class_slot(&s, cls[0], cls[1] ? cls[1] : '_', n, n * 10, top, 8, height);
        ++n;
    }
    std::string apply() { return gn::apply_height_rules(&s, cells, n), s.bytes; }
};

TEST(HeightRules, FixShortLettersCaseAndMarks) {
    Slots t;
    for (int i = 0; i < 10; ++i) t.add("A", 10, 30);
    // 'I' full height by class, apostrophe by size; 'l' high but over 2c/3, short and high, short and
    // low; 'S' exactly d; '1' full height so 'o' keeps its case; commas low and high.
    for (const auto& [cls, top, h] : std::vector<std::tuple<const char*, int, int>>{
             {"I", 10, 8}, {"l", 18, 20}, {"l", 10, 10}, {"l", 26, 12}, {"o", 10, 30}, {"O", 22, 18}, {"S", 10, 24},
             {"s", 10, 26}, {"cO", 10, 30}, {"o-", 10, 30}, {"o1", 10, 30}, {",", 34, 8}, {",", 10, 8}})
        t.add(cls, top, h);
    // c = 452 / 18 = 25, d = 22 for the 'l'; then c = 410 / 15 = 27, d = 24.
    EXPECT_EQ(t.apply(), "A_A_A_A_A_A_A_A_A_A_'_i_'_i_O_o_s_S_COO-o1,_'_");
    Slots none;  // no full-height character: nothing changes
    none.add("o", 10, 30);
    none.add("s", 10, 5);
    EXPECT_EQ(none.apply(), "o_s_");
}

class FieldReading : public ::testing::Test {
protected:
    void SetUp() override {
        io = OCR_init(nullptr, 0);
        gn::ListEntry list[1];
        std::snprintf(list[0].path, sizeof list[0].path, "font.kbf");
        gn::set_entries(list, 1);
        gn::KbEntry& e = gn::kb_store().entries[0];
        TestBitmap scratch(1, 1);
        for (char c : std::string("ABC1238")) {
            gn::Net* n = gntest::glyph_net(c, 4, 3, &scratch);
            n->next = std::exchange(e.nets, n);
            ++e.net_count;
        }
        e.loaded = true, gn::kb_store().loaded_count = 1;
    }
    void TearDown() override { OCR_cleanup(); }
    int read(TestBitmap& b) { return testsupport::show_whole_field(io, b), OCR_recognize_field(); }
    // Left and right of box i.
    std::pair<int, int> box(int i) const { return {io->boxes[i][0], io->boxes[i][2]}; }
    ocr_io* io = nullptr;
    testsupport::MessageLog quiet;
};

TEST_F(FieldReading, ReadsTextSpacesKindsAndTemplates) {
    struct Case { const char* name; std::function<void(TestBitmap&)> draw; int kb_mode; const char* tmpl; int count; const char *raw, *text; };
    const auto text = [](const char* s, int gap, int space) {
        return [=](TestBitmap& b) { gntest::draw_text(b, s, 4, 6, 4, gap, space); };
    };
    const std::vector<Case> cases = {
        {"words", text("ABC 123", 4, 16), 0, "", 6, "A_B_C_ _1_2_3_", "ABC 123"},
        {"a twelve-pixel gap is a blank", [](TestBitmap& b) {
             gntest::draw_text(b, "C", gntest::draw_text(b, "AB", 2, 6, 4, 2, 12) + 12, 6, 4, 2, 12); },
         0, "", 3, "A_B_ _C_", "AB C"},
        {"template", text("A8C 123", 4, 16), 0, "CCC NNN", 6, "A_8_C_ _1_2_3_", "ABC 123"},
        {"digits kind: A -> 4, no rule for C", text("A8C 123", 4, 16), 1, "", 6, "A_8_C_ _1_2_3_", "48C 123"},
        {"one character on request", [](TestBitmap& b) { gntest::draw_glyph(b, '2', 10, 5, 4); }, 255, "", 1, "2_", "2"},
        {"empty region", [](TestBitmap&) {}, 0, "", 0, "", ""},
        {"empty region, one character", [](TestBitmap&) {}, 255, "", 0, "", ""},
        {"unknown shape reads as a caret",
         [](TestBitmap& b) { b.fill(10, 5, 20, 3); b.fill(10, 5, 3, 28); b.fill(27, 20, 3, 13); }, 0, "", 1, "^_", "^"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestBitmap b(220, 40);
        c.draw(b);
        io->kb_mode = c.kb_mode;
        std::strcpy(io->template_, c.tmpl);
        std::strcpy(io->text, "old");
        ASSERT_EQ(read(b), c.count);
        EXPECT_EQ(io->box_count, c.count);
        EXPECT_EQ(std::string(io->raw_text) + "|" + io->text, std::string(c.raw) + "|" + c.text);
    }
    TestBitmap b(220, 40);
    gntest::draw_text(b, "ABC 123", 4, 6, 4, 4, 16);
    io->kb_mode = 0;
    read(b);
    EXPECT_EQ(std::vector<int>(io->boxes[0], io->boxes[0] + 4), (std::vector<int>{4, 6, 24, 34}));
    EXPECT_EQ(io->boxes[3][0], 4 + 3 * 24 + 12 + 4);  // '1' starts one cell in
    TestBitmap touching(100, 40);
    gntest::draw_text(touching, "AB", 4, 6, 4, 0, 16);  // no gap and no falling path: split where 'A' ends
    ASSERT_EQ(read(touching), 2);
    EXPECT_EQ(std::make_pair(box(0), box(1)), std::make_pair(std::make_pair(4, 24), std::make_pair(24, 44)));
}

TEST_F(FieldReading, GapTolerantRequestsKeepBrokenCharactersWhole) {
    // 'B' cut by three empty columns, three times, 25 and then 6 columns apart.
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
    EXPECT_EQ(std::make_pair(gn::current_frame().left, gn::current_frame().width), std::make_pair(4, 20));
    gn::KbStore& st = gn::kb_store();
    gn::KbEntry& e = st.entries[1];
    std::snprintf(e.path, sizeof e.path, "gaps.kbf");
    std::tie(e.type, e.nets, e.net_count, e.loaded) = std::make_tuple(250, gntest::framed_net('B', 0), 1, true);
    st.entry_count = st.loaded_count = 2;
    io->gap_tolerant = 1;
    ASSERT_EQ(read(b), 3);
    EXPECT_STREQ(io->raw_text, "B_ _B_B_");  // space width 20: a blank for 25, none for 6
    EXPECT_EQ(box(1), std::make_pair(49, 69));
    io->gap_tolerant = 0;  // the font base alone, one piece per half
    ASSERT_EQ(read(b), 6);
    EXPECT_EQ(std::make_pair(box(0).second, box(1).first), std::make_pair(12, 15));
}

TEST_F(FieldReading, WideGapsNeedTwoEmptyColumns) {
    TestBitmap b(100, 40);
    gntest::draw_text(b, "AB", 4, 6, 4, 1, 16);
    io->wide_gaps = 1;  // one piece [4, 45), cut at its empty column
    ASSERT_EQ(read(b), 2);
    EXPECT_EQ(io->raw_text + std::to_string(box(0).second) + "-" + std::to_string(box(1).first), "A_B_24-25");
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
    std::tie(io->left, io->top, io->right, io->bottom) = std::make_tuple(-300, -50, 5000, 900);
    ASSERT_EQ(OCR_recognize_field(), 2);
    EXPECT_STREQ(io->raw_text, "A_B_");
    // 2100 blocks of 4 x 6: 2047 segments at most, the slot string stops at 2046 bytes.
    TestBitmap many(12700, 10);
    for (int i = 0; i < 2100; ++i) many.fill(i * 6, 2, 4, 6);
    ASSERT_EQ(read(many), 1023);
    EXPECT_EQ(std::strlen(io->raw_text), 2046u);
    EXPECT_EQ(io->boxes[1022][0], 1022 * 6);
}

}  // namespace
