// The open-file dialog on QFileDialog: title, filters ("description
// (pattern)"), initial folder, default extension, the preselected filter,
// one or several existing files.
//
// Beyond the classic dialog: a multiple selection offers "All images" (the
// seven formats, with the longer extensions .jpeg and .tiff) before the
// caller's filters, and every pattern matches its extension in any case.
#pragma once

#include <QStringList>
#include <QWidget>

#include "file_selection.h"

class QFileDialog;

namespace desk {

FileFilter all_images_filter();
// The filters as QFileDialog takes them, in the order shown.
QStringList qt_name_filters(const OpenFileRequest& request);
// Sets up a dialog for a request (the filter index 0 of a multiple
// selection is "All images").
void configure_dialog(QFileDialog& dialog, const OpenFileRequest& request);

class QtOpenFilePort : public OpenFilePort {
public:
    explicit QtOpenFilePort(QWidget* parent) : parent_(parent) {}
    OpenFileAnswer run(const OpenFileRequest& request) override;

private:
    QWidget* parent_;
};

}  // namespace desk
