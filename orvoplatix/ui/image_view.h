// The image view of both programs: the page stretched to the view, the
// field frames (red, the current one green) and the character frames its
// source asks for; mouse movement and clicks go to the source in page
// coordinates.
#pragma once

#include <QFrame>
#include <QImage>
#include <functional>

#include "view_geometry.h"
#include "view_source.h"

namespace platix {

class ImageView : public QFrame {
public:
    explicit ImageView(QWidget* parent);
    // Not owned; the view shows nothing until it has one.
    void set_source(ViewSource* source) { source_ = source; }
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
    ViewSource* source_ = nullptr;
    QImage page_;
};

}  // namespace platix
