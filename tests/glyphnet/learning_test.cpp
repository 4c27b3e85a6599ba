// Learning and unlearning through the OCR_ interface: bases built by
// teaching drawn glyphs, the cases of a corrected reading, the files written
// (and kept when a write fails), and the messages shown.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "glyph_font.h"
#include "glyphnet.h"
#include "kb/kb_store.h"
#include "kb/staged_file.h"
#include "orvosys.h"
#include "path_helpers.h"
#include "message_log.h"
#include "zero_alloc.h"

#include <sys/stat.h>

namespace {

using gntest::TestBitmap;
using testsupport::read_bytes;
using testsupport::write_bytes;
using Bytes = std::vector<std::uint8_t>;

class Learning : public ::testing::Test {
public:
    void SetUp() override {
        io = OCR_init(list.c_str(), 0);
        ASSERT_NE(io, nullptr);
        io->kb_index = 1;
    }
    void TearDown() override { OCR_cleanup(); }
    void show(TestBitmap& b) { testsupport::show_whole_field(io, b); }
    // Draws glyph g alone, reads it, then teaches it as class `taught`
    // with `shown_cls` as the class that was read.
    int teach(char g, const char* taught, const char* shown_cls, int scale = 4) {
        glyph = TestBitmap(5 * scale + 20, 7 * scale + 20);
        gntest::draw_glyph(glyph, g, 10, 10, scale);
        show(glyph);
        OCR_recognize_field();
        std::snprintf(io->taught_class, sizeof io->taught_class, "%s", taught);
        std::snprintf(io->shown_class, sizeof io->shown_class, "%s", shown_cls);
        std::memset(io->prior_frame, 0, sizeof io->prior_frame);
        return OCR_learn_char();
    }
    std::string read_text(const std::string& text) {
        field = TestBitmap(260, 44);
        gntest::draw_text(field, text, 4, 8, 4, 4, 16);
        show(field);
        io->kb_index = 0;
        OCR_recognize_field();
        io->kb_index = 1;
        return io->text;
    }
    // (class, kind) of every record of the patterns file.
    std::vector<std::string> records() {
        const Bytes b = read_bytes(dat);
        std::vector<std::string> r;
        for (std::size_t i = 0; i + 52 <= b.size(); i += 52)
            r.push_back(std::string{char(b[i]), char(b[i + 1])} + (b[i + 2] == 0xFF ? "-" : "+"));
        return r;
    }
    testsupport::KbFolder folder;
    const std::string &kb = folder.kb, &dat = folder.dat, &list = folder.list;
    testsupport::MessageLog log;
    std::vector<testsupport::ShownBox>& shown = log.shown;
    ocr_io* io = nullptr;
    TestBitmap glyph{1, 1}, field{1, 1};
};

TEST_F(Learning, TaughtGlyphsAreReadBackInFields) {
    for (char c : std::string("ABC1238")) {
        const char cls[2] = {c, 0};
        ASSERT_EQ(teach(c, cls, ""), 1) << c;
    }
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(read_text("ABC 123"), "ABC 123");
    EXPECT_STREQ(io->raw_text, "A_B_C_ _1_2_3_");
    EXPECT_EQ(io->box_count, 6);
    EXPECT_EQ(io->boxes[1][0], 4 + 24);
    EXPECT_EQ(read_text("8A3"), "8A3");
    // Files: 7 samples, 7 nets, read back the same after a new init.
    EXPECT_EQ(read_bytes(dat).size(), 7u * 52);
    EXPECT_EQ(OCR_get_kb_type(kb.c_str()), 0);
    const Bytes before = read_bytes(kb);
    ASSERT_NE(OCR_init(list.c_str(), 0), nullptr);
    EXPECT_EQ(gn::kb_store().entries[0].net_count, 7);
    EXPECT_EQ(read_text("ABC"), "ABC");
    io->kb_index = 1;
    char classes[512];
    EXPECT_EQ(OCR_get_base_contents(classes), 14);
    EXPECT_STREQ(classes, "A_B_c_1_2_3_8_");  // c is learned in lower case
    EXPECT_EQ(before, read_bytes(kb));
}

TEST_F(Learning, SizeAmbiguousLettersLearnNothingNew) {
    ASSERT_EQ(teach('C', "o", ""), 1);
    ASSERT_EQ(teach('C', "O", "o"), 1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "OCR_learn_char: Info");
    EXPECT_EQ(shown[0].text, "Didn't learn anything new\n[character(s) already recognized]");
    EXPECT_EQ(shown[0].style, unsigned(OSYS_MB_OK | OSYS_MB_ICONINFORMATION));
    EXPECT_EQ(records(), (std::vector<std::string>{"o_+"}));
}

TEST_F(Learning, SameGroupCorrectionStoresACounterSample) {
    ASSERT_EQ(teach('8', "0", ""), 1);
    ASSERT_EQ(teach('C', "o", ""), 1);
    ASSERT_EQ(teach('C', "0", "o", 5), 1);
    EXPECT_EQ(records(), (std::vector<std::string>{"0_+", "o_+", "o_-", "0_+"}));
    glyph = TestBitmap(50, 60);
    gntest::draw_glyph(glyph, 'C', 10, 10, 5);
    show(glyph);
    io->kb_mode = 255;
    ASSERT_EQ(OCR_recognize_field(), 1);
    EXPECT_STREQ(io->text, "0");
}

TEST_F(Learning, NewClassCorrectionAddsOnlyAPositiveSample) {
    ASSERT_EQ(teach('8', "8", ""), 1);
    ASSERT_EQ(teach('8', "B", "8"), 1);
    EXPECT_EQ(records(), (std::vector<std::string>{"8_+", "B_+"}));
}

// The new class's sample sits on the centre of the first class's node: the
// node and the sample go, and the first class's sample gets its node back.
TEST_F(Learning, ReteachingAFrameAsAnotherClassKeepsTheFirstClass) {
    ASSERT_EQ(teach('A', "D", ""), 1);
    ASSERT_EQ(teach('A', "X", "D"), 1);
    EXPECT_EQ(records(), (std::vector<std::string>{"D_+"}));
    io->kb_mode = 255;
    ASSERT_EQ(OCR_recognize_field(), 1);
    EXPECT_STREQ(io->text, "D");
}

// Rebuilding a shown class that has no samples and no net stores a net
// without nodes for it.
TEST_F(Learning, AShownClassTheBaseLacksGetsANetWithoutNodes) {
    ASSERT_EQ(teach('A', "A", "i"), 1);
    EXPECT_EQ(records(), (std::vector<std::string>{"A_+"}));
    const Bytes b = read_bytes(kb);
    ASSERT_GE(b.size(), 19u);
    EXPECT_EQ((Bytes{b.begin(), b.begin() + 10}), (Bytes{2, 0, 0, 0, 0, 0, 0, 0, 'i', '_'}));
    EXPECT_EQ(b[11], 1);  // then the net of 'A', with one node
    EXPECT_EQ(b[15], 'A');
    ASSERT_NE(OCR_init(list.c_str(), 0), nullptr);
    EXPECT_EQ(gn::kb_store().entries[0].net_count, 2);
    EXPECT_EQ(read_text("A"), "A");
}

// A base whose patterns file is gone: re-teaching the frame its net was
// made from as another class deletes that node and drops the new sample,
// which leaves no sample at all for the taught class's rebuild.
TEST_F(Learning, ReteachingWithoutAPatternsFileSucceeds) {
    ASSERT_EQ(teach('A', "A", ""), 1);
    ASSERT_EQ(std::remove(dat.c_str()), 0);
    EXPECT_EQ(teach('A', "B", "A"), 1);
    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(pathutil::file_exists(dat.c_str()));
    ASSERT_NE(gn::kb_store().entries[0].nets, nullptr);
    EXPECT_EQ(gn::kb_store().entries[0].nets->node_count, 0);
}

// A class with a net but no samples is not in the base: teaching it for a
// class of its group adds a positive sample and leaves the shown class's
// net alone, with no counter-sample.
TEST_F(Learning, AClassIsInTheBaseByItsSamples) {
    ASSERT_EQ(teach('8', "0", ""), 1);
    ASSERT_EQ(teach('C', "o", ""), 1);
    ASSERT_EQ(std::remove(dat.c_str()), 0);
    ASSERT_EQ(teach('C', "0", "o", 5), 1);
    EXPECT_EQ(records(), (std::vector<std::string>{"0_+"}));
    EXPECT_NE(gn::find_net(gn::kb_store().entries[0].nets, 'o', '_'), nullptr);
}

// The patterns file is made when learning starts and stays when nothing
// new was learned; a failed call removes it again.
TEST_F(Learning, CreatesThePatternsFileAndRemovesItOnFailure) {
    EXPECT_EQ(teach('A', "A", "A"), 1);
    EXPECT_EQ(shown.back().text, "Didn't learn anything new\n[character(s) already recognized]");
    EXPECT_TRUE(pathutil::file_exists(dat.c_str()));
    EXPECT_TRUE(read_bytes(dat).empty());
    EXPECT_FALSE(pathutil::file_exists(kb.c_str()));
    ASSERT_EQ(std::remove(dat.c_str()), 0);
    EXPECT_EQ(teach('A', "", ""), 0);
    EXPECT_FALSE(pathutil::file_exists(dat.c_str()));
    EXPECT_EQ(teach('A', "A", ""), 1);
    EXPECT_EQ(records(), (std::vector<std::string>{"A_+"}));
}

TEST_F(Learning, SeparatePriorFrameTeachesACounterSample) {
    ASSERT_EQ(teach('A', "A", ""), 1);
    // The field "AB" was read as one 'A' over both; the user re-frames B.
    field = TestBitmap(80, 44);
    gntest::draw_text(field, "AB", 4, 8, 4, 4, 16);
    show(field);
    OCR_recognize_field();
    io->left = 28;  // B alone
    io->right = 48;
    io->prior_frame[0] = 4;
    io->prior_frame[1] = 8;
    io->prior_frame[2] = 48;  // both letters
    io->prior_frame[3] = 36;
    std::strcpy(io->taught_class, "B");
    std::strcpy(io->shown_class, "A");
    ASSERT_EQ(OCR_learn_char(), 1);
    EXPECT_EQ(records(), (std::vector<std::string>{"A_+", "A_-", "B_+"}));
}

TEST_F(Learning, RejectsBadRequests) {
    io->kb_index = 0;
    EXPECT_EQ(teach('A', "A", ""), 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "OCR_learn_char: Error");
    EXPECT_EQ(shown[0].text, "Current knowledge base unspecified\n(index / path / name)");
    io->kb_index = 1;
    EXPECT_EQ(teach('A', "", ""), 0);
    EXPECT_EQ(shown[1].title, "Error");
    EXPECT_EQ(shown[1].text, "Sorry, invalid class name (ASCII code < 32)!");
    EXPECT_EQ(shown[2].text, "Couldn't learn current pattern");
    EXPECT_FALSE(pathutil::file_exists(kb.c_str()));
}

TEST_F(Learning, UnlearningTheLastClassDeletesTheFiles) {
    ASSERT_EQ(teach('A', "A", ""), 1);
    ASSERT_EQ(teach('1', "1", ""), 1);
    std::strcpy(io->taught_class, "Z");
    EXPECT_EQ(OCR_unlearn_char(), 0);
    EXPECT_EQ(shown.back().title, "OCR_unlearn_char: Warning");
    EXPECT_EQ(shown.back().text,
              "Character/group to be unlearned\nnot found in current knowledge base");
    std::strcpy(io->taught_class, "A");
    EXPECT_EQ(OCR_unlearn_char(), 1);
    EXPECT_EQ(records(), (std::vector<std::string>{"1_+"}));
    EXPECT_EQ(OCR_get_kb_type(kb.c_str()), 1);
    std::strcpy(io->taught_class, "1 ");
    EXPECT_EQ(OCR_unlearn_char(), 1);
    EXPECT_FALSE(pathutil::file_exists(kb.c_str()));
    EXPECT_FALSE(pathutil::file_exists(dat.c_str()));
    EXPECT_EQ(OCR_unlearn_char(), 0);
    EXPECT_EQ(shown.back().title, "OCR_unlearn_char: Error");
    EXPECT_EQ(shown.back().text, "Current knowledge base unspecified or not present");
}

TEST_F(Learning, AFailedWriteKeepsTheOldFiles) {
    ASSERT_EQ(teach('A', "A", ""), 1);
    const Bytes kb_before = read_bytes(kb), dat_before = read_bytes(dat);
    ASSERT_EQ(mkdir(gn::StagedFile::temp_path_for(kb.c_str()).c_str(), 0700), 0);
    EXPECT_EQ(teach('B', "B", ""), 0);
    EXPECT_EQ(shown.back().title, "OCR_learn_char: Error");
    EXPECT_EQ(shown.back().text,
              "Couldn't save the knowledge base files\n(the previous files were kept)");
    EXPECT_EQ(read_bytes(kb), kb_before);
    EXPECT_EQ(read_bytes(dat), dat_before);
    EXPECT_EQ(gn::kb_store().entries[0].net_count, 1);  // memory matches the disk
}

// Makes the k-th allocation of `call` fail for k = 1, 2, ... until the call
// no longer meets a failure; every failed call must return 0, show only
// texts of `allowed` (text -> title) and leave both files as they were.
// Returns the texts shown.
using Messages = std::map<std::string, std::string>;
template <typename Call>
std::set<std::string> walk_failures(Learning* t, Call call, const Messages& allowed) {
    const Bytes kb_before = read_bytes(t->kb), dat_before = read_bytes(t->dat);
    std::set<std::string> seen;
    for (long k = 1; k < 200; ++k) {
        t->shown.clear();
        orvo::alloc_fail_at(k);
        const int r = call();
        const bool met = orvo::alloc_count() >= k;
        orvo::alloc_fail_at(0);
        if (!met) {
            EXPECT_EQ(r, 1) << k;
            break;
        }
        EXPECT_EQ(r, 0) << k;
        EXPECT_FALSE(t->shown.empty()) << k;
        for (const testsupport::ShownBox& m : t->shown) {
            const auto it = allowed.find(m.text);
            EXPECT_TRUE(it != allowed.end() && m.title == it->second)
                << k << " " << m.title << ": " << m.text;
            EXPECT_EQ(m.style, unsigned(OSYS_MB_OK | OSYS_MB_ICONERROR));
            seen.insert(m.text);
        }
        EXPECT_EQ(read_bytes(t->kb), kb_before) << k;
        EXPECT_EQ(read_bytes(t->dat), dat_before) << k;
    }
    return seen;
}

TEST_F(Learning, MemoryFailuresAreReportedAndKeepTheFiles) {
    ASSERT_EQ(teach('A', "A", ""), 1);
    ASSERT_EQ(teach('8', "8", ""), 1);
    // Teaching 'B' for the '8': a new class after the shown one.
    glyph = TestBitmap(40, 48);
    gntest::draw_glyph(glyph, 'B', 10, 10, 4);
    show(glyph);
    OCR_recognize_field();  // installs the bitmap that learning reads
    std::strcpy(io->taught_class, "B");
    std::strcpy(io->shown_class, "8");
    const char* le = "OCR_learn_char: Error";
    const std::set<std::string> learn =
        walk_failures(this, [] { return OCR_learn_char(); },
                      {{"Couldn't load patterns file\n(Memory allocation error)", le},
                       {"Can't add new pattern! (Memory allocation error)", "Error"},
                       {"Memory allocation error (can't create new node)", "Error"},
                       {"Memory allocation error. Can't create new nodes", "Error"},
                       {"Memory allocation error. Can't create new net", "Error"},
                       {"Couldn't learn current pattern", le},
                       {"Couldn't save the knowledge base files\n(the previous files were kept)",
                        le}});
    EXPECT_EQ(learn.count("Couldn't load patterns file\n(Memory allocation error)"), 1u);
    EXPECT_EQ(learn.count("Can't add new pattern! (Memory allocation error)"), 1u);
    EXPECT_EQ(learn.count("Memory allocation error. Can't create new net"), 1u);
    EXPECT_EQ(learn.count("Couldn't learn current pattern"), 1u);
    EXPECT_EQ(records(), (std::vector<std::string>{"A_+", "8_+", "B_+"}));

    std::strcpy(io->taught_class, "A");
    const char* ue = "OCR_unlearn_char: Error";
    const std::set<std::string> unlearn =
        walk_failures(this, [] { return OCR_unlearn_char(); },
                      {{"Couldn't load patterns file\n(Memory allocation error)", ue},
                       {"Can't remove pattern! (Memory allocation error)", "Error"},
                       {"Couldn't save the knowledge base files\n(the previous files were kept)",
                        ue}});
    EXPECT_EQ(unlearn.count("Couldn't load patterns file\n(Memory allocation error)"), 1u);
    EXPECT_EQ(unlearn.count("Can't remove pattern! (Memory allocation error)"), 1u);
    EXPECT_EQ(records(), (std::vector<std::string>{"8_+", "B_+"}));
}

TEST_F(Learning, ADamagedBaseIsKeptBesideItsReplacement) {
    write_bytes(kb, {5, 0, 0, 0, 1, 2});
    ASSERT_NE(OCR_init(list.c_str(), 0), nullptr);
    io->kb_index = 1;
    ASSERT_EQ(teach('A', "A", ""), 1);
    EXPECT_EQ(read_bytes(kb + ".damaged"), (Bytes{5, 0, 0, 0, 1, 2}));
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back().title, "OCR_learn_char: Warning");
    EXPECT_NE(shown.back().text.find(".damaged"), std::string::npos);
    EXPECT_EQ(OCR_get_kb_type(kb.c_str()), 2);
}

}  // namespace
