// Widgets of the training dialog.
#include "training_window.h"

#include <QCheckBox>
#include <cstring>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include "class_dialogs.h"
#include "cursors.h"

namespace learner {

namespace {
constexpr int kTopMargin = 5;  // the field's first row is drawn this far down

QPushButton* button(const char* label, QWidget* parent, int x, int y, int w) {
    auto* b = new QPushButton(QString::fromLatin1(label), parent);
    b->setGeometry(x, y, w, 28);
    b->setAutoDefault(false);
    return b;
}
}  // namespace

ImageFrame::ImageFrame(TrainingWindow& owner, QWidget* parent) : QWidget(parent), owner_(owner) {
    setMouseTracking(true);
}

void ImageFrame::set_field(const seg_result* r) {
    field_ = QImage();
    if (!r || !r->bitmap || r->columns <= 0 || r->lines <= 0 || r->bpl < (r->columns + 7) / 8) {
        update();
        return;
    }
    field_ = QImage(r->columns, r->lines, QImage::Format_Mono);
    if (field_.isNull()) return;
    field_.setColor(0, qRgb(0, 0, 0));
    field_.setColor(1, qRgb(255, 255, 255));
    const int row_bytes = (r->columns + 7) / 8;
    for (int y = 0; y < r->lines; ++y)
        std::memcpy(field_.scanLine(y), r->bitmap + static_cast<std::size_t>(y) * r->bpl, row_bytes);
    update();
}

void ImageFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    TrainingDialog& d = owner_.dialog();
    const int scroll = d.scroll();
    if (!field_.isNull()) {
        const int rows = std::min(field_.height(), height() - kTopMargin);
        if (rows > 0)
            p.drawImage(QPoint(0, kTopMargin), field_, QRect(scroll, 0, std::min(width(), field_.width() - scroll), rows));
    }
    if (d.frame_shown()) {
        const Box b = d.drawn_frame();
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(Qt::NoBrush);
        const QRect outer(b.left - scroll - 2, b.top + kTopMargin - 2, b.right - b.left + 3, b.bottom - b.top + 3);
        p.drawRect(outer);
        p.drawRect(outer.adjusted(2, 2, -2, -2));
    }
}

void ImageFrame::mouseMoveEvent(QMouseEvent* e) {
    TrainingDialog& d = owner_.dialog();
    const QPoint pt = e->position().toPoint();
    const int x = pt.x() + d.scroll(), y = pt.y() - kTopMargin;
    if (e->buttons() & Qt::LeftButton) d.mouse_drag(x);
    setCursor(desk::cursor_for(d.cursor_at(x, y)));
}

void ImageFrame::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    TrainingDialog& d = owner_.dialog();
    const QPoint pt = e->position().toPoint();
    d.mouse_press(pt.x() + d.scroll(), pt.y() - kTopMargin);
}

void ImageFrame::mouseReleaseEvent(QMouseEvent*) { owner_.dialog().mouse_release(); }

TextStrip::TextStrip(const char* family, int shrink, bool centred, bool dark, QWidget* parent)
    : QWidget(parent), family_(QString::fromLatin1(family)), shrink_(shrink), centred_(centred), dark_(dark) {}

void TextStrip::set_text(const std::string& t) {
    const QString s = QString::fromLatin1(t.data(), static_cast<int>(t.size()));
    if (s == text_) return;
    text_ = s;
    update();
}

void TextStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), dark_ ? palette().color(QPalette::Dark) : palette().color(QPalette::Window));
    QFont f(family_);
    f.setPixelSize(std::max(6, height() - shrink_));
    f.setWeight(QFont::Medium);
    p.setFont(f);
    p.setPen(dark_ ? Qt::white : palette().color(QPalette::WindowText));
    p.drawText(rect(), (centred_ ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter, text_);
}

TrainingWindow::TrainingWindow(QWidget* parent, ocr_io& io, SessionLibs& libs, seg_result* current,
                               const std::string& kb_path)
    : QDialog(parent),
      io_(io),
      libs_(libs),
      receiver_(new desk::CommandReceiver(
          [this](unsigned c, std::intptr_t p) {
              if (dialog_) dialog_->command(c, p);
          },
          this)),
      poster_(receiver_) {
    setFixedSize(680, 300);
    auto* caption = new QLabel(QStringLiteral("Image frame"), this);
    caption->setGeometry(10, 4, 200, 18);
    frame_ = new ImageFrame(*this, this);
    frame_->setGeometry(10, 24, 520, 130);
    scroll_ = new QScrollBar(Qt::Horizontal, this);
    scroll_->setGeometry(10, 156, 520, 16);
    scroll_->setSingleStep(5);
    scroll_->setPageStep(50);
    auto* text_caption = new QLabel(QStringLiteral("Recognized text"), this);
    text_caption->setGeometry(10, 176, 200, 18);
    text_ = new TextStrip("Courier", 4, false, true, this);
    text_->setGeometry(10, 196, 520, 30);
    status_ = new TextStrip("Helvetica", 8, true, false, this);
    status_->setGeometry(10, 262, 660, 30);
    view_only_ = new QCheckBox(QStringLiteral("Only &view, don't learn"), this);
    view_only_->setGeometry(540, 4, 140, 20);
    prev_ = button("&Previous frame", this, 540, 30, 130);
    next_ = button("&Next frame", this, 540, 62, 130);
    unlearn_ = button("&Unlearn character(s)", this, 540, 94, 130);
    tag_ = button("&Tag confusion(s)", this, 540, 126, 130);
    confirm_ = button("C&onfirm instance", this, 10, 230, 130);
    skip_ = button("&Skip instance", this, 150, 230, 130);
    done_ = button("&Done", this, 540, 196, 130);
    cancel_ = button("&Cancel", this, 540, 230, 130);
    dialog_ = std::make_unique<TrainingDialog>(io, libs, current, kb_path, *this, poster_);
    setWindowTitle(QString::fromLatin1(dialog_->title().c_str()));
    connect(prev_, &QPushButton::clicked, this, [this] { dialog_->previous_frame(); });
    connect(next_, &QPushButton::clicked, this, [this] { dialog_->next_frame(); });
    connect(unlearn_, &QPushButton::clicked, this, [this] { dialog_->unlearn(); });
    connect(tag_, &QPushButton::clicked, this, [this] { dialog_->toggle_tagging(); });
    connect(confirm_, &QPushButton::clicked, this, [this] { dialog_->confirm(); });
    connect(skip_, &QPushButton::clicked, this, [this] { dialog_->skip(); });
    connect(done_, &QPushButton::clicked, this, [this] { dialog_->done(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { dialog_->cancel(); });
    connect(view_only_, &QCheckBox::clicked, this, [this](bool on) { dialog_->set_view_only(on); });
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int v) {
        dialog_->scroll_to(v);
        changed();
    });
    dialog_->open(frame_->width());
}

TrainingWindow::~TrainingWindow() {
    close_class_dialog();
    // The dialog logic goes before the widgets it reports to.
    dialog_.reset();
}

void TrainingWindow::changed() {
    if (!dialog_) return;
    TrainingDialog& d = *dialog_;
    if (d.current() != shown_field_) {
        shown_field_ = d.current();
        frame_->set_field(shown_field_);
    }
    {
        const QSignalBlocker block(scroll_);
        scroll_->setRange(d.scroll_min(), d.scroll_max());
        scroll_->setValue(d.scroll());
    }
    const Enabling e = d.enabling();
    prev_->setEnabled(e.prev);
    next_->setEnabled(e.next);
    unlearn_->setEnabled(e.unlearn);
    tag_->setEnabled(e.tag);
    tag_->setText(QString::fromLatin1(d.tag_label().c_str()));
    confirm_->setEnabled(e.confirm);
    skip_->setEnabled(e.skip);
    done_->setEnabled(e.done);
    cancel_->setEnabled(e.cancel);
    view_only_->setEnabled(e.view_only_box);
    {
        const QSignalBlocker block(view_only_);
        view_only_->setChecked(d.view_only_checked());
    }
    if (e.confirm && !confirm_->hasFocus()) confirm_->setFocus();
    text_->set_text(d.visible_text());
    status_->set_text(d.status_text());
    frame_->update();
}

void TrainingWindow::open_class_dialog() {
    close_class_dialog();
    sel_ = new SelCharsDialog(
        dialog_->class_buffer(), [this](int r) { poster_.post(kClassDialogEnded, r); },
        [this](int delta) {
            if (dialog_) dialog_->move_edge(delta);
        },
        this);
    sel_->move(mapToGlobal(QPoint(width() / 2 - 150, height() - 40)));
    sel_->show();
    sel_->raise();
    sel_->activateWindow();
}

void TrainingWindow::close_class_dialog() {
    if (!sel_) return;
    sel_->hide();
    sel_->deleteLater();
    sel_ = nullptr;
}

int TrainingWindow::run_unlearn(UnlearnList& list) {
    UnlearnDialog u(list, io_, libs_, this);
    return u.exec() == QDialog::Accepted ? 1 : 0;
}

void TrainingWindow::end_dialog(int result) {
    ending_ = true;
    QDialog::done(result);
}

void TrainingWindow::reject() {
    if (ending_) {
        QDialog::reject();
        return;
    }
    dialog_->cancel();
}

void TrainingWindow::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Escape:
        if (skip_->isEnabled()) dialog_->skip();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (confirm_->hasFocus() || skip_->hasFocus()) {
            dialog_->confirm();
            return;
        }
        if (QWidget* w = focusWidget(); auto* b = qobject_cast<QPushButton*>(w)) b->click();
        return;
    default: QDialog::keyPressEvent(e);
    }
}

}  // namespace learner
