// Text-row finder: cutting tall blocks at the blank bands between lines of
// text, and the final margins of the rows in pixels.
#include <algorithm>
#include <cstddef>

#include "field_bitmap.h"
#include "text_row_steps.h"
#include "zero_alloc.h"

namespace rk {

int split_at_gaps(const AnalysisInstance& a, int x1, int y1, int x2, int y2, int* cuts, int room) {
    const int h = y2 - y1;
    const int w = x2 - x1;
    cuts[0] = y1;
    cuts[1] = y2;
    if (h < 64 || w < 100 || 4 * h < w) return 1;

    orvo::ZeroPtr<int> profile_block = orvo::make_zeroed<int>(static_cast<std::size_t>(h));
    int* value = profile_block.get();
    if (value == nullptr) return 1;
    int largest = 0;
    for (int y = y1; y < y2; ++y) {
        int bg = 0;
        int runs = 0;
        bool in_bg = false;
        for (int x = x1; x < x2; ++x) {
            const bool background = pixel_is_ink(a, x, y) == 0;
            if (background) {
                ++bg;
                if (!in_bg) ++runs;
            }
            in_bg = background;
        }
        runs = std::max(runs, 1);
        const int v = static_cast<int>(static_cast<long>(bg) * 1000 / (static_cast<long>(runs) * w));
        value[y - y1] = v;
        largest = std::max(largest, v);
    }
    if (largest < 133) return 1;

    const int thr = largest * 3 / 10;
    const int m = std::min(h / 3, 16);
    auto score = [&](int y) { return value[y - y1]; };
    int k = 0;
    int previous = y1;
    for (int y = y1; y < y2 - 1; y += 2) {
        if (score(y) <= thr) continue;
        const int s = y;
        ++y;
        // The line limit is tested first: the band may reach the last line.
        while (y < y2 - 1 && score(y) > thr) y += 2;
        const int cut = (y + s) / 2;
        if (cut >= y1 + m && cut <= y2 - m && cut - previous >= 32 && y2 - cut >= 32) {
            if (k + 2 >= room) return -1;
            cuts[++k] = cut;
            previous = cut;
        }
    }
    cuts[k + 1] = y2;
    return k + 1;
}

void split_blocks(AnalysisInstance& a) {
    TextRowsState& s = a.textrows;
    TextBlock* t = s.blocktable;
    const int n = s.block_count;
    int appended = 0;
    int done = 0;  // blocks replaced by their pieces
    int cuts[kTextBlockCapacity + 1];
    for (; done < n; ++done) {
        const TextBlock b = t[done];
        const int room = kTextBlockCapacity - n - appended;  // free entries
        if (room < 1) break;
        const int k = split_at_gaps(a, b.left * 8, b.top, b.right * 8 + 8, b.bottom, cuts, room + 1);
        if (k < 0 || k > room) break;
        for (int p = 0; p < k; ++p) t[n + appended++] = {b.left, cuts[p], b.right, cuts[p + 1]};
    }
    // The pieces go to the front, followed by the blocks left unsplit.
    std::rotate(t + done, t + n, t + n + appended);
    std::move(t + done, t + n + appended, t);
    s.block_count = appended + (n - done);
}

void pad_blocks(AnalysisInstance& a) {
    TextRowsState& s = a.textrows;
    for (int i = 0; i < s.block_count; ++i) {
        TextBlock& b = s.blocktable[i];
        b.left = std::max(1, std::min((b.left - 1) * 8, a.BMP_columns - 1));
        b.right = std::min((b.right + 1) * 8, a.BMP_columns - 2);
        b.top = std::max(b.top - 2, 2);
        b.bottom = std::min(b.bottom + 2, a.BMP_lines - 2);
    }
}

}  // namespace rk
