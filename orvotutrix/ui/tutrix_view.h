// The training program's image view: the page stretched to the view and
// the field frames (red, the current one green); mouse movement and
// clicks go to the shell in page coordinates.
#pragma once

#include <QFrame>
#include <QImage>

#include "view_geometry.h"

namespace tutrix {

class TutrixShell;
class TutrixLibraries;

class TutrixView : public QFrame {
public:
    TutrixView(TutrixLibraries& libs, QWidget* parent);
    void set_shell(TutrixShell* shell) { shell_ = shell; }
    bool load_page();
    void clear_page();
    desk::PageMapping mapping() const;
    QRect to_view(int left, int top, int right, int bottom) const;

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    TutrixLibraries& libs_;
    TutrixShell* shell_ = nullptr;
    QImage page_;
};

}  // namespace tutrix
