// Page and field-bitmap painting.
#include "page_painter.h"

#include <cstring>

namespace desk {

QImage page_image(const unsigned char* data, int cols, int lines, int bpl) {
    if (!data || cols <= 0 || lines <= 0 || bpl < cols) return QImage();
    QImage img(cols, lines, QImage::Format_Grayscale8);
    if (img.isNull()) return img;
    for (int y = 0; y < lines; ++y)
        std::memcpy(img.scanLine(y), data + static_cast<std::size_t>(y) * static_cast<std::size_t>(bpl),
                    static_cast<std::size_t>(cols));
    return img;
}

bool paint_page(QPainter& p, const QImage& page, const QRect& target) {
    if (page.isNull()) return false;
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(target, page);
    p.restore();
    return true;
}

void paint_field_rows(QPainter& p, const unsigned char* bits, int cols, int lines, int bpl,
                      int logical_height, const QRect& target) {
    if (!bits || cols <= 0 || lines <= 0 || bpl < (cols + 7) / 8 || logical_height <= 0) return;
    QImage row(cols, 1, QImage::Format_Mono);
    if (row.isNull()) return;
    row.setColor(0, qRgb(0, 0, 0));
    row.setColor(1, qRgb(255, 255, 255));
    const std::size_t row_bytes = static_cast<std::size_t>((cols + 7) / 8);
    p.save();
    const double sx = static_cast<double>(target.width()) / cols;
    const double sy = static_cast<double>(target.height()) / logical_height;
    for (int i = 0; i < lines; ++i) {
        std::memcpy(row.scanLine(0), bits + static_cast<std::size_t>(i) * static_cast<std::size_t>(bpl),
                    row_bytes);
        const QRectF dst(target.x(), target.y() + i * sy, cols * sx, sy);
        p.drawImage(dst, row);
    }
    p.restore();
}

}  // namespace desk
