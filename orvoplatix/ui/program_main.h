// The start of both programs: the usage on "--help", one line and code 1
// without a display, the screen-size check, the main window in the working
// directory with the image files named as arguments loaded, and the event
// loop. `Window` is made from (start directory, libraries) and offers
// open_files(QStringList).
#pragma once

#include <QApplication>
#include <QScreen>
#include <clocale>

#include "display_guard.h"
#include "file_arguments.h"
#include "message_presenter.h"
#include "orvosys.h"
#include "start_up.h"

namespace platix {

template <typename Window, typename Libraries>
int run_program(int argc, char** argv, const char* program, Libraries& (*libraries)()) {
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    if (desk::usage_asked(program, argc, argv)) return 0;
    desk::guard_display(program);
    QApplication app(argc, argv);
    desk::end_display_guard();
    const QStringList files = app.arguments().mid(1);
    desk::report_missing_files(program, files);
    desk::QtMessagePresenter presenter;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!display_large_enough(screen ? screen->size().width() : 0, screen ? screen->size().height() : 0)) return 1;
    char dir[260] = {};
    if (osys_current_directory(dir, sizeof dir) == 0) {
        osys_message_box("Couldn't create the main window", "Error", OSYS_MB_OK | OSYS_MB_ICONERROR);
        return 1;
    }
    Window window(dir, libraries());
    window.show();
    window.open_files(files);
    return app.exec();
}

}  // namespace platix
