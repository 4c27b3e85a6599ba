// The analysis driver on the main instance: depth clamping and the pass
// plans seen through the trace hook, the merge and ordering rules on built
// records, cleared scores, equal results of the worker and sequential
// plans, and memory failures that still end in 1 without leaks.
#include <gtest/gtest.h>

#include <mutex>
#include <tuple>
#include <vector>

#include "driver.h"
#include "driver_switches.h"
#include "plate_scene.h"
#include "rasterkit.h"
#include "result_merge.h"
#include "results.h"
#include "zero_alloc.h"

namespace {

struct Pass {
    bool main;
    int pass;
    int retry;
    bool operator==(const Pass& o) const { return std::tie(main, pass, retry) == std::tie(o.main, o.pass, o.retry); }
};

std::ostream& operator<<(std::ostream& os, const Pass& p) {
    return os << (p.main ? "main " : "worker ") << p.pass << (p.retry ? " retry" : "");
}

// Records the passes of both instances (the worker calls from its thread).
struct Trace {
    std::mutex lock;
    std::vector<Pass> passes;
    static void hook(void* context, bool main, int pass, int retry) {
        auto* t = static_cast<Trace*>(context);
        std::lock_guard<std::mutex> guard(t->lock);
        t->passes.push_back({main, pass, retry});
    }
    std::vector<Pass> of(bool main) {
        std::vector<Pass> out;
        for (const Pass& p : passes)
            if (p.main == main) out.push_back(p);
        return out;
    }
};

// Passes first..last of one instance, with one retry flag.
std::vector<Pass> run(bool main, int first, int last, int retry) {
    std::vector<Pass> out;
    for (int p = first; p <= last; ++p) out.push_back({main, p, retry});
    return out;
}

std::vector<Pass> operator+(std::vector<Pass> a, const std::vector<Pass>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A page installed as the loaded image, released at the end.
class Driver : public ::testing::Test {
protected:
    Trace trace;
    std::vector<unsigned char> page;

    void SetUp() override {
        rk::set_pass_trace_hook(&Trace::hook, &trace);
        rk::set_worker_plan(rk::WorkerPlan::never);
    }
    void TearDown() override {
        orvo::alloc_fail_at(0);
        rk::set_pass_trace_hook(nullptr, nullptr);
        rk::set_worker_plan(rk::WorkerPlan::automatic);
        SEG_clear_analysis_results();
        ::videobuffer = nullptr;
    }
    void install(int w, int h, std::vector<unsigned char> px) {
        page = std::move(px);
        ::videobuffer = page.data();
        ::MAXCOL = w;
        ::MAXLIN = h;
        ::BPL = w;
    }
    // A smooth left-to-right ramp over every gray value: posterisable, but
    // without a single edge strong enough for a candidate.
    void ramp() {
        const int w = 512, h = 200;
        std::vector<unsigned char> px(static_cast<std::size_t>(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) px[static_cast<std::size_t>(y) * w + x] = static_cast<unsigned char>(x / 2);
        install(w, h, std::move(px));
    }
    // A synthetic street scene with one plate.
    void scene(std::uint32_t seed = 3, const char* text = "AB 123") {
        samples::SceneOptions o;
        o.width = 800;
        o.height = 600;
        o.seed = seed;
        o.text = text;
        const testsupport::GrayImage g = samples::to_gray(samples::draw_scene(o));
        install(g.width, g.height, g.pixels);
    }
    std::vector<Pass> analyze(int depth) {
        trace.passes.clear();
        EXPECT_EQ(SEG_analyze_image(depth), 1);
        EXPECT_EQ(::videobuffer, page.data());  // the loaded page is back
        return trace.passes;
    }
};

class DriverPlans : public Driver {};

TEST_F(DriverPlans, DepthBelowOneRunsTheFirstFourPasses) {
    ramp();
    EXPECT_EQ(analyze(0), run(true, 0, 3, 0));
    EXPECT_EQ(analyze(-7), run(true, 0, 3, 0));
    EXPECT_EQ(analyze(1), run(true, 0, 3, 0));
    EXPECT_EQ(analyze(2), run(true, 0, 7, 0));
    EXPECT_EQ(results, nullptr);
}

TEST_F(DriverPlans, DepthThreeNeverRetries) {
    ramp();
    EXPECT_EQ(analyze(3), run(true, 0, 11, 0));
}

TEST_F(DriverPlans, DepthFourOnOneProcessorRunsBothPhasesOnce) {
    ramp();
    EXPECT_EQ(analyze(4), run(true, 0, 23, 0));
}

TEST_F(DriverPlans, DepthFiveOnOneProcessorRetriesPhaseTwo) {
    ramp();
    const auto want = run(true, 0, 11, 0) + run(true, 12, 23, 0) + run(true, 12, 23, 1);
    EXPECT_EQ(analyze(5), want);
    EXPECT_EQ(analyze(9), want);
}

TEST_F(DriverPlans, DepthFiveWithTheWorkerRetriesInBothInstances) {
    rk::set_worker_plan(rk::WorkerPlan::always);
    ramp();
    analyze(5);
    EXPECT_EQ(trace.of(true), run(true, 0, 11, 0) + run(true, 0, 11, 1));
    EXPECT_EQ(trace.of(false), run(false, 12, 23, 0) + run(false, 12, 23, 1));
}

TEST_F(DriverPlans, DepthFourWithTheWorkerSplitsThePhases) {
    rk::set_worker_plan(rk::WorkerPlan::always);
    ramp();
    analyze(4);
    EXPECT_EQ(trace.of(true), run(true, 0, 11, 0));
    EXPECT_EQ(trace.of(false), run(false, 12, 23, 0));
}

TEST_F(DriverPlans, TenGrayLevelsLeaveNoSecondPhase) {
    const int w = 400, h = 160;
    std::vector<unsigned char> px(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px[static_cast<std::size_t>(y) * w + x] = static_cast<unsigned char>(100 + x / 40);
    install(w, h, std::move(px));
    EXPECT_EQ(analyze(4), run(true, 0, 11, 0));
    rk::set_worker_plan(rk::WorkerPlan::always);
    EXPECT_EQ(analyze(5), run(true, 0, 11, 0));  // like depth 3: no worker, no retry
}

TEST_F(DriverPlans, NoPageFindsNothing) {
    install(0, 0, {});
    ::videobuffer = nullptr;
    trace.passes.clear();
    EXPECT_EQ(SEG_analyze_image(5), 1);
    EXPECT_EQ(trace.passes, run(true, 0, 11, 0));
    EXPECT_EQ(results, nullptr);
}

TEST_F(DriverPlans, PhaseOneSuccessStillRunsPhaseTwo) {
    scene();
    const auto passes = analyze(4);
    ASSERT_GE(SEG_get_results_number(), 1);
    // Phase 1 stops at its first success, then phase 2 starts at 12.
    ASSERT_FALSE(passes.empty());
    std::size_t i = 0;
    while (i < passes.size() && passes[i].pass < 12) {
        EXPECT_EQ(passes[i], (Pass{true, static_cast<int>(i), 0}));
        ++i;
    }
    ASSERT_LT(i, passes.size());
    EXPECT_LT(i, 12u);  // phase 1 found the plate before its last pass
    for (std::size_t k = i; k < passes.size(); ++k) EXPECT_EQ(passes[k], (Pass{true, static_cast<int>(12 + k - i), 0}));
}

class DriverResults : public Driver {};

TEST_F(DriverResults, FindsThePlateWithScoresCleared) {
    scene();
    analyze(3);
    ASSERT_GE(SEG_get_results_number(), 1);
    bool on_plate = false;
    for (const seg_result* r = results; r != nullptr; r = r->next) {
        EXPECT_EQ(r->text[0], 0);
        EXPECT_NE(r->bitmap, nullptr);
        on_plate = on_plate || (r->right - r->left > 100);
    }
    EXPECT_TRUE(on_plate);
}

TEST_F(DriverResults, WorkerAndSequentialPlansAgree) {
    for (std::uint32_t seed : {3u, 11u}) {
        scene(seed, seed == 3 ? "AB 123" : "KM 4589");
        analyze(4);
        std::vector<std::vector<int>> sequential;
        for (const seg_result* r = results; r != nullptr; r = r->next) {
            std::vector<int> v{r->left, r->top, r->right, r->bottom, r->columns, r->lines};
            for (int k = 0; k < r->lines * r->bpl; ++k) v.push_back(r->bitmap[k]);
            sequential.push_back(v);
        }
        SEG_clear_analysis_results();
        rk::set_worker_plan(rk::WorkerPlan::always);
        analyze(4);
        std::vector<std::vector<int>> threaded;
        for (const seg_result* r = results; r != nullptr; r = r->next) {
            std::vector<int> v{r->left, r->top, r->right, r->bottom, r->columns, r->lines};
            for (int k = 0; k < r->lines * r->bpl; ++k) v.push_back(r->bitmap[k]);
            threaded.push_back(v);
        }
        SEG_clear_analysis_results();
        rk::set_worker_plan(rk::WorkerPlan::never);
        EXPECT_FALSE(sequential.empty()) << seed;
        EXPECT_EQ(threaded, sequential) << seed;
    }
}

class DriverMemory : public Driver {};

TEST_F(DriverMemory, EveryFailedAllocationStillReturnsOne) {
    scene();
    for (rk::WorkerPlan plan : {rk::WorkerPlan::never, rk::WorkerPlan::always}) {
        rk::set_worker_plan(plan);
        orvo::alloc_fail_at(0);
        ASSERT_EQ(SEG_analyze_image(5), 1);
        const long total = orvo::alloc_count();
        SEG_clear_analysis_results();
        ASSERT_GT(total, 10);
        // Every allocation of the first passes, then a sample of the rest.
        for (long k = 1; k <= total; k += (k < 120 ? 1 : total / 80 + 1)) {
            orvo::alloc_fail_at(k);
            ASSERT_EQ(SEG_analyze_image(5), 1) << k;
            orvo::alloc_fail_at(0);
            EXPECT_EQ(::videobuffer, page.data()) << k;
            for (const seg_result* r = results; r != nullptr; r = r->next) {
                EXPECT_EQ(r->text[0], 0) << k;
                EXPECT_NE(r->bitmap, nullptr) << k;
            }
            SEG_clear_analysis_results();
        }
    }
}

// Records built by hand for the merge and ordering rules.
class BuiltRecords : public ::testing::Test {
protected:
    std::vector<seg_result*> made;
    seg_result* record(int l, int t, int r, int b, int score = 0, seg_result* next = nullptr) {
        auto* rec = static_cast<seg_result*>(orvo::zero_alloc(sizeof(seg_result)));
        rec->left = l;
        rec->top = t;
        rec->right = r;
        rec->bottom = b;
        rec->text[0] = static_cast<char>(score);
        rec->next = next;
        return rec;
    }
    seg_result* list(int n, int score) {
        seg_result* head = nullptr;
        for (int i = 0; i < n; ++i) head = record(10 * i, 0, 10 * i + 5, 5, score, head);
        return head;
    }
    seg_result* kept = nullptr;
    void TearDown() override { rk::free_result_list(kept); }
};

class ResultMerge : public BuiltRecords {};

TEST_F(ResultMerge, OneFieldWithMoreCharactersWins) {
    seg_result* s = list(1, 7);
    seg_result* t = list(1, 8);
    int count = -1;
    kept = rk::merge_results(s, 1, t, 1, &count);
    EXPECT_EQ(kept, t);
    EXPECT_EQ(count, 1);
}

TEST_F(ResultMerge, SavedFieldWinsTiesAndHigherScores) {
    int count = -1;
    seg_result* s = list(1, 7);
    kept = rk::merge_results(s, 1, list(1, 7), 1, &count);
    EXPECT_EQ(kept, s);
    rk::free_result_list(kept);
    s = list(1, 8);
    kept = rk::merge_results(s, 1, list(1, 7), 1, &count);
    EXPECT_EQ(kept, s);
    EXPECT_EQ(count, 1);
}

TEST_F(ResultMerge, NegativeScoresCompareSigned) {
    int count = -1;
    seg_result* s = list(1, -2);
    seg_result* t = list(1, 1);
    kept = rk::merge_results(s, 1, t, 1, &count);
    EXPECT_EQ(kept, t);
}

TEST_F(ResultMerge, SeveralSavedFieldsWin) {
    seg_result* s = list(2, 3);
    int count = -1;
    kept = rk::merge_results(s, 2, list(5, 9), 5, &count);
    EXPECT_EQ(kept, s);
    EXPECT_EQ(count, 2);
}

TEST_F(ResultMerge, SeveralCurrentFieldsBeatOneSaved) {
    seg_result* t = list(2, 3);
    int count = -1;
    kept = rk::merge_results(list(1, 9), 1, t, 2, &count);
    EXPECT_EQ(kept, t);
    EXPECT_EQ(count, 2);
}

TEST_F(ResultMerge, EmptyCurrentListKeepsTheSaved) {
    seg_result* s = list(3, 4);
    int count = -1;
    kept = rk::merge_results(s, 3, nullptr, 0, &count);
    EXPECT_EQ(kept, s);
    EXPECT_EQ(count, 3);
}

class ResultOrder : public BuiltRecords {};

TEST_F(ResultOrder, LeftFieldOfALineComesFirst) {
    seg_result* b = record(100, 50, 199, 80);
    seg_result* a = record(205, 52, 300, 81, 0, b);  // right of b, nearly touching
    kept = rk::order_two_results(a);
    EXPECT_EQ(kept, b);
    EXPECT_EQ(b->next, a);
    EXPECT_EQ(a->next, nullptr);
}

TEST_F(ResultOrder, UpperFieldComesFirst) {
    seg_result* b = record(100, 10, 300, 40);
    seg_result* a = record(100, 60, 300, 90, 0, b);
    kept = rk::order_two_results(a);
    EXPECT_EQ(kept, b);
    EXPECT_EQ(b->next, a);
    EXPECT_EQ(a->next, nullptr);
}

TEST_F(ResultOrder, ReadingOrderIsKept) {
    seg_result* b = record(205, 50, 300, 80);
    seg_result* a = record(100, 50, 199, 80, 0, b);
    kept = rk::order_two_results(a);
    EXPECT_EQ(kept, a);
    EXPECT_EQ(a->next, b);
}

TEST_F(ResultOrder, DistantFieldsOnALineKeepTheirOrder) {
    // b lies to the left on the same line but far away: no swap.
    seg_result* b = record(0, 50, 99, 80);
    seg_result* a = record(400, 50, 499, 80, 0, b);
    kept = rk::order_two_results(a);
    EXPECT_EQ(kept, a);
    EXPECT_EQ(a->next, b);
}

TEST_F(ResultOrder, OnlyPairsAreOrdered) {
    seg_result* c = record(100, 10, 200, 30);
    seg_result* b = record(100, 40, 200, 60, 0, c);
    seg_result* a = record(100, 70, 200, 90, 0, b);
    kept = rk::order_two_results(a);
    EXPECT_EQ(kept, a);
    EXPECT_EQ(a->next, b);
    EXPECT_EQ(b->next, c);
}

TEST_F(ResultOrder, ScoresAreCleared) {
    kept = record(0, 0, 5, 5, 7, record(0, 10, 5, 15, -3));
    rk::clear_scores(kept);
    EXPECT_EQ(kept->text[0], 0);
    EXPECT_EQ(kept->next->text[0], 0);
}

}  // namespace
