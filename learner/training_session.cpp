// The training session. The dialogs are not built yet: the session makes
// no changes and says so.
#include "learner.h"

extern "C" LEARNER_API int LRN_do_training_session(void*, ocr_io*, seg_result**, const char*) {
    return 0;
}
