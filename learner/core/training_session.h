// One training session from start to end: the knowledge base named in the
// list, the check for fields, the backups, the modal training dialog and
// the keeping or restoring of the files.
#pragma once

#include <string>

#include "session_libs.h"

namespace learner {

// Runs the modal training dialog: a Qt dialog in the library, a scripted
// one in tests. `current` is the field to start on and, afterwards, the
// field shown last. Returns the dialog's result.
class DialogRunner {
public:
    virtual ~DialogRunner() = default;
    virtual int run(ocr_io& io, SessionLibs& libs, seg_result*& current, const std::string& kb_path) = 0;
};

// Returns nonzero when changes were made and kept.
int run_training_session(ocr_io* io, seg_result** current, const char* list_path, SessionLibs& libs,
                         DialogRunner& runner);

}  // namespace learner
