// Benchmark scoring and its tables.
#include "bench_score.h"

#include <algorithm>
#include <cstdio>

#include "coords.h"
#include "output_format.h"

namespace platix {

int edit_distance(const std::string& a, const std::string& b) {
    std::vector<int> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const int up = row[j];
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + cost});
            diagonal = up;
        }
    }
    return row[b.size()];
}

PlateScore score_plate(const ImageResult& r, const LabelledImage& truth) {
    PlateScore s;
    if (r.status != ImageStatus::ok) return s;
    const std::string plate = normalise_plate(truth.plate);
    std::vector<std::string> located;
    for (const auto& f : r.fields) {
        if (centre_inside(f.file_box, truth.x, truth.y, truth.w, truth.h)) located.push_back(normalise_plate(f.text));
    }
    if (located.empty()) return s;
    s.located = true;
    std::vector<std::string> candidates;
    std::string joined;
    for (const auto& t : located) joined += t;
    candidates.push_back(joined);
    if (located.size() > 1) candidates.insert(candidates.end(), located.begin(), located.end());
    for (const auto& c : candidates) {
        if (c == plate) s.exact = true;
        const double acc = 1.0 - static_cast<double>(edit_distance(c, plate)) / static_cast<double>(plate.size());
        s.char_accuracy = std::max(s.char_accuracy, acc);
    }
    return s;
}

void FolderSummary::add(const ImageResult& r, const PlateScore& s) {
    ++images;
    located += s.located ? 1 : 0;
    exact += s.exact ? 1 : 0;
    accuracy_sum += s.char_accuracy;
    if (r.status == ImageStatus::ok) ms.push_back(r.ms);
}

void FolderSummary::merge(const FolderSummary& o) {
    images += o.images;
    located += o.located;
    exact += o.exact;
    accuracy_sum += o.accuracy_sum;
    ms.insert(ms.end(), o.ms.begin(), o.ms.end());
    seconds += o.seconds;
    jobs = o.jobs;
}

double FolderSummary::located_pct() const { return images ? 100.0 * located / images : 0; }
double FolderSummary::exact_pct() const { return images ? 100.0 * exact / images : 0; }
double FolderSummary::accuracy_pct() const { return images ? 100.0 * accuracy_sum / images : 0; }

double FolderSummary::median_ms() const {
    if (ms.empty()) return 0;
    std::vector<long> v = ms;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? static_cast<double>(v[n / 2]) : (static_cast<double>(v[n / 2 - 1]) + static_cast<double>(v[n / 2])) / 2.0;
}

double FolderSummary::images_per_second() const { return seconds > 0 ? images / seconds : 0; }

std::string format_bench_table(const std::vector<FolderSummary>& folders, const FolderSummary& total) {
    std::size_t width = 6;
    for (const auto& f : folders) width = std::max(width, f.folder.size());
    std::string out;
    char line[512];
    std::snprintf(line, sizeof line, "%-*s %7s %9s %7s %8s %10s %8s\n", static_cast<int>(width), "folder", "images",
                  "located%", "exact%", "chars%", "median ms", "img/s");
    out += line;
    auto row = [&](const FolderSummary& f, const std::string& name) {
        std::snprintf(line, sizeof line, "%-*s %7d %9.1f %7.1f %8.1f %10.1f %8.2f\n", static_cast<int>(width),
                      name.c_str(), f.images, f.located_pct(), f.exact_pct(), f.accuracy_pct(), f.median_ms(),
                      f.images_per_second());
        out += line;
    };
    for (const auto& f : folders) row(f, f.folder);
    if (folders.size() > 1) row(total, "total");
    std::snprintf(line, sizeof line, "(--jobs %d)\n", total.jobs);
    out += line;
    return out;
}

std::string format_bench_json(const std::vector<FolderSummary>& folders, const FolderSummary& total,
                              AnalysisKind analysis) {
    auto obj = [](const FolderSummary& f, const std::string& name) {
        char buf[512];
        std::snprintf(buf, sizeof buf,
                      "{\"folder\": %s, \"images\": %d, \"located\": %.2f, \"exact\": %.2f, \"char_accuracy\": %.2f, "
                      "\"median_ms\": %.1f, \"images_per_second\": %.3f, \"jobs\": %d}",
                      json_string(name).c_str(), f.images, f.located_pct(), f.exact_pct(), f.accuracy_pct(),
                      f.median_ms(), f.images_per_second(), f.jobs);
        return std::string(buf);
    };
    std::string out = "{\"analysis\": " + json_string(analysis_name(analysis)) + ", \"folders\": [";
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (i) out += ", ";
        out += obj(folders[i], folders[i].folder);
    }
    out += "], \"total\": " + obj(total, "total") + "}\n";
    return out;
}

}  // namespace platix
