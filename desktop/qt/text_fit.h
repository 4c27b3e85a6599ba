// Readable texts in the programs' widgets: the room a control has for its
// text, the advance a text needs in the control's font, widening a control
// to hold its longest text, and a palette whose disabled texts keep a
// readable contrast (4.5:1 against the light-gray faces).
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

namespace desk {

// The width in which a label, button, check box or line edit draws its
// text: its width less the frame, the margins and a check box's indicator.
int text_room(const QWidget* w);

// The advance of `text` in the widget's font; an '&' mnemonic mark counts
// as nothing ("&&" as one '&').
int text_advance(const QWidget* w, const QString& text);

// The width the widget needs so that each of `texts` shows whole (never
// less than its present width).
int width_for_texts(const QWidget* w, const QStringList& texts);

// Widens every direct child label, button and check box of `dialog` that
// cannot show its present text whole; the children to its right on the
// same row move over, and the dialog grows to hold them all.
void fit_child_texts(QWidget* dialog);

// Text colour of disabled controls: dark enough to read on the gray faces,
// still lighter than the black of enabled ones.
QColor disabled_text_colour();

// Sets the disabled text roles of the widget's palette to the readable
// colour; its children inherit it.
void use_readable_palette(QWidget* w);

}  // namespace desk
