// Learning batches: calls between OCR_begin_learning_batch and
// OCR_end_learning_batch leave the files alone until the end, which writes
// exactly what the same calls made one by one write; a batch that fails or
// is abandoned leaves the files as they were before it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
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
#include <unistd.h>

namespace {

using gntest::TestBitmap;
using testsupport::read_bytes;
using testsupport::TempDir;
using testsupport::write_bytes;
using Bytes = std::vector<std::uint8_t>;

// One learning call: teach glyph `g` drawn at `scale` as `taught`, read as
// `shown` (g == ' ': an empty field); or, with g == 0, unlearn class
// `taught`.
struct Call {
    char g;
    const char* taught;
    const char* shown;
    int scale;
};

// Several classes, repeated classes at other sizes, corrections in and out
// of a confusion group, an unlearn in the middle, a learn that teaches
// nothing new and an unlearn of an unknown class.
const std::vector<Call> kCalls = {
    {'A', "A", "", 4},  {'B', "B", "", 4},   {'8', "8", "", 4},  {'C', "o", "", 4},
    {'1', "1", "", 4},  {'B', "B", "", 5},   {'8', "B", "8", 5}, {0, "1", "", 0},
    {'C', "O", "o", 4}, {'2', "2", "", 3},   {'3', "3", "", 4},  {'C', "0", "o", 5},
    {'A', "A", "", 3},  {0, "Z", "", 0},     {'1', "1", "", 3},  {'8', "8", "B", 4},
};

struct Outcome {
    std::vector<int> results;
    std::vector<testsupport::ShownBox> messages;
    Bytes kb, dat;
    bool kb_exists, dat_exists;
};

class LearningBatch : public ::testing::Test {
public:
    void TearDown() override {
        orvo::alloc_fail_at(0);
        OCR_cleanup();
    }

    // Lists one base in `d` and initialises the engine on it.
    void open_base(const TempDir& d) {
        kb = d.file("plates.kbf");
        dat = d.file("plates.dat");
        list = d.file("list.$$$");
        const std::string text = "[0] " + kb + "\r\n";
        write_bytes(list, Bytes(text.begin(), text.end()));
        io = OCR_init(list.c_str(), 0);
        ASSERT_NE(io, nullptr);
        io->kb_index = 1;
    }
    void show(TestBitmap& b) { testsupport::show_whole_field(io, b); }
    int run(const Call& c) {
        io->kb_index = 1;
        if (c.g == 0) {
            std::snprintf(io->taught_class, sizeof io->taught_class, "%s", c.taught);
            return OCR_unlearn_char();
        }
        glyph = TestBitmap(5 * c.scale + 20, 7 * c.scale + 20);
        if (c.g != ' ') gntest::draw_glyph(glyph, c.g, 10, 10, c.scale);
        show(glyph);
        OCR_recognize_field();
        std::snprintf(io->taught_class, sizeof io->taught_class, "%s", c.taught);
        std::snprintf(io->shown_class, sizeof io->shown_class, "%s", c.shown);
        std::memset(io->prior_frame, 0, sizeof io->prior_frame);
        return OCR_learn_char();
    }
    int teach(char g, const char* taught) { return run({g, taught, "", 4}); }
    // The single character read from glyph g at scale 4.
    std::string read_glyph(char g) {
        glyph = TestBitmap(40, 48);
        gntest::draw_glyph(glyph, g, 10, 10, 4);
        show(glyph);
        io->kb_mode = 255;
        OCR_recognize_field();
        io->kb_mode = 0;
        return io->text;
    }
    Outcome outcome(std::vector<int> results) {
        return {std::move(results), shown, read_bytes(kb), read_bytes(dat),
                pathutil::file_exists(kb.c_str()) != 0, pathutil::file_exists(dat.c_str()) != 0};
    }
    // Makes the calls in a fresh folder, after `before` one by one; the
    // calls themselves inside a batch when `batched`.
    Outcome make(const TempDir& d, const std::vector<Call>& before, const std::vector<Call>& calls,
                 bool batched) {
        open_base(d);
        for (const Call& c : before) EXPECT_EQ(run(c), 1);
        shown.clear();
        std::vector<int> results;
        if (batched) {
            EXPECT_EQ(OCR_begin_learning_batch(), 1);
        }
        const Bytes kb0 = read_bytes(kb), dat0 = read_bytes(dat);
        for (const Call& c : calls) {
            results.push_back(run(c));
            if (batched) {  // nothing is written before the end
                EXPECT_EQ(read_bytes(kb), kb0);
                EXPECT_EQ(read_bytes(dat), dat0);
            }
        }
        if (batched) results.push_back(OCR_end_learning_batch());
        Outcome o = outcome(results);
        OCR_cleanup();
        io = nullptr;
        return o;
    }
    // Bytes of both files, for comparing.
    std::pair<Bytes, Bytes> files() const { return {read_bytes(kb), read_bytes(dat)}; }

    std::string kb, dat, list;
    ocr_io* io = nullptr;
    TestBitmap glyph{1, 1};
    testsupport::MessageLog log;
    std::vector<testsupport::ShownBox>& shown = log.shown;
};

void expect_same(const Outcome& single, const Outcome& batch) {
    ASSERT_EQ(batch.results.size(), single.results.size() + 1);
    for (std::size_t i = 0; i < single.results.size(); ++i)
        EXPECT_EQ(batch.results[i], single.results[i]) << "call " << i;
    EXPECT_EQ(batch.results.back(), 1);
    EXPECT_EQ(batch.messages, single.messages);
    EXPECT_EQ(batch.kb_exists, single.kb_exists);
    EXPECT_EQ(batch.dat_exists, single.dat_exists);
    EXPECT_EQ(batch.kb, single.kb);
    EXPECT_EQ(batch.dat, single.dat);
}

TEST_F(LearningBatch, WritesTheFilesOfTheSameCallsMadeOneByOne) {
    TempDir one, many;
    const Outcome single = make(one, {}, kCalls, false);
    const Outcome batch = make(many, {}, kCalls, true);
    // The sequence has its expected shape: two refusals, one "nothing new".
    EXPECT_EQ(single.results, (std::vector<int>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1}));
    ASSERT_EQ(single.messages.size(), 2u);
    EXPECT_EQ(single.messages[0].title, "OCR_learn_char: Info");
    EXPECT_EQ(single.messages[1].title, "OCR_unlearn_char: Warning");
    EXPECT_GT(single.dat.size(), 10u * 52);
    EXPECT_EQ(single.dat.size() % 52, 0u);
    EXPECT_FALSE(single.kb.empty());
    expect_same(single, batch);
}

// A call whose region holds nothing to frame fails, one by one as in a
// batch, without taking the batch's other calls with it.
TEST_F(LearningBatch, AnEmptyRegionFailsAloneAndTheBatchGoesOn) {
    const std::vector<Call> calls = {{'A', "A", "", 4}, {' ', "X", "", 4}, {'B', "B", "", 4}, {'8', "8", "", 4}};
    TempDir one, many;
    const Outcome single = make(one, {}, calls, false);
    const Outcome batch = make(many, {}, calls, true);
    EXPECT_EQ(single.results, (std::vector<int>{1, 0, 1, 1}));
    ASSERT_EQ(single.messages.size(), 2u);
    EXPECT_EQ(single.messages[0].text, "Couldn't adjust a framing window on character/group");
    EXPECT_EQ(single.messages[1].text, "Couldn't learn current pattern");
    expect_same(single, batch);
}

// A call that learns nothing new leaves the patterns file in place (made
// empty if missing), one by one as at the end of a batch; a later change
// decides again.
TEST_F(LearningBatch, NothingNewLeavesAPatternsFileAsOneByOne) {
    const std::vector<std::vector<Call>> sequences = {
        {{'A', "A", "A", 4}},
        {{'A', "A", "", 4}, {0, "A", "", 0}, {'A', "A", "A", 4}},
        {{'A', "A", "A", 4}, {'A', "A", "", 4}, {0, "A", "", 0}},
    };
    const bool dat_exists[] = {true, true, false};
    for (std::size_t k = 0; k < sequences.size(); ++k) {
        TempDir one, many;
        const Outcome single = make(one, {}, sequences[k], false);
        const Outcome batch = make(many, {}, sequences[k], true);
        EXPECT_EQ(single.dat_exists, dat_exists[k]) << k;
        EXPECT_TRUE(single.dat.empty()) << k;
        EXPECT_FALSE(single.kb_exists) << k;
        expect_same(single, batch);
    }
}

TEST_F(LearningBatch, ContinuesABaseThatAlreadyHasFiles) {
    const std::vector<Call> before(kCalls.begin(), kCalls.begin() + 5);
    const std::vector<Call> calls(kCalls.begin() + 5, kCalls.end());
    TempDir one, many;
    const Outcome single = make(one, before, calls, false);
    const Outcome batch = make(many, before, calls, true);
    expect_same(single, batch);
}

TEST_F(LearningBatch, UnlearningEverythingDeletesBothFilesAtTheEnd) {
    const std::vector<Call> before = {{'A', "A", "", 4}, {'1', "1", "", 4}};
    const std::vector<Call> calls = {{0, "A", "", 0}, {0, "1", "", 0}, {'2', "2", "", 4},
                                     {0, "2", "", 0}};
    TempDir one, many;
    const Outcome single = make(one, before, calls, false);
    const Outcome batch = make(many, before, calls, true);
    EXPECT_EQ(single.results, (std::vector<int>{1, 1, 1, 1}));
    EXPECT_FALSE(single.kb_exists);
    EXPECT_FALSE(single.dat_exists);
    expect_same(single, batch);
}

TEST_F(LearningBatch, MemoryServesReadingAndQueriesDuringTheBatch) {
    TempDir d;
    open_base(d);
    ASSERT_EQ(teach('A', "A"), 1);
    ASSERT_EQ(OCR_begin_learning_batch(), 1);
    ASSERT_EQ(teach('B', "B"), 1);
    ASSERT_EQ(teach('8', "8"), 1);
    EXPECT_EQ(read_glyph('B'), "B");
    EXPECT_EQ(read_glyph('8'), "8");
    io->kb_index = 1;
    char classes[512];
    EXPECT_EQ(OCR_get_base_contents(classes), 6);
    EXPECT_STREQ(classes, "A_B_8_");
    EXPECT_EQ(gn::kb_store().entries[0].net_count, 3);
    EXPECT_EQ(read_bytes(dat).size(), 52u);  // still the one sample on disk
    ASSERT_EQ(OCR_end_learning_batch(), 1);
    EXPECT_EQ(read_bytes(dat).size(), 3u * 52);
    EXPECT_TRUE(shown.empty());
}

TEST_F(LearningBatch, ABatchStartedOnAnEmptyBaseCanUnlearnWhatItTaught) {
    TempDir d;
    open_base(d);
    ASSERT_EQ(OCR_begin_learning_batch(), 1);
    ASSERT_EQ(teach('A', "A"), 1);
    ASSERT_EQ(teach('1', "1"), 1);
    std::strcpy(io->taught_class, "A");
    EXPECT_EQ(OCR_unlearn_char(), 1);
    EXPECT_FALSE(pathutil::file_exists(kb.c_str()));
    ASSERT_EQ(OCR_end_learning_batch(), 1);
    EXPECT_EQ(OCR_get_kb_type(kb.c_str()), 1);  // digits only
    EXPECT_EQ(read_bytes(dat).size(), 52u);
    EXPECT_EQ(read_bytes(dat)[0], '1');
}

// Abandoning: each way of leaving a batch without its end keeps the files
// and brings memory back to them.
class LearningBatchAbandoned : public LearningBatch {
public:
    void start() {
        open_base(d);
        ASSERT_EQ(teach('A', "A"), 1);
        before = files();
        ASSERT_EQ(OCR_begin_learning_batch(), 1);
        ASSERT_EQ(teach('B', "B"), 1);
        std::strcpy(io->taught_class, "A");
        ASSERT_EQ(OCR_unlearn_char(), 1);
        ASSERT_EQ(teach('8', "8"), 1);
        shown.clear();
    }
    // The batch is gone: the end reports it, nothing was written.
    void expect_closed() {
        EXPECT_EQ(OCR_end_learning_batch(), 0);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].title, "OCR_end_learning_batch: Error");
        EXPECT_EQ(shown[0].text, "No learning batch is open");
        EXPECT_EQ(files(), before);
    }
    // Memory holds the base of the files: only 'A'.
    void expect_memory_of_files() {
        EXPECT_EQ(gn::kb_store().entries[0].net_count, 1);
        EXPECT_EQ(read_glyph('A'), "A");
        EXPECT_NE(read_glyph('B'), "B");
    }
    TempDir d;
    std::pair<Bytes, Bytes> before;
};

TEST_F(LearningBatchAbandoned, ByCleanup) {
    start();
    OCR_cleanup();
    EXPECT_EQ(files(), before);
    io = OCR_init(list.c_str(), 0);
    ASSERT_NE(io, nullptr);
    io->kb_index = 1;
    expect_closed();
    expect_memory_of_files();
}

TEST_F(LearningBatchAbandoned, ByReset) {
    start();
    ASSERT_EQ(OCR_reset(), 1);
    EXPECT_EQ(files(), before);
    io->kb_index = 1;
    expect_memory_of_files();
    expect_closed();
    // Learning after it writes at once again.
    ASSERT_EQ(teach('B', "B"), 1);
    EXPECT_EQ(read_bytes(dat).size(), 2u * 52);
}

TEST_F(LearningBatchAbandoned, ByANewInit) {
    start();
    ASSERT_EQ(OCR_init(list.c_str(), 0), io);
    io->kb_index = 1;
    EXPECT_EQ(files(), before);
    expect_memory_of_files();
    expect_closed();
}

TEST_F(LearningBatchAbandoned, ByANewInitWithoutAList) {
    start();
    ASSERT_EQ(OCR_init(nullptr, 0), io);
    io->kb_index = 1;
    EXPECT_EQ(files(), before);
    expect_memory_of_files();
    expect_closed();
}

TEST_F(LearningBatchAbandoned, ByAFailedWriteAtTheEnd) {
    start();
    ASSERT_EQ(mkdir(gn::StagedFile::temp_path_for(kb.c_str()).c_str(), 0700), 0);
    EXPECT_EQ(OCR_end_learning_batch(), 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "OCR_end_learning_batch: Error");
    EXPECT_EQ(shown[0].text,
              "Couldn't save the knowledge base files\n(the previous files were kept)");
    EXPECT_EQ(files(), before);
    EXPECT_FALSE(pathutil::file_exists(gn::StagedFile::temp_path_for(dat.c_str()).c_str()));
    expect_memory_of_files();
    shown.clear();
    expect_closed();
}

TEST_F(LearningBatchAbandoned, ByAFailedPatternsWriteAtTheEnd) {
    start();
    ASSERT_EQ(mkdir(gn::StagedFile::temp_path_for(dat.c_str()).c_str(), 0700), 0);
    EXPECT_EQ(OCR_end_learning_batch(), 0);
    EXPECT_EQ(files(), before);
    expect_memory_of_files();
}

TEST_F(LearningBatchAbandoned, ByAnUnwritableFolder) {
    if (geteuid() == 0) GTEST_SKIP() << "folder permissions do not bind root";
    start();
    ASSERT_EQ(chmod(d.path().c_str(), 0500), 0);
    EXPECT_EQ(OCR_end_learning_batch(), 0);
    ASSERT_EQ(chmod(d.path().c_str(), 0700), 0);
    EXPECT_EQ(files(), before);
    expect_memory_of_files();
}

TEST_F(LearningBatchAbandoned, ByAMemoryFailureInsideIt) {
    // For every allocation of a learning call inside the batch: make it
    // fail, then check that the batch refuses further calls, that its end
    // reports the failure and that neither file changed.
    for (long k = 1; k < 300; ++k) {
        TempDir fresh;
        open_base(fresh);
        ASSERT_EQ(teach('A', "A"), 1);
        before = files();
        ASSERT_EQ(OCR_begin_learning_batch(), 1);
        ASSERT_EQ(teach('8', "8"), 1);
        shown.clear();
        // Teaching 'B' for the '8': a new class after the shown one.
        glyph = TestBitmap(40, 48);
        gntest::draw_glyph(glyph, 'B', 10, 10, 4);
        show(glyph);
        OCR_recognize_field();
        std::strcpy(io->taught_class, "B");
        std::strcpy(io->shown_class, "8");
        orvo::alloc_fail_at(k);
        const int r = OCR_learn_char();
        const bool met = orvo::alloc_count() >= k;
        orvo::alloc_fail_at(0);
        if (!met) {
            EXPECT_EQ(r, 1);
            EXPECT_EQ(OCR_end_learning_batch(), 1);
            EXPECT_EQ(read_bytes(dat).size(), 3u * 52);
            EXPECT_GT(k, 3);  // the walk met some failures
            break;
        }
        EXPECT_EQ(r, 0) << k;
        EXPECT_FALSE(shown.empty()) << k;
        EXPECT_EQ(files(), before) << k;
        shown.clear();
        EXPECT_EQ(teach('C', "C"), 0) << k;
        ASSERT_EQ(shown.size(), 1u) << k;
        EXPECT_EQ(shown[0].title, "OCR_learn_char: Error");
        EXPECT_EQ(shown[0].text,
                  "A call of the learning batch failed: nothing more is learned\nuntil the "
                  "batch ends");
        EXPECT_EQ(OCR_end_learning_batch(), 0) << k;
        EXPECT_EQ(shown.back().title, "OCR_end_learning_batch: Error");
        EXPECT_EQ(shown.back().text,
                  "A call of the learning batch failed: nothing was saved\n(the previous files "
                  "were kept)");
        EXPECT_EQ(files(), before) << k;
        EXPECT_EQ(gn::kb_store().entries[0].net_count, 1) << k;  // 'A' alone again
        OCR_cleanup();
        io = nullptr;
    }
}

TEST_F(LearningBatchAbandoned, ByAMemoryFailureOfTheEnd) {
    for (long k = 1; k < 100; ++k) {
        TempDir fresh;
        open_base(fresh);
        ASSERT_EQ(teach('A', "A"), 1);
        before = files();
        ASSERT_EQ(OCR_begin_learning_batch(), 1);
        ASSERT_EQ(teach('B', "B"), 1);
        ASSERT_EQ(teach('8', "8"), 1);
        shown.clear();
        orvo::alloc_fail_at(k);
        const int r = OCR_end_learning_batch();
        const bool met = orvo::alloc_count() >= k;
        orvo::alloc_fail_at(0);
        if (!met) {
            EXPECT_EQ(r, 1);
            EXPECT_EQ(read_bytes(dat).size(), 3u * 52);
            EXPECT_GT(k, 1);
            break;
        }
        EXPECT_EQ(r, 0) << k;
        EXPECT_EQ(files(), before) << k;
        EXPECT_EQ(gn::kb_store().entries[0].net_count, 1) << k;
        OCR_cleanup();
        io = nullptr;
    }
}

TEST_F(LearningBatch, KeepsADamagedBaseBesideItsReplacementAtTheEnd) {
    TempDir d;
    kb = d.file("plates.kbf");
    write_bytes(kb, {5, 0, 0, 0, 1, 2});
    open_base(d);
    shown.clear();
    ASSERT_EQ(OCR_begin_learning_batch(), 1);
    ASSERT_EQ(teach('A', "A"), 1);
    ASSERT_EQ(teach('B', "B"), 1);
    EXPECT_FALSE(pathutil::file_exists((kb + ".damaged").c_str()));
    EXPECT_EQ(read_bytes(kb), (Bytes{5, 0, 0, 0, 1, 2}));
    EXPECT_TRUE(shown.empty());
    ASSERT_EQ(OCR_end_learning_batch(), 1);
    EXPECT_EQ(read_bytes(kb + ".damaged"), (Bytes{5, 0, 0, 0, 1, 2}));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "OCR_end_learning_batch: Warning");
    EXPECT_EQ(shown[0].text, "The damaged knowledge base file was kept as\n" + kb + ".damaged");
    EXPECT_EQ(OCR_get_kb_type(kb.c_str()), 2);  // letters only
}

TEST_F(LearningBatch, BeginningTwiceKeepsTheOpenBatch) {
    TempDir d;
    open_base(d);
    ASSERT_EQ(OCR_begin_learning_batch(), 1);
    ASSERT_EQ(teach('A', "A"), 1);
    EXPECT_EQ(OCR_begin_learning_batch(), 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "OCR_begin_learning_batch: Error");
    EXPECT_EQ(shown[0].text, "A learning batch is already open");
    ASSERT_EQ(teach('B', "B"), 1);
    EXPECT_FALSE(pathutil::file_exists(dat.c_str()));
    EXPECT_EQ(OCR_end_learning_batch(), 1);
    EXPECT_EQ(read_bytes(dat).size(), 2u * 52);
}

TEST_F(LearningBatch, EndingWithoutABatchFails) {
    TempDir d;
    open_base(d);
    EXPECT_EQ(OCR_end_learning_batch(), 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "OCR_end_learning_batch: Error");
    EXPECT_EQ(shown[0].text, "No learning batch is open");
    // A second end after a good one fails the same way.
    ASSERT_EQ(OCR_begin_learning_batch(), 1);
    EXPECT_EQ(OCR_end_learning_batch(), 1);  // nothing learned: nothing to write
    EXPECT_FALSE(pathutil::file_exists(kb.c_str()));
    EXPECT_EQ(OCR_end_learning_batch(), 0);
    EXPECT_EQ(shown.size(), 2u);
}

TEST_F(LearningBatch, BeginningNeedsTheRecord) {
    EXPECT_EQ(OCR_begin_learning_batch(), 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "OCR_begin_learning_batch: Error");
    EXPECT_EQ(shown[0].text, "OCR i/o structure wasn't previously allocated");
}

TEST_F(LearningBatch, TeachesOnlyTheBaseOfItsFirstCall) {
    TempDir d;
    kb = d.file("one.kbf");
    dat = d.file("one.dat");
    const std::string text = "[0] " + kb + "\r\n[0] " + d.file("two.kbf") + "\r\n";
    write_bytes(d.file("list.$$$"), Bytes(text.begin(), text.end()));
    io = OCR_init(d.file("list.$$$").c_str(), 0);
    ASSERT_NE(io, nullptr);
    ASSERT_EQ(OCR_begin_learning_batch(), 1);
    ASSERT_EQ(teach('A', "A"), 1);
    glyph = TestBitmap(40, 48);
    gntest::draw_glyph(glyph, 'B', 10, 10, 4);
    show(glyph);
    io->kb_index = 2;
    std::strcpy(io->taught_class, "B");
    io->shown_class[0] = '\0';
    EXPECT_EQ(OCR_learn_char(), 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "OCR_learn_char: Error");
    EXPECT_EQ(shown[0].text,
              "A learning batch teaches one knowledge base\n(end it before teaching another one)");
    // The batch goes on with its own base.
    ASSERT_EQ(teach('1', "1"), 1);
    EXPECT_EQ(OCR_end_learning_batch(), 1);
    EXPECT_EQ(read_bytes(dat).size(), 2u * 52);
    EXPECT_FALSE(pathutil::file_exists(d.file("two.kbf").c_str()));
    EXPECT_FALSE(pathutil::file_exists(d.file("two.dat").c_str()));
}

}  // namespace
