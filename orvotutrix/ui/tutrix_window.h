// The training program's main window on Qt: the control bar built from its
// template with the "/" between the two numbers, the image view below it,
// the binarised-field window, the routing of the bar's keys from the event
// loop and the window's placement.
#pragma once

#include <QWidget>
#include <memory>

#include "cursors.h"
#include "event_port.h"
#include "field_window.h"
#include "message_presenter.h"
#include "open_file_dialog.h"
#include "template_widget.h"
#include "tutrix_shell.h"
#include "image_view.h"

namespace tutrix {

class TutrixWindow : public QWidget, public platix::PlatixWindows {
    Q_OBJECT
public:
    TutrixWindow(const std::string& start_dir, TutrixLibraries& libs, desk::OpenFilePort* files = nullptr);
    ~TutrixWindow() override;

    TutrixShell& shell() { return *shell_; }
    desk::TemplateWidget& control_bar() { return *bar_; }
    platix::ImageView& view() { return *view_; }
    bool route_key(int qt_key, bool press, Qt::KeyboardModifiers mods);
    // Beyond the classic program: loads image files named outside the open
    // dialog (program arguments, files dropped on the window) as if chosen
    // with the Files command; missing files are left out. Returns how many
    // were taken (0: nothing happens).
    int open_files(const QStringList& paths);

    void set_title(const std::string& title) override;
    void set_output_text(const std::string&) override {}
    void show_light(desk::Light) override {}
    void layout_view() override;
    bool paint_page() override { return view_->load_page(); }
    void erase_view() override { view_->clear_page(); }
    void draw_frames() override { view_->update(); }
    bool show_field_window() override;
    void close_field_window() override;
    bool field_window_open() const override { return field_ != nullptr; }
    void focus_field_window() override;
    void focus_control_bar() override;
    void quit(int code) override;

protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // Names the knowledge base in the control bar.
    void show_kb_note();
    void sync_bar();
    void place_field_window();

    desk::SystemMetrics metrics_;
    TutrixLibraries& libs_;
    desk::CommandReceiver* receiver_;
    desk::QtCommandPoster poster_;
    std::unique_ptr<desk::QtCursorPort> cursor_;
    std::unique_ptr<desk::OpenFilePort> qt_files_;
    std::unique_ptr<desk::PresetFilePort> preset_files_;
    desk::TemplateWidget* bar_ = nullptr;
    platix::ImageView* view_ = nullptr;
    desk::FieldWindow* field_ = nullptr;
    std::unique_ptr<TutrixShell> shell_;
    using ViewSourceOf = platix::ShellViewSource<TutrixShell, const platix::DisplayText* (*)(TutrixShell&)>;
    std::unique_ptr<ViewSourceOf> view_source_;
    int quit_code_ = -1;
};

}  // namespace tutrix
