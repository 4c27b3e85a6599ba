// Internal switches of the analysis driver, for tests and tools: the choice
// between the worker plan and the single-processor plan, and a hook that
// sees every pass an analysis instance starts. Not exported.
#pragma once

namespace rk {

enum class WorkerPlan {
    automatic,  // a worker for phase 2 when the machine has several processors
    never,      // phase 2 after phase 1 in the main instance
    always,     // a worker for phase 2 even on one processor
};

// Sets the plan of the following analyses (automatic by default).
void set_worker_plan(WorkerPlan plan);
WorkerPlan worker_plan();

// Called at the start of every pass, before its pre-processing, with the
// instance that runs it (true: the main instance), the pass number and the
// instance's retry flag. The worker calls it from its own thread, so a hook
// used with the worker plan must be thread-safe. Null removes the hook.
using PassTraceHook = void (*)(void* context, bool main_instance, int pass, int retry);
void set_pass_trace_hook(PassTraceHook hook, void* context);

}  // namespace rk
