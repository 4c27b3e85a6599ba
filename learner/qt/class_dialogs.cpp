// Widgets of the class dialogs.
#include "class_dialogs.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include "orvosys.h"
#include "text_fit.h"

namespace learner {

namespace {
QPushButton* button(const char* label, QWidget* parent, int x, int y, int w) {
    auto* b = new QPushButton(QString::fromLatin1(label), parent);
    b->setGeometry(x, y, w, 26);
    b->setAutoDefault(false);
    return b;
}
QString latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<int>(s.size())); }
}  // namespace

SelCharsDialog::SelCharsDialog(ClassBuffer& buffer, std::function<void(int)> ended, std::function<void(int)> edge,
                               QWidget* parent)
    : QDialog(parent), logic_(buffer), buffer_(buffer), ended_(std::move(ended)), edge_(std::move(edge)) {
    setWindowTitle(QStringLiteral("Edit character(s)"));
    setModal(false);
    setFixedSize(300, 112);
    auto* label = new QLabel(QStringLiteral("Class name"), this);
    label->setGeometry(10, 10, 80, 20);
    edit_ = new QLineEdit(this);
    edit_->setMaxLength(2);
    edit_->setGeometry(96, 8, 60, 24);
    edit_->installEventFilter(this);
    ok_ = button("&Ok", this, 10, 44, 60);
    jump_ = button("&Jump over", this, 76, 44, 80);
    table_ = button("Characters &table", this, 162, 44, 128);
    suspend_ = button("&Suspend learning", this, 10, 78, 140);
    connect(edit_, &QLineEdit::textChanged, this, [this](const QString& t) {
        logic_.set_text(t.toLatin1().toStdString());
        sync();
    });
    connect(ok_, &QPushButton::clicked, this, [this] { act(SelChars::Action::Ok); });
    connect(jump_, &QPushButton::clicked, this, [this] { act(SelChars::Action::JumpOver); });
    connect(table_, &QPushButton::clicked, this, [this] { act(SelChars::Action::Table); });
    connect(suspend_, &QPushButton::clicked, this, [this] { act(SelChars::Action::Suspend); });
    desk::use_readable_palette(this);
    desk::fit_child_texts(this);
    sync();
    edit_->setFocus();
}

void SelCharsDialog::sync() {
    ok_->setEnabled(logic_.ok_enabled());
    ok_->setDefault(logic_.ok_enabled());
}

void SelCharsDialog::finish(int result) {
    if (finished_) return;
    finished_ = true;
    hide();
    if (ended_) ended_(result);
}

void SelCharsDialog::act(SelChars::Action a) {
    switch (a) {
    case SelChars::Action::Ok:
        if (logic_.ok()) finish(kSelOk);
        break;
    case SelChars::Action::JumpOver: finish(kSelJumpOver); break;
    case SelChars::Action::Suspend: finish(kSelSuspend); break;
    case SelChars::Action::Table: {
        logic_.table_opening();
        CharTabDialog t(buffer_, this);
        if (t.exec() == QDialog::Accepted) {
            logic_.table_done(t.chosen());
            const QSignalBlocker block(edit_);
            edit_->setText(latin1(logic_.text()));
            sync();
        }
        edit_->setFocus();
        break;
    }
    case SelChars::Action::EdgeLeft:
        if (edge_) edge_(-1);
        break;
    case SelChars::Action::EdgeRight:
        if (edge_) edge_(+1);
        break;
    case SelChars::Action::Beep: osys_beep(); break;
    case SelChars::Action::None: break;
    }
}

bool SelCharsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        auto* ke = static_cast<QKeyEvent*>(event);
        const bool press = event->type() == QEvent::KeyPress;
        using K = SelChars::Key;
        switch (ke->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Enter acts when it is released.
            if (!press) act(logic_.key(K::Enter));
            return true;
        case Qt::Key_Escape:
            if (press) act(logic_.key(K::Escape));
            return true;
        case Qt::Key_Left:
            if (press) act(logic_.key(K::Left));
            return true;
        case Qt::Key_Right:
            if (press) act(logic_.key(K::Right));
            return true;
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void SelCharsDialog::keyPressEvent(QKeyEvent* e) {
    // Keys on the four buttons: the logic moves the focus or presses one.
    QWidget* order[] = {edit_, ok_, jump_, table_, suspend_};
    int at = -1;
    for (int i = 0; i < 5; ++i)
        if (order[i] == focusWidget()) at = i;
    if (at <= 0) {
        if (e->key() == Qt::Key_Escape) act(SelChars::Action::JumpOver);
        else QDialog::keyPressEvent(e);
        return;
    }
    logic_.set_focus(static_cast<SelChars::Focus>(at));
    using K = SelChars::Key;
    K k;
    char letter = 0;
    switch (e->key()) {
    case Qt::Key_Return: case Qt::Key_Enter: k = K::Enter; break;
    case Qt::Key_Space: k = K::Space; break;
    case Qt::Key_Escape: k = K::Escape; break;
    case Qt::Key_Tab: k = K::Tab; break;
    case Qt::Key_Backtab: k = K::ShiftTab; break;
    case Qt::Key_Left: k = K::Left; break;
    case Qt::Key_Right: k = K::Right; break;
    case Qt::Key_Up: k = K::Up; break;
    case Qt::Key_Down: k = K::Down; break;
    case Qt::Key_O: case Qt::Key_J: case Qt::Key_T: case Qt::Key_S:
        k = K::Letter;
        letter = static_cast<char>(e->key());
        break;
    default: QDialog::keyPressEvent(e); return;
    }
    const SelChars::Action a = logic_.key(k, letter);
    order[logic_.focus()]->setFocus();
    act(a);
}

bool SelCharsDialog::focusNextPrevChild(bool next) {
    // Tab and Shift+Tab follow the dialog's own order.
    QWidget* order[] = {edit_, ok_, jump_, table_, suspend_};
    int at = 0;
    for (int i = 0; i < 5; ++i)
        if (order[i] == focusWidget()) at = i;
    logic_.set_focus(static_cast<SelChars::Focus>(at));
    const SelChars::Action a = logic_.key(next ? SelChars::Key::Tab : SelChars::Key::ShiftTab);
    order[logic_.focus()]->setFocus();
    act(a);
    return true;
}

void SelCharsDialog::closeEvent(QCloseEvent* e) {
    finish(kSelSuspend);
    e->accept();
}

CharTabDialog::CharTabDialog(const ClassBuffer& initial, QWidget* parent) : QDialog(parent), logic_(initial) {
    setWindowTitle(QStringLiteral("Select character(s)"));
    QFont f = font();
    const QFontMetrics fm(f);
    const int col_w = 3 * fm.averageCharWidth() + 6;
    const int row_h = fm.height() + 4;
    list_ = new QListWidget(this);
    list_->setFlow(QListView::TopToBottom);
    list_->setWrapping(true);
    list_->setResizeMode(QListView::Adjust);
    list_->setUniformItemSizes(true);
    list_->setGridSize(QSize(col_w, row_h));
    list_->setSelectionMode(QAbstractItemView::MultiSelection);
    list_->setGeometry(10, 10, 16 * col_w + 8, kTableRows * row_h + 8);
    for (int i = 0; i < kTableEntries; ++i) list_->addItem(latin1(table_entry_text(i)));
    const int below = list_->geometry().bottom() + 10;
    auto* cl = new QLabel(QStringLiteral("Class:"), this);
    cl->setGeometry(10, below, 50, 22);
    cls_ = new QLabel(this);
    cls_->setGeometry(60, below, 70, 22);
    auto* al = new QLabel(QStringLiteral("ASCII:"), this);
    al->setGeometry(140, below, 50, 22);
    ascii_ = new QLabel(this);
    ascii_->setGeometry(190, below, 80, 22);
    auto* cancel = button("&Cancel", this, list_->geometry().right() - 170, below, 80);
    done_ = button("&Done", this, list_->geometry().right() - 80, below, 80);
    setFixedSize(list_->geometry().right() + 10, below + 36);
    desk::use_readable_palette(this);
    desk::fit_child_texts(this);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(done_, &QPushButton::clicked, this, &QDialog::accept);
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        logic_.toggle(list_->row(item));
        sync();
    });
    sync();
}

void CharTabDialog::sync() {
    {
        const QSignalBlocker block(list_);
        for (int i = 0; i < kTableEntries; ++i) list_->item(i)->setSelected(logic_.selected(i));
    }
    cls_->setText(latin1(logic_.class_text()));
    ascii_->setText(latin1(logic_.ascii_text()));
    done_->setEnabled(logic_.done_enabled());
}

UnlearnDialog::UnlearnDialog(UnlearnList& list, ocr_io& io, SessionLibs& libs, QWidget* parent)
    : QDialog(parent), logic_(list), io_(io), libs_(libs) {
    setWindowTitle(QStringLiteral("Unlearn character(s)"));
    setFixedSize(300, 320);
    list_ = new QListWidget(this);
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list_->setSelectionMode(QAbstractItemView::MultiSelection);
    list_->setGeometry(10, 10, 170, 300);
    ok_ = button("&OK", this, 190, 10, 100);
    auto* cancel = button("C&ancel", this, 190, 44, 100);
    select_all_ = button("&Select all", this, 190, 90, 100);
    unselect_ = button("&Unselect", this, 190, 124, 100);
    desk::use_readable_palette(this);
    desk::fit_child_texts(this);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok_, &QPushButton::clicked, this, [this] {
        if (logic_.ok(io_, libs_) == 1) accept();
    });
    connect(select_all_, &QPushButton::clicked, this, [this] {
        logic_.select_all();
        sync();
    });
    connect(unselect_, &QPushButton::clicked, this, [this] {
        logic_.unselect();
        rebuild();
    });
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
        for (int i = 0; i < list_->count(); ++i) logic_.set_selected(i, list_->item(i)->isSelected());
        sync();
    });
    rebuild();
}

void UnlearnDialog::rebuild() {
    {
        const QSignalBlocker block(list_);
        list_->clear();
        for (int i = 0; i < logic_.size(); ++i) list_->addItem(latin1(logic_.text(i)));
    }
    sync();
}

void UnlearnDialog::sync() {
    {
        const QSignalBlocker block(list_);
        for (int i = 0; i < list_->count(); ++i) list_->item(i)->setSelected(logic_.selected(i));
    }
    ok_->setEnabled(logic_.ok_enabled());
    unselect_->setEnabled(logic_.ok_enabled());
    select_all_->setEnabled(logic_.select_all_enabled());
}

}  // namespace learner
