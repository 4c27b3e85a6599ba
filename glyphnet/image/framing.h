// Character framing: shrinks a rectangle of the current bitmap to the ink of
// the character in it, dropping specks and pieces of neighbouring rows, and
// the text band search that narrows a whole field before it is cut.
#pragma once

namespace gn {

struct Frame {
    int left = 0, top = 0, width = 0, height = 0;
};

// The last frame found (kept by the engine between calls).
Frame& current_frame();

// Frames the rectangle (x, y, w, h) with the rules of the current request
// (gap_tolerant or not). On success the current frame holds the result and
// true is returned; on failure the current frame is unchanged. Normal
// requests on rectangles taller than 256 rows fail.
bool frame_char(int x, int y, int w, int h);

// Narrows [*top, *bottom) of the field [left, right) to its main text band;
// fields wider than 2561 columns or higher than 257 rows, or without a run
// of 4 ink rows, are left as they are.
void text_band(int left, int right, int* top, int* bottom);

}  // namespace gn
