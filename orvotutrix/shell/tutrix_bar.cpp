// Enabling rules, commands and keys of the training program's control bar.
#include "tutrix_bar.h"

#include <cstdlib>

namespace tutrix {

TutrixBar::TutrixBar(const desk::DialogTemplate& t, BarState& state, desk::CommandPoster& poster)
    : table_(desk::controls_of(t)), s_(state), poster_(poster) {
    table_.at(kChkTraining).checked = s_.training;
    table_.at(kChkTraining).label = s_.training ? "&Training ON" : "&Training OFF";
    enable_idle();
    table_.pressed(kBtnFiles);
}

void TutrixBar::enable_idle() {
    const bool paged = s_.image_count > 1 || (s_.image_count == 1 && s_.n_pages > 1);
    if (s_.image_count < 1) {
        s_.n_pages = 0;
        s_.crt_page = 0;
        if (set_crt_page) set_crt_page(0);
        table_.enable_all(false);
        table_.set_enabled(kBtnFiles, true);
        table_.set_enabled(kBtnAbout, true);
    } else if (paged) {
        table_.enable_all(true);
        for (int i : {kBtnGo, kTxtCount, kTxtStatus}) table_.set_enabled(i, false);
        if (s_.result_count <= 0) {
            for (int i : {kChkTraining, kBtnKBase, kBtnObj}) table_.set_enabled(i, false);
        } else if (!s_.training) {
            table_.set_enabled(kBtnKBase, false);
        }
    } else {
        s_.crt_page = s_.n_pages < 0 ? 0 : s_.n_pages;
        if (set_crt_page) set_crt_page(s_.crt_page);
        table_.enable_all(false);
        table_.set_enabled(kBtnFiles, true);
        table_.set_enabled(kBtnAbout, true);
        if (s_.n_pages == 1)
            for (int i : {kBtnRr, kBtnLr, kBtnUd, kBtnSeg}) table_.set_enabled(i, true);
        if (s_.result_count > 0) {
            table_.set_enabled(kChkTraining, true);
            table_.set_enabled(kBtnObj, true);
            if (s_.training) table_.set_enabled(kBtnKBase, true);
        }
    }
    table_.set_enabled(kLblSlash, false);
    if (s_.busy) table_.enable_all(false);
    const bool files = s_.image_count > 1;
    table_.at(kEdtNumber).label = std::to_string(files ? s_.current_index : s_.crt_page);
    table_.at(kTxtCount).label = std::to_string(files ? s_.image_count : s_.n_pages);
    notify();
}

void TutrixBar::disable_busy() {
    table_.enable_all(false);
    notify();
}

void TutrixBar::number_typed(const std::string& text) {
    table_.at(kEdtNumber).label = text;
    const int n = std::atoi(text.c_str());
    bool on;
    if (s_.image_count > 1) on = n != s_.current_index && n >= 1 && n <= s_.image_count;
    else on = n != s_.crt_page && n >= 1 && n <= s_.n_pages;
    table_.set_enabled(kBtnGo, on && !s_.busy);
    notify();
}

void TutrixBar::press(int index) {
    if (index < 0 || index >= kBarControls || !table_.at(index).enabled) return;
    table_.pressed(index);
    switch (index) {
    case kBtnFiles: poster_.post(kFiles); break;
    case kBtnRr: poster_.post(kRotate270); break;
    case kBtnLr: poster_.post(kRotate90); break;
    case kBtnUd: poster_.post(kRotate180); break;
    case kBtnPrev: poster_.post(kPrev); break;
    case kBtnNext: poster_.post(kNext); break;
    case kBtnGo: poster_.post(kGo, std::atoi(table_.at(kEdtNumber).label.c_str())); break;
    case kBtnSeg: poster_.post(kAnalyse); break;
    case kBtnKBase: poster_.post(kKBase); break;
    case kBtnObj: poster_.post(kNextField); break;
    case kBtnAbout: poster_.post(kAbout); break;
    case kChkTraining:
        s_.training = !s_.training;
        table_.at(kChkTraining).checked = s_.training;
        table_.at(kChkTraining).label = s_.training ? "&Training ON" : "&Training OFF";
        table_.set_enabled(kBtnKBase, s_.training);
        break;
    default: break;
    }
    notify();
}

bool TutrixBar::key(desk::BarKey k, bool press_, char letter) {
    const bool arrow = k == desk::BarKey::Left || k == desk::BarKey::Right || k == desk::BarKey::Up ||
                       k == desk::BarKey::Down;
    if (arrow && table_.focus() == kEdtNumber) return false;
    if (press_ && k == desk::BarKey::Enter && table_.focus() == kEdtNumber) {
        if (table_.at(kBtnGo).enabled) {
            table_.focus_control(kBtnGo);
            press(kBtnGo);
        }
        return true;
    }
    // Up moves on like Right, Down back like Left.
    if (k == desk::BarKey::Up) k = desk::BarKey::Right;
    else if (k == desk::BarKey::Down) k = desk::BarKey::Left;
    const desk::KeyOutcome o = table_.key(k, press_, letter, kBtnSeg);
    switch (o.kind) {
    case desk::KeyOutcome::Activate: press(o.index); break;
    case desk::KeyOutcome::Close:
        if (close_request) close_request();
        break;
    default: notify(); break;
    }
    return true;
}

void TutrixBar::set_status(const std::string& text) {
    table_.at(kTxtStatus).label = text;
    notify();
}

void TutrixBar::focus_bar() {
    table_.focus_bar();
    notify();
}

void TutrixBar::focus_control(int index) {
    table_.focus_control(index);
    notify();
}

}  // namespace tutrix
