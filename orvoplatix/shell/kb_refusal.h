// Beyond the classic programs: both desktop programs refuse a knowledge
// base that the engine does not load whole (zero bytes, random bytes, a
// truncated .kbf, another file renamed .kbf), and the training program also
// one whose patterns file is missing. The verdict is the engine's own: the
// list is loaded again with its messages on, and the base is asked for its
// classes (OCR_get_base_contents); nothing here reads the file format.
#pragma once

#include <string>

#include "kb_verdict.h"
#include "library_port.h"

namespace platix {

using KbUse = orvo::KbUse;

// Checks the base `kb_path` named alone in the list file `list_path`.
// Returns "" when it is fit for `use`, else "KB_PATH: why". The engine is
// left with the list loaded and its messages off; the message presenter
// installed before the call is installed again.
std::string kb_problem(LibraryPort& libs, const std::string& list_path, const std::string& kb_path, KbUse use);

// Tells the user that the base cannot be used: one line "PROGRAM: PROBLEM"
// on standard error and an error box naming the file and the cause.
void report_kb_problem(const char* program, const std::string& problem);

}  // namespace platix
