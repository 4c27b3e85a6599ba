// The state of one plate-analysis instance. The main instance works on the
// exported variables themselves (the current image, the current bitmap and
// the results list); a second instance, run by the analysis worker, keeps
// the same variables in storage of its own. Nothing writable is shared
// between two instances: MAXLIN and MAXCOL are only read.
#pragma once

#include <array>
#include <cstdint>

#include "driver_state.h"
#include "rasterkit.h"
#include "text_rows_state.h"

namespace rk {

// Inclusive pixel rectangle.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// One maximal horizontal run of ink in a bitmap row.
struct Run {
    int first = 0;  // first column, inclusive
    int last = 0;   // last column, inclusive
    int row = 0;
    int label = 0;  // -1 once erased
    Run* next = nullptr;
};

// One connected component after renumbering.
struct Component {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    int cx = 0;  // (left + right) / 2
    int cy = 0;  // (top + bottom) / 2
    int width = 0;
    int height = 0;
    int index = 0;  // -1 once erased
};

// One entry of the region table of the cell-map search.
struct Region {
    int first_row = -1;
    int first_col = -1;
    int last_col = 32767;
    int life = 0;
    int last_row = 0;  // last cell row a run joined the region
    bool in_use = false;
    bool touched = false;
};

constexpr int kRegionCapacity = 2048;

// The tuning parameters of one pass.
struct Tuning {
    int win_w = 24;
    int cell_step = 14;
    int cell_h = 2;
    int edge_dist = 4;
    int run_gap = 2;
    int region_life = 2;
    int min_w_factor = 3;
    int min_h_factor = 9;
    int mode = 0;
    // Edge constants: written by modes 0 and 4 only, kept by the others.
    int edge_min = 21;
    int edge_floor = 18;
    int empty_bin = 11;
};

// The variables an instance binds: the exported globals for the main
// instance, own storage for a worker.
struct InstanceVars {
    unsigned char* image = nullptr;
    int image_bpl = 0;
    seg_result* results = nullptr;
    unsigned char* objectbitmap = nullptr;
    int lines = 0;
    int columns = 0;
    int bpl = 0;
};

class AnalysisInstance {
    InstanceVars own_;  // storage of a worker instance (unused by the main one)
    bool bound_to_globals_;

public:
    // A worker instance: every variable in storage of its own.
    AnalysisInstance();
    // The main instance, bound to the exported variables.
    struct GlobalsTag {};
    explicit AnalysisInstance(GlobalsTag);
    // Frees the working tables and smoothbuffer; a worker instance also
    // frees its results list. The current bitmap is never freed here: it
    // aliases a record's bitmap once the analysis has stored it.
    ~AnalysisInstance();
    AnalysisInstance(const AnalysisInstance&) = delete;
    AnalysisInstance& operator=(const AnalysisInstance&) = delete;

    bool is_main() const { return bound_to_globals_; }

    // The current image (pre-processing may point it at a work copy).
    unsigned char*& image;
    int& image_bpl;
    // The results list, newest record first.
    seg_result*& results;
    // The current bitmap.
    unsigned char*& objectbitmap;
    int& BMP_lines;
    int& BMP_columns;
    int& BMP_bpl;
    int bmp_size = 0;

    // Pre-processing.
    Tuning tuning;
    int retry = 0;  // 1: wider windows and strides
    unsigned char* smoothbuffer = nullptr;
    unsigned char** cellmap = nullptr;
    int celllin = 0;
    int cellcol = 0;
    int edgethreshold = 0;
    std::array<Region, kRegionCapacity> regiontable{};
    int regions_in_use = 0;

    // Candidate localisation.
    int graythreshold = 0;
    int polarity = 0;
    int* rowthresholds = nullptr;

    // Labelling and blobs.
    Run* runlist = nullptr;     // head: the last row's rightmost run
    Run* runblock = nullptr;    // the storage of every run of runlist
    int n_runs = 0;
    Run** rowindex = nullptr;   // per bitmap row: list head just after that row, or null
    int rowindex_lines = 0;
    int next_label = 0;         // the next unused label number
    Component* componenttable = nullptr;
    int n_table = 0;            // entries of componenttable
    int n_components = 0;       // entries not erased

    // Text-row finder.
    TextRowsState textrows;

    // Analysis driver.
    DriverState driver;
};

// The main instance, bound to the exported variables.
AnalysisInstance& main_instance();

}  // namespace rk
