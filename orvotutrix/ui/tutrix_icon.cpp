// Drawing of the training program's icon.
#include "tutrix_icon.h"

#include "plate_icon.h"
#include <QPainterPath>

namespace tutrix {

QPixmap tutrix_icon_pixmap(int size) {
    // The plate: yellow with a dark rim, a little below the middle.
    return desk::plate_icon(size, QColor(250, 210, 40), QRectF(1.5, 8.5, 29, 15), [](QPainter& p) {
        // Two block characters on it, the second framed as in the training
        // dialog's edit frame.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 20, 20));
        p.drawRect(QRectF(5, 11, 2.5, 10));      // 'T': stem
        p.drawRect(QRectF(2.5, 11, 7.5, 2.5));   // 'T': bar
        p.drawRect(QRectF(13, 11, 2.5, 10));     // 'L': stem
        p.drawRect(QRectF(13, 18.5, 6.5, 2.5));  // 'L': foot
        p.setPen(QPen(QColor(200, 30, 30), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(11.5, 9.8, 9.5, 12.4));
        // The tick: green, with a white outline so that it stands out on
        // the plate.
        QPainterPath tick;
        tick.moveTo(19, 22);
        tick.lineTo(23.5, 27.5);
        tick.lineTo(31, 15);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 5.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(tick);
        p.setPen(QPen(QColor(20, 150, 40), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(tick);
    });
}

QIcon tutrix_icon() {
    QIcon icon;
    for (int s : {16, 32, 48}) icon.addPixmap(tutrix_icon_pixmap(s));
    return icon;
}

}  // namespace tutrix
