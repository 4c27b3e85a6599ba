// The training program's texts: its title text, the page titles with the
// rotation suffix, the About text and the templates of its control bar.
#pragma once

#include <string>

#include "dialog_template.h"
#include "library_port.h"
#include "texts.h"

namespace tutrix {

inline constexpr const char* kTitle = "ORVO Tutrix 2.1";

// The title after a painted load: as the recognition program's, ended by
// " - rot. N°]" when the page is turned by N degrees, else by "]".
std::string page_title(const std::string& name, const platix::PageInfo& page, int total_rotation);
std::string error_title(const std::string& name);
const char* about_text();

const desk::DialogTemplate& controls_template();
const desk::DialogTemplate& controls_xp_template();

// Every text a control of the bar can show, by control index.
const std::vector<platix::ControlTexts>& bar_texts();

}  // namespace tutrix
