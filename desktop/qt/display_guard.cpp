// The display guard at start-up.
#include "display_guard.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace desk {

namespace {
const char* g_program = "program";
QtMessageHandler g_previous = nullptr;

void guarded(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        const char* display = std::getenv("DISPLAY");
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        std::fprintf(stderr, "%s: %s (DISPLAY=%s, WAYLAND_DISPLAY=%s)\n", g_program, no_display_text(),
                     display && *display ? display : "unset", wayland && *wayland ? wayland : "unset");
        std::fflush(stderr);
        std::_Exit(1);
    }
    // The window system's complaints before the fatal message are replaced
    // by the one line above.
    if (context.category && std::strncmp(context.category, "qt.qpa", 6) == 0) return;
    if (g_previous) g_previous(type, context, message);
    else std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}
}  // namespace

const char* no_display_text() { return "cannot open a display; run it in a graphical session"; }

void guard_display(const char* program) {
    g_program = program;
    g_previous = qInstallMessageHandler(guarded);
}

void end_display_guard() { qInstallMessageHandler(g_previous); }

}  // namespace desk
