// The recognition program's own icon, drawn in code: a white licence plate
// with a dark border and two block characters, and a magnifying glass over
// its lower right corner for a plate being read.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace platix {

// The icon drawn at `size` x `size` pixels (transparent outside the plate
// and the glass).
QPixmap platix_icon_pixmap(int size);
// The icon at 16, 32 and 48 pixels.
QIcon platix_icon();

}  // namespace platix
