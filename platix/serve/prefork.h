// A pre-fork supervisor: keeps N worker processes running until asked to
// stop. Our libraries keep module state and are not re-entrant, so work is
// spread over processes, each with its own loaded knowledge bases.
#pragma once

#include <functional>

namespace platix::serve {

// Exit status a worker uses when it cannot start at all (its bases do not
// load, its port cannot be bound); the supervisor then stops rather than
// fork it again and again.
inline constexpr int kWorkerCannotStart = 3;

// Forks `workers` processes that each run `work(index)` and exit with its
// value. A worker that ends (or is killed) is forked again with the same
// index. SIGTERM or SIGINT to this process stops the workers (SIGTERM) and
// returns 0; a worker ending with kWorkerCannotStart stops them and
// returns 1. `on_change(alive, replaced)` is called after each change.
int run_prefork(int workers, const std::function<int(int)>& work,
                const std::function<void(int, int)>& on_change);

}  // namespace platix::serve
