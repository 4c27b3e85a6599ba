// Drawing of the recognition program's icon.
#include "platix_icon.h"

#include "plate_icon.h"

namespace platix {

QPixmap platix_icon_pixmap(int size) {
    // The plate: white with a dark rim and a blue band on its left.
    return desk::plate_icon(size, QColor(245, 245, 245), QRectF(1.5, 6.5, 29, 15), [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 70, 170));
        p.drawRect(QRectF(2.3, 7.3, 3.5, 13.4));
        // Two block characters: 'P' and 'L'.
        p.setBrush(QColor(20, 20, 20));
        p.drawRect(QRectF(8, 9, 2.5, 10));       // 'P': stem
        p.drawRect(QRectF(8, 9, 6.5, 2.5));      // 'P': top
        p.drawRect(QRectF(12.5, 9, 2.5, 6));     // 'P': bowl side
        p.drawRect(QRectF(8, 13, 6.5, 2.5));     // 'P': bowl foot
        p.drawRect(QRectF(17, 9, 2.5, 10));      // 'L': stem
        p.drawRect(QRectF(17, 16.5, 6.5, 2.5));  // 'L': foot
        // The glass: a ring over the lower right corner with its handle,
        // outlined in white so that it stands out on the plate.
        const QRectF ring(16.5, 14.5, 10, 10);
        for (const auto& [colour, width] : {std::pair{QColor(Qt::white), 5.5}, std::pair{QColor(150, 30, 30), 2.8}}) {
            p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(ring);
            p.drawLine(QPointF(25, 23), QPointF(30, 28.5));
        }
    });
}

QIcon platix_icon() {
    QIcon icon;
    for (int s : {16, 32, 48}) icon.addPixmap(platix_icon_pixmap(s));
    return icon;
}

}  // namespace platix
