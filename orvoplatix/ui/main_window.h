// The main window of the recognition program on Qt: the control bar and
// the output bar built from their templates, the image view between them,
// the binarised-field window, the routing of the bar's keys from the event
// loop, and the placement rules of the window itself.
#pragma once

#include <QWidget>
#include <memory>

#include "cursors.h"
#include "event_port.h"
#include "field_window.h"
#include "image_view.h"
#include "lights.h"
#include "message_presenter.h"
#include "open_file_dialog.h"
#include "shell.h"
#include "template_widget.h"

namespace platix {

class MainWindow : public QWidget, public PlatixWindows {
    Q_OBJECT
public:
    // files: the open-file dialog to use (null: the Qt dialog).
    MainWindow(const std::string& start_dir, LibraryPort& libs, desk::OpenFilePort* files = nullptr);
    ~MainWindow() override;

    Shell& shell() { return *shell_; }
    desk::TemplateWidget& control_bar() { return *bar_; }
    desk::TemplateWidget& output_bar() { return *out_; }
    ImageView& view() { return *view_; }
    desk::FieldWindow* field_window() const { return field_; }
    desk::Light light() const { return light_; }
    const desk::SystemMetrics& metrics() const { return metrics_; }
    int start_width() const { return start_width_; }
    bool quit_requested() const { return quit_code_ >= 0; }
    int quit_code() const { return quit_code_; }
    // Routes a key of the bar's set; true when taken.
    bool route_key(int qt_key, bool press, Qt::KeyboardModifiers mods);

    // Beyond the classic program: loads image files named outside the open
    // dialog (program arguments, files dropped on the window) as if chosen
    // with the Files command; missing files are left out. Returns how many
    // were taken (0: nothing happens).
    int open_files(const QStringList& paths);

    // PlatixWindows
    void set_title(const std::string& title) override;
    void set_output_text(const std::string& text) override;
    void show_light(desk::Light light) override;
    void layout_view() override;
    bool paint_page() override;
    void erase_view() override;
    void draw_frames() override;
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
    void moveEvent(QMoveEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;

private:
    // Names the knowledge base in the control bar.
    void show_kb_note();
    void place_bars();
    void place_field_window();

    desk::SystemMetrics metrics_;
    desk::QtMessagePresenter presenter_;
    desk::CommandReceiver* receiver_;
    desk::QtCommandPoster poster_;
    desk::QtRepeatingTimer timer_;
    std::unique_ptr<desk::QtCursorPort> cursor_;
    std::unique_ptr<desk::QtOpenFilePort> qt_files_;
    std::unique_ptr<desk::PresetFilePort> preset_files_;
    desk::TemplateWidget* bar_ = nullptr;
    desk::TemplateWidget* out_ = nullptr;
    ImageView* view_ = nullptr;
    desk::FieldWindow* field_ = nullptr;
    std::unique_ptr<Shell> shell_;
    using ViewSourceOf = ShellViewSource<Shell, const DisplayText* (*)(Shell&)>;
    std::unique_ptr<ViewSourceOf> view_source_;
    desk::Light light_ = desk::Light::Gray;
    int start_width_ = 0;
    int quit_code_ = -1;
};

}  // namespace platix
