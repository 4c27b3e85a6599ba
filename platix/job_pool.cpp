// Worker processes for per-image work, with results gathered in order.
#include "job_pool.h"

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
    int fd = -1;
};

// Starts a worker that does images first, first + step, ... below count.
Worker start_worker(std::size_t first, std::size_t step, std::size_t count, const ImageWork& work) {
    int fds[2];
    if (::pipe(fds) != 0) return {};
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return {};
    }
    if (pid == 0) {
        ::close(fds[0]);
        for (std::size_t i = first; i < count; i += step) {
            const auto bytes = encode_result(work(i));
            const std::uint32_t n = static_cast<std::uint32_t>(bytes.size());
            std::uint8_t head[4] = {std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(n >> 16), std::uint8_t(n >> 24)};
            if (!write_all(fds[1], head, 4) || !write_all(fds[1], bytes.data(), bytes.size())) break;
        }
        ::close(fds[1]);
        std::fflush(stderr);
        ::_exit(0);
    }
    ::close(fds[1]);
    return {pid, fds[0]};
}

bool receive(const Worker& w, ImageResult* out) {
    if (w.fd < 0) return false;
    std::uint8_t head[4];
    if (!read_all(w.fd, head, 4)) return false;
    const std::size_t n = std::size_t(head[0]) | (std::size_t(head[1]) << 8) | (std::size_t(head[2]) << 16) |
                          (std::size_t(head[3]) << 24);
    if (n > (std::size_t(1) << 30)) return false;
    std::vector<std::uint8_t> bytes(n);
    if (!read_all(w.fd, bytes.data(), n)) return false;
    return decode_result(bytes, out);
}

void stop_worker(Worker& w) {
    if (w.fd >= 0) ::close(w.fd);
    if (w.pid > 0) {
        int status = 0;
        ::kill(w.pid, SIGKILL);
        ::waitpid(w.pid, &status, 0);
    }
    w = Worker{};
}

void finish_worker(Worker& w) {
    if (w.fd >= 0) ::close(w.fd);
    if (w.pid > 0) {
        int status = 0;
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
    const std::size_t step = static_cast<std::size_t>(jobs) < count ? static_cast<std::size_t>(jobs) : count;
    std::vector<Worker> workers(step);
    for (std::size_t k = 0; k < step; ++k) workers[k] = start_worker(k, step, count, work);
    for (std::size_t i = 0; i < count; ++i) {
        Worker& w = workers[i % step];
        ImageResult r;
        if (w.pid < 0) {
            // No process could be started for this share: do it here.
            r = work(i);
        } else if (!receive(w, &r)) {
            stop_worker(w);
            r = ImageResult{};
            r.path = path_of(i);
            r.status = ImageStatus::failed;
            r.error = "the analysis process ended unexpectedly";
            if (i + step < count) w = start_worker(i + step, step, count, work);
        }
        sink(i, std::move(r));
    }
    for (auto& w : workers) finish_worker(w);
}

}  // namespace platix
