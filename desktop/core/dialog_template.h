// Dialog templates as data: the dialog's size in dialog units, its font
// and its controls (identifier, kind, label with its '&' mnemonic,
// rectangle, style). The toolkit side builds widgets from them; the
// conversion of dialog units to pixels uses the font's average character
// width and its height.
#pragma once

#include <string>
#include <vector>

#include "control_table.h"
#include "view_geometry.h"

namespace desk {

enum ControlStyle : unsigned {
    kStyleNone = 0,
    kStyleDisabled = 1,     // created disabled
    kStyleCentred = 2,      // centred text
    kStyleTextLeft = 4,     // check box with its text on the left
    kStyleTickMarks = 8,    // slider with tick marks
    kStyleReadOnly = 16,    // text field the user cannot edit
    kStyleSunken = 32,      // sunken edge
    kStyleIcon = 64,        // an icon (drawn by the program)
};

struct TemplateControl {
    int id = 0;
    ControlKind kind = ControlKind::PushButton;
    std::string label;
    Rect dlu;  // x, y, width, height in dialog units
    unsigned style = kStyleNone;
};

struct DialogTemplate {
    std::string name;
    std::string font_family;
    int font_points = 8;
    int width_dlu = 0;
    int height_dlu = 0;
    std::vector<TemplateControl> controls;  // in tab order
};

// The dialog base units of a font: the average width of the 52 letters
// (as (total / 26 + 1) / 2) and the character height.
struct DialogUnits {
    int base_x = 4;
    int base_y = 8;
    int to_px_x(int dlu) const { return dlu * base_x / 4; }
    int to_px_y(int dlu) const { return dlu * base_y / 8; }
    Rect to_px(Rect r) const { return {to_px_x(r.x), to_px_y(r.y), to_px_x(r.w), to_px_y(r.h)}; }
};

// Base units from the total advance of "A".."Z" "a".."z" and the height.
DialogUnits dialog_units_from_font(int alphabet_advance, int height);

// The control table of a template (labels, kinds, disabled style), for
// the bar logic.
std::vector<Control> controls_of(const DialogTemplate& t);

// The label without its '&' marks ("&&" stays one '&').
std::string strip_mnemonic(const std::string& label);

}  // namespace desk
