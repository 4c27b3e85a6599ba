// Titles, output text, About text and templates of the recognition program.
#include "texts.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace platix {

std::string loaded_title(const std::string& name, const PageInfo& p) { return loaded_title(kTitle, name, p); }

std::string loaded_title(const char* program, const std::string& name, const PageInfo& p) {
    const int W = p.cols, H = p.lines;
    int fw = W, fh = H;
    bool scaled = false;
    if (p.xscale > 1 || p.yscale >= 2) {
        fw = p.xscale != 0 ? W / p.xscale : W;
        fh = p.yscale != 0 ? H / p.yscale : H;
        scaled = true;
    } else if (p.xscale < 1 || p.yscale < 1) {
        fw = std::abs(W * p.xscale);
        fh = std::abs(H * p.yscale);
        scaled = true;
    }
    char buf[600];
    const char* n = name.c_str();
    if (p.n_pages >= 2) {
        if (scaled)
            std::snprintf(buf, sizeof buf, "%s - %s [p.#%d/%d %dx%d (scaled from %dx%d)]", program, n,
                          p.crt_page, p.n_pages, W, H, fw, fh);
        else
            std::snprintf(buf, sizeof buf, "%s - %s [p.#%d/%d %dx%d]", program, n, p.crt_page, p.n_pages,
                          W, H);
    } else if (scaled) {
        std::snprintf(buf, sizeof buf, "%s - %s [%dx%d (scaled from %dx%d)]", program, n, W, H, fw, fh);
    } else {
        std::snprintf(buf, sizeof buf, "%s - %s [%dx%d]", program, n, W, H);
    }
    return buf;
}

std::string error_title(const std::string& name) { return error_title(kTitle, name); }

std::string error_title(const char* program, const std::string& name) {
    return std::string(program) + " - " + name + " (Error!)";
}

std::string output_text(const char* display, const osys_time& t, bool slide_show, int show_delay) {
    char when[16], date[16], buf[400];
    std::snprintf(when, sizeof when, "%02d:%02d:%02d", t.hour % 100, t.minute % 100, t.second % 100);
    std::snprintf(date, sizeof date, "%02d/%02d/%02d", t.month % 100, t.day % 100, t.year % 100);
    if (slide_show)
        std::snprintf(buf, sizeof buf, " %s   -   at  %s,   on  %s    [show %ds.]", display, when, date,
                      show_delay / 1000);
    else
        std::snprintf(buf, sizeof buf, " %s   -   at  %s,  on  %s", display, when, date);
    return buf;
}

const char* about_text() {
    return "ORVO PLATIX 2.1 reads licence plates in still images.\n\n"
           "Choose one or several images with File(s) (JPEG, PNG, BMP, TIFF, PCX, PGM or ITEX; "
           "colour or gray, any size; of a TIFF file the first page) and a knowledge base (.kbf) "
           "with KBase. Each image is loaded, searched for plate fields, and every field found is "
           "read; the text is shown at the bottom with the time of day.\n\n"
           "The analysis depth (1 to 5, key analysis_depth in orvoplatix.ini) trades speed for "
           "thoroughness: 1 is quickest, 5 tries hardest.\n\n"
           "Keys: F File(s), K KBase, B Show bitmap, S Start/Stop (with several images a slide "
           "show; the slider sets 2 to 8 seconds per image), P Prev, N Next, A About; Tab and the "
           "arrow keys move between the buttons, Enter presses the focused one.\n\n"
           "Press Esc or close the window to quit.";
}

desk::DialogTemplate control_bar_template(const char* name, int points, int width_dlu,
                                          std::vector<desk::TemplateControl> controls) {
    desk::DialogTemplate t;
    t.name = name;
    t.font_family = "MS Sans Serif";
    t.font_points = points;
    t.width_dlu = width_dlu;
    t.height_dlu = 14;
    t.controls = std::move(controls);
    return t;
}

namespace {
using desk::ControlKind;
using desk::DialogTemplate;
using desk::Rect;
using desk::TemplateControl;

DialogTemplate make_controls(const char* name, int points, int shift) {
    const int s = shift;
    return control_bar_template(name, points, 398, {
        {1000, ControlKind::PushButton, "&File(s)", Rect{2, 1, 30, 12}, 0},
        {1001, ControlKind::PushButton, "&KBase", Rect{34, 1, 28, 12}, 0},
        {1002, ControlKind::CheckBox, "Show &bitmap", Rect{64, 2, 48 - s, 11}, desk::kStyleTextLeft},
        {1003, ControlKind::PushButton, "&Start >>", Rect{114 - s, 1, 32, 12}, 0},
        {1004, ControlKind::PushButton, "|< &Prev", Rect{148 - s, 1, 28, 12}, 0},
        {1005, ControlKind::PushButton, "&Next >|", Rect{178 - s, 1, 28, 12}, 0},
        {1006, ControlKind::Slider, "", Rect{208 - s, 0, 36, 14}, desk::kStyleTickMarks},
        {1007, ControlKind::Text, "", Rect{245 - s, 2, 14, 10},
         desk::kStyleCentred | desk::kStyleDisabled | desk::kStyleSunken},
        {1008, ControlKind::Text, "", Rect{260 - s, 2, 22, 10},
         desk::kStyleCentred | desk::kStyleDisabled | desk::kStyleSunken},
        {1009, ControlKind::Text, "", Rect{284 - s, 2, 84 + s, 10}, desk::kStyleDisabled | desk::kStyleSunken},
        {1010, ControlKind::PushButton, "&About", Rect{370, 1, 26, 12}, 0},
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

const std::vector<ControlTexts>& bar_texts() {
    static const std::vector<ControlTexts> t = {
        {3, {"&Start >>", "&Stop ||"}},
        {7, {"8s.", "0s."}},
        {8, {"#999/999", "#0/0"}},
        {9,
         {"Loading image. Please wait...", "Image loaded and displayed.", "Error: Couldn't show image.",
          "Error: Couldn't load image.", "Analyzing image. Please wait...", "Analysis interrupted (memory!)",
          "Analysis duration: 999999 ms"}},
    };
    return t;
}

const std::vector<ControlTexts>& output_texts() {
    static const std::vector<ControlTexts> t = {{0, {"Recognized plate: "}},
                                                {1, {" None (no knowledge base loaded!)...", " None found..."}}};
    return t;
}

const desk::DialogTemplate& output_template() {
    static const DialogTemplate t = [] {
        DialogTemplate o;
        o.name = "OUTPUT";
        o.font_family = "Comic Sans MS";
        o.font_points = 12;
        o.width_dlu = 398;
        o.height_dlu = 14;
        o.controls = {
            {2000, ControlKind::Label, "Recognized plate: ", Rect{16, 2, 76, 10}, 0},
            {2001, ControlKind::Edit, "", Rect{92, 1, 302, 12}, desk::kStyleReadOnly},
            {2002, ControlKind::Label, "gray", Rect{3, 2, 10, 10}, desk::kStyleIcon},
            {2003, ControlKind::Label, "red", Rect{3, 2, 10, 10}, desk::kStyleIcon},
            {2004, ControlKind::Label, "yellow", Rect{3, 2, 10, 10}, desk::kStyleIcon},
            {2005, ControlKind::Label, "green", Rect{3, 2, 10, 10}, desk::kStyleIcon},
        };
        return o;
    }();
    return t;
}

}  // namespace platix
