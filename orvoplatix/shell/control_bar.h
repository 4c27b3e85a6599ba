// The control bar's logic: the eleven controls, the enabling rules, the
// button commands, the slide-show toggle, the slider and the keys routed
// from the message loop. Shared program state is read and written through
// the shell's state record.
#pragma once

#include <functional>
#include <string>

#include "control_table.h"
#include "dialog_template.h"
#include "ui_ports.h"

namespace platix {

enum Command : unsigned {
    kFiles = 1025,
    kKBase = 1026,
    kStartStop = 1027,
    kNext = 1028,
    kPrev = 1029,
    kAbout = 1030,
    kLoad = 1031,
    kDisplay = 1032,
    kAnalyse = 1033,
};

enum BarIndex {
    kBtnFiles = 0, kBtnKBase, kChkBitmap, kBtnStart, kBtnPrev, kBtnNext, kSlider,
    kTxtDelay, kTxtPosition, kTxtStatus, kBtnAbout
};

// The state the bar shares with the shell.
struct BarShared {
    int show_bitmap = 1;
    int show_delay = 3000;
    int image_count = 0;
    int current_index = 0;
    int slide_stopped = 1;
};

class ControlBar {
public:
    ControlBar(const desk::DialogTemplate& t, BarShared& shared, desk::CommandPoster& poster);

    desk::ControlTable& table() { return table_; }
    const desk::ControlTable& table() const { return table_; }
    // Called after every change of the table (the widgets follow it).
    std::function<void()> changed;
    // Called for a close request (Esc).
    std::function<void()> close_request;

    void enable_idle();
    void disable_busy();
    void press(int index);
    void slider_scrolled(int position);
    void key(desk::BarKey key, bool press, char letter = 0);
    void set_status(const std::string& text);
    void set_delay_seconds(int seconds);
    void focus_bar();
    void focus_control(int index);
    std::string text(int index) const { return table_.at(index).label; }

private:
    void notify() {
        if (changed) changed();
    }
    desk::ControlTable table_;
    BarShared& s_;
    desk::CommandPoster& poster_;
};

}  // namespace platix
