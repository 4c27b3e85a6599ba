// The main window of the recognition program on Qt: the shared program
// window (control bar, image view, binarised-field window) with this
// program's bar, the output bar below the view, the slide-show timer and
// the routing of its bar's keys.
#pragma once

#include <QWidget>
#include <memory>

#include "cursors.h"
#include "event_port.h"
#include "lights.h"
#include "message_presenter.h"
#include "open_file_dialog.h"
#include "program_window.h"

namespace platix {

class MainWindow : public ProgramWindow {
    Q_OBJECT
public:
    // files: the open-file dialog to use (null: the Qt dialog).
    MainWindow(const std::string& start_dir, LibraryPort& libs, desk::OpenFilePort* files = nullptr);
    ~MainWindow() override;

    Shell& shell() { return *shell_; }
    desk::TemplateWidget& output_bar() { return *out_; }
    desk::Light light() const { return light_; }
    int start_width() const { return start_width_; }
    bool route_key(int qt_key, bool press, Qt::KeyboardModifiers mods) override;

    // PlatixWindows
    void set_output_text(const std::string& text) override;
    void show_light(desk::Light light) override;
    void layout_view() override;

protected:
    void focusInEvent(QFocusEvent* e) override;
    seg_result* shown_result() const override { return shell_->current_result(); }
    bool shell_busy() const override { return shell_->busy(); }
    void files_command() override;
    const std::string& kb_file() const override { return shell_->kb_path(); }
    int bar_focus() const override { return shell_->bar().table().focus(); }
    void close_request() override { shell_->close_request(); }
    void place_bars() override;

private:
    desk::QtMessagePresenter presenter_;
    desk::CommandReceiver* receiver_;
    desk::QtCommandPoster poster_;
    desk::QtRepeatingTimer timer_;
    std::unique_ptr<desk::QtCursorPort> cursor_;
    std::unique_ptr<desk::QtOpenFilePort> qt_files_;
    desk::TemplateWidget* out_ = nullptr;
    std::unique_ptr<Shell> shell_;
    using ViewSourceOf = ShellViewSource<Shell, const DisplayText* (*)(Shell&)>;
    std::unique_ptr<ViewSourceOf> view_source_;
    desk::Light light_ = desk::Light::Gray;
};

}  // namespace platix
