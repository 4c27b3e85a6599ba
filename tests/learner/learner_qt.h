// What the learner's Qt tests share: one application and the buttons of a widget by their labels.
#pragma once

#include <QApplication>
#include <QPushButton>
#include <string>

namespace lrnqt {

// Makes the application once (offscreen unless the environment names a platform) for the process.
inline void make_application(const char* name) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static std::string arg0 = name;
    static int argc = 1;
    static char* argv[] = {arg0.data(), nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

inline QPushButton* button(QWidget& w, const char* label) {
    for (QPushButton* b : w.findChildren<QPushButton*>())
        if (b->text() == QString::fromLatin1(label)) return b;
    return nullptr;
}

}  // namespace lrnqt
