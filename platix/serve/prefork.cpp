// Forking, watching and replacing the workers.
#include "serve/prefork.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace platix::serve {

namespace {

volatile sig_atomic_t g_stop = 0;

void ask_stop(int) { g_stop = 1; }

pid_t start_worker(int index, const std::function<int(int)>& work) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGINT, SIG_DFL);
    int status = 1;
    try {
        status = work(index);
    } catch (...) {
        status = 1;
    }
    std::fflush(nullptr);
    ::_exit(status);
}

}  // namespace

int run_prefork(int workers, const std::function<int(int)>& work, const std::function<void(int, int)>& on_change) {
    g_stop = 0;
    struct sigaction sa {};
    sa.sa_handler = ask_stop;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no SA_RESTART: waitpid returns to look at the flag
    struct sigaction old_term {}, old_int {};
    ::sigaction(SIGTERM, &sa, &old_term);
    ::sigaction(SIGINT, &sa, &old_int);

    std::vector<pid_t> pids(static_cast<std::size_t>(workers), -1);
    int replaced = 0;
    const auto alive = [&] {
        int n = 0;
        for (pid_t p : pids) n += p > 0;
        return n;
    };
    for (int i = 0; i < workers; ++i) pids[static_cast<std::size_t>(i)] = start_worker(i, work);
    on_change(alive(), replaced);

    int result = 0;
    while (!g_stop) {
        int st = 0;
        const pid_t pid = ::waitpid(-1, &st, 0);
        if (pid < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (std::size_t i = 0; i < pids.size(); ++i) {
            if (pids[i] != pid) continue;
            pids[i] = -1;
            if (WIFEXITED(st) && WEXITSTATUS(st) == kWorkerCannotStart) {
                result = 1;
                g_stop = 1;
            } else if (!g_stop) {
                pids[i] = start_worker(static_cast<int>(i), work);
                ++replaced;
            }
        }
        on_change(alive(), replaced);
    }
    for (pid_t p : pids)
        if (p > 0) ::kill(p, SIGTERM);
    for (pid_t& p : pids) {
        if (p <= 0) continue;
        while (::waitpid(p, nullptr, 0) < 0 && errno == EINTR) {
        }
        p = -1;
    }
    on_change(0, replaced);
    ::sigaction(SIGTERM, &old_term, nullptr);
    ::sigaction(SIGINT, &old_int, nullptr);
    return result;
}

}  // namespace platix::serve
