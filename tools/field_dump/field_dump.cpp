// field_dump [--depths 1,3,5] [--modes 0,1] [--times] IMAGE...: prints, for
// every image, analysis depth and analysis mode, the fields the analysis
// leaves in result order: rectangle, bitmap size and a 64-bit FNV-1a hash
// of the bitmap bytes. Two builds that print the same lines for the same
// images find the same fields with the same bitmaps; a comparison of the
// outputs (diff) is the identity check of a change meant to keep every
// result. --times also prints the analysis time of each run (milliseconds
// of processor time of the process, which a busy machine disturbs less
// than the wall clock, and of wall clock) on stderr, and the medians per
// depth and mode at the end.
// Exit code 0, 1 when an image cannot be loaded, 2 on a usage error.
#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "rasterkit.h"

namespace {

bool parse_list(const char* text, int lo, int hi, std::vector<int>* out) {
    out->clear();
    std::string s(text);
    std::size_t at = 0;
    while (at <= s.size()) {
        const std::size_t comma = s.find(',', at);
        const std::string item = s.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        char* end = nullptr;
        const long v = std::strtol(item.c_str(), &end, 10);
        if (item.empty() || *end != '\0' || v < lo || v > hi) return false;
        out->push_back(static_cast<int>(v));
        if (comma == std::string::npos) break;
        at = comma + 1;
    }
    return !out->empty();
}

std::uint64_t fnv1a(const unsigned char* p, std::size_t n) {
    std::uint64_t h = 1469598103934665603ULL;
    for (std::size_t i = 0; i < n; ++i) {
        h ^= p[i];
        h *= 1099511628211ULL;
    }
    return h;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> depths{3};
    std::vector<int> modes{0, 1};
    bool times = false;
    std::vector<std::string> images;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--depths" && i + 1 < argc) {
            if (!parse_list(argv[++i], 1, 5, &depths)) return 2;
        } else if (arg == "--modes" && i + 1 < argc) {
            if (!parse_list(argv[++i], 0, 1, &modes)) return 2;
        } else if (arg == "--times") {
            times = true;
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "usage: %s [--depths 1,3,5] [--modes 0,1] [--times] IMAGE...\n", argv[0]);
            return 2;
        } else {
            images.push_back(arg);
        }
    }
    int status = 0;
    std::map<std::pair<int, int>, std::vector<double>> ms, cpu_ms;
    auto cpu_now = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
    };
    for (const std::string& path : images) {
        SEG_clear_analysis_results();
        if (SEG_set_image_file(path.c_str()) != 1 || SEG_open_image() == 0 || videobuffer == nullptr) {
            std::printf("%s\tnot loaded\n", path.c_str());
            status = 1;
            SEG_close_image();
            continue;
        }
        for (int depth : depths) {
            for (int mode : modes) {
                SEG_clear_analysis_results();
                SEG_set_analysis_mode(mode);
                const double cpu_start = cpu_now();
                const auto start = std::chrono::steady_clock::now();
                SEG_analyze_image(depth);
                const double t =
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
                const double cpu = cpu_now() - cpu_start;
                std::printf("%s\tdepth %d\tmode %d\tfields %d\n", path.c_str(), depth, mode, SEG_get_results_number());
                for (const seg_result* r = results; r != nullptr; r = r->next) {
                    const std::size_t n = r->bitmap != nullptr && r->bpl > 0 && r->lines > 0
                                              ? static_cast<std::size_t>(r->bpl) * static_cast<std::size_t>(r->lines)
                                              : 0;
                    std::printf("\t%d %d %d %d\t%d x %d bpl %d\t%016" PRIx64 "\n", r->left, r->top, r->right,
                                r->bottom, r->columns, r->lines, r->bpl, fnv1a(r->bitmap, n));
                }
                if (times) {
                    std::fprintf(stderr, "%s\tdepth %d\tmode %d\t%.2f ms processor\t%.2f ms wall\n", path.c_str(),
                                 depth, mode, cpu, t);
                    ms[{depth, mode}].push_back(t);
                    cpu_ms[{depth, mode}].push_back(cpu);
                }
            }
        }
        SEG_clear_analysis_results();
        SEG_close_image();
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    };
    for (const auto& [key, v] : ms)
        std::fprintf(stderr, "median depth %d mode %d: %.2f ms processor, %.2f ms wall, over %zu images\n",
                     key.first, key.second, median(cpu_ms[key]), median(v), v.size());
    return status;
}
