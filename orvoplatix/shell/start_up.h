// The checks the recognition program makes before it opens its window.
#pragma once

namespace platix {

// True when a screen of width x height pixels is at least 800 x 600; else
// shows the error message and returns false (the program then ends with 1).
bool display_large_enough(int width, int height);

}  // namespace platix
