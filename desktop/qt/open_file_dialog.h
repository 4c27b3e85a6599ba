// The open-file dialog on QFileDialog: title, filters ("description
// (pattern)"), initial folder, default extension, the preselected filter,
// one or several existing files.
#pragma once

#include <QWidget>

#include "file_selection.h"

namespace desk {

class QtOpenFilePort : public OpenFilePort {
public:
    explicit QtOpenFilePort(QWidget* parent) : parent_(parent) {}
    OpenFileAnswer run(const OpenFileRequest& request) override;

private:
    QWidget* parent_;
};

}  // namespace desk
