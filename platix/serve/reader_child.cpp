// The reading child: framing over a socket pair, the deadline, restarts.
#include "serve/reader_child.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <nlohmann/json.hpp>

namespace platix::serve {

namespace {

// Both ends are this same program, so the headers go as they lie in memory.
struct JobHeader {
    std::int32_t region, depth, topn, unused;
    std::uint64_t size;
};
struct AnswerHeader {
    std::int32_t status, unused;
    std::uint64_t size;
};

bool send_all(int fd, const void* data, std::size_t size) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::send(fd, p, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool receive_all(int fd, void* data, std::size_t size) {
    auto* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = ::recv(fd, p, size, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

[[noreturn]] void serve_jobs(int fd, const ReaderChild::Read& read) {
    for (;;) {
        JobHeader h{};
        if (!receive_all(fd, &h, sizeof h)) ::_exit(0);  // the worker closed: done
        ReadJob job;
        job.region = h.region;
        job.depth = h.depth;
        job.topn = h.topn;
        Answer a;
        try {
            job.image.resize(h.size);
            if (!receive_all(fd, job.image.data(), job.image.size())) ::_exit(1);
            a = read(job);
        } catch (...) {
            a = error_answer(500, "internal error");
        }
        const AnswerHeader ah{a.status, 0, a.body.size()};
        if (!send_all(fd, &ah, sizeof ah) || !send_all(fd, a.body.data(), a.body.size())) ::_exit(1);
    }
}

}  // namespace

Answer error_answer(int status, const std::string& why) {
    return {status, nlohmann::json{{"ok", false}, {"error", why}}.dump()};
}

ReaderChild::ReaderChild(Read read) : read_(std::move(read)) {}

ReaderChild::~ReaderChild() {
    if (pid_ > 0) reap(true);
}

bool ReaderChild::start() {
    if (pid_ > 0) return true;
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return false;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(pair[0]);
        ::close(pair[1]);
        return false;
    }
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::close(pair[0]);
        serve_jobs(pair[1], read_);
    }
    ::close(pair[1]);
    pid_ = pid;
    fd_ = pair[0];
    return true;
}

std::string ReaderChild::reap(bool kill_first) {
    ::close(fd_);  // an idle child reads the end of its jobs and exits
    fd_ = -1;
    if (kill_first) ::kill(pid_, SIGKILL);
    int st = 0;
    while (::waitpid(pid_, &st, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    if (WIFSIGNALED(st)) return "was ended by signal " + std::to_string(WTERMSIG(st));
    return "ended without an answer (exit status " + std::to_string(WIFEXITED(st) ? WEXITSTATUS(st) : -1) + ")";
}

Answer ReaderChild::ask(const ReadJob& job, double limit) {
    if (!start()) return error_answer(500, "cannot start the reading process");
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(limit));
    const JobHeader h{job.region, job.depth, job.topn, 0, job.image.size()};
    if (!send_all(fd_, &h, sizeof h) || !send_all(fd_, job.image.data(), job.image.size()))
        return error_answer(500, "the reading " + reap(true));

    // The answer: its header, then its body, within the deadline.
    AnswerHeader ah{};
    std::string body;
    std::size_t got = 0;
    bool have_header = false;
    for (;;) {
        const std::size_t want = have_header ? body.size() : sizeof ah;
        if (got == want) {
            if (have_header) break;
            have_header = true;
            got = 0;
            if (ah.size > (std::uint64_t{1} << 30)) return error_answer(500, "the reading " + reap(true));
            body.resize(ah.size);
            continue;
        }
        int wait_ms = -1;
        if (limit > 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) {
                reap(true);
                char why[96];
                std::snprintf(why, sizeof why, "the reading took longer than the time limit of %g s", limit);
                return error_answer(500, why);
            }
            wait_ms = static_cast<int>(std::min<long long>(left, 60000));
        }
        pollfd p{fd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, wait_ms);
        if (ready < 0 && errno != EINTR) return error_answer(500, "the reading " + reap(true));
        if (ready <= 0) continue;
        char* to = have_header ? body.data() : reinterpret_cast<char*>(&ah);
        const ssize_t n = ::recv(fd_, to + got, want - got, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return error_answer(500, "the reading " + reap(false));
        got += static_cast<std::size_t>(n);
    }
    return {ah.status, std::move(body)};
}

}  // namespace platix::serve
