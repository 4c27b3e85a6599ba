// The small captioned window that shows a field bitmap: drawn with its own
// caption ("Binarized field" or any title), border and close box, so that
// it looks and measures the same under every window manager and in
// offscreen grabs. It lives as a child of the main window.
#pragma once

#include <QString>
#include <QWidget>

#include "view_geometry.h"

namespace desk {

class FieldWindow : public QWidget {
    Q_OBJECT
public:
    FieldWindow(const QString& title, const SystemMetrics& metrics, QWidget* parent);

    // The bitmap shown (not owned; it must outlive the next paint).
    void set_bitmap(const unsigned char* bits, int cols, int lines, int bpl);
    QRect close_box() const;
    QRect client_area() const;

signals:
    void close_requested();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    QString title_;
    SystemMetrics m_;
    const unsigned char* bits_ = nullptr;
    int cols_ = 0, lines_ = 0, bpl_ = 0;
};

}  // namespace desk
