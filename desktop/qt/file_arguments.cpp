// Program arguments, dropped files and the knowledge-base note.
#include "file_arguments.h"

#include <QFileInfo>
#include <QUrl>
#include <cstdio>
#include <cstring>

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

bool usage_asked(const char* program, int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::printf("Usage: %s [IMAGE...]\n"
                        "Opens the window and loads the images given (JPEG, PNG, BMP, TIFF, PCX, PGM or ITEX)\n"
                        "as if chosen with the Files button.\n",
                        program);
            return true;
        }
    }
    return false;
}

void report_missing_files(const char* program, const QStringList& args) {
    for (const QString& a : args)
        if (!QFileInfo(a).isFile())
            std::fprintf(stderr, "%s: no such file: %s\n", program, a.toLocal8Bit().constData());
}

QString kb_note(const std::string& kb_path) {
    const QFileInfo info(QString::fromLocal8Bit(kb_path.c_str()));
    if (kb_path.empty() || !info.isFile()) return QStringLiteral("KB: none");
    return QStringLiteral("KB: ") + info.fileName();
}

}  // namespace desk
