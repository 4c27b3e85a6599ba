// The text-row finder: its entry points, the scan of the runs of ink bytes
// and the closing of connected runs into blocks.
#include "text_rows.h"

#include <algorithm>
#include <cstddef>

#include "text_row_steps.h"
#include "zero_alloc.h"

namespace rk {
namespace {

TextRun* new_run_table() {
    auto* t = static_cast<TextRun*>(orvo::zero_alloc_array(kTextRunCapacity, sizeof(TextRun)));
    if (t != nullptr)
        for (int i = 0; i < kTextRunCapacity; ++i) t[i].label = -1;
    return t;
}

// Handles a full run table after the run of line y was added.
void relieve_run_table(AnalysisInstance& a, int y) {
    TextRowsState& s = a.textrows;
    if (close_blocks(a, y - 2) == 0) {
        s.run_count = 0;
        s.next_label = 0;
        return;
    }
    TextRun* packed = new_run_table();
    if (packed == nullptr) {
        --s.run_count;
        return;
    }
    int n = 0;
    for (int i = 0; i < s.run_count; ++i)
        if (s.runtable[i].label != -1) packed[n++] = s.runtable[i];
    orvo::zero_free(s.runtable);
    s.runtable = packed;
    s.run_count = n;
}

}  // namespace

void add_run(AnalysisInstance& a, int start, int end, int y) {
    TextRowsState& s = a.textrows;
    if (s.run_count >= kTextRunCapacity) return;  // never reached: a full table is relieved at once
    TextRun& run = s.runtable[s.run_count];
    run = {start, end, -1, y};
    if (y > 0) {
        for (int k = s.run_count - 1; k >= 0; --k) {
            const TextRun& old = s.runtable[k];
            if (old.line < y - 2) break;
            if (old.line == y) continue;
            // Runs of blocks already closed carry no label and join nothing.
            if (old.label == -1) continue;
            if (!(end >= old.start - 1 && start <= old.end + 1)) continue;
            if (run.label == -1) {
                run.label = old.label;
            } else if (run.label != old.label) {
                const int from = run.label;
                const int to = old.label;
                for (int i = 0; i <= s.run_count; ++i)
                    if (s.runtable[i].label == from) s.runtable[i].label = to;
            }
        }
    }
    if (run.label == -1) run.label = s.next_label++;
    ++s.run_count;
    if (s.run_count == kTextRunCapacity) relieve_run_table(a, y);
}

void scan_runs(AnalysisInstance& a) {
    TextRowsState& s = a.textrows;
    s.run_count = 0;
    s.next_label = 0;
    const int end = s.byte_end;
    for (int y = 0; y < a.BMP_lines; y += 2) {
        const unsigned char* line = a.objectbitmap + static_cast<std::ptrdiff_t>(y) * a.BMP_bpl;
        bool in_run = false;
        int start = 0;
        int gap = 0;
        for (int x = 0; x < end; ++x) {
            const bool ink = line[x] != 0xFF;
            if (!in_run) {
                if (ink) {
                    in_run = true;
                    start = x;
                    gap = 0;
                }
                continue;
            }
            gap = ink ? 0 : gap + 1;
            if (gap > 2) {
                add_run(a, start, x - 2, y);
                in_run = false;
            }
        }
        if (in_run) add_run(a, start, end, y);
    }
}

int close_blocks(AnalysisInstance& a, int limit) {
    TextRowsState& s = a.textrows;
    int open = 0;
    int closed = 0;
    const int first_open_label = s.next_label;
    int from = 0;
    for (;;) {
        int seed = -1;
        for (int i = from; i < s.run_count; ++i) {
            const int l = s.runtable[i].label;
            if (l >= 0 && l < first_open_label) {
                seed = i;
                break;
            }
        }
        if (seed < 0) break;
        from = seed;  // every earlier run is unlabelled or open by now
        const int label = s.runtable[seed].label;
        TextBlock box{s.runtable[seed].start, s.runtable[seed].line, s.runtable[seed].end, s.runtable[seed].line};
        for (int i = seed; i < s.run_count; ++i) {
            const TextRun& r = s.runtable[i];
            if (r.label != label) continue;
            box.left = std::min(box.left, r.start);
            box.right = std::max(box.right, r.end);
            box.top = std::min(box.top, r.line);
            box.bottom = std::max(box.bottom, r.line);
        }
        int relabel = -1;
        if (box.bottom >= limit) {
            relabel = first_open_label + open;
            ++open;
        } else {
            if (s.block_count >= kTextBlockCapacity) break;
            const int height = box.bottom - box.top;
            if ((box.right - box.left > 2 || height >= 13) && height < 400) s.blocktable[s.block_count++] = box;
            ++closed;
        }
        for (int i = seed; i < s.run_count; ++i)
            if (s.runtable[i].label == label) s.runtable[i].label = relabel;
    }
    // Also after a stop on a full table, so that open groups keep labels of
    // their own.
    s.next_label += open;
    return closed;
}

int find_text_rows(AnalysisInstance& a, unsigned char* bitmap, int lines, int columns, int bpl) {
    release_text_rows(a);
    TextRowsState& s = a.textrows;
    a.objectbitmap = bitmap;
    a.BMP_lines = lines;
    a.BMP_columns = columns;
    a.BMP_bpl = bpl;
    a.bmp_size = lines * bpl;

    s.blocktable = static_cast<TextBlock*>(orvo::zero_alloc_array(kTextBlockCapacity, sizeof(TextBlock)));
    if (s.blocktable == nullptr) return -2;
    s.runtable = new_run_table();
    if (s.runtable == nullptr) {
        release_text_rows(a);
        return -1;
    }
    // A last partial byte is not scanned; nor is anything past the line.
    s.byte_end = bitmap == nullptr || lines < 1 ? 0 : std::max(0, std::min(columns / 8, bpl));

    scan_runs(a);
    close_blocks(a, lines);
    orvo::zero_free(s.runtable);
    s.runtable = nullptr;
    s.run_count = 0;

    drop_enclosing(a);
    compact_blocks(a);
    sort_blocks(a, 0, 0);
    absorb_fragments(a);
    compact_blocks(a);
    merge_neighbours(a);
    compact_blocks(a);
    split_blocks(a);
    sort_blocks(a, 0, 0);
    pad_blocks(a);
    s.row_cursor = -1;
    return s.block_count;
}

void next_text_row(AnalysisInstance& a, int* left, int* top, int* right, int* bottom) {
    TextRowsState& s = a.textrows;
    if (s.blocktable == nullptr || s.block_count < 1) return;
    if (s.row_cursor < -1) s.row_cursor = -1;
    // A cursor set beyond the rows hands out the last row.
    if (s.row_cursor > s.block_count - 1) s.row_cursor = s.block_count - 1;
    if (s.row_cursor < s.block_count - 1) ++s.row_cursor;
    const TextBlock& b = s.blocktable[s.row_cursor];
    *left = b.left;
    *top = b.top;
    *right = b.right;
    *bottom = b.bottom;
}

void release_text_rows(AnalysisInstance& a) {
    TextRowsState& s = a.textrows;
    orvo::zero_free(s.runtable);
    s.runtable = nullptr;
    s.run_count = 0;
    orvo::zero_free(s.blocktable);
    s.blocktable = nullptr;
    s.block_count = 0;
    s.row_cursor = -1;
}

}  // namespace rk
