// Cursor shapes; the target cursor is drawn here (Qt has no such shape).
#include "cursors.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>

namespace desk {

namespace {
QCursor target_cursor() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 1));
    p.drawEllipse(QPoint(15, 15), 10, 10);
    p.drawEllipse(QPoint(15, 15), 4, 4);
    p.drawLine(15, 0, 15, 31);
    p.drawLine(0, 15, 31, 15);
    p.end();
    return QCursor(pm, 15, 15);
}
}  // namespace

QCursor cursor_for(CursorKind kind) {
    switch (kind) {
    case CursorKind::Wait: return QCursor(Qt::WaitCursor);
    case CursorKind::Cross: return QCursor(Qt::CrossCursor);
    case CursorKind::SizeHorizontal: return QCursor(Qt::SizeHorCursor);
    case CursorKind::Target: return target_cursor();
    case CursorKind::Arrow: break;
    }
    return QCursor(Qt::ArrowCursor);
}

void QtCursorPort::set_cursor(CursorKind kind) {
    current_ = kind;
    if (kind == CursorKind::Wait) {
        if (!overriding_) QApplication::setOverrideCursor(cursor_for(kind));
        overriding_ = true;
        return;
    }
    if (overriding_) {
        QApplication::restoreOverrideCursor();
        overriding_ = false;
    }
    if (widget_) widget_->setCursor(cursor_for(kind));
}

}  // namespace desk
