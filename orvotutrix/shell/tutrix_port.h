// What the training program needs of the libraries beyond the recognition
// program's port: rotating the page, setting the page to read next, and
// running a training session. The real forwarding is in tutrix_calls.cpp.
#pragma once

#include "library_port.h"

namespace tutrix {

class TutrixLibraries : public platix::LibraryPort {
public:
    virtual int rotate(int angle) = 0;
    // The 0-based page the next open reads (after an open: the 1-based page held).
    virtual void set_crt_page(int page) = 0;
    virtual int train(void* parent, ocr_io* io, seg_result** current, const char* list_path) = 0;
};

// rasterkit, glyphnet and learner themselves.
TutrixLibraries& real_tutrix_libraries();

}  // namespace tutrix
