// The training program's main window on Qt: the control bar built from its
// template with the "/" between the two numbers, the image view below it,
// the binarised-field window, the routing of the bar's keys from the event
// loop and the window's placement.
#pragma once

#include <QWidget>
#include <memory>

#include "cursors.h"
#include "event_port.h"
#include "message_presenter.h"
#include "open_file_dialog.h"
#include "tutrix_shell.h"
#include "program_window.h"

namespace tutrix {

class TutrixWindow : public platix::ProgramWindow {
    Q_OBJECT
public:
    TutrixWindow(const std::string& start_dir, TutrixLibraries& libs, desk::OpenFilePort* files = nullptr);
    ~TutrixWindow() override;

    TutrixShell& shell() { return *shell_; }
    bool route_key(int qt_key, bool press, Qt::KeyboardModifiers mods) override;

    void set_output_text(const std::string&) override {}
    void show_light(desk::Light) override {}
    void layout_view() override;

protected:
    seg_result* shown_result() const override { return shell_->current_result(); }
    bool shell_busy() const override { return shell_->busy(); }
    void files_command() override;
    const std::string& kb_file() const override { return shell_->kb_path(); }
    int bar_focus() const override;
    void close_request() override { shell_->close_request(); }
    void place_bars() override { bar_->setGeometry(0, 0, width(), bar_->height()); }

private:
    void sync_bar();

    TutrixLibraries& libs_;
    desk::CommandReceiver* receiver_;
    desk::QtCommandPoster poster_;
    std::unique_ptr<desk::QtCursorPort> cursor_;
    std::unique_ptr<desk::OpenFilePort> qt_files_;
    std::unique_ptr<TutrixShell> shell_;
    using ViewSourceOf = platix::ShellViewSource<TutrixShell, const platix::DisplayText* (*)(TutrixShell&)>;
    std::unique_ptr<ViewSourceOf> view_source_;
};

}  // namespace tutrix
