// Main window of the training program: bar, view, field window and keys.
#include "tutrix_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>

#include "tutrix_icon.h"
#include "tutrix_texts.h"

namespace tutrix {

namespace {
const desk::DialogTemplate& bar_template() {
    return desk::units_of(QApplication::font()).base_x <= 8 ? controls_xp_template() : controls_template();
}

// The open-file dialog of the desktop layer, except that the knowledge
// base for learning may also be a new file: training starts a new base.
class TutrixFilePort : public desk::OpenFilePort {
public:
    explicit TutrixFilePort(QWidget* parent) : parent_(parent), base_(parent) {}
    desk::OpenFileAnswer run(const desk::OpenFileRequest& rq) override {
        if (rq.multiple) return base_.run(rq);
        QFileDialog dialog(parent_, QString::fromLatin1(rq.title.c_str()));
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
        QStringList filters;
        for (const auto& f : rq.filters)
            filters << QString::fromLatin1(f.description.c_str());
        dialog.setNameFilters(filters);
        if (!rq.initial_folder.empty()) dialog.setDirectory(QString::fromLocal8Bit(rq.initial_folder.c_str()));
        if (!rq.default_ext.empty()) dialog.setDefaultSuffix(QString::fromLatin1(rq.default_ext.c_str()));
        desk::OpenFileAnswer a;
        a.filter_index = rq.filter_index;
        if (dialog.exec() != QDialog::Accepted) return a;
        a.chosen = true;
        for (const QString& f : dialog.selectedFiles()) a.paths.push_back(f.toLocal8Bit().toStdString());
        return a;
    }

private:
    QWidget* parent_;
    desk::QtOpenFilePort base_;
};
}  // namespace

TutrixWindow::TutrixWindow(const std::string& start_dir, TutrixLibraries& libs, desk::OpenFilePort* files)
    : ProgramWindow(kTitle),
      libs_(libs),
      receiver_(new desk::CommandReceiver([this](unsigned c, std::intptr_t p) {
          shell_->command(c, p);
          show_kb_note();
      }, this)),
      poster_(receiver_) {
    setWindowIcon(tutrix_icon());
    cursor_ = std::make_unique<desk::QtCursorPort>(this);
    qt_files_ = std::make_unique<TutrixFilePort>(this);
    preset_files_ = std::make_unique<desk::PresetFilePort>(files ? *files : *qt_files_);
    const desk::DialogTemplate& bt = bar_template();
    bar_ = new desk::TemplateWidget(bt, this);
    for (const platix::ControlTexts& ct : bar_texts()) bar_->fit_texts(ct.index, ct.texts);
    if (auto* e = qobject_cast<QLineEdit*>(bar_->control(kEdtNumber))) {
        e->setMaxLength(3);
        connect(e, &QLineEdit::textEdited, this,
                [this](const QString& t) { shell_->bar().number_typed(t.toLatin1().toStdString()); });
    }
    view_ = new platix::ImageView(this);
    shell_ = std::make_unique<TutrixShell>(start_dir, bt, libs, *this, poster_, *cursor_, *preset_files_);
    shell_->set_parent_window(static_cast<QWidget*>(this));
    view_source_ = std::make_unique<ViewSourceOf>(*shell_, libs, [](TutrixShell&) -> const platix::DisplayText* {
        return nullptr;  // no character frames: this program recognises nothing itself
    });
    view_->set_source(view_source_.get());
    shell_->bar().changed = [this] { sync_bar(); };
    connect(bar_, &desk::TemplateWidget::pressed, this, [this](int i) { shell_->bar().press(i); });
    const desk::Rect client = desk::main_client_size(metrics_, bar_->height(), 0);
    resize(std::max(client.w, bar_->width()), client.h);
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const desk::Rect outer = desk::centre_on_screen(desk::main_window_size(metrics_, bar_->height(), 0),
                                                        s->size().width(), s->size().height());
        move(outer.x, outer.y);
    }
    bar_->setGeometry(0, 0, width(), bar_->height());
    layout_view();
    shell_->start();
    sync_bar();
    show_kb_note();
    start_events();
}

TutrixWindow::~TutrixWindow() {
    qApp->removeEventFilter(this);
    shell_->bar().changed = nullptr;
}

void TutrixWindow::sync_bar() {
    const desk::ControlTable& t = shell_->bar().table();
    bar_->sync(t);
    if (auto* e = qobject_cast<QLineEdit*>(bar_->control(kEdtNumber))) {
        const QString want = QString::fromLatin1(t.at(kEdtNumber).label.c_str());
        if (e->text() != want) {
            const QSignalBlocker block(e);
            e->setText(want);
        }
    }
}

void TutrixWindow::layout_view() {
    const platix::PageInfo p = libs_.page();
    const desk::Rect r = desk::layout_view(width(), height(), bar_->height(), 0, p.data ? p.cols : 0, p.data ? p.lines : 0);
    view_->setGeometry(r.x, r.y, r.w, r.h);
    view_->update();
}

int TutrixWindow::bar_focus() const { return shell_->bar().table().focus(); }

bool TutrixWindow::route_key(int k, bool press, Qt::KeyboardModifiers mods) {
    using desk::BarKey;
    TutrixBar& b = shell_->bar();
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
    case Qt::Key_Tab: case Qt::Key_Backtab: key = BarKey::Tab; break;
    case Qt::Key_Left: key = BarKey::Left; break;
    case Qt::Key_Right: key = BarKey::Right; break;
    case Qt::Key_Up: key = BarKey::Up; break;
    case Qt::Key_Down: key = BarKey::Down; break;
    case Qt::Key_F: case Qt::Key_R: case Qt::Key_L: case Qt::Key_U: case Qt::Key_P: case Qt::Key_N:
    case Qt::Key_G: case Qt::Key_S: case Qt::Key_T: case Qt::Key_K: case Qt::Key_O: case Qt::Key_A:
        key = BarKey::Letter;
        letter = static_cast<char>(k);
        break;
    default: return false;
    }
    // The focus may have moved by mouse: the bar starts from the real one.
    const int focused = bar_->index_of(QApplication::focusWidget());
    if (focused >= 0) b.table().focus_control(focused);
    if (k == Qt::Key_Backtab) {
        if (!press) return true;
        b.key(BarKey::Shift, true);
        b.key(BarKey::Tab, true);
        b.key(BarKey::Shift, false);
        return true;
    }
    // An arrow the bar declines goes on to field 7, press and release.
    return b.key(key, press, letter);
}

void TutrixWindow::files_command() { shell_->command(kFiles, 0); }

}  // namespace tutrix
