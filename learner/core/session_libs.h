// The calls of the training dialogs into the image library's results list
// and the recognition engine, behind one interface so that tests can give
// the dialogs a results list of their own while the engine stays real.
// The real forwarding is in session_libs.cpp.
#pragma once

#include "glyphnet.h"
#include "rasterkit.h"

namespace learner {

class SessionLibs {
public:
    virtual ~SessionLibs() = default;
    virtual int results_number() = 0;
    // Steps the cursor as SEG_get_result: 1 while a further record exists.
    virtual int get_result(int direction, seg_result** cursor) = 0;
    virtual int recognize() = 0;
    virtual int learn() = 0;
    virtual int unlearn() = 0;
    // The class table, two bytes a class, into a 512-byte buffer; bytes written.
    virtual int base_contents(char* buffer) = 0;
    virtual int adjust_frame(int* left, int* top, int* width, int* height) = 0;
    virtual int col_empty(int column, int first_row, int end_row) = 0;
};

// SEG_ and OCR_ themselves.
class RealSessionLibs : public SessionLibs {
public:
    int results_number() override;
    int get_result(int direction, seg_result** cursor) override;
    int recognize() override;
    int learn() override;
    int unlearn() override;
    int base_contents(char* buffer) override;
    int adjust_frame(int* left, int* top, int* width, int* height) override;
    int col_empty(int column, int first_row, int end_row) override;
};

}  // namespace learner
