// The analysis driver: pass plans seen through the trace hook, the reading order of a pair, memory failures.
#include <gtest/gtest.h>

#include <mutex>

#include "bitmap_draw.h"
#include "driver.h"
#include "driver_switches.h"
#include "plate_scene.h"
#include "rasterkit.h"
#include "result_merge.h"
#include "results.h"
#include "zero_alloc.h"

namespace {

struct Pass { bool main; int pass, retry; bool operator==(const Pass&) const = default; };
std::ostream& operator<<(std::ostream& os, const Pass& p) {
    return os << (p.main ? "main " : "worker ") << p.pass << (p.retry ? " retry" : "");
}
using Passes = std::vector<Pass>;

// Passes first..last of one instance, with one retry flag.
Passes run(bool main, int first, int last, int retry = 0) {
    Passes out;
    for (int p = first; p <= last; ++p) out.push_back({main, p, retry});
    return out;
}
Passes operator+(Passes a, const Passes& b) { a.insert(a.end(), b.begin(), b.end()); return a; }

class Driver : public ::testing::Test {
protected:
    std::mutex lock;  // the worker reports from its thread
    Passes passes;
    std::vector<unsigned char> page;

    static void hook(void* context, bool main, int pass, int retry) {
        auto* t = static_cast<Driver*>(context);
        std::lock_guard<std::mutex> guard(t->lock);
        t->passes.push_back({main, pass, retry});
    }
    void SetUp() override { rk::set_pass_trace_hook(&Driver::hook, this); rk::set_worker_plan(rk::WorkerPlan::never); }
    void TearDown() override {
        orvo::alloc_fail_at(0);
        rk::set_pass_trace_hook(nullptr, nullptr);
        rk::set_worker_plan(rk::WorkerPlan::automatic);
        SEG_clear_analysis_results();
        ::videobuffer = nullptr;
    }
    // Holds the generated scene, or a page of w x h whose gray is f(x).
    void hold(int w, int h, unsigned char (*f)(int) = nullptr) {
        page.assign(static_cast<std::size_t>(w) * h, 0);
        if (f == nullptr) page = samples::to_gray(samples::draw_scene({w, h, "AB 123", 3})).pixels;
        for (std::size_t i = 0; f != nullptr && i < page.size(); ++i) page[i] = f(static_cast<int>(i % w));
        ::videobuffer = page.data();
        ::MAXCOL = ::BPL = w, ::MAXLIN = h;
    }
    Passes analyze(int depth) {
        passes.clear();
        EXPECT_EQ(SEG_analyze_image(depth), 1);
        EXPECT_EQ(::videobuffer, page.data());  // the loaded page is back
        return passes;
    }
    Passes of(bool main) const {
        Passes out;
        for (const Pass& p : passes)
            if (p.main == main) out.push_back(p);
        return out;
    }
};

TEST_F(Driver, DepthAndWorkerPlanChooseThePasses) {
    const Passes both = run(true, 0, 11) + run(true, 12, 23) + run(true, 12, 23, 1);
    const struct { rk::WorkerPlan plan; int depth; Passes main, worker; } cases[] = {
        {rk::WorkerPlan::never, -7, run(true, 0, 3), {}},
        {rk::WorkerPlan::never, 3, run(true, 0, 11), {}},  // never retries
        {rk::WorkerPlan::never, 4, run(true, 0, 23), {}},
        {rk::WorkerPlan::never, 9, both, {}},
        {rk::WorkerPlan::always, 4, run(true, 0, 11), run(false, 12, 23)},
        {rk::WorkerPlan::always, 5, run(true, 0, 11) + run(true, 0, 11, 1), run(false, 12, 23) + run(false, 12, 23, 1)},
    };
    hold(512, 200, [](int x) { return static_cast<unsigned char>(x / 2); });  // no edge strong enough
    for (const auto& c : cases) {
        rk::set_worker_plan(c.plan);
        analyze(c.depth);
        EXPECT_EQ(of(true), c.main) << c.depth;
        EXPECT_EQ(of(false), c.worker) << c.depth;
        EXPECT_EQ(results, nullptr);
    }
}

TEST_F(Driver, EveryFailedAllocationStillReturnsOne) {
    hold(800, 600);
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
            for (const seg_result* r = results; r != nullptr; r = r->next)
                EXPECT_TRUE(r->text[0] == 0 && r->bitmap != nullptr) << k;
            SEG_clear_analysis_results();
        }
    }
}

// The later of two fields goes first when it is the left one of a line nearly touching, or the upper one.
TEST(ResultMerge, OrderPutsAPairInReadingOrder) {
    const struct { int a[4], b[4]; bool swapped; } cases[] = {  // a is the head of the pair, b its next
        {{205, 52, 300, 81}, {100, 50, 199, 80}, true},
        {{100, 60, 300, 90}, {100, 10, 300, 40}, true},
        {{400, 50, 499, 80}, {0, 50, 99, 80}, false},  // far apart on a line
    };
    for (const auto& c : cases) {
        seg_result* b = rktest::record(c.b[0], c.b[1], c.b[2], c.b[3]);
        seg_result* a = rktest::record(c.a[0], c.a[1], c.a[2], c.a[3], 0, b);
        seg_result* kept = rk::order_two_results(a);
        ASSERT_EQ(kept, c.swapped ? b : a) << c.a[0];
        EXPECT_TRUE(kept->next == (c.swapped ? a : b) && kept->next->next == nullptr) << c.a[0];
        rk::free_result_list(kept);
    }
}

}  // namespace
