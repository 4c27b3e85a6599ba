// Painting and mouse handling of the training program's image view.
#include "tutrix_view.h"

#include <QMouseEvent>
#include <QPainter>

#include "cursors.h"
#include "page_painter.h"
#include "tutrix_shell.h"

namespace tutrix {

TutrixView::TutrixView(TutrixLibraries& libs, QWidget* parent) : QFrame(parent), libs_(libs) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

bool TutrixView::load_page() {
    const platix::PageInfo p = libs_.page();
    page_ = desk::page_image(p.data, p.cols, p.lines, p.bpl);
    update();
    return !page_.isNull();
}

void TutrixView::clear_page() {
    page_ = QImage();
    update();
}

desk::PageMapping TutrixView::mapping() const {
    const QRect c = contentsRect();
    return desk::PageMapping(page_.width(), page_.height(), c.width(), c.height());
}

QRect TutrixView::to_view(int left, int top, int right, int bottom) const {
    const desk::PageMapping m = mapping();
    const QPoint o = contentsRect().topLeft();
    return QRect(QPoint(m.to_view_x(left), m.to_view_y(top)) + o, QPoint(m.to_view_x(right), m.to_view_y(bottom)) + o);
}

void TutrixView::paintEvent(QPaintEvent* e) {
    QFrame::paintEvent(e);
    if (page_.isNull()) return;
    QPainter p(this);
    const QRect c = contentsRect();
    const desk::PageMapping m = mapping();
    desk::paint_page(p, page_, QRect(c.x(), c.y(), m.to_view_x(page_.width()), m.to_view_y(page_.height())));
    p.setBrush(Qt::NoBrush);
    for (seg_result* r = libs_.results(); r; r = r->next) {
        const bool current = shell_ && r == shell_->current_result();
        p.setPen(QPen(current ? QColor(0, 224, 0) : QColor(224, 0, 0), m.pen_width(4), Qt::SolidLine,
                      Qt::SquareCap, Qt::MiterJoin));
        p.drawRect(to_view(r->left, r->top, r->right, r->bottom));
    }
}

void TutrixView::mouseMoveEvent(QMouseEvent* e) {
    if (!shell_ || page_.isNull()) return;
    const desk::PageMapping m = mapping();
    const QPoint pt = e->position().toPoint() - contentsRect().topLeft();
    setCursor(desk::cursor_for(shell_->mouse_move(m.to_page_x(pt.x()), m.to_page_y(pt.y()))));
}

void TutrixView::mousePressEvent(QMouseEvent* e) {
    if (!shell_ || page_.isNull() || e->button() != Qt::LeftButton) return;
    const desk::PageMapping m = mapping();
    const QPoint pt = e->position().toPoint() - contentsRect().topLeft();
    shell_->mouse_press(m.to_page_x(pt.x()), m.to_page_y(pt.y()));
}

}  // namespace tutrix
