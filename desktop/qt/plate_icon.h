// The drawing both programs' icons start from: a licence plate with a dark
// rim, on a transparent square, in a 32 x 32 unit space; each program adds
// its characters and its badge.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPixmap>
#include <functional>

namespace desk {

// The icon at `size` x `size` pixels: the plate (colour `plate`, its
// rectangle `at` in units), then `draw` with the painter scaled to units.
QPixmap plate_icon(int size, QColor plate, QRectF at, const std::function<void(QPainter&)>& draw);

}  // namespace desk
