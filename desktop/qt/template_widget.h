// A dialog built from a template: one Qt widget per control at its
// dialog-unit rectangle converted with the template font's base units.
// The widget mirrors a ControlTable (enabling, labels, check marks,
// slider position, focus) and reports presses and slider moves.
#pragma once

#include <QFont>
#include <QFrame>
#include <vector>

#include "control_table.h"
#include "dialog_template.h"

namespace desk {

// The installed font closest to a template's family and point size.
QFont template_font(const std::string& family, int points);
DialogUnits units_of(const QFont& font);

class TemplateWidget : public QFrame {
    Q_OBJECT
public:
    TemplateWidget(const DialogTemplate& t, QWidget* parent);

    const DialogTemplate& dialog_template() const { return template_; }
    const DialogUnits& units() const { return units_; }
    int control_count() const { return static_cast<int>(widgets_.size()); }
    QWidget* control(int index) const;
    int index_of(const QWidget* w) const;
    // Sets a static or read-only text.
    void set_text(int index, const QString& text);
    QString text(int index) const;
    // Applies the table's state to the widgets (signals blocked meanwhile).
    void sync(const ControlTable& table);

signals:
    void pressed(int index);
    void slider_scrolled(int index, int position);

private:
    DialogTemplate template_;
    DialogUnits units_;
    std::vector<QWidget*> widgets_;
};

}  // namespace desk
