// Worker processes for per-image work, with results gathered in order.
#include "job_pool.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "result_codec.h"

namespace platix {

namespace {

bool write_all(int fd, const std::uint8_t* p, std::size_t n) {
    while (n > 0) {
        const ssize_t k = ::write(fd, p, n);
        if (k < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += k;
        n -= static_cast<std::size_t>(k);
    }
    return true;
}

bool read_all(int fd, std::uint8_t* p, std::size_t n) {
    while (n > 0) {
        const ssize_t k = ::read(fd, p, n);
        if (k < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (k == 0) return false;
        p += k;
        n -= static_cast<std::size_t>(k);
    }
    return true;
}

struct Worker {
    pid_t pid = -1;
    int to = -1;     // image indices to the worker
    int from = -1;   // results from the worker
    long current = -1;  // the image it is working on, or -1 when idle
};

// Starts a worker that reads image indices (8 bytes each) and answers each
// with the encoded result, until its index pipe is closed. The child closes
// its copies of the other workers' pipes, so that closing a worker's index
// pipe here really ends it.
Worker start_worker(const ImageWork& work, const std::vector<Worker>& others) {
    int down[2], up[2];
    if (::pipe(down) != 0) return {};
    if (::pipe(up) != 0) {
        ::close(down[0]);
        ::close(down[1]);
        return {};
    }
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        for (int fd : {down[0], down[1], up[0], up[1]}) ::close(fd);
        return {};
    }
    if (pid == 0) {
        ::close(down[1]);
        ::close(up[0]);
        for (const Worker& o : others) {
            if (o.to >= 0) ::close(o.to);
            if (o.from >= 0) ::close(o.from);
        }
        std::uint8_t in[8];
        while (read_all(down[0], in, 8)) {
            std::uint64_t i = 0;
            for (int k = 7; k >= 0; --k) i = (i << 8) | in[k];
            const auto bytes = encode_result(work(static_cast<std::size_t>(i)));
            const std::uint32_t n = static_cast<std::uint32_t>(bytes.size());
            std::uint8_t head[4] = {std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(n >> 16), std::uint8_t(n >> 24)};
            if (!write_all(up[1], head, 4) || !write_all(up[1], bytes.data(), bytes.size())) break;
        }
        ::close(up[1]);
        std::fflush(stderr);
        ::_exit(0);
    }
    ::close(down[0]);
    ::close(up[1]);
    return {pid, down[1], up[0], -1};
}

// Hands image i to an idle worker; false when the worker cannot take it.
bool assign(Worker& w, std::size_t i) {
    std::uint8_t out[8];
    std::uint64_t v = i;
    for (int k = 0; k < 8; ++k, v >>= 8) out[k] = static_cast<std::uint8_t>(v);
    if (w.to < 0 || !write_all(w.to, out, 8)) return false;
    w.current = static_cast<long>(i);
    return true;
}

bool receive(const Worker& w, ImageResult* out) {
    if (w.from < 0) return false;
    std::uint8_t head[4];
    if (!read_all(w.from, head, 4)) return false;
    const std::size_t n = std::size_t(head[0]) | (std::size_t(head[1]) << 8) | (std::size_t(head[2]) << 16) |
                          (std::size_t(head[3]) << 24);
    if (n > (std::size_t(1) << 30)) return false;
    std::vector<std::uint8_t> bytes(n);
    if (!read_all(w.from, bytes.data(), n)) return false;
    return decode_result(bytes, out);
}

// Ends a worker: closing its index pipe lets it exit; `kill` for one that
// failed.
void end_worker(Worker& w, bool kill) {
    if (w.to >= 0) ::close(w.to);
    if (w.from >= 0) ::close(w.from);
    if (w.pid > 0) {
        int status = 0;
        if (kill) ::kill(w.pid, SIGKILL);
        ::waitpid(w.pid, &status, 0);
    }
    w = Worker{};
}

}  // namespace

void run_images(std::size_t count, int jobs, const ImageWork& work, const ResultSink& sink,
                const std::function<std::string(std::size_t)>& path_of) {
    if (jobs <= 1 || count <= 1) {
        for (std::size_t i = 0; i < count; ++i) sink(i, work(i));
        return;
    }
    // A worker that died must not take the caller with it when its index
    // pipe is written.
    struct sigaction ignore {}, old {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &old);

    // Images go out one at a time to whichever worker is idle, so a slow
    // image holds up one worker only; results wait here until every
    // earlier one has been handed on.
    const std::size_t n_workers = static_cast<std::size_t>(jobs) < count ? static_cast<std::size_t>(jobs) : count;
    std::vector<Worker> workers(n_workers);
    std::vector<ImageResult> done(count);
    std::vector<char> ready(count, 0);
    std::size_t next = 0, emitted = 0;
    auto failed = [&](std::size_t i) {
        ImageResult r;
        r.path = path_of(i);
        r.status = ImageStatus::failed;
        r.error = "the analysis process ended unexpectedly";
        return r;
    };
    auto feed = [&](Worker& w) {
        while (next < count) {
            if (w.pid < 0) w = start_worker(work, workers);
            if (w.pid < 0) return;  // no process: the images left are done here
            if (assign(w, next)) {
                ++next;
                return;
            }
            end_worker(w, true);  // it died idle: a new one takes the image
        }
    };
    for (Worker& w : workers) feed(w);
    std::vector<pollfd> fds;
    std::vector<std::size_t> owner;
    while (emitted < count) {
        while (emitted < count && ready[emitted]) {
            sink(emitted, std::move(done[emitted]));
            ready[emitted] = 0;
            ++emitted;
        }
        if (emitted == count) break;
        fds.clear();
        owner.clear();
        for (std::size_t k = 0; k < workers.size(); ++k) {
            if (workers[k].current < 0) continue;
            fds.push_back({workers[k].from, POLLIN, 0});
            owner.push_back(k);
        }
        if (fds.empty()) {
            // No worker could be started: do the rest in this process.
            for (; next < count; ++next) {
                done[next] = work(next);
                ready[next] = 1;
            }
            continue;
        }
        if (::poll(fds.data(), static_cast<nfds_t>(fds.size()), -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (std::size_t f = 0; f < fds.size(); ++f) {
            if (fds[f].revents == 0) continue;
            Worker& w = workers[owner[f]];
            const auto i = static_cast<std::size_t>(w.current);
            ImageResult r;
            if (receive(w, &r)) {
                w.current = -1;
            } else {
                end_worker(w, true);
                r = failed(i);
            }
            done[i] = std::move(r);
            ready[i] = 1;
            feed(w);
        }
    }
    for (Worker& w : workers) end_worker(w, w.current >= 0);
    ::sigaction(SIGPIPE, &old, nullptr);
}

}  // namespace platix
