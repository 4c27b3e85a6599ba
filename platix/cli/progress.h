// A one-line progress bar on standard error: images done of the total, the
// rate and the time left. It draws only when enabled (stderr a terminal and
// not --quiet) and erases itself when finished.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>

namespace platix {

class ProgressBar {
public:
    ProgressBar(std::size_t total, bool enabled, std::FILE* out = stderr);
    ~ProgressBar();
    // Records one more image done and redraws (at most ten times a second).
    void step();
    void finish();

    // The text of the bar for `done` of `total` after `seconds`, `width`
    // characters of bar. Exposed for tests.
    static std::string render(std::size_t done, std::size_t total, double seconds, int width);

    // True when stderr is a terminal and the user did not ask for quiet.
    static bool wanted(bool quiet);

private:
    std::size_t total_;
    std::size_t done_ = 0;
    bool enabled_;
    bool drawn_ = false;
    std::FILE* out_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point last_draw_;
};

}  // namespace platix
