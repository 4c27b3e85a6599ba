// What the main windows of both programs share: the control bar, the image
// view and the binarised-field window, their placement, the routing of the
// bar's keys from the event loop, the close request, and (beyond the
// classic programs) image files named outside the open dialog, dropped
// files and the note naming the knowledge base. Each program adds its own
// shell through a few hooks.
#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "field_window.h"
#include "image_view.h"
#include "shell.h"
#include "template_widget.h"

namespace platix {

class ProgramWindow : public QWidget, public PlatixWindows {
public:
    // title: the program's title text; the window gets the light-gray
    // background of the classic programs.
    explicit ProgramWindow(const char* title);
    ~ProgramWindow() override;

    desk::TemplateWidget& control_bar() { return *bar_; }
    ImageView& view() { return *view_; }
    desk::FieldWindow* field_window() const { return field_; }
    const desk::SystemMetrics& metrics() const { return metrics_; }
    bool quit_requested() const { return quit_code_ >= 0; }
    int quit_code() const { return quit_code_; }
    // Routes a key of the bar's set; true when taken.
    virtual bool route_key(int qt_key, bool press, Qt::KeyboardModifiers mods) = 0;

    // Beyond the classic programs: loads image files named outside the open
    // dialog (program arguments, files dropped on the window) as if chosen
    // with the Files command; missing files are left out. Returns how many
    // were taken (0: nothing happens, as while the program is busy).
    int open_files(const QStringList& paths);

    // The window operations both shells use.
    void set_title(const std::string& title) override;
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
    // The hooks of each program's shell.
    virtual seg_result* shown_result() const = 0;  // the current result
    virtual bool shell_busy() const = 0;
    virtual void files_command() = 0;               // runs the Files command now
    virtual const std::string& kb_file() const = 0;  // the knowledge-base path
    virtual int bar_focus() const = 0;              // the bar control that has the focus
    virtual void close_request() = 0;
    // Places the bars at the window's edges.
    virtual void place_bars() = 0;

    // Names the knowledge base in the control bar, widening the window when
    // the bar grew for it.
    void show_kb_note();
    void place_field_window();
    // Called once the derived window is complete: the bar's keys and dropped
    // files start to arrive.
    void start_events();

    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

    desk::SystemMetrics metrics_;
    std::unique_ptr<desk::PresetFilePort> preset_files_;
    desk::TemplateWidget* bar_ = nullptr;
    ImageView* view_ = nullptr;
    desk::FieldWindow* field_ = nullptr;
    int start_width_ = 0;
    // The recognition program gives the bar the focus when the field window
    // closes; the training program leaves it where it is.
    bool focus_bar_after_field_ = false;

private:
    int quit_code_ = -1;
};

}  // namespace platix
