// Painting of the gray page stretched to a view and of a monochrome field
// bitmap row by row.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

namespace desk {

// The page as an 8-bit gray image (value i shown as gray i); a null image
// when there is no page or no memory for it.
QImage page_image(const unsigned char* data, int cols, int lines, int bpl);

// Draws the page stretched onto `target` (smooth scaling). False when the
// image is null.
bool paint_page(QPainter& painter, const QImage& page, const QRect& target);

// Draws a field bitmap (1 bit = white, 0 bit = black, leftmost pixel in the
// top bit) one row at a time: the logical area cols x logical_height is
// mapped onto `target` and row i is drawn at logical height i.
void paint_field_rows(QPainter& painter, const unsigned char* bits, int cols, int lines, int bpl,
                      int logical_height, const QRect& target);

}  // namespace desk
