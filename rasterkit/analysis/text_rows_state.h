// The per-instance state of the text-row finder: the run table of the
// scan, the table of text blocks (the rows once the finder has finished)
// and the cursor of the row last handed out.
#pragma once

#include <cstdint>

namespace rk {

// One run of ink bytes on a sampled line.
struct TextRun {
    std::int32_t start;  // first ink byte
    std::int32_t end;    // byte just past the run
    std::int32_t label;  // -1: none
    std::int32_t line;
};

// One text block. While the finder works, left and right are byte indexes
// (right exclusive) and top and bottom are lines; the finished rows are
// inclusive pixel rectangles. A left of -1 marks a deleted entry.
struct TextBlock {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

constexpr int kTextRunCapacity = 4096;
constexpr int kTextBlockCapacity = 2048;

struct TextRowsState {
    TextRun* runtable = nullptr;  // only while find_text_rows runs
    int run_count = 0;
    int next_label = 0;
    TextBlock* blocktable = nullptr;  // kTextBlockCapacity entries
    int block_count = 0;
    int row_cursor = -1;
    int byte_end = 0;  // bytes 0 .. byte_end - 1 of a line are scanned
};

}  // namespace rk
