// Reading a whole field: segments, cells, space width, slots, height rules
// and text rules, into the output fields of the record; and the
// single-character request.
#pragma once

#include "glyphnet.h"

namespace gn {

// Reads the region of the record (kb_mode other than 255); returns the
// number of boxes written. False result 0 leaves the outputs cleared.
int read_field(ocr_io* io);

// kb_mode 255: frames and classifies the region as one character.
int read_single_character(ocr_io* io);

}  // namespace gn
