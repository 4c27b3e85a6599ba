// Titles, About text and control-bar templates of the training program.
#include "tutrix_texts.h"

#include <cstdio>

#include "texts.h"

namespace tutrix {

std::string page_title(const std::string& name, const platix::PageInfo& page, int total_rotation) {
    std::string t = platix::loaded_title(kTitle, name, page);
    if (total_rotation != 0 && !t.empty() && t.back() == ']') {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, " - rot. %d\xB0]", total_rotation);
        t.pop_back();
        t += suffix;
    }
    return t;
}

std::string error_title(const std::string& name) { return platix::error_title(kTitle, name); }

const char* about_text() {
    return "ORVO Tutrix 2.1 trains the knowledge bases that ORVO PLATIX reads licence plates with.\n\n"
           "Load an image (or a multi-page TIFF) with Files, turn it with Rr, Lr or Ud if the plate "
           "is not upright, and press Seg. to find its text fields. Choose the knowledge base to "
           "train with KBase (a new file name starts a new base), then click a field or press "
           "Obj.#: the training dialog shows the field, walks through the characters the base "
           "cannot read yet and lets you name them, correct confusions and remove classes. The "
           "changes are kept or thrown away when the dialog closes.\n\n"
           "Keys: F Files, R/L/U rotate, P Prev, N Next, G Go, S Seg., T Training on/off, "
           "K KBase, O Obj.#, A About; Tab and the arrow keys move between the controls.\n\n"
           "Press Esc or close the window to quit.";
}

namespace {
using desk::ControlKind;
using desk::DialogTemplate;
using desk::Rect;

DialogTemplate make_controls(const char* name, int points, int shift) {
    const int s = shift;
    return platix::control_bar_template(name, points, 422, {
        {1000, ControlKind::PushButton, "&Files", Rect{2, 1, 24, 12}, 0},
        {1001, ControlKind::PushButton, "&Rr", Rect{28, 1, 16, 12}, 0},
        {1002, ControlKind::PushButton, "&Lr", Rect{46, 1, 16, 12}, 0},
        {1003, ControlKind::PushButton, "&Ud", Rect{64, 1, 16, 12}, 0},
        {1004, ControlKind::PushButton, "< &Prev", Rect{82, 1, 26, 12}, 0},
        {1005, ControlKind::PushButton, "&Next >", Rect{110, 1, 26, 12}, 0},
        {1006, ControlKind::PushButton, "&Go >>|", Rect{138, 1, 26, 12}, 0},
        {1007, ControlKind::Edit, "", Rect{166, 2, 16, 10}, desk::kStyleCentred},
        {1008, ControlKind::Text, "", Rect{188, 2, 16, 10}, desk::kStyleCentred | desk::kStyleSunken},
        {1009, ControlKind::PushButton, "&Seg.", Rect{206, 1, 20, 12}, 0},
        {1010, ControlKind::Text, "", Rect{228, 2, 76 - s, 10}, desk::kStyleSunken},
        {1011, ControlKind::CheckBox, "&Training ON", Rect{306 - s, 2, 44 + s, 11}, desk::kStyleTextLeft},
        {1012, ControlKind::PushButton, "&KBase", Rect{352, 1, 22, 12}, 0},
        {1013, ControlKind::PushButton, "&Obj.#", Rect{376, 1, 20, 12}, 0},
        {1014, ControlKind::PushButton, "&About", Rect{398, 1, 22, 12}, 0},
        // The "/" between the two numbers: a label after the table.
        {1015, ControlKind::Label, "/", Rect{183, 2, 4, 10}, desk::kStyleDisabled},
    });
}
}  // namespace

const desk::DialogTemplate& controls_template() {
    static const DialogTemplate t = make_controls("CONTROLS", 8, 0);
    return t;
}

const desk::DialogTemplate& controls_xp_template() {
    static const DialogTemplate t = make_controls("CONTROLS_XP", 10, 2);
    return t;
}

const std::vector<platix::ControlTexts>& bar_texts() {
    static const std::vector<platix::ControlTexts> t = {
        {7, {"999"}},
        {8, {"999"}},
        {10,
         {"Loading page. Please wait...", "Loading image. Please wait...", "Page loaded and displayed.",
          "Image loaded and displayed.", "Error: Couldn't load page.", "Error: Couldn't load image.",
          "Error: Couldn't show page.", "Error: Couldn't show image.", "Rotating page. Please wait...",
          "Rotation interrupted (memory!)", "Analyzing page. Please wait...", "Analysis interrupted (memory!)",
          "Analysis duration: 999999 ms"}},
        {11, {"&Training ON", "&Training OFF"}},
    };
    return t;
}

}  // namespace tutrix
