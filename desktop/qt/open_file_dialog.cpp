// QFileDialog behind the open-file port.
#include "open_file_dialog.h"

#include <QFileDialog>
#include <QStringList>

namespace desk {

namespace {
// "JPEG files (*.jpg)" with pattern "*.jpg" is already in Qt's form; a
// description without the pattern gets it appended.
QString qt_filter(const FileFilter& f) {
    QString d = QString::fromLatin1(f.description.c_str());
    const QString pat = QString::fromLatin1(f.pattern.c_str());
    if (!d.contains(QLatin1Char('(') + pat + QLatin1Char(')'))) d += QStringLiteral(" (") + pat + QLatin1Char(')');
    return d;
}
}  // namespace

OpenFileAnswer QtOpenFilePort::run(const OpenFileRequest& rq) {
    QFileDialog dialog(parent_, QString::fromLatin1(rq.title.c_str()));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(rq.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    QStringList filters;
    for (const auto& f : rq.filters) filters << qt_filter(f);
    dialog.setNameFilters(filters);
    if (rq.filter_index >= 1 && rq.filter_index <= filters.size())
        dialog.selectNameFilter(filters[rq.filter_index - 1]);
    if (!rq.initial_folder.empty()) dialog.setDirectory(QString::fromLocal8Bit(rq.initial_folder.c_str()));
    if (!rq.default_ext.empty()) dialog.setDefaultSuffix(QString::fromLatin1(rq.default_ext.c_str()));
    OpenFileAnswer a;
    a.filter_index = rq.filter_index;
    if (dialog.exec() != QDialog::Accepted) return a;
    a.chosen = true;
    for (const QString& f : dialog.selectedFiles()) a.paths.push_back(f.toLocal8Bit().toStdString());
    const int i = filters.indexOf(dialog.selectedNameFilter());
    if (i >= 0) a.filter_index = i + 1;
    return a;
}

}  // namespace desk
