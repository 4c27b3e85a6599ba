// The image view: the page stretched to the view, the field frames (red,
// the current one green) and, with show_bitmap off, the character frames;
// mouse movement and clicks go to the shell in page coordinates.
#pragma once

#include <QFrame>
#include <QImage>
#include <functional>

#include "view_geometry.h"

namespace platix {

class Shell;

class ImageView : public QFrame {
public:
    explicit ImageView(QWidget* parent);
    void set_shell(Shell* shell) { shell_ = shell; }
    // Builds the page image from the library's page; false without one.
    bool load_page();
    void clear_page();
    const QImage& page() const { return page_; }
    desk::PageMapping mapping() const;
    // The field rectangle of a result in view pixels.
    QRect to_view(int left, int top, int right, int bottom) const;

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    Shell* shell_ = nullptr;
    QImage page_;
};

}  // namespace platix
