// Main window of the recognition program: its bars, shell and keys.
#include "main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <algorithm>

#include "platix_icon.h"
#include "texts.h"

namespace platix {

namespace {
const desk::DialogTemplate& bar_template() {
    // The larger-font bar when the system's dialog base unit is small.
    return desk::units_of(QApplication::font()).base_x <= 8 ? controls_xp_template() : controls_template();
}
}  // namespace

MainWindow::MainWindow(const std::string& start_dir, LibraryPort& libs, desk::OpenFilePort* files)
    : ProgramWindow(kTitle),
      receiver_(new desk::CommandReceiver([this](unsigned c, std::intptr_t) {
          shell_->command(c);
          show_kb_note();
      }, this)),
      poster_(receiver_),
      timer_([this](int) { shell_->timer_tick(); }) {
    focus_bar_after_field_ = true;
    setWindowIcon(platix_icon());
    cursor_ = std::make_unique<desk::QtCursorPort>(this);
    qt_files_ = std::make_unique<desk::QtOpenFilePort>(this);
    preset_files_ = std::make_unique<desk::PresetFilePort>(files ? *files : *qt_files_);
    const desk::DialogTemplate& bt = bar_template();
    bar_ = new desk::TemplateWidget(bt, this);
    out_ = new desk::TemplateWidget(output_template(), this);
    for (const ControlTexts& ct : bar_texts()) bar_->fit_texts(ct.index, ct.texts);
    for (const ControlTexts& ct : output_texts()) out_->fit_texts(ct.index, ct.texts);
    for (int i = 3; i <= 5; ++i) out_->control(i)->hide();
    view_ = new ImageView(this);
    shell_ = std::make_unique<Shell>(start_dir, bt, libs, *this, poster_, timer_, *cursor_,
                                     *preset_files_);
    view_source_ = std::make_unique<ViewSourceOf>(*shell_, libs, [](Shell& s) -> const DisplayText* {
        return s.shared().show_bitmap ? nullptr : &s.display();
    });
    view_->set_source(view_source_.get());
    shell_->bar().changed = [this] { bar_->sync(shell_->bar().table()); };
    connect(bar_, &desk::TemplateWidget::pressed, this, [this](int i) { shell_->bar().press(i); });
    connect(bar_, &desk::TemplateWidget::slider_scrolled, this,
            [this](int, int pos) { shell_->bar().slider_scrolled(pos); });
    const desk::Rect client = desk::main_client_size(metrics_, bar_->height(), out_->height());
    // A bar widened for its texts widens the window with it.
    start_width_ = std::max({client.w, bar_->width(), out_->width()});
    resize(start_width_, client.h);
    setMinimumWidth(start_width_);
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const desk::Rect outer = desk::centre_on_screen(desk::main_window_size(metrics_, bar_->height(), out_->height()),
                                                        s->size().width(), s->size().height());
        move(outer.x, outer.y);
    }
    place_bars();
    layout_view();
    bar_->sync(shell_->bar().table());
    shell_->start();
    show_kb_note();
    start_events();
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    shell_->bar().changed = nullptr;
}

void MainWindow::place_bars() {
    bar_->setGeometry(0, 0, width(), bar_->height());
    out_->setGeometry(0, height() - out_->height(), width(), out_->height());
}

void MainWindow::set_output_text(const std::string& text) { out_->set_text(1, QString::fromLatin1(text.c_str())); }

void MainWindow::show_light(desk::Light light) {
    light_ = light;
    const int shown = 2 + static_cast<int>(light);
    for (int i = 2; i <= 5; ++i) out_->control(i)->setVisible(i == shown);
}

void MainWindow::layout_view() {
    const PageInfo p = shell_ ? shell_->libs().page() : PageInfo{};
    const desk::Rect r = desk::layout_view(width(), height(), bar_->height(), out_->height(), p.data ? p.cols : 0,
                                           p.data ? p.lines : 0);
    view_->setGeometry(r.x, r.y, r.w, r.h);
    view_->update();
}

bool MainWindow::route_key(int k, bool press, Qt::KeyboardModifiers mods) {
    using desk::BarKey;
    ControlBar& b = shell_->bar();
    if (k == Qt::Key_Shift) {
        b.key(BarKey::Shift, press);
        return true;
    }
    if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    BarKey key;
    char letter = 0;
    switch (k) {
    case Qt::Key_Return: case Qt::Key_Enter: key = BarKey::Enter; break;
    case Qt::Key_Escape: key = BarKey::Esc; break;
    case Qt::Key_Tab: key = BarKey::Tab; break;
    case Qt::Key_Backtab: key = BarKey::Tab; break;
    case Qt::Key_Left: key = BarKey::Left; break;
    case Qt::Key_Right: key = BarKey::Right; break;
    case Qt::Key_Up: key = BarKey::Up; break;
    case Qt::Key_Down: key = BarKey::Down; break;
    case Qt::Key_F: case Qt::Key_K: case Qt::Key_B: case Qt::Key_S: case Qt::Key_P: case Qt::Key_N: case Qt::Key_A:
        key = BarKey::Letter;
        letter = static_cast<char>(k);
        break;
    default: return false;
    }
    // Only key presses travel, except the release of an arrow key.
    if (!press && key != BarKey::Left && key != BarKey::Right && key != BarKey::Up && key != BarKey::Down)
        return true;
    if (k == Qt::Key_Backtab) {
        b.key(BarKey::Shift, true);
        b.key(BarKey::Tab, press);
        return true;
    }
    b.key(key, press, letter);
    return true;
}

void MainWindow::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    shell_->bar().focus_bar();
    focus_control_bar();
}

void MainWindow::files_command() { shell_->command(kFiles); }

}  // namespace platix
