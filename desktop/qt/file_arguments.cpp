// Program arguments, dropped files and the knowledge-base note.
#include "file_arguments.h"

#include <QFileInfo>
#include <QUrl>
#include <cstdio>

namespace desk {

std::vector<std::string> existing_files(const QStringList& paths) {
    std::vector<std::string> out;
    for (const QString& p : paths) {
        const QFileInfo info(p);
        if (info.isFile()) out.push_back(info.absoluteFilePath().toLocal8Bit().toStdString());
    }
    return out;
}

QStringList dropped_files(const QMimeData* data) {
    QStringList out;
    if (!data || !data->hasUrls()) return out;
    for (const QUrl& u : data->urls())
        if (u.isLocalFile()) out << u.toLocalFile();
    return out;
}

bool report_file_arguments(const char* program, const QStringList& args) {
    for (const QString& a : args) {
        if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            std::printf("Usage: %s [IMAGE...]\n"
                        "Opens the window and loads the images given (JPEG, PNG, BMP, TIFF, PCX, PGM or ITEX)\n"
                        "as if chosen with the Files button.\n",
                        program);
            return false;
        }
    }
    for (const QString& a : args)
        if (!QFileInfo(a).isFile())
            std::fprintf(stderr, "%s: no such file: %s\n", program, a.toLocal8Bit().constData());
    return true;
}

QString kb_note(const std::string& kb_path) {
    const QFileInfo info(QString::fromLocal8Bit(kb_path.c_str()));
    if (kb_path.empty() || !info.isFile()) return QStringLiteral("KB: none");
    return QStringLiteral("KB: ") + info.fileName();
}

}  // namespace desk
