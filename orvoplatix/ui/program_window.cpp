// The main-window parts both programs share.
#include "program_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <algorithm>

#include "file_arguments.h"

namespace platix {

ProgramWindow::ProgramWindow(const char* title) {
    setWindowTitle(QString::fromLatin1(title));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(pal);
    setFocusPolicy(Qt::StrongFocus);
}

ProgramWindow::~ProgramWindow() { qApp->removeEventFilter(this); }

void ProgramWindow::start_events() {
    setAcceptDrops(true);
    qApp->installEventFilter(this);
}

void ProgramWindow::set_title(const std::string& title) { setWindowTitle(QString::fromLatin1(title.c_str())); }

bool ProgramWindow::show_field_window() {
    seg_result* c = shown_result();
    if (!c) return false;
    if (!field_) {
        field_ = new desk::FieldWindow(QStringLiteral("Binarized field"), metrics_, this);
        connect(field_, &desk::FieldWindow::close_requested, this, [this] { close_field_window(); });
    }
    // The window shows its own result's bitmap, whatever record a later hit
    // test selects.
    field_->set_bitmap(c->bitmap, c->columns, c->lines, c->bpl);
    place_field_window();
    field_->show();
    field_->raise();
    field_->setFocus();
    return true;
}

void ProgramWindow::place_field_window() {
    seg_result* c = shown_result();
    if (!field_ || !c) return;
    const desk::Rect size = desk::field_window_size(metrics_, c->columns, c->lines);
    const QRect f = view_->to_view(c->left, c->top, c->right, c->bottom);
    const desk::Rect at = desk::place_field_window_beside(size, f.left(), f.top(), f.right(), f.bottom(),
                                                          view_->width(), view_->height());
    // View pixels to main-window pixels; x kept inside the main window.
    const int x = desk::clamp_field_window_x(at.x + view_->x(), size.w, 0, width(), metrics_);
    field_->setGeometry(x, at.y + view_->y(), size.w, size.h);
    field_->update();
}

void ProgramWindow::close_field_window() {
    if (!field_) return;
    field_->hide();
    field_->deleteLater();
    field_ = nullptr;
    update();
    if (focus_bar_after_field_) focus_control_bar();
}

void ProgramWindow::focus_field_window() {
    if (field_) field_->setFocus();
}

void ProgramWindow::focus_control_bar() {
    if (QWidget* w = bar_->control(bar_focus())) w->setFocus();
}

void ProgramWindow::quit(int code) {
    quit_code_ = code;
    hide();
    QCoreApplication::exit(code);
}

int ProgramWindow::open_files(const QStringList& paths) {
    std::vector<std::string> files = desk::existing_files(paths);
    if (files.empty() || shell_busy()) return 0;
    const int n = static_cast<int>(files.size());
    preset_files_->preset(std::move(files));
    files_command();
    show_kb_note();
    return n;
}

void ProgramWindow::show_kb_note() {
    bar_->set_note(desk::kb_note(kb_file()));
    if (bar_->minimumWidth() > minimumWidth()) {
        setMinimumWidth(bar_->minimumWidth());
        start_width_ = std::max(start_width_, bar_->minimumWidth());
        if (width() < minimumWidth()) resize(minimumWidth(), height());
    }
}

bool ProgramWindow::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) && isVisible() &&
        !QApplication::activeModalWidget()) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && (w == this || isAncestorOf(w))) {
            auto* ke = static_cast<QKeyEvent*>(event);
            if (route_key(ke->key(), event->type() == QEvent::KeyPress, ke->modifiers())) return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ProgramWindow::closeEvent(QCloseEvent* e) {
    if (quit_code_ >= 0) {
        e->accept();
        return;
    }
    e->ignore();
    if (!shell_busy()) close_request();
}

void ProgramWindow::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    place_bars();
    layout_view();
    if (field_) place_field_window();
}

void ProgramWindow::moveEvent(QMoveEvent* e) {
    QWidget::moveEvent(e);
    if (field_) place_field_window();
}

void ProgramWindow::dragEnterEvent(QDragEnterEvent* e) {
    if (!shell_busy() && !desk::dropped_files(e->mimeData()).isEmpty()) e->acceptProposedAction();
}

void ProgramWindow::dropEvent(QDropEvent* e) {
    if (open_files(desk::dropped_files(e->mimeData())) > 0) e->acceptProposedAction();
}

}  // namespace platix
