// The plate both program icons are drawn on.
#include "plate_icon.h"

namespace desk {

QPixmap plate_icon(int size, QColor plate, QRectF at, const std::function<void(QPainter&)>& draw) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(QColor(32, 32, 32), 1.5));
    p.setBrush(plate);
    p.drawRoundedRect(at, 2.5, 2.5);
    draw(p);
    p.end();
    return pm;
}

}  // namespace desk
