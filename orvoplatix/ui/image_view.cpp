// Painting and mouse handling of the image view.
#include "image_view.h"

#include <QMouseEvent>
#include <QPainter>

#include "cursors.h"
#include "page_painter.h"

namespace platix {

ImageView::ImageView(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setCursor(Qt::ArrowCursor);
}

bool ImageView::load_page() {
    if (!source_) return false;
    const PageInfo p = source_->libs().page();
    page_ = desk::page_image(p.data, p.cols, p.lines, p.bpl);
    update();
    return !page_.isNull();
}

void ImageView::clear_page() {
    page_ = QImage();
    update();
}

desk::PageMapping ImageView::mapping() const {
    const QRect c = contentsRect();
    return desk::PageMapping(page_.width(), page_.height(), c.width(), c.height());
}

QRect ImageView::to_view(int left, int top, int right, int bottom) const {
    const desk::PageMapping m = mapping();
    const QPoint o = contentsRect().topLeft();
    return QRect(QPoint(m.to_view_x(left), m.to_view_y(top)) + o,
                 QPoint(m.to_view_x(right), m.to_view_y(bottom)) + o);
}

void ImageView::paintEvent(QPaintEvent* e) {
    QFrame::paintEvent(e);
    if (page_.isNull() || !source_) return;
    QPainter p(this);
    const QRect c = contentsRect();
    const desk::PageMapping m = mapping();
    desk::paint_page(p, page_, QRect(c.x(), c.y(), m.to_view_x(page_.width()), m.to_view_y(page_.height())));
    seg_result* head = source_->libs().results();
    if (!head) return;
    p.setBrush(Qt::NoBrush);
    for (seg_result* r = head; r; r = r->next) {
        const QColor col = r == source_->current_result() ? QColor(0, 224, 0) : QColor(224, 0, 0);
        p.setPen(QPen(col, m.pen_width(4), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawRect(to_view(r->left, r->top, r->right, r->bottom));
    }
    const DisplayText* frames = source_->character_frames();
    if (!frames) return;
    const DisplayText& d = *frames;
    p.setPen(QPen(QColor(240, 120, 224), m.pen_width(2), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    for (int i = 0; i < 128 && d.text[i] != '\0'; ++i) {
        if (d.text[i] == '.') continue;
        p.drawRect(to_view(d.rects[i][0], d.rects[i][1], d.rects[i][2], d.rects[i][3]));
    }
}

void ImageView::mouseMoveEvent(QMouseEvent* e) {
    if (!source_ || page_.isNull()) return;
    const desk::PageMapping m = mapping();
    const QPoint pt = e->position().toPoint() - contentsRect().topLeft();
    setCursor(desk::cursor_for(source_->mouse_move(m.to_page_x(pt.x()), m.to_page_y(pt.y()))));
}

void ImageView::mousePressEvent(QMouseEvent* e) {
    if (!source_ || page_.isNull() || e->button() != Qt::LeftButton) return;
    const desk::PageMapping m = mapping();
    const QPoint pt = e->position().toPoint() - contentsRect().topLeft();
    source_->mouse_press(m.to_page_x(pt.x()), m.to_page_y(pt.y()));
}

}  // namespace platix
