// Forwarding of the training dialogs' library calls to rasterkit and glyphnet.
#include "session_libs.h"

namespace learner {

int RealSessionLibs::results_number() { return SEG_get_results_number(); }
int RealSessionLibs::get_result(int direction, seg_result** cursor) { return SEG_get_result(direction, cursor); }
int RealSessionLibs::recognize() { return OCR_recognize_field(); }
int RealSessionLibs::learn() { return OCR_learn_char(); }
int RealSessionLibs::unlearn() { return OCR_unlearn_char(); }
int RealSessionLibs::base_contents(char* buffer) { return OCR_get_base_contents(buffer); }
int RealSessionLibs::adjust_frame(int* l, int* t, int* w, int* h) { return OCR_adjust_char_frame(l, t, w, h); }
int RealSessionLibs::col_empty(int c, int r0, int r1) { return OCR_is_col_empty(c, r0, r1); }

}  // namespace learner
