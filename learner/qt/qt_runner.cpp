// Runs the Qt training dialog modally.
#include "qt_runner.h"

#include "training_window.h"

namespace learner {

int QtDialogRunner::run(ocr_io& io, SessionLibs& libs, seg_result*& current, const std::string& kb_path) {
    TrainingWindow w(parent_, io, libs, current, kb_path);
    const int result = w.exec();
    current = w.dialog().current();
    return result;
}

}  // namespace learner
