// Scoring one read image against its label, and the per-folder summary of
// a benchmark run.
#pragma once

#include <string>
#include <vector>

#include "image_result.h"
#include "labels.h"
#include "options.h"

namespace platix {

// Levenshtein distance (insertions, deletions, substitutions cost 1).
int edit_distance(const std::string& a, const std::string& b);

struct PlateScore {
    bool located = false;   // some field's centre lies in the labelled box
    bool exact = false;     // the located fields (together, or one alone) read the plate
    double char_accuracy = 0;  // best 1 - distance / plate length, at least 0
};

// The fields located in the box are taken in list order with blanks
// removed; letters compare case-insensitively.
PlateScore score_plate(const ImageResult& r, const LabelledImage& truth);

struct FolderSummary {
    std::string folder;
    int images = 0;
    int located = 0;
    int exact = 0;
    double accuracy_sum = 0;
    std::vector<long> ms;     // per image read
    double seconds = 0;       // wall-clock time of the folder's run
    int jobs = 1;

    void add(const ImageResult& r, const PlateScore& s);
    void merge(const FolderSummary& other);
    double located_pct() const;
    double exact_pct() const;
    double accuracy_pct() const;
    double median_ms() const;
    double images_per_second() const;
};

// The table as printed, and as JSON.
std::string format_bench_table(const std::vector<FolderSummary>& folders, const FolderSummary& total);
std::string format_bench_json(const std::vector<FolderSummary>& folders, const FolderSummary& total,
                              AnalysisKind analysis);

}  // namespace platix
