// Learning through OCR_: taught bases, samples of corrections, files written or kept, messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "kb/kb_store.h"
#include "kb/staged_file.h"
#include "learning_fixture.h"
#include "orvosys.h"
#include "path_helpers.h"

#include <sys/stat.h>

namespace {

using gntest::Bytes;
using gntest::kSaveFailed;
using gntest::Step;
using gntest::TestBitmap;
using testsupport::read_bytes;
using testsupport::write_bytes;
using Records = std::vector<std::string>;

const char* const kNothingNew = "Didn't learn anything new\n[character(s) already recognized]";

class Learning : public gntest::LearningTest {
public:
    void SetUp() override { open_base(dir); }
    testsupport::TempDir dir;
};

TEST_F(Learning, ACorrectedReadingStoresTheRightSamples) {
    struct Case { const char* name; std::vector<Step> steps; Records records; std::function<void(Learning&)> then; };
    const std::vector<Case> cases = {
        {"size-ambiguous letters learn nothing new", {{'C', "o", "", 4}, {'C', "O", "o", 4}}, {"o_+"},
         [](Learning& t) {
             EXPECT_EQ(t.shown, (std::vector<testsupport::ShownBox>{
                                    {"OCR_learn_char: Info", kNothingNew, OSYS_MB_OK | OSYS_MB_ICONINFORMATION}}));
         }},
        {"a same-group correction stores a counter-sample", {{'8', "0", "", 4}, {'C', "o", "", 4}, {'C', "0", "o", 5}},
         {"0_+", "o_+", "o_-", "0_+"}, [](Learning& t) { EXPECT_EQ(t.read_alone(), "0"); }},
        {"a new-class correction adds only a sample", {{'8', "8", "", 4}, {'8', "B", "8", 4}}, {"8_+", "B_+"}, {}},
        {"reteaching a frame as another class keeps the first", {{'A', "D", "", 4}, {'A', "X", "D", 4}}, {"D_+"},
         [](Learning& t) { EXPECT_EQ(t.read_alone(), "D"); }},
        {"a shown class the base lacks gets a net without nodes", {{'A', "A", "i", 4}}, {"A_+"},
         [](Learning& t) {
             const Bytes b = read_bytes(t.kb);
             ASSERT_GE(b.size(), 19u);
             EXPECT_EQ((Bytes{b.begin(), b.begin() + 10}), (Bytes{2, 0, 0, 0, 0, 0, 0, 0, 'i', '_'}));
             EXPECT_EQ(std::make_pair(b[11], b[15]), std::make_pair(std::uint8_t(1), std::uint8_t('A')));  // 'A', one node
             t.init();
             EXPECT_EQ(gn::kb_store().entries[0].net_count, 2);
             EXPECT_EQ(t.read_glyph('A'), "A");
         }},
        {"reteaching without a patterns file", {{'A', "A", "", 4}, {'-', "", "", 0}, {'A', "B", "A", 4}}, {},
         [](Learning& t) {
             EXPECT_TRUE(t.shown.empty() && !pathutil::file_exists(t.dat.c_str()));
             ASSERT_NE(gn::kb_store().entries[0].nets, nullptr);
             EXPECT_EQ(gn::kb_store().entries[0].nets->node_count, 0);
         }},
        {"a class is in the base by its samples",
         {{'8', "0", "", 4}, {'C', "o", "", 4}, {'-', "", "", 0}, {'C', "0", "o", 5}}, {"0_+"},
         [](Learning&) { EXPECT_NE(gn::find_net(gn::kb_store().entries[0].nets, 'o', '_'), nullptr); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(kb.c_str()), std::remove(dat.c_str());
        init();
        shown.clear();
        for (const Step& s : c.steps) ASSERT_EQ(run(s), 1);
        if (!c.records.empty()) { EXPECT_EQ(records(), c.records); }
        if (c.then) c.then(*this);
    }
}

TEST_F(Learning, SeparatePriorFrameTeachesACounterSample) {
    ASSERT_EQ(teach('A', "A"), 1);
    // "AB" was read as one 'A' over both; the user re-frames the B.
    TestBitmap field(80, 44);
    gntest::draw_text(field, "AB", 4, 8, 4, 4, 16);
    testsupport::show_whole_field(io, field);
    OCR_recognize_field();
    std::tie(io->left, io->right) = std::make_pair(28, 48);
    const int prior[4] = {4, 8, 48, 36};
    std::memcpy(io->prior_frame, prior, sizeof prior);
    std::strcpy(io->taught_class, "B"), std::strcpy(io->shown_class, "A");
    ASSERT_EQ(OCR_learn_char(), 1);
    EXPECT_EQ(records(), (Records{"A_+", "A_-", "B_+"}));
}

// The patterns file made when learning starts stays when nothing new is learned, goes on a refusal.
TEST_F(Learning, RejectsBadRequestsAndRemovesTheNewPatternsFile) {
    show_glyph('A', "A", "");
    io->kb_index = 0;
    EXPECT_EQ(OCR_learn_char(), 0);
    expect_last("OCR_learn_char: Error", "Current knowledge base unspecified\n(index / path / name)");
    EXPECT_EQ(teach('A', "A", "A"), 1);
    EXPECT_EQ(shown.back().text, kNothingNew);
    EXPECT_TRUE(read_bytes(dat).empty() && pathutil::file_exists(dat.c_str()) && !pathutil::file_exists(kb.c_str()));
    ASSERT_EQ(std::remove(dat.c_str()), 0);
    shown.clear();
    EXPECT_EQ(teach('A', ""), 0);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].title + ": " + shown[0].text, "Error: Sorry, invalid class name (ASCII code < 32)!");
    EXPECT_EQ(shown[1].text, "Couldn't learn current pattern");
    EXPECT_FALSE(pathutil::file_exists(dat.c_str()) || pathutil::file_exists(kb.c_str()));
}

TEST_F(Learning, UnlearningTheLastClassDeletesTheFiles) {
    teach_all("A1");
    EXPECT_EQ(unlearn("A"), 1);
    EXPECT_EQ(std::make_pair(records(), OCR_get_kb_type(kb.c_str())), std::make_pair(Records{"1_+"}, 1));
    EXPECT_EQ(unlearn("1 "), 1);  // a blank second character: the one-character class
    EXPECT_FALSE(pathutil::file_exists(kb.c_str()) || pathutil::file_exists(dat.c_str()));
    EXPECT_EQ(unlearn("1 "), 0);
    expect_last("OCR_unlearn_char: Error", "Current knowledge base unspecified or not present");
}

TEST_F(Learning, AFailedWriteKeepsTheOldFilesAndADamagedBaseIsKept) {
    ASSERT_EQ(teach('A', "A"), 1);
    const Bytes kb_before = read_bytes(kb), dat_before = read_bytes(dat);
    ASSERT_EQ(mkdir(gn::StagedFile::temp_path_for(kb.c_str()).c_str(), 0700), 0);
    EXPECT_EQ(teach('B', "B"), 0);
    expect_last("OCR_learn_char: Error", kSaveFailed);
    EXPECT_TRUE(read_bytes(kb) == kb_before && read_bytes(dat) == dat_before);
    EXPECT_EQ(gn::kb_store().entries[0].net_count, 1);  // memory matches the disk
    rmdir(gn::StagedFile::temp_path_for(kb.c_str()).c_str());
    write_bytes(kb, {5, 0, 0, 0, 1, 2});
    init();
    ASSERT_EQ(teach('A', "A"), 1);
    EXPECT_EQ(read_bytes(kb + ".damaged"), (Bytes{5, 0, 0, 0, 1, 2}));
    expect_last("OCR_learn_char: Warning", "The damaged knowledge base file was kept as\n" + kb + ".damaged");
    EXPECT_EQ(OCR_get_kb_type(kb.c_str()), 2);
}

}  // namespace
