// Lamps: a dark ring, a radial body in the light's colour and a highlight.
#include "lights.h"

#include <QRadialGradient>

namespace desk {

QColor light_colour(Light light) {
    switch (light) {
    case Light::Red: return QColor(224, 0, 0);
    case Light::Yellow: return QColor(240, 208, 0);
    case Light::Green: return QColor(0, 192, 0);
    case Light::Gray: break;
    }
    return QColor(160, 160, 160);
}

void draw_light(QPainter& p, const QRect& area, Light light) {
    const int d = std::min(area.width(), area.height()) - 1;
    if (d <= 2) return;
    const QRectF r(area.x() + (area.width() - d) / 2.0, area.y() + (area.height() - d) / 2.0, d, d);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QColor c = light_colour(light);
    QRadialGradient g(r.center() - QPointF(d / 6.0, d / 6.0), d / 1.6);
    g.setColorAt(0.0, c.lighter(170));
    g.setColorAt(0.5, c);
    g.setColorAt(1.0, c.darker(180));
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(g);
    p.drawEllipse(r);
    p.restore();
}

void LightWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    draw_light(p, rect(), light_);
}

}  // namespace desk
