// The training program: checks the screen, opens the main window in the
// working directory and runs the event loop.
#include <QApplication>
#include <QScreen>
#include <clocale>

#include "message_presenter.h"
#include "orvosys.h"
#include "tutrix_window.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    QApplication app(argc, argv);
    desk::QtMessagePresenter presenter;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || screen->size().width() < 800 || screen->size().height() < 600) {
        osys_message_box("A minimum display resolution of 800 x 600 pixels with 256 colors is required!", "Error",
                         OSYS_MB_OK | OSYS_MB_ICONERROR);
        return 1;
    }
    char dir[260] = {};
    if (osys_current_directory(dir, sizeof dir) == 0) {
        osys_message_box("Couldn't create the main window", "Error", OSYS_MB_OK | OSYS_MB_ICONERROR);
        return 1;
    }
    tutrix::TutrixWindow window(dir, tutrix::real_tutrix_libraries());
    window.show();
    return app.exec();
}
