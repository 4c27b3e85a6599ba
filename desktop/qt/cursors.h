// The five cursors of the programs (arrow, wait, cross, horizontal size,
// target) and a cursor port that shows them over a window.
#pragma once

#include <QCursor>
#include <QPointer>
#include <QWidget>

#include "ui_ports.h"

namespace desk {

QCursor cursor_for(CursorKind kind);

// Shows the wait cursor over the whole application while busy, the other
// cursors over the given widget.
class QtCursorPort : public CursorPort {
public:
    explicit QtCursorPort(QWidget* widget) : widget_(widget) {}
    void set_cursor(CursorKind kind) override;
    CursorKind current() const { return current_; }

private:
    QPointer<QWidget> widget_;
    CursorKind current_ = CursorKind::Arrow;
    bool overriding_ = false;
};

}  // namespace desk
