// Learning batches write at their end what single calls write, and keep the files when abandoned.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "kb/kb_store.h"
#include "kb/staged_file.h"
#include "learning_fixture.h"
#include "path_helpers.h"

#include <sys/stat.h>

namespace {

using gntest::Bytes;
using gntest::kSaveFailed;
using testsupport::read_bytes;
using testsupport::TempDir;
using testsupport::write_bytes;

using Call = gntest::Step;

struct Outcome {
    std::vector<int> results;
    std::vector<testsupport::ShownBox> messages;
    bool kb_exists, dat_exists;
    Bytes kb, dat;
    auto files() const { return std::tie(kb_exists, dat_exists, kb, dat); }
};

const char* const kNoBatch = "No learning batch is open";

class LearningBatch : public gntest::LearningTest {
public:
    // Makes `before` one by one in a fresh folder, then `calls`, inside a batch when `batched`.
    Outcome make(const TempDir& d, const std::vector<Call>& before, const std::vector<Call>& calls, bool batched) {
        open_base(d);
        for (const Call& c : before) EXPECT_EQ(run(c), 1);
        shown.clear();
        std::vector<int> results;
        if (batched) { EXPECT_EQ(OCR_begin_learning_batch(), 1); }
        const auto files0 = files();
        for (const Call& c : calls) {
            results.push_back(run(c));
            if (batched) { EXPECT_EQ(files(), files0); }  // nothing written before the end
        }
        if (batched) results.push_back(OCR_end_learning_batch());
        Outcome o{results, shown, pathutil::file_exists(kb.c_str()) != 0, pathutil::file_exists(dat.c_str()) != 0,
                  read_bytes(kb), read_bytes(dat)};
        OCR_cleanup(), io = nullptr;
        return o;
    }
};

// Classes, sizes, corrections in and out of a confusion group, unlearns, nothing new, an unknown.
const std::vector<Call> kCalls = {
    {'A', "A", "", 4}, {'B', "B", "", 4}, {'8', "8", "", 4},  {'C', "o", "", 4}, {'1', "1", "", 4}, {'B', "B", "", 5},
    {'8', "B", "8", 5}, {0, "1", "", 0},  {'C', "O", "o", 4}, {'2', "2", "", 3}, {'3', "3", "", 4}, {'C', "0", "o", 5},
    {'A', "A", "", 3}, {0, "Z", "", 0},   {'1', "1", "", 3},  {'8', "8", "B", 4},
};

TEST_F(LearningBatch, WritesWhatTheSameCallsWriteOneByOne) {
    // Unchecked: results empty, texts (the messages shown) {"*"}, records -1.
    struct Case { const char* name; std::vector<Call> before, calls; std::vector<int> results;
                  std::vector<std::string> texts; bool kb_exists, dat_exists; int records; };
    const std::vector<Call> first5(kCalls.begin(), kCalls.begin() + 5), rest(kCalls.begin() + 5, kCalls.end());
    const std::string nothing_new = "Didn't learn anything new\n[character(s) already recognized]";
    const std::vector<Case> cases = {
        {"mixed", {}, kCalls, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1},
         {nothing_new, "Character/group to be unlearned\nnot found in current knowledge base"}, true, true, -1},
        {"continued", first5, rest, {}, {"*"}, true, true, -1},
        {"empty region fails alone", {}, {{'A', "A", "", 4}, {' ', "X", "", 4}, {'B', "B", "", 4}, {'8', "8", "", 4}},
         {1, 0, 1, 1}, {"Couldn't adjust a framing window on character/group", "Couldn't learn current pattern"},
         true, true, 3},
        {"nothing new makes an empty patterns file", {}, {{'A', "A", "A", 4}}, {1}, {nothing_new}, false, true, 0},
        {"nothing new after unlearning", {}, {{'A', "A", "", 4}, {0, "A", "", 0}, {'A', "A", "A", 4}}, {}, {"*"},
         false, true, 0},
        {"unlearning the last class deletes", {}, {{'A', "A", "A", 4}, {'A', "A", "", 4}, {0, "A", "", 0}}, {}, {"*"},
         false, false, 0},
        {"unlearning everything", {{'A', "A", "", 4}, {'1', "1", "", 4}},
         {{0, "A", "", 0}, {0, "1", "", 0}, {'2', "2", "", 4}, {0, "2", "", 0}}, {1, 1, 1, 1}, {}, false, false, 0},
        {"a batch started on an empty base unlearns what it taught",
         {}, {{'A', "A", "", 4}, {'1', "1", "", 4}, {0, "A", "", 0}}, {1, 1, 1}, {}, true, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir one, many;
        const Outcome single = make(one, c.before, c.calls, false);
        const Outcome batch = make(many, c.before, c.calls, true);
        if (!c.results.empty()) { EXPECT_EQ(single.results, c.results); }
        std::vector<std::string> texts;
        for (const auto& m : single.messages) texts.push_back(m.text);
        if (c.texts != std::vector<std::string>{"*"}) { EXPECT_EQ(texts, c.texts); }
        EXPECT_EQ(std::make_pair(single.kb_exists, single.dat_exists), std::make_pair(c.kb_exists, c.dat_exists));
        EXPECT_EQ(single.dat.size() % 52, 0u);
        if (c.records >= 0) { EXPECT_EQ(single.dat.size(), 52u * c.records); }
        // The batch: the same results plus its end's 1, the same messages and bytes.
        std::vector<int> results = single.results;
        results.push_back(1);
        EXPECT_EQ(batch.results, results);
        EXPECT_EQ(batch.messages, single.messages);
        EXPECT_EQ(batch.files(), single.files());
    }
}

TEST_F(LearningBatch, RefusesMisuseAndServesFromMemoryMeanwhile) {
    EXPECT_EQ(OCR_begin_learning_batch(), 0);  // no record
    expect_last("OCR_begin_learning_batch: Error", "OCR i/o structure wasn't previously allocated");
    TempDir d;
    open_base(d);
    EXPECT_EQ(OCR_end_learning_batch(), 0);
    expect_last("OCR_end_learning_batch: Error", kNoBatch);
    ASSERT_EQ(OCR_begin_learning_batch(), 1);
    ASSERT_EQ(teach('A', "A"), 1);
    EXPECT_EQ(OCR_begin_learning_batch(), 0);
    expect_last("OCR_begin_learning_batch: Error", "A learning batch is already open");
    ASSERT_EQ(teach('B', "B"), 1);
    EXPECT_EQ(read_glyph('A') + read_glyph('B'), "AB");  // memory serves reading and queries meanwhile
    char classes[512];
    io->kb_index = 1;
    EXPECT_EQ(OCR_get_base_contents(classes), 4);
    EXPECT_STREQ(classes, "A_B_");
    EXPECT_FALSE(pathutil::file_exists(dat.c_str()));
    EXPECT_EQ(OCR_end_learning_batch(), 1);
    EXPECT_EQ(read_bytes(dat).size(), 2u * 52);
    EXPECT_EQ(OCR_end_learning_batch(), 0);  // a second end
    EXPECT_EQ(shown.size(), 4u);
    ASSERT_EQ(OCR_begin_learning_batch(), 1);
    EXPECT_EQ(OCR_end_learning_batch(), 1);  // nothing learned: nothing to write
}

TEST_F(LearningBatch, TeachesOnlyTheBaseOfItsFirstCall) {
    TempDir d;
    open_base(d, "[0] " + d.file("two.kbf") + "\r\n");
    ASSERT_EQ(OCR_begin_learning_batch(), 1);
    ASSERT_EQ(teach('A', "A"), 1);
    show_glyph('B', "B", "");
    io->kb_index = 2;
    EXPECT_EQ(OCR_learn_char(), 0);
    expect_last("OCR_learn_char: Error",
                "A learning batch teaches one knowledge base\n(end it before teaching another one)");
    ASSERT_EQ(teach('1', "1"), 1);
    EXPECT_EQ(OCR_end_learning_batch(), 1);
    EXPECT_EQ(read_bytes(dat).size(), 2u * 52);
    EXPECT_FALSE(pathutil::file_exists(d.file("two.kbf").c_str()) || pathutil::file_exists(d.file("two.dat").c_str()));
}

TEST_F(LearningBatch, KeepsADamagedBaseBesideItsReplacementAtTheEnd) {
    TempDir d;
    write_bytes(d.file("plates.kbf"), {5, 0, 0, 0, 1, 2});
    open_base(d);
    shown.clear();
    ASSERT_EQ(OCR_begin_learning_batch(), 1);
    teach_all("AB");
    EXPECT_FALSE(pathutil::file_exists((kb + ".damaged").c_str()));
    EXPECT_TRUE(read_bytes(kb) == Bytes({5, 0, 0, 0, 1, 2}) && shown.empty());
    ASSERT_EQ(OCR_end_learning_batch(), 1);
    EXPECT_TRUE(read_bytes(kb + ".damaged") == Bytes({5, 0, 0, 0, 1, 2}) && shown.size() == 1u);
    expect_last("OCR_end_learning_batch: Warning", "The damaged knowledge base file was kept as\n" + kb + ".damaged");
    EXPECT_EQ(OCR_get_kb_type(kb.c_str()), 2);  // letters only
}

// Leaving a batch without its end keeps the files and brings memory back to them.
class LearningBatchAbandoned : public LearningBatch {
public:
    // 'A' on disk; the batch teaches 'B', unlearns 'A', teaches '8'.
    void start(const TempDir& d) {
        open_base(d);
        ASSERT_EQ(teach('A', "A"), 1);
        before = files();
        ASSERT_EQ(OCR_begin_learning_batch(), 1);
        ASSERT_EQ(teach('B', "B"), 1);
        ASSERT_EQ(unlearn("A"), 1);
        ASSERT_EQ(teach('8', "8"), 1);
        shown.clear();
    }
    void expect_memory_of_files() {
        io->kb_index = 1;
        EXPECT_EQ(files(), before);
        EXPECT_EQ(gn::kb_store().entries[0].net_count, 1);
        EXPECT_EQ(read_glyph('A') + (read_glyph('B') == "B" ? "B" : "-"), "A-");
    }
    void expect_closed() {
        shown.clear();
        EXPECT_EQ(OCR_end_learning_batch(), 0);
        expect_last("OCR_end_learning_batch: Error", kNoBatch);
        EXPECT_EQ(files(), before);
    }
    std::pair<Bytes, Bytes> before;
};

TEST_F(LearningBatchAbandoned, ByAFailedWriteAtTheEnd) {
    TempDir d;
    start(d);
    ASSERT_EQ(mkdir(gn::StagedFile::temp_path_for(kb.c_str()).c_str(), 0700), 0);  // the base cannot be staged
    EXPECT_EQ(OCR_end_learning_batch(), 0);
    expect_last("OCR_end_learning_batch: Error", kSaveFailed);
    EXPECT_FALSE(pathutil::file_exists(gn::StagedFile::temp_path_for(dat.c_str()).c_str()));  // no staged file left
    expect_memory_of_files();
    expect_closed();
}

// Fails each allocation of `call` in a batch opened on 'A' after `taught`; each failed run keeps the files.
template <typename Prepare, typename Call, typename After>
void walk(LearningBatchAbandoned* t, long limit, const char* taught, Prepare prepare, Call call, After after) {
    for (long k = 1; k < limit; ++k) {
        SCOPED_TRACE(k);
        TempDir d;
        t->open_base(d);
        ASSERT_EQ(t->teach('A', "A"), 1);
        t->before = t->files();
        ASSERT_EQ(OCR_begin_learning_batch(), 1);
        t->teach_all(taught);
        t->shown.clear();
        prepare();
        orvo::alloc_fail_at(k);
        const int r = call();
        const bool met = orvo::alloc_count() >= k;
        orvo::alloc_fail_at(0);
        if (!met) {
            EXPECT_EQ(r, 1);
            EXPECT_GT(k, 2);  // the walk met some failures
            return;
        }
        EXPECT_TRUE(r == 0 && t->files() == t->before);
        after();
        EXPECT_EQ(t->files(), t->before);
        EXPECT_EQ(gn::kb_store().entries[0].net_count, 1);  // 'A' alone again
        OCR_cleanup(), t->io = nullptr;
    }
    ADD_FAILURE() << "the walk did not end";
}

TEST_F(LearningBatchAbandoned, ByAMemoryFailureInsideIt) {
    walk(this, 300, "8", [this] { show_glyph('B', "B", "8"); },  // a new class after the shown one
         [] { return OCR_learn_char(); }, [this] {
        EXPECT_FALSE(shown.empty());
        shown.clear();
        EXPECT_EQ(teach('C', "C"), 0);
        ASSERT_EQ(shown.size(), 1u);
        expect_last("OCR_learn_char: Error",
                    "A call of the learning batch failed: nothing more is learned\nuntil the batch ends");
        EXPECT_EQ(OCR_end_learning_batch(), 0);
        expect_last("OCR_end_learning_batch: Error",
                    "A call of the learning batch failed: nothing was saved\n(the previous files were kept)");
    });
}

TEST_F(LearningBatchAbandoned, ByAMemoryFailureOfTheEnd) {
    walk(this, 100, "B8", [] {}, [] { return OCR_end_learning_batch(); }, [] {});
}

}  // namespace
