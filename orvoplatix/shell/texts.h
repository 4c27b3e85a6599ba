// The program's texts: window titles, the output text with the time of
// day, the About text, and the dialog templates of its bars.
#pragma once

#include <string>
#include <vector>

#include "dialog_template.h"
#include "library_port.h"
#include "orvosys.h"

namespace platix {

inline constexpr const char* kTitle = "ORVO PLATIX 2.1";

// Title after a painted load: name, page size, page number for multi-page
// files and the file size when the page was scaled.
std::string loaded_title(const std::string& name, const PageInfo& page);
// Title after a failed load or paint.
std::string error_title(const std::string& name);
// The same two titles led by another program's title text.
std::string loaded_title(const char* program, const std::string& name, const PageInfo& page);
std::string error_title(const char* program, const std::string& name);
// " %s   -   at  hh:mm:ss,  on  mm/dd/yy", with "    [show %ds.]" and one
// more blank before "on" while a slide show runs.
std::string output_text(const char* display, const osys_time& t, bool slide_show, int show_delay);
const char* about_text();

// A control bar's template as both programs have it: MS Sans Serif at
// `points`, `width_dlu` x 14 dialog units, the controls in table order.
desk::DialogTemplate control_bar_template(const char* name, int points, int width_dlu,
                                          std::vector<desk::TemplateControl> controls);

// Control-bar templates (small and large font) and the output bar.
const desk::DialogTemplate& controls_template();
const desk::DialogTemplate& controls_xp_template();
const desk::DialogTemplate& output_template();

// Every text a control of a bar can show, longest numbers included, by
// control index: the bars widen a control whose rectangle cannot hold one.
struct ControlTexts {
    int index;
    std::vector<std::string> texts;
};
const std::vector<ControlTexts>& bar_texts();
const std::vector<ControlTexts>& output_texts();

}  // namespace platix
