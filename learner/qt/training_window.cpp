// Widgets of the training dialog.
#include "training_window.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QScreen>
#include <algorithm>
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
#include "text_fit.h"

namespace learner {

namespace {
constexpr int kTopMargin = 5;  // the field's first row is drawn this far down
const QColor kDarkShadow(64, 64, 64);

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

QFont TextStrip::text_font() const {
    QFont f(family_);
    f.setPixelSize(std::max(6, height() - shrink_));
    f.setWeight(QFont::Medium);
    return f;
}

int TextStrip::text_width(const std::string& t) const {
    return QFontMetrics(text_font()).horizontalAdvance(QString::fromLatin1(t.data(), static_cast<int>(t.size())));
}

void TextStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The dark shadow colour of the classic faces, whatever the style's
    // palette: white text on it keeps a high contrast.
    p.fillRect(rect(), dark_ ? kDarkShadow : palette().color(QPalette::Window));
    p.setFont(text_font());
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
    auto* caption = new QLabel(QStringLiteral("Image frame"), this);
    frame_ = new ImageFrame(*this, this);
    scroll_ = new QScrollBar(Qt::Horizontal, this);
    scroll_->setSingleStep(5);
    scroll_->setPageStep(50);
    auto* text_caption = new QLabel(QStringLiteral("Recognized text"), this);
    text_ = new TextStrip("Courier", 4, false, true, this);
    status_ = new TextStrip("Helvetica", 8, true, false, this);
    view_only_ = new QCheckBox(QStringLiteral("Only &view, don't learn"), this);
    prev_ = button("&Previous frame", this, 0, 0, 0);
    next_ = button("&Next frame", this, 0, 0, 0);
    unlearn_ = button("&Unlearn character(s)", this, 0, 0, 0);
    tag_ = button("&Tag confusion(s)", this, 0, 0, 0);
    confirm_ = button("C&onfirm instance", this, 0, 0, 0);
    skip_ = button("&Skip instance", this, 0, 0, 0);
    done_ = button("&Done", this, 0, 0, 0);
    cancel_ = button("&Cancel", this, 0, 0, 0);
    desk::use_readable_palette(this);
    // The classic layout (a 520-pixel image frame, a 130-pixel column of
    // buttons on its right, the status line across the bottom), widened
    // where the font needs more room than that for a text.
    const int bh = std::max(28, QFontMetrics(prev_->font()).height() + 12);
    caption->setGeometry(10, 4, 200, 18);
    int col_w = 130;
    for (QPushButton* b : {prev_, next_, unlearn_, tag_, done_, cancel_}) {
        b->resize(col_w, bh);
        col_w = std::max(col_w, desk::width_for_texts(b, {b->text(), QString::fromLatin1(kStopTagLabel)}));
    }
    view_only_->resize(col_w, 20);
    col_w = std::max(col_w, desk::width_for_texts(view_only_, {view_only_->text()}));
    int row_w = 130;
    for (QPushButton* b : {confirm_, skip_}) {
        b->resize(row_w, bh);
        row_w = std::max(row_w, desk::width_for_texts(b, {b->text()}));
    }
    // The status line spans the dialog; the image frame takes the width its
    // longest text leaves beside the button column.
    status_->resize(100, 30);
    int status_w = 0;
    for (const std::string& t : TrainingDialog::status_texts()) status_w = std::max(status_w, status_->text_width(t) + 16);
    const int frame_w = std::max({520, 2 * row_w + 10, status_w - col_w - 10});
    const int col_x = 10 + frame_w + 10;
    frame_->setGeometry(10, 24, frame_w, 130);
    scroll_->setGeometry(10, 156, frame_w, 16);
    text_caption->setGeometry(10, 176, 200, 18);
    text_->setGeometry(10, 196, frame_w, 30);
    view_only_->setGeometry(col_x, 4, col_w, 20);
    int y = 30;
    for (QPushButton* b : {prev_, next_, unlearn_, tag_}) {
        b->setGeometry(col_x, y, col_w, bh);
        y += bh + 4;
    }
    const int low_y = std::max(230, y + 4);
    done_->setGeometry(col_x, low_y - bh - 6, col_w, bh);
    cancel_->setGeometry(col_x, low_y, col_w, bh);
    confirm_->setGeometry(10, low_y, row_w, bh);
    skip_->setGeometry(20 + row_w, low_y, row_w, bh);
    status_->setGeometry(10, low_y + bh + 4, col_x + col_w - 10, 30);
    setFixedSize(col_x + col_w + 10, status_->y() + status_->height() + 8);
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
    sel_->show();
    place_class_dialog();
    sel_->raise();
    sel_->activateWindow();
}

void TrainingWindow::place_class_dialog() {
    if (!sel_) return;
    // Below the dialog, clear of its status line and its field; above it
    // when the screen ends first; on its right as the last resort.
    const QRect me = frameGeometry();
    const QSize size = sel_->frameGeometry().size();
    QRect screen(0, 0, 1 << 20, 1 << 20);
    if (QScreen* sc = this->screen()) screen = sc->availableGeometry();
    QPoint at(me.center().x() - size.width() / 2, me.bottom() + 4);
    if (at.y() + size.height() > screen.bottom()) at.setY(me.top() - size.height() - 4);
    if (at.y() < screen.top()) at = QPoint(me.right() + 4, me.top());
    at.setX(std::clamp(at.x(), screen.left(), std::max(screen.left(), screen.right() - size.width())));
    at.setY(std::clamp(at.y(), screen.top(), std::max(screen.top(), screen.bottom() - size.height())));
    sel_->move(at);
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
