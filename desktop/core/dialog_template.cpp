// Dialog units and the control table of a template.
#include "dialog_template.h"

namespace desk {

DialogUnits dialog_units_from_font(int alphabet_advance, int height) {
    DialogUnits u;
    u.base_x = (alphabet_advance / 26 + 1) / 2;
    u.base_y = height;
    if (u.base_x < 1) u.base_x = 1;
    if (u.base_y < 1) u.base_y = 1;
    return u;
}

std::vector<Control> controls_of(const DialogTemplate& t) {
    std::vector<Control> out;
    for (const auto& tc : t.controls) {
        Control c;
        c.id = tc.id;
        c.kind = tc.kind;
        c.label = tc.label;
        c.enabled = (tc.style & kStyleDisabled) == 0;
        out.push_back(c);
    }
    return out;
}

std::string strip_mnemonic(const std::string& label) {
    std::string out;
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&') {
            if (i + 1 < label.size() && label[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += label[i];
    }
    return out;
}

}  // namespace desk
