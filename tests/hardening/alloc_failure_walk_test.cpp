// Allocation-failure walks: every run ends as documented for a memory shortage.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <tuple>

#include "driver_switches.h"
#include "hardening_support.h"
#include "zero_alloc.h"

namespace {

using hardening::Bytes;
using testsupport::read_bytes;
using testsupport::write_bytes;

// Fails allocation k = 1, 2, ... of `call` until none fails; `check` sees each. Returns the runs.
template <typename Call, typename Check>
long walk(Call call, Check check) {
    long k = 1;
    for (; k < 100000; ++k) {
        SCOPED_TRACE(k);
        orvo::alloc_fail_at(k);
        const auto r = call();
        const long made = orvo::alloc_count();
        orvo::alloc_fail_at(0);
        check(r);
        if (made < k || ::testing::Test::HasFatalFailure()) break;
    }
    return k - 1;
}

class AllocationWalk : public ::testing::Test {
protected:
    void TearDown() override {
        orvo::alloc_fail_at(0);
        rk::set_worker_plan(rk::WorkerPlan::automatic);
        SEG_clear_analysis_results();
        SEG_close_image();
        OCR_cleanup();
    }
    testsupport::TempDir dir;
};

class AllocationWalkReaders : public AllocationWalk, public ::testing::WithParamInterface<const char*> {};

TEST_P(AllocationWalkReaders, EveryFailureGivesNoPageOrTheFullPage) {
    const std::string format = GetParam();
    const testsupport::GrayImage g = hardening::scene(200, 80, "HT 55", 21);
    const std::string path = dir.file("page." + format);
    ASSERT_TRUE(hardening::write_image(path, format, g));
    ASSERT_EQ(SEG_set_image_file(path.c_str()), 1);
    ASSERT_EQ(SEG_open_image(), 1);
    const int ref_w = MAXCOL, ref_h = MAXLIN, ref_xs = XSCALE, ref_ys = YSCALE;
    const Bytes ref(videobuffer, videobuffer + static_cast<std::size_t>(MAXCOL) * MAXLIN);
    ASSERT_NE(ref_xs, 1);  // the page is normalised, so scaling allocates too

    int no_page = 0, unscaled = 0;
    const auto open = [&] {
        EXPECT_EQ(SEG_set_image_file(path.c_str()), 1);
        return SEG_open_image();
    };
    walk(open, [&](int r) {
        EXPECT_TRUE(r == 0 || r == 1);
        if (r == 0) {
            EXPECT_EQ(videobuffer, nullptr);
            ++no_page;
        } else if (XSCALE == 1 && YSCALE == 1) {  // scaling ran out of memory: the page at file size
            ++unscaled;
            EXPECT_EQ(std::vector<int>({MAXCOL, MAXLIN, BPL}), std::vector<int>({g.width, g.height, g.width}));
            if (format != "jpeg" && MAXCOL == g.width && MAXLIN == g.height) {
                EXPECT_EQ(Bytes(videobuffer, videobuffer + g.pixels.size()), g.pixels);
            }
        } else {
            EXPECT_EQ(std::vector<int>({XSCALE, YSCALE, MAXCOL, MAXLIN}), std::vector<int>({ref_xs, ref_ys, ref_w, ref_h}));
            if (MAXCOL == ref_w && MAXLIN == ref_h) { EXPECT_EQ(Bytes(videobuffer, videobuffer + ref.size()), ref); }
        }
        SEG_close_image();
    });
    EXPECT_TRUE(no_page >= 1 && unscaled >= 1);
}

INSTANTIATE_TEST_SUITE_P(EachFormat, AllocationWalkReaders,
                         ::testing::Values("bmp", "pcx", "pgm", "itex", "jpeg", "png", "tiff"));

std::atomic<int> worker_passes{0};
void count_worker_passes(void*, bool main_instance, int, int) {
    if (!main_instance) ++worker_passes;
}

class AllocationWalkAnalysis : public AllocationWalk, public ::testing::WithParamInterface<rk::WorkerPlan> {};

TEST_P(AllocationWalkAnalysis, EveryFailureStillReturnsOneWithWellFormedResults) {
    rk::set_worker_plan(GetParam());
    // A small page installed as it is (not normalised): the walk stays short.
    testsupport::GrayImage g = hardening::drawn_plate(120, 48, 8, 14, 5, 3);
    unsigned char* const page = videobuffer = g.pixels.data();
    MAXCOL = BPL = g.width;
    MAXLIN = g.height;
    const Bytes before = g.pixels;
    worker_passes = 0;
    rk::set_pass_trace_hook(&count_worker_passes, nullptr);
    ASSERT_EQ(SEG_analyze_image(5), 1);
    rk::set_pass_trace_hook(nullptr, nullptr);
    EXPECT_EQ(worker_passes > 0, GetParam() == rk::WorkerPlan::always);  // the worker exactly when asked for
    ASSERT_GE(hardening::check_results("reference"), 1);
    SEG_clear_analysis_results();

    const long runs = walk([] { return SEG_analyze_image(5); }, [&](int r) {
        EXPECT_EQ(r, 1);
        EXPECT_EQ(videobuffer, page);
        hardening::check_results("walk");
        SEG_clear_analysis_results();
    });
    EXPECT_EQ(g.pixels, before);
    videobuffer = nullptr;
    EXPECT_GT(runs, 100);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutWorker, AllocationWalkAnalysis,
                         ::testing::Values(rk::WorkerPlan::never, rk::WorkerPlan::always));

// The messages the engine may show when memory runs out in a learning call.
const char* const kLoad = "Couldn't load patterns file\n(Memory allocation error)";
const std::set<std::string> kLearnFailures = {
    kLoad, "Couldn't learn current pattern", "Couldn't unlearn confused pattern",
    "Couldn't adjust a framing window on character/group", "Memory allocation error (can't create new node)",
    "Memory allocation error. Can't create new nodes", "Memory allocation error. Can't create new net",
    "Can't add a first pattern! (Memory allocation error)", "Can't add new pattern! (Memory allocation error)",
    "Can't remove pattern! (Memory allocation error)",
    "Couldn't save the knowledge base files\n(the previous files were kept)"};

class AllocationWalkEngine : public AllocationWalk {
protected:
    testsupport::KbFolder base;
    fuzzglyphs::Bitmap field{130, 44};
    std::string field_text;

    void SetUp() override {
        testsupport::MessageLog log;
        ocr_io* io = OCR_init(base.list.c_str(), 0);
        ASSERT_NE(io, nullptr);
        for (char c : std::string("HELT70")) ASSERT_EQ(hardening::teach(io, c), 1) << c;
        ASSERT_TRUE(log.shown.empty());
        fuzzglyphs::draw_text(field, "HE 70", 6, 8, 4);
        field_text = read_field(io);
        ASSERT_EQ(field_text, "HE 70");
        OCR_cleanup();
    }
    std::string read_field(ocr_io* io) {
        testsupport::show_whole_field(io, field);
        io->kb_index = io->kb_mode = 0;
        const int n = OCR_recognize_field();
        EXPECT_EQ(n, io->box_count);
        return io->text;
    }
};

TEST_F(AllocationWalkEngine, InitEitherLoadsTheBaseWholeOrNotAtAll) {
    int no_record = 0, no_base = 0;
    testsupport::MessageLog log;
    walk([&] { return log.clear(), OCR_init(base.list.c_str(), 0); }, [&](ocr_io* io) {
        if (io == nullptr) {
            ++no_record;
            EXPECT_EQ(log.shown, (std::vector<testsupport::ShownBox>{{"OCR_init: Fatal Error",
                      "OCR i/o data structure allocation error", OSYS_MB_OK | OSYS_MB_ICONERROR}}));
            return;
        }
        EXPECT_TRUE(log.shown.empty());  // messages are off
        const std::string text = read_field(io);
        if (text != field_text) {  // the base was dropped whole: every character unreadable
            ++no_base;
            EXPECT_EQ(text, "^^ ^^");
        }
        OCR_cleanup();
    });
    EXPECT_TRUE(no_record == 1 && no_base >= 1);
}

TEST_F(AllocationWalkEngine, RecognitionStaysBounded) {
    ocr_io* io = OCR_init(base.list.c_str(), 0);
    ASSERT_NE(io, nullptr);
    walk([&] { return read_field(io); }, [&](const std::string& text) {
        EXPECT_LE(io->box_count, 2046);
        for (int i = 0; i < io->box_count; ++i)
            EXPECT_TRUE(io->boxes[i][0] >= 0 && io->boxes[i][2] <= field.width && io->boxes[i][3] <= field.height);
        if (text != field_text) {  // out of memory for the work tables: nothing is read
            EXPECT_EQ(std::make_pair(text, io->box_count), std::make_pair(std::string(), 0));
        }
    });
    EXPECT_EQ(read_field(io), field_text);  // and correctly again once memory is back
}

// From the same files, a failed call leaves them byte for byte, a successful one writes the usual ones.
class AllocationWalkLearning : public AllocationWalkEngine {
protected:
    Bytes kb0, dat0;
    void SetUp() override {
        AllocationWalkEngine::SetUp();
        kb0 = read_bytes(base.kb);
        dat0 = read_bytes(base.dat);
    }
    // Every text of `must_show` is shown by some failing run.
    template <typename Call>
    void walk_call(const char* name, Call call, const std::set<std::string>& must_show) {
        Bytes kb1, dat1;
        {  // the call without failure
            testsupport::MessageLog log;
            ocr_io* io = OCR_init(base.list.c_str(), 0);
            ASSERT_TRUE(io != nullptr && call(io) == 1 && log.shown.empty());
            std::tie(kb1, dat1) = std::make_pair(read_bytes(base.kb), read_bytes(base.dat));
            ASSERT_NE(dat1, dat0);
            OCR_cleanup();
        }
        int failed = 0;
        std::set<std::string> seen;
        testsupport::MessageLog log;
        ocr_io* io = nullptr;
        long k = 0;  // the walk's: each run remakes the files and the record before arming it
        walk([&] {
            orvo::alloc_fail_at(0);
            write_bytes(base.kb, kb0);
            write_bytes(base.dat, dat0);
            io = OCR_init(base.list.c_str(), 0);
            EXPECT_EQ(io ? read_field(io) : "no record", field_text);
            log.clear();
            orvo::alloc_fail_at(++k);  // counted from here: the k-th allocation of the call fails
            return io ? call(io) : -1;
        }, [&](int r) {
            ASSERT_NE(io, nullptr);
            for (const testsupport::ShownBox& s : log.shown) {
                EXPECT_TRUE(kLearnFailures.count(s.text) == 1 && s.style == (OSYS_MB_OK | OSYS_MB_ICONERROR) &&
                            (s.title == "Error" || s.title == name + std::string(": Error")))
                    << s.title << ": " << s.text;
                seen.insert(s.text);
            }
            const Bytes kb = read_bytes(base.kb), dat = read_bytes(base.dat);
            if (r == 0) {
                ++failed;
                EXPECT_FALSE(log.shown.empty());
                EXPECT_TRUE(kb == kb0 && dat == dat0);
            } else if (!log.shown.empty()) {  // a rebuild stopped early; the samples were all written
                EXPECT_TRUE(dat == dat1 && kb.size() >= 4u);
            } else {
                EXPECT_TRUE(kb == kb1 && dat == dat1);
            }
            OCR_cleanup();
        });
        EXPECT_GE(failed, 1);
        for (const std::string& t : must_show) EXPECT_EQ(seen.count(t), 1u) << t;
    }
};

TEST_F(AllocationWalkLearning, LearningANewClassKeepsTheFilesOnFailure) {
    walk_call("OCR_learn_char", [](ocr_io* io) { return hardening::teach(io, '4'); },
              {kLoad, "Can't add new pattern! (Memory allocation error)", "Memory allocation error. Can't create new net",
               "Couldn't learn current pattern"});
}

TEST_F(AllocationWalkLearning, CorrectingAReadingKeepsTheFilesOnFailure) {
    // An 'E' drawn larger taught as 'L': a counter-sample or a new sample and two rebuilds.
    walk_call("OCR_learn_char", [](ocr_io* io) { return hardening::teach(io, 'E', 7, 'L'); },
              {kLoad, "Can't add new pattern! (Memory allocation error)", "Couldn't learn current pattern"});
}

TEST_F(AllocationWalkLearning, UnlearningKeepsTheFilesOnFailure) {
    walk_call("OCR_unlearn_char", [](ocr_io* io) {
        io->kb_index = 1;
        std::snprintf(io->taught_class, sizeof io->taught_class, "E");
        return OCR_unlearn_char();
    }, {kLoad, "Can't remove pattern! (Memory allocation error)"});
}

}  // namespace
