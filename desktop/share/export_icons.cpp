// Writes the programs' icons, drawn by their own code, as PNG files at the
// standard sizes of the icon theme: DIR/hicolor/NxN/apps/PROGRAM.png.
// With --check it writes nothing and ends with 1 when a file in DIR
// differs from the drawing (the committed icons are stale).
#include <QApplication>
#include <QDir>
#include <QImage>
#include <cstdio>
#include <cstring>

#include "platix_icon.h"
#include "tutrix_icon.h"

int main(int argc, char** argv) {
    const bool check = argc == 3 && std::strcmp(argv[1], "--check") == 0;
    if (argc != 2 && !check) {
        std::fprintf(stderr, "Usage: %s [--check] DIR\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString root = QString::fromLocal8Bit(argv[argc - 1]) + QStringLiteral("/hicolor");
    int differ = 0;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = root + QStringLiteral("/%1x%1/apps").arg(size);
        const std::pair<const char*, QImage> icons[] = {
            {"orvoplatix", platix::platix_icon_pixmap(size).toImage()},
            {"orvotutrix", tutrix::tutrix_icon_pixmap(size).toImage()}};
        for (const auto& [name, image] : icons) {
            const QString file = dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
            if (check) {
                const QImage have(file);
                if (have.convertToFormat(QImage::Format_ARGB32) != image.convertToFormat(QImage::Format_ARGB32)) {
                    std::fprintf(stderr, "differs from the drawing: %s\n", file.toLocal8Bit().constData());
                    ++differ;
                }
                continue;
            }
            if (!QDir().mkpath(dir) || !image.save(file, "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", file.toLocal8Bit().constData());
                return 1;
            }
        }
    }
    return differ == 0 ? 0 : 1;
}
