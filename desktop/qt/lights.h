// The status lights of an output bar, drawn as shaded lamps.
#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>
#include <QWidget>

#include "ui_ports.h"

namespace desk {

// The lamp's main colour.
QColor light_colour(Light light);
void draw_light(QPainter& painter, const QRect& area, Light light);

// The four lights in one spot: exactly one of them is visible.
class LightWidget : public QWidget {
public:
    explicit LightWidget(QWidget* parent = nullptr) : QWidget(parent) {}
    void show_light(Light light) {
        light_ = light;
        update();
    }
    Light light() const { return light_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Light light_ = Light::Gray;
};

}  // namespace desk
