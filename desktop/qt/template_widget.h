// A dialog built from a template: one Qt widget per control at its
// dialog-unit rectangle converted with the template font's base units.
// The widget mirrors a ControlTable (enabling, labels, check marks,
// slider position, focus) and reports presses and slider moves.
#pragma once

#include <QFont>
#include <QFrame>
#include <QLabel>
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

    // Text fitting (beyond the classic templates, whose rectangles were
    // measured for another font): widens control `index` until each of
    // `texts` shows whole in it, moving the controls to its right over by
    // the same amount and growing the dialog. Never narrows a control.
    void fit_texts(int index, const std::vector<std::string>& texts);
    // The width of the part of control `index` in which its text is drawn.
    int text_room(int index) const;
    // The advance of `text` (an '&' mnemonic counts as nothing) in the
    // control's font.
    int text_width(int index, const QString& text) const;

    // A note right of the last control (beyond the classic templates: the
    // programs name the loaded knowledge base there), shortened in the
    // middle when the bar is too narrow for it; the full text is its tool
    // tip. Not a control of the table: it takes neither focus nor keys.
    void set_note(const QString& text);
    QLabel* note() const { return note_; }

signals:
    void pressed(int index);
    void slider_scrolled(int index, int position);

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void place_note();

    DialogTemplate template_;
    QLabel* note_ = nullptr;
    QString note_text_;
    DialogUnits units_;
    std::vector<QWidget*> widgets_;
};

}  // namespace desk
