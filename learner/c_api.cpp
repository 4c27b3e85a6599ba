// The exported function of the training library: a thin forward to the
// session sequence with the real libraries and the Qt dialog.
#include <QApplication>

#include "learner.h"
#include "qt_runner.h"
#include "session_libs.h"
#include "training_session.h"

extern "C" LEARNER_API int LRN_do_training_session(void* parent, ocr_io* io, seg_result** current,
                                                   const char* list_path) {
    try {
        // The dialogs need the program's Qt application.
        if (QApplication::instance() == nullptr) return 0;
        learner::RealSessionLibs libs;
        learner::QtDialogRunner runner(static_cast<QWidget*>(parent));
        return learner::run_training_session(io, current, list_path, libs, runner);
    } catch (...) {
        return 0;
    }
}
