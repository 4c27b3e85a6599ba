// Drawing the progress bar.
#include "progress.h"

#include <unistd.h>

namespace platix {

ProgressBar::ProgressBar(std::size_t total, bool enabled, std::FILE* out)
    : total_(total), enabled_(enabled), out_(out), start_(std::chrono::steady_clock::now()), last_draw_() {}

ProgressBar::~ProgressBar() { finish(); }

bool ProgressBar::wanted(bool quiet) { return !quiet && ::isatty(2) == 1; }

std::string ProgressBar::render(std::size_t done, std::size_t total, double seconds, int width) {
    const std::size_t filled = total == 0 ? static_cast<std::size_t>(width) : done * static_cast<std::size_t>(width) / total;
    std::string bar = "[";
    for (int i = 0; i < width; ++i) bar += static_cast<std::size_t>(i) < filled ? '#' : '.';
    bar += "] " + std::to_string(done) + "/" + std::to_string(total);
    char tail[64];
    if (done > 0 && seconds > 0) {
        const double rate = static_cast<double>(done) / seconds;
        const long left = static_cast<long>(static_cast<double>(total - done) / rate + 0.5);
        std::snprintf(tail, sizeof tail, "  %.1f img/s  %ld:%02ld left", rate, left / 60, left % 60);
    } else {
        std::snprintf(tail, sizeof tail, "  -- img/s");
    }
    return bar + tail;
}

void ProgressBar::step() {
    ++done_;
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ && done_ < total_ && now - last_draw_ < std::chrono::milliseconds(100)) return;
    last_draw_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    std::fprintf(out_, "\r%s\033[K", render(done_, total_, seconds, 30).c_str());
    std::fflush(out_);
    drawn_ = true;
}

void ProgressBar::finish() {
    if (drawn_) {
        std::fprintf(out_, "\r\033[K");
        std::fflush(out_);
        drawn_ = false;
    }
}

}  // namespace platix
