// Caption, border, close box and the bitmap rows of the field window.
#include "field_window.h"

#include <QMouseEvent>
#include <QPainter>

#include "page_painter.h"

namespace desk {

FieldWindow::FieldWindow(const QString& title, const SystemMetrics& metrics, QWidget* parent)
    : QWidget(parent), title_(title), m_(metrics) {
    setFocusPolicy(Qt::ClickFocus);
    setCursor(Qt::ArrowCursor);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
}

void FieldWindow::set_bitmap(const unsigned char* bits, int cols, int lines, int bpl) {
    bits_ = bits;
    cols_ = cols;
    lines_ = lines;
    bpl_ = bpl;
    update();
}

QRect FieldWindow::close_box() const {
    const int s = m_.caption_height - 6;
    return QRect(width() - m_.border_width - s - 3, m_.border_height + 2, s, s);
}

QRect FieldWindow::client_area() const {
    return QRect(m_.border_width, m_.border_height + m_.caption_height, width() - 2 * m_.border_width,
                 height() - 2 * m_.border_height - m_.caption_height);
}

void FieldWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(212, 208, 200));
    p.setPen(QColor(64, 64, 64));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const QRect cap(m_.border_width, m_.border_height, width() - 2 * m_.border_width, m_.caption_height);
    p.fillRect(cap, hasFocus() ? QColor(10, 36, 106) : QColor(128, 128, 128));
    p.setPen(Qt::white);
    p.drawText(cap.adjusted(4, 0, -m_.caption_height, 0), Qt::AlignLeft | Qt::AlignVCenter, title_);
    const QRect box = close_box();
    p.fillRect(box, QColor(212, 208, 200));
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(box.topLeft() + QPoint(3, 3), box.bottomRight() - QPoint(3, 3));
    p.drawLine(box.topRight() + QPoint(-3, 3), box.bottomLeft() + QPoint(3, -3));
    const QRect client = client_area();
    p.fillRect(client, Qt::white);
    // The logical bitmap is the caption, the rows and one border high, mapped
    // onto the whole window height: at its own size when it fits.
    const int logical_h = m_.caption_height + lines_ + m_.border_height;
    const QRect target(client.x(), client.y(), client.width(), height());
    p.setClipRect(client);
    paint_field_rows(p, bits_, cols_, lines_, bpl_, logical_h, target);
}

void FieldWindow::mousePressEvent(QMouseEvent* e) {
    setFocus(Qt::MouseFocusReason);
    if (close_box().contains(e->position().toPoint())) emit close_requested();
}

}  // namespace desk
