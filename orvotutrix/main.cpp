// The training program: checks the screen, opens the main window in the
// working directory, loads the image files named as arguments and runs the
// event loop.
#include <QApplication>
#include <QScreen>
#include <clocale>

#include "display_guard.h"
#include "file_arguments.h"
#include "message_presenter.h"
#include "orvosys.h"
#include "start_up.h"
#include "tutrix_window.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    if (desk::usage_asked("orvotutrix", argc, argv)) return 0;
    desk::guard_display("orvotutrix");
    QApplication app(argc, argv);
    desk::end_display_guard();
    const QStringList files = app.arguments().mid(1);
    desk::report_missing_files("orvotutrix", files);
    desk::QtMessagePresenter presenter;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!platix::display_large_enough(screen ? screen->size().width() : 0, screen ? screen->size().height() : 0))
        return 1;
    char dir[260] = {};
    if (osys_current_directory(dir, sizeof dir) == 0) {
        osys_message_box("Couldn't create the main window", "Error", OSYS_MB_OK | OSYS_MB_ICONERROR);
        return 1;
    }
    tutrix::TutrixWindow window(dir, tutrix::real_tutrix_libraries());
    window.show();
    window.open_files(files);
    return app.exec();
}
