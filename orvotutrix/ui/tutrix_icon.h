// The training program's own icon, drawn in code: a yellow licence plate
// with a dark border and two block characters, and a green tick over its
// lower right corner for a character taught.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace tutrix {

// The icon drawn at `size` x `size` pixels (transparent outside the plate
// and the tick).
QPixmap tutrix_icon_pixmap(int size);
// The icon at 16, 32 and 48 pixels.
QIcon tutrix_icon();

}  // namespace tutrix
