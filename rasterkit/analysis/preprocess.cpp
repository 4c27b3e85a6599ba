// Pass preparation: tuning, image preparation and the candidate search.
#include "preprocess.h"

#include <cstddef>
#include <cstring>

#include "cell_map.h"
#include "image_filters.h"
#include "regions.h"
#include "zero_alloc.h"

namespace rk {
namespace {

constexpr int kPassSet[12] = {0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 0, 0};
constexpr int kPassMode[12] = {0, 1, 2, 3, 0, 1, 2, 3, 4, 5, 4, 5};

// The two parameter sets, as the digit strings "24,26", "14,15", "22",
// "42", "21", "97" and "32" give them.
constexpr int kWinW[2] = {24, 26};
constexpr int kCellStep[2] = {14, 15};
constexpr int kCellH[2] = {2, 2};
constexpr int kEdgeDist[2] = {4, 2};
constexpr int kRunGap[2] = {2, 1};
constexpr int kMinHFactor[2] = {9, 7};
constexpr int kMinWFactor[2] = {3, 2};

std::size_t page_bytes() { return static_cast<std::size_t>(::MAXLIN) * static_cast<std::size_t>(::MAXCOL); }

// Copies the page rows of `src` (stride `bpl`) into the packed `dst`.
void copy_page(unsigned char* dst, const unsigned char* src, int bpl) {
    for (int y = 0; y < ::MAXLIN; ++y)
        std::memcpy(dst + static_cast<std::size_t>(y) * ::MAXCOL, src + static_cast<std::size_t>(y) * bpl,
                    static_cast<std::size_t>(::MAXCOL));
}

// Cell map, statistics and regions over the current image.
int search(AnalysisInstance& a, bool prune) {
    if (!alloc_cellmap(a)) return 0;
    if (build_cellmap(a)) {
        if (prune) prune_cellmap(a);
        binarize_cellmap(a);
        extract_regions(a);
    }
    free_cellmap(a);
    return 1;
}

}  // namespace

void load_tuning(AnalysisInstance& a, int p) {
    const int q = ((p % 12) + 12) % 12;
    const int set = kPassSet[q];
    Tuning& t = a.tuning;
    t.win_w = kWinW[set] + (a.retry ? 4 : 0);
    t.cell_step = kCellStep[set] + (a.retry ? 2 : 0);
    t.cell_h = kCellH[set];
    t.edge_dist = kEdgeDist[set];
    t.run_gap = kRunGap[set];
    t.region_life = kRunGap[set];
    t.min_w_factor = kMinWFactor[set];
    t.min_h_factor = kMinHFactor[set];
    t.mode = kPassMode[q];
    if (t.mode == 0) {
        t.edge_min = 21;
        t.edge_floor = 21 - 21 / 7;
        t.empty_bin = (21 + 1) / 2;
    } else if (t.mode == 4) {
        t.edge_min = 0;
        t.edge_floor = 0;
        t.empty_bin = 0;
    }
}

int prepare_pass(AnalysisInstance& a, int p) {
    if (p < 0 || p > 23) return 1;
    if (!a.is_main() && p < 12) return 1;
    load_tuning(a, p);
    // The page must be there with whole rows; otherwise nothing is found.
    if (a.image == nullptr || ::MAXLIN < 1 || ::MAXCOL < 1 || a.image_bpl < ::MAXCOL) return 1;
    const int mode = a.tuning.mode;
    if (mode != 1 && mode != 3 && mode != 5) return search(a, true);

    const Rect page{0, 0, ::MAXCOL - 1, ::MAXLIN - 1};
    const bool made_here = a.smoothbuffer == nullptr;
    if (made_here) {
        a.smoothbuffer = static_cast<unsigned char*>(orvo::zero_alloc(page_bytes()));
        if (a.smoothbuffer == nullptr) return 0;
        copy_page(a.smoothbuffer, a.image, a.image_bpl);
        box_smooth(a.smoothbuffer, ::MAXCOL, &page, 3);
    }
    // On a memory failure a smoothing buffer made by this call goes too.
    auto fail = [&] {
        if (made_here) {
            orvo::zero_free(a.smoothbuffer);
            a.smoothbuffer = nullptr;
        }
        return 0;
    };
    orvo::ZeroPtr<unsigned char> work(static_cast<unsigned char*>(orvo::zero_alloc(page_bytes())));
    if (!work) return fail();
    std::memcpy(work.get(), a.smoothbuffer, page_bytes());
    if (mode == 3)
        stretch_contrast(work.get(), ::MAXCOL, &page);
    else
        box_smooth(work.get(), ::MAXCOL, &page, 5);
    unsigned char* const image = a.image;
    const int image_bpl = a.image_bpl;
    a.image = work.get();
    a.image_bpl = ::MAXCOL;
    const int ok = search(a, false);
    a.image = image;
    a.image_bpl = image_bpl;
    return ok ? 1 : fail();
}

}  // namespace rk
