// QFileDialog behind the open-file port.
#include "open_file_dialog.h"

#include <QFileDialog>
#include <QStringList>

namespace desk {

namespace {
// A pattern that matches its extension in any case ("*.jpg" ->
// "*.[jJ][pP][gG]"), as the classic dialogs matched names.
QString any_case(const QString& pattern) {
    QString out;
    for (QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            out += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

// "description (patterns)": the description is shown as given (the
// patterns in brackets stay hidden), the patterns match in any case.
QString qt_filter(const FileFilter& f) {
    QStringList patterns;
    for (const QString& p : QString::fromLatin1(f.pattern.c_str()).split(QLatin1Char(';'), Qt::SkipEmptyParts))
        patterns << any_case(p.trimmed());
    return QString::fromLatin1(f.description.c_str()) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
           QLatin1Char(')');
}
}  // namespace

FileFilter all_images_filter() {
    return {"All images (*.jpg *.jpeg *.png *.bmp *.tif *.tiff *.pcx *.pgm *.img)",
            "*.jpg;*.jpeg;*.png;*.bmp;*.tif;*.tiff;*.pcx;*.pgm;*.img"};
}

QStringList qt_name_filters(const OpenFileRequest& rq) {
    QStringList filters;
    if (rq.multiple) filters << qt_filter(all_images_filter());
    for (const auto& f : rq.filters) filters << qt_filter(f);
    return filters;
}

void configure_dialog(QFileDialog& dialog, const OpenFileRequest& rq) {
    dialog.setWindowTitle(QString::fromLatin1(rq.title.c_str()));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(rq.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    const QStringList filters = qt_name_filters(rq);
    dialog.setNameFilters(filters);
    // The caller's filter index counts its own filters; "All images" stands
    // before them as index 0.
    const int offset = rq.multiple ? 1 : 0;
    const int at = rq.filter_index - 1 + offset;
    if (at >= 0 && at < filters.size()) dialog.selectNameFilter(filters[at]);
    if (!rq.initial_folder.empty()) dialog.setDirectory(QString::fromLocal8Bit(rq.initial_folder.c_str()));
    if (!rq.default_ext.empty()) dialog.setDefaultSuffix(QString::fromLatin1(rq.default_ext.c_str()));
}

OpenFileAnswer QtOpenFilePort::run(const OpenFileRequest& rq) {
    QFileDialog dialog(parent_);
    configure_dialog(dialog, rq);
    OpenFileAnswer a;
    a.filter_index = rq.filter_index;
    if (dialog.exec() != QDialog::Accepted) return a;
    a.chosen = true;
    for (const QString& f : dialog.selectedFiles()) a.paths.push_back(f.toLocal8Bit().toStdString());
    // The dialog names the chosen filter without its hidden patterns.
    const QStringList filters = qt_name_filters(rq);
    const QString chosen = dialog.selectedNameFilter();
    for (int i = 0; i < filters.size(); ++i)
        if (filters[i] == chosen || filters[i].startsWith(chosen + QStringLiteral(" ("))) {
            a.filter_index = i + 1 - (rq.multiple ? 1 : 0);
            break;
        }
    return a;
}

}  // namespace desk
