// Start-up of a program without a display (beyond the classic programs):
// instead of Qt's abort with its advice to reinstall, one line on standard
// error and exit code 1.
#pragma once

namespace desk {

// Before the QApplication is made: Qt's start-up complaints about the
// window system are held back and a failure to open one ends the process
// with "PROGRAM: cannot open a display (...)" and code 1.
void guard_display(const char* program);
// After the QApplication is made: Qt's own message handling again.
void end_display_guard();

// The line written when no display can be opened.
const char* no_display_text();

}  // namespace desk
