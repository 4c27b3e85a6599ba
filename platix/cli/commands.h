// The four subcommands. Each returns the process exit status: 0 when
// every input was handled, 1 when some could not be, 2 for usage errors.
#pragma once

#include "options.h"

namespace platix {

int run_read(const ReadOptions& options);
int run_train(const TrainOptions& options);
int run_bench(const BenchOptions& options);
int run_synth(const SynthOptions& options);
int run_watch(const WatchOptions& options);

// Checks that every knowledge base named exists; throws UsageError.
void require_kb_files(const std::vector<KbArg>& kbs);

}  // namespace platix
