// Enabling rules, commands and keys of the control bar.
#include "control_bar.h"

#include <cstdio>

namespace platix {

ControlBar::ControlBar(const desk::DialogTemplate& t, BarShared& shared, desk::CommandPoster& poster)
    : table_(desk::controls_of(t)), s_(shared), poster_(poster) {
    table_.at(kChkBitmap).checked = s_.show_bitmap != 0;
    table_.at(kSlider).min = 1;
    table_.at(kSlider).max = 7;
    table_.set_slider(kSlider, 9 - s_.show_delay / 1000);
    enable_idle();
    table_.pressed(kBtnFiles);
}

void ControlBar::enable_idle() {
    if (s_.image_count > 1) {
        table_.enable_all(true);
        for (int i : {kTxtDelay, kTxtPosition, kTxtStatus}) table_.set_enabled(i, false);
        if (!s_.slide_stopped)
            for (int i : {kBtnFiles, kBtnKBase, kBtnPrev, kBtnNext}) table_.set_enabled(i, false);
    } else {
        if (s_.image_count < 0) s_.image_count = 0;
        s_.current_index = s_.image_count;
        table_.enable_all(false);
        for (int i : {kBtnFiles, kBtnKBase, kChkBitmap, kBtnAbout}) table_.set_enabled(i, true);
        if (s_.image_count == 1) table_.set_enabled(kBtnStart, true);
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%ds.", s_.show_delay / 1000);
    table_.at(kTxtDelay).label = buf;
    std::snprintf(buf, sizeof buf, "#%d/%d", s_.current_index, s_.image_count);
    table_.at(kTxtPosition).label = buf;
    notify();
}

void ControlBar::disable_busy() {
    table_.enable_all(false);
    if (!s_.slide_stopped && s_.image_count > 1) table_.set_enabled(kBtnStart, true);
    notify();
}

void ControlBar::press(int index) {
    if (index < 0 || index >= table_.size() || !table_.at(index).enabled) return;
    table_.pressed(index);
    switch (index) {
    case kBtnFiles: poster_.post(kFiles); break;
    case kBtnKBase: poster_.post(kKBase); break;
    case kBtnPrev: poster_.post(kPrev); break;
    case kBtnNext: poster_.post(kNext); break;
    case kBtnAbout: poster_.post(kAbout); break;
    case kChkBitmap:
        s_.show_bitmap = !s_.show_bitmap;
        table_.at(kChkBitmap).checked = s_.show_bitmap != 0;
        break;
    case kBtnStart:
        if (s_.slide_stopped) {
            if (s_.image_count > 1) {
                table_.at(kBtnStart).label = "&Stop ||";
                s_.slide_stopped = 0;
            }
        } else {
            table_.at(kBtnStart).label = "&Start >>";
            s_.slide_stopped = 1;
        }
        poster_.post(kStartStop);
        break;
    default: break;
    }
    notify();
}

void ControlBar::slider_scrolled(int position) {
    const int pos = table_.set_slider(kSlider, position);
    s_.show_delay = 9000 - pos * 1000;
    set_delay_seconds(s_.show_delay / 1000);
}

void ControlBar::key(desk::BarKey k, bool press_, char letter) {
    const desk::KeyOutcome o = table_.key(k, press_, letter, kBtnStart);
    switch (o.kind) {
    case desk::KeyOutcome::Activate: press(o.index); break;
    case desk::KeyOutcome::Close:
        if (close_request) close_request();
        break;
    case desk::KeyOutcome::SliderMoved: slider_scrolled(table_.at(kSlider).value); break;
    case desk::KeyOutcome::Nothing: notify(); break;
    }
}

void ControlBar::set_status(const std::string& text) {
    table_.at(kTxtStatus).label = text;
    notify();
}

void ControlBar::set_delay_seconds(int seconds) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%ds.", seconds);
    table_.at(kTxtDelay).label = buf;
    notify();
}

void ControlBar::focus_bar() {
    table_.focus_bar();
    notify();
}

void ControlBar::focus_control(int index) {
    table_.focus_control(index);
    notify();
}

}  // namespace platix
