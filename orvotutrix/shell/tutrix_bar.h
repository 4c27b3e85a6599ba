// The training program's control bar: its fifteen controls, the enabling
// rules for no file, several files or pages and a single page, the numbers
// of fields 7 and 8, the Go enabling as field 7 is typed in, the training
// toggle and the keys routed from the message loop.
#pragma once

#include <functional>
#include <string>

#include "control_table.h"
#include "dialog_template.h"
#include "ui_ports.h"

namespace tutrix {

enum Command : unsigned {
    kFiles = 1025,
    kRotate270 = 1026,
    kRotate90 = 1027,
    kRotate180 = 1028,
    kNext = 1029,
    kPrev = 1030,
    kGo = 1031,
    kLoad = 1032,
    kRotate = 1033,
    kAnalyse = 1034,
    kDisplay = 1035,
    kTraining = 1036,
    kKBase = 1037,
    kNextField = 1038,
    kAbout = 1039,
};

enum BarIndex {
    kBtnFiles = 0, kBtnRr, kBtnLr, kBtnUd, kBtnPrev, kBtnNext, kBtnGo, kEdtNumber, kTxtCount,
    kBtnSeg, kTxtStatus, kChkTraining, kBtnKBase, kBtnObj, kBtnAbout, kLblSlash
};
inline constexpr int kBarControls = 15;

// The program state the bar reads and writes.
struct BarState {
    int image_count = 0;
    int current_index = 0;
    int n_pages = 0;
    int crt_page = 0;
    int result_count = 0;
    bool training = true;
    bool busy = false;
};

class TutrixBar {
public:
    TutrixBar(const desk::DialogTemplate& t, BarState& state, desk::CommandPoster& poster);

    desk::ControlTable& table() { return table_; }
    const desk::ControlTable& table() const { return table_; }
    std::function<void()> changed;
    std::function<void()> close_request;
    // The single-page rule writes the page cursor back: crt_page = n_pages.
    std::function<void(int)> set_crt_page;

    // Applies the enabling rules and writes fields 7 and 8.
    void enable_idle();
    void disable_busy();
    void press(int index);
    // Field 7 was edited: Go follows the typed number.
    void number_typed(const std::string& text);
    // Handles a key the message loop routed to the bar. Returns false when
    // the key belongs to field 7 instead: the arrow keys while it has the
    // focus move its caret, so the window delivers them to the edit box.
    bool key(desk::BarKey key, bool press, char letter = 0);
    void set_status(const std::string& text);
    void focus_bar();
    void focus_control(int index);
    std::string text(int index) const { return table_.at(index).label; }
    bool enabled(int index) const { return table_.at(index).enabled; }

private:
    void notify() {
        if (changed) changed();
    }
    desk::ControlTable table_;
    BarState& s_;
    desk::CommandPoster& poster_;
};

}  // namespace tutrix
