// A program (from PATH) a test starts: stderr (and stdout) to files; stopped by a signal, then SIGKILL after 10 s.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tool_run.h"

namespace {

class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& argv, const std::string& stderr_path, const std::string& stdout_path = "")
        : err_path_(stderr_path), out_path_(stdout_path) {
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setpgid(0, 0);  // its workers go with it
            for (const auto& [path, fd] : {std::pair{stderr_path, 2}, {stdout_path.empty() ? "/dev/null" : stdout_path, 1}})
                if (std::FILE* f = std::fopen(path.c_str(), "w")) ::dup2(::fileno(f), fd);
            std::vector<char*> args;
            for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            ::execvp(args[0], args.data());
            ::_exit(127);
        }
    }
    ~ChildProcess() { stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    std::string err() const { return file_text(err_path_); }
    std::string out() const { return file_text(out_path_); }

    // The first match of `pattern`'s group 1 in stderr, waiting up to `seconds`; "" when it never appears.
    std::string wait_for(const std::string& pattern, double seconds) const {
        const std::regex re(pattern);
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        for (std::smatch m; std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(std::chrono::milliseconds(20)))
            if (const std::string text = err(); std::regex_search(text, m, re)) return m[1].str();
        return "";
    }

    // Sends `sig`, waits up to 10 s for the end, then kills the group. The wait status, -1 when collected before.
    int stop(int sig = SIGTERM) {
        if (pid_ <= 0) return -1;
        ::kill(pid_, sig);
        int st = 0;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (::waitpid(pid_, &st, WNOHANG) == 0 && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ::kill(-pid_, SIGKILL);  // the group when it did not end in time, else anything it left behind
        if (std::chrono::steady_clock::now() >= end) ::waitpid(pid_, &st, 0);
        pid_ = -1;
        return st;
    }

private:
    pid_t pid_ = -1;
    std::string err_path_, out_path_;
};

}  // namespace
