// The analysis driver: the numbered passes of both phases, the worker that
// runs phase 2 beside phase 1 on a machine with several processors, and the
// merge and ordering of what the phases found.
#include "driver.h"

#include <atomic>
#include <cstddef>
#include <cstring>
#include <new>
#include <thread>

#include "analysis_mode.h"
#include "driver_switches.h"
#include "localise.h"
#include "orvosys.h"
#include "preprocess.h"
#include "result_merge.h"
#include "results.h"
#include "segment_fields.h"
#include "zero_alloc.h"

namespace rk {
namespace {

constexpr int kPhase2First = 12;
constexpr int kLastPass = 23;
constexpr int kLevels = 10;

std::atomic<int> g_processors{0};  // asked once per process
std::atomic<WorkerPlan> g_plan{WorkerPlan::automatic};
std::atomic<PassTraceHook> g_trace{nullptr};
std::atomic<void*> g_trace_context{nullptr};

// Shared with the worker, written only before it starts and freed only
// after the join.
unsigned char* g_levelbuffer = nullptr;
bool g_depth5 = false;

int processor_count() {
    if (g_processors.load() == 0) g_processors.store(osys_processor_count());
    return g_processors.load();
}

bool use_worker() {
    switch (g_plan.load()) {
        case WorkerPlan::never: return false;
        case WorkerPlan::always: return true;
        case WorkerPlan::automatic: break;
    }
    return processor_count() > 1;
}

void trace(const AnalysisInstance& a, int p) {
    PassTraceHook hook = g_trace.load();
    if (hook != nullptr) hook(g_trace_context.load(), a.is_main(), p, a.retry);
}

void free_smoothbuffer(AnalysisInstance& a) {
    orvo::zero_free(a.smoothbuffer);
    a.smoothbuffer = nullptr;
}

// Localisation and the second pass of pass p on the loaded image; returns
// the number of results.
int examine(AnalysisInstance& a, int p) {
    a.image = a.driver.loaded_image;
    locate_candidates(a);
    segment_fields(a, p % 2);
    return results_number(a);
}

// Phase 2 in a worker instance: passes 12-23 on the posterised copy, once
// more with the retry flag at depth 5, until one leaves a result.
int worker_analysis(AnalysisInstance& w) {
    w.retry = 0;
    int p = kPhase2First;
    for (;;) {
        w.image = g_levelbuffer;
        trace(w, p);
        if (!prepare_pass(w, p)) {
            free_smoothbuffer(w);
            clear_results(w);
            return 0;
        }
        if (examine(w, p) >= 1) break;
        if (p < kLastPass) {
            ++p;
        } else if (g_depth5 && w.retry == 0) {
            w.retry = 1;
            p = kPhase2First;
        } else {
            break;
        }
    }
    free_smoothbuffer(w);
    return 1;
}

// A running worker: its instance (in zero-filled storage of its own) and
// its thread. Joined and released at the latest when it goes out of scope.
class Worker {
    AnalysisInstance* instance_ = nullptr;
    std::thread thread_;

public:
    Worker() = default;
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;
    ~Worker() { release(); }

    bool running() const { return instance_ != nullptr; }

    // Starts phase 2 on a fresh instance; false (nothing running) when the
    // instance or the thread cannot be made.
    // The worker analyses in the mode of the main instance.
    bool start(unsigned char* loaded, int analysis_mode) {
        void* storage = orvo::zero_alloc(sizeof(AnalysisInstance));
        if (storage == nullptr) return false;
        instance_ = new (storage) AnalysisInstance();
        instance_->image_bpl = ::BPL;  // fixed now: localisation may change BPL meanwhile
        instance_->driver.loaded_image = loaded;
        instance_->driver.analysis_mode = analysis_mode;
        AnalysisInstance* w = instance_;
        try {
            thread_ = std::thread([w] {
                try {
                    w->driver.exit_code = worker_analysis(*w);
                } catch (...) {
                    clear_results(*w);
                    w->driver.exit_code = 0;
                }
            });
        } catch (...) {
            release();
            return false;
        }
        return true;
    }

    // Waits for the worker and hands over its results list (none when its
    // pre-processing ran out of memory).
    seg_result* join() {
        if (thread_.joinable()) thread_.join();
        seg_result* list = nullptr;
        if (instance_ != nullptr) {
            if (instance_->driver.exit_code != 0) list = instance_->results;
            else clear_results(*instance_);
            instance_->results = nullptr;
        }
        release();
        return list;
    }

private:
    void release() {
        if (thread_.joinable()) thread_.join();
        if (instance_ != nullptr) {
            instance_->~AnalysisInstance();
            orvo::zero_free(instance_);
            instance_ = nullptr;
        }
    }
};

// Everything an analysis holds besides its results: released on every way
// out, the worker joined first.
struct Session {
    AnalysisInstance& a;
    unsigned char* loaded;
    Worker worker;
    seg_result* saved = nullptr;
    int saved_count = 0;

    Session(AnalysisInstance& instance, unsigned char* image) : a(instance), loaded(image) {}
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() {
        worker.join();  // normally joined already; frees what a failure left
        a.image = loaded;
        if (g_levelbuffer != loaded) orvo::zero_free(g_levelbuffer);
        g_levelbuffer = nullptr;
        free_smoothbuffer(a);
        free_result_list(saved);
    }

    // Makes the worker's results the current ones.
    void take_worker_results() {
        seg_result* list = worker.join();
        clear_results(a);
        a.results = list;
    }
};

// The posterised copy of the page, or null when it cannot be made or the
// page has too few gray values.
unsigned char* make_levelbuffer(unsigned char* page) {
    if (page == nullptr || ::MAXLIN < 1 || ::MAXCOL < 1 || ::BPL < ::MAXCOL) return nullptr;
    const std::size_t bytes = static_cast<std::size_t>(::MAXLIN) * static_cast<std::size_t>(::BPL);
    auto* copy = static_cast<unsigned char*>(orvo::zero_alloc(bytes));
    if (copy == nullptr) return nullptr;
    std::memcpy(copy, page, bytes);
    if (!quantize_levels(copy, ::BPL, Rect{0, 0, ::MAXCOL - 1, ::MAXLIN - 1}, kLevels)) {
        orvo::zero_free(copy);
        return nullptr;
    }
    return copy;
}

}  // namespace

void set_worker_plan(WorkerPlan plan) { g_plan.store(plan); }
WorkerPlan worker_plan() { return g_plan.load(); }

void set_pass_trace_hook(PassTraceHook hook, void* context) {
    g_trace_context.store(context);
    g_trace.store(hook);
}

int set_analysis_mode(int mode) {
    if (!valid_analysis_mode(mode)) return -1;
    AnalysisInstance& a = main_instance();
    const int previous = a.driver.analysis_mode;
    a.driver.analysis_mode = mode;
    return previous;
}

int analyze_image(int depth) {
    AnalysisInstance& a = main_instance();
    if (depth < 1) depth = 1;
    if (depth > 5) depth = 5;
    g_depth5 = depth == 5;
    a.retry = 0;
    a.driver.loaded_image = a.image;
    Session s(a, a.image);

    int last_pass = 4 * depth - 1;
    if (depth >= 4) {
        g_levelbuffer = make_levelbuffer(s.loaded);
        const bool worker = g_levelbuffer != nullptr && use_worker() && s.worker.start(s.loaded, a.driver.analysis_mode);
        last_pass = (worker || g_levelbuffer == nullptr) ? 11 : kLastPass;
    }

    int p = 0;
    for (;;) {
        if (p >= kPhase2First) {
            if (p == kPhase2First) free_smoothbuffer(a);
            a.image = g_levelbuffer;
        }
        trace(a, p);
        if (!prepare_pass(a, p)) {
            clear_results(a);
            if (s.saved != nullptr) {
                a.results = s.saved;
                s.saved = nullptr;
                break;
            }
            if (s.worker.running()) {
                s.take_worker_results();
                break;
            }
            // Nothing to fall back on: the pass goes on with no candidates.
        }
        const int n = examine(a, p);
        if (n >= 1) {
            if (s.worker.running()) {
                s.saved = a.results;
                s.saved_count = n;
                a.results = nullptr;
                break;
            }
            if (last_pass < kPhase2First || p >= kPhase2First) break;
            s.saved = a.results;
            s.saved_count = n;
            a.results = nullptr;
            a.retry = 0;
            p = kPhase2First;
            continue;
        }
        if (p < last_pass) {
            ++p;
            if (p == kPhase2First) a.retry = 0;
            continue;
        }
        if (last_pass == 11 && s.worker.running() && g_depth5 && a.retry == 0) {
            a.retry = 1;
            p = 0;
            continue;
        }
        if (last_pass == kLastPass && g_depth5 && a.retry == 0) {
            a.retry = 1;
            p = kPhase2First;
            continue;
        }
        break;
    }
    if (s.worker.running()) s.take_worker_results();
    a.image = s.loaded;

    int count = results_number(a);
    if (s.saved != nullptr) {
        a.results = merge_results(s.saved, s.saved_count, a.results, count, &count);
        s.saved = nullptr;
    }
    if (count == 2) a.results = order_two_results(a.results);
    if (count >= 1) clear_scores(a.results);
    return 1;
}

}  // namespace rk
