// One offscreen QApplication for all tests of a program, ended before static destructors run; event helpers.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <memory>
#include <string>

namespace qttest {

class Application : public ::testing::Environment {
public:
    explicit Application(std::string name) : name_(std::move(name)) {}
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        argv_[0] = name_.data();
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    std::string name_;
    int argc_ = 1;
    char* argv_[2] = {nullptr, nullptr};
    std::unique_ptr<QApplication> app_;
};

// Runs the event loop's pending work a few rounds.
inline void settle() {
    for (int i = 0; i < 30; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// A key press and release sent to `target`, then `rounds` rounds of the event loop.
inline void key(QWidget* target, int k, int rounds = 30) {
    for (QEvent::Type t : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent e(t, k, Qt::NoModifier);
        QApplication::sendEvent(target, &e);
    }
    for (int i = 0; i < rounds; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace qttest
