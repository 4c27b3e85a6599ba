// The modal training dialog on Qt, for the session sequence.
#pragma once

#include "training_session.h"

class QWidget;

namespace learner {

class QtDialogRunner : public DialogRunner {
public:
    explicit QtDialogRunner(QWidget* parent) : parent_(parent) {}
    int run(ocr_io& io, SessionLibs& libs, seg_result*& current, const std::string& kb_path) override;

private:
    QWidget* parent_;
};

}  // namespace learner
