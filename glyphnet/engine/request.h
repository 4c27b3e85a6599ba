// The options of the request being served, copied from the ocr_io record
// when a call starts, so that the inner steps need not see the record.
#pragma once

namespace gn {

struct Request {
    int kb_mode = 0;        // 0 any, 1 digits, 2 letters, 255 one character
    int kb_index = 0;       // 0 every listed base, n the n-th entry only
    bool gap_tolerant = false;
    bool wide_gaps = false;
};

Request& request();

}  // namespace gn
