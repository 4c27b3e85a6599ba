// States, walk, edit frame and actions of the training dialog.
#include "training_dialog.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "orvosys.h"
#include "path_helpers.h"

namespace learner {

namespace {

bool contains(const Box& b, int x, int y) { return b.left <= x && x < b.right && b.top <= y && y < b.bottom; }

}  // namespace

TrainingDialog::TrainingDialog(ocr_io& io, SessionLibs& libs, seg_result* current, const std::string& kb_path,
                               TrainingView& view, desk::CommandPoster& poster)
    : io_(io), libs_(libs), current_(current), view_(view), poster_(poster) {
    const char* name = pathutil::path_file_name(kb_path.c_str());
    title_ = std::string("Create/update knowledge base - ") + (name ? name : "");
}

void TrainingDialog::load_field(seg_result* r) {
    current_ = r;
    io_.image_bits = r->bitmap;
    io_.columns = r->columns;
    io_.rows = r->lines;
    io_.bytes_per_row = r->bpl;
    field_ = Box{0, 0, r->columns, r->lines};
}

int TrainingDialog::recognize_whole() {
    io_.left = field_.left;
    io_.top = field_.top;
    io_.right = field_.right;
    io_.bottom = field_.bottom;
    io_.kb_mode = 0;
    std::memset(io_.template_, 0, sizeof io_.template_);
    return libs_.recognize();
}

void TrainingDialog::rebuild_chars() {
    chars_.clear();
    const int boxes = std::clamp(io_.box_count, 0, 2048);
    const std::size_t raw_len = strnlen(io_.raw_text, sizeof io_.raw_text);
    for (std::size_t i = 0; i < raw_len && i + 1 < sizeof io_.raw_text; i += 2) {
        const char a = io_.raw_text[i];
        if (a == '\0') break;
        const char b = io_.raw_text[i + 1];
        if (a == ' ' && (b == '_' || b == '\0')) continue;  // a blank slot
        if (static_cast<int>(chars_.size()) >= boxes) break;
        CharEntry e;
        const int* bx = io_.boxes[chars_.size()];
        e.box = Box{bx[0], bx[1], bx[2], bx[3]};
        e.cls = std::string(1, a);
        if (b != '_' && b != '\0') e.cls += b;
        chars_.push_back(e);
    }
}

void TrainingDialog::refresh_contents() {
    std::memset(contents_, 0, sizeof contents_);
    contents_bytes_ = std::clamp(libs_.base_contents(contents_), 0, static_cast<int>(sizeof contents_));
}

void TrainingDialog::open(int view_width) {
    view_width_ = view_width;
    seg_result* c = current_;
    // No field chosen yet: the session starts on the first one.
    if (c == nullptr && libs_.results_number() > 0) libs_.get_result(1, &c);
    if (c != nullptr) {
        load_field(c);
        recognize_whole();
    }
    rebuild_chars();
    refresh_contents();
    scroll_max_ = std::max(field_.left, field_.right - view_width_ + 2);
    scroll_ = field_.left;
    state_ = kViewOnly;
    view_only_checked_ = true;
    if (!chars_.empty()) {
        result_ready_ = true;
        poster_.post(kAnalysisStep);
    }
    notify();
}

void TrainingDialog::command(unsigned c, std::intptr_t param) {
    if (ended_) return;
    if (c == kAnalysisStep) analysis_step();
    if (c == kClassDialogEnded) class_dialog_ended(static_cast<int>(param));
}

void TrainingDialog::analysis_step() {
    if (walk_pos_ == 0) {
        if (!result_ready_ && current_) recognize_whole();
        result_ready_ = false;
        rebuild_chars();
    }
    if (state_ == kViewOnly) {
        notify();
        return;
    }
    const int n = static_cast<int>(chars_.size());
    for (int i = std::max(walk_pos_, skip_mark_); i < n; ++i) {
        if (chars_[i].cls != "^") continue;
        state_ = kWalking;
        walk_pos_ = i;
        notify();
        const Box& b = chars_[i].box;
        click(b.left + 1, (b.top + b.bottom) / 2);
        return;
    }
    walk_pos_ = 0;
    state_ = back_state_;
    notify();
}

bool TrainingDialog::gap_at(int column) const {
    const int need = io_.gap_tolerant ? 4 : io_.wide_gaps ? 2 : 1;
    if (column >= field_.right) return true;
    for (int c = column; c < column + need && c < field_.right; ++c)
        if (!libs_.col_empty(c, field_.top, field_.bottom)) return false;
    return true;
}

bool TrainingDialog::click(int x, int y) {
    const int n = static_cast<int>(chars_.size());
    int hit = -1;
    for (int i = 0; i < n; ++i) {
        if (!contains(chars_[i].box, x, y)) continue;
        if (i + 1 < n && contains(chars_[i + 1].box, x, y)) break;
        hit = i;
        break;
    }
    if (hit < 0) {
        osys_beep();
        state_ = back_state_;
        notify();
        return false;
    }
    from_tag_ = state_ == kTagging;
    instance_ = hit;
    read_box_ = chars_[hit].box;
    frame_ = read_box_;
    prior_ = read_box_;
    limit_ = read_box_.right;
    int i = hit;
    while (i + 1 < n && chars_[i + 1].box.left == chars_[i].box.right && !gap_at(limit_)) {
        ++i;
        const Box& b = chars_[i].box;
        limit_ = b.right;
        frame_.top = std::min({frame_.top, b.top, field_.top + 1});
        frame_.bottom = std::max({frame_.bottom, b.bottom, field_.bottom - 1});
    }
    if (i + 1 >= n || chars_[i + 1].box.left > chars_[i].box.right)
        while (limit_ < field_.right && !gap_at(limit_)) ++limit_;
    state_ = from_tag_ ? kTagInstance : kWalkInstance;
    confirm_enabled_ = false;
    class_.clear();
    scroll_frame_visible();
    frame_shown_ = true;
    notify();
    osys_beep();
    state_ = kEditing;
    notify();
    view_.open_class_dialog();
    return true;
}

void TrainingDialog::scroll_frame_visible() {
    int pos = scroll_;
    if (frame_.right + 5 > pos + view_width_) pos = frame_.right + 5 - view_width_;
    if (frame_.left - 5 < pos) pos = frame_.left - 5;
    scroll_to(pos);
}

void TrainingDialog::scroll_to(int position) { scroll_ = std::clamp(position, field_.left, scroll_max_); }

Box TrainingDialog::drawn_frame() {
    int l = frame_.left, t = frame_.top, w = frame_.right - frame_.left, h = frame_.bottom - frame_.top;
    if (w * h < 9) return frame_;
    libs_.adjust_frame(&l, &t, &w, &h);
    if (w <= 0 || h <= 0) return frame_;
    return Box{l, t, l + w, t + h};
}

void TrainingDialog::class_dialog_ended(int result) {
    if (!instance_state()) return;
    if (result == 1) {
        state_ = from_tag_ ? kTagInstance : kWalkInstance;
        confirm_enabled_ = true;
        notify();
    } else if (result == 0) {
        skip();
    } else {
        leave_instance(kViewOnly);
        view_only_checked_ = true;
        notify();
    }
}

void TrainingDialog::leave_instance(State to) {
    view_.close_class_dialog();
    frame_shown_ = false;
    dragging_ = false;
    confirm_enabled_ = false;
    state_ = to;
}

void TrainingDialog::move_edge(int delta) {
    if (!instance_state()) return;
    const int r = frame_.right + delta;
    if (r <= frame_.left || r > limit_) {
        osys_beep();
        return;
    }
    frame_.right = r;
    notify();
}

desk::CursorKind TrainingDialog::cursor_at(int x, int y) const {
    if ((state_ == kWalkInstance || state_ == kTagInstance || state_ == kEditing) && frame_shown_ &&
        std::abs(x - frame_.right) <= 2 && frame_.top <= y && y <= frame_.bottom)
        return desk::CursorKind::SizeHorizontal;
    if (state_ == kTagging) return desk::CursorKind::Target;
    return desk::CursorKind::Arrow;
}

void TrainingDialog::mouse_press(int x, int y) {
    if (cursor_at(x, y) == desk::CursorKind::SizeHorizontal) {
        dragging_ = true;
        return;
    }
    if (state_ == kTagging) {
        back_state_ = kTagging;
        click(x, y);
    }
}

void TrainingDialog::mouse_drag(int x) {
    if (!dragging_ || !instance_state()) return;
    frame_.right = std::clamp(x, frame_.left + 1, limit_);
    notify();
}

void TrainingDialog::confirm() {
    if ((state_ != kWalkInstance && state_ != kTagInstance) || !confirm_enabled_) return;
    if (instance_ < 0 || instance_ >= static_cast<int>(chars_.size())) return;
    std::string shown = chars_[static_cast<std::size_t>(instance_)].cls;
    if (frame_.right > read_box_.right) {
        prior_ = Box{read_box_.left, frame_.top, limit_, frame_.bottom};
        shown = "^";
    }
    state_ = from_tag_ ? kConfigTag : kConfigWalk;
    view_.close_class_dialog();
    notify();
    io_.left = frame_.left;
    io_.top = frame_.top;
    io_.right = frame_.right;
    io_.bottom = frame_.bottom;
    io_.prior_frame[0] = prior_.left;
    io_.prior_frame[1] = prior_.top;
    io_.prior_frame[2] = prior_.right;
    io_.prior_frame[3] = prior_.bottom;
    std::memset(io_.shown_class, 0, sizeof io_.shown_class);
    if (from_tag_ && shown != "^") std::snprintf(io_.shown_class, sizeof io_.shown_class, "%s", shown.c_str());
    std::memset(io_.taught_class, 0, sizeof io_.taught_class);
    std::snprintf(io_.taught_class, sizeof io_.taught_class, "%s", class_.c);
    if (libs_.learn()) changed_ = true;
    refresh_contents();
    skip_mark_ = from_tag_ ? INT_MAX : instance_;
    back_state_ = from_tag_ ? kTagging : kObserving;
    frame_shown_ = false;
    confirm_enabled_ = false;
    walk_pos_ = 0;
    state_ = kWalking;
    notify();
    poster_.post(kAnalysisStep);
}

void TrainingDialog::skip() {
    if (!instance_state()) return;
    const bool tagged = from_tag_;
    leave_instance(tagged ? kTagging : kWalking);
    if (!tagged) {
        walk_pos_ = instance_ + 1;
        poster_.post(kAnalysisStep);
    }
    notify();
}

void TrainingDialog::step_frame(int direction) {
    if (state_ == kWalking || state_ == kConfigWalk || state_ == kConfigTag || !current_) return;
    if (state_ == kTagging || instance_state()) leave_instance(view_only_checked_ ? kViewOnly : kObserving);
    status_override_ = "Image frame segmentation. Please wait...";
    notify();
    seg_result* c = current_;
    for (;;) {
        seg_result* before = c;
        const int more = libs_.get_result(direction, &c);
        if (c == nullptr || c == before) break;
        load_field(c);
        if (recognize_whole() > 0 || !more) break;
    }
    status_override_.clear();
    scroll_max_ = std::max(field_.left, field_.right - view_width_ + 2);
    scroll_ = field_.left;
    walk_pos_ = 0;
    skip_mark_ = 0;
    result_ready_ = true;
    back_state_ = kObserving;
    if (state_ != kViewOnly) state_ = kWalking;
    notify();
    poster_.post(kAnalysisStep);
}

void TrainingDialog::unlearn() {
    if (state_ != kObserving && state_ != kViewOnly && state_ != kTagging) return;
    UnlearnList list(contents_, contents_bytes_);
    if (view_.run_unlearn(list) != 1) return;
    changed_ = true;
    refresh_contents();
    walk_pos_ = 0;
    notify();
    poster_.post(kAnalysisStep);
}

void TrainingDialog::toggle_tagging() {
    if (state_ == kTagging) {
        state_ = kObserving;
        back_state_ = kObserving;
    } else if (state_ == kObserving && class_count() > 0) {
        state_ = kTagging;
        back_state_ = kTagging;
    }
    notify();
}

void TrainingDialog::set_view_only(bool on) {
    if (state_ == kWalking || state_ == kConfigWalk || state_ == kConfigTag) return;
    view_only_checked_ = on;
    if (on) {
        if (instance_state()) leave_instance(kViewOnly);
        state_ = kViewOnly;
    } else if (state_ == kViewOnly) {
        state_ = kObserving;
        back_state_ = kObserving;
        walk_pos_ = 0;
        result_ready_ = true;
        poster_.post(kAnalysisStep);
    }
    notify();
}

void TrainingDialog::done() { end(changed_ ? 1 : 0); }

void TrainingDialog::cancel() {
    if (changed_) {
        osys_beep();
        if (osys_message_box("Changes have been made. Do you wish to keep them?", "Warning",
                             OSYS_MB_YESNO | OSYS_MB_ICONWARNING) != OSYS_IDYES)
            changed_ = false;
    }
    end(changed_ ? 1 : 0);
}

void TrainingDialog::end(int result) {
    view_.close_class_dialog();
    ended_ = true;
    result_ = result;
    view_.end_dialog(result);
}

namespace {
constexpr const char* kObserveText =
    " Observe the recognized text, correct confusions if any, and/or get another image frame ";
constexpr const char* kWalkText =
    " Analyzing current image frame. Please wait... ";
constexpr const char* kTagText =
    " Click in the image frame over the observed confusions and correct them, if any... ";
constexpr const char* kConfigText =
    " (Re)configuring knowledge base. Please wait... ";
constexpr const char* kEditText =
    " Use arrows or drag the framing box right side to adjust it if necessary, and edit/select class name ";
constexpr const char* kViewOneText =
    " Unselect the upper right check box to allow learning ";
constexpr const char* kViewManyText =
    " Navigate through image frame by frame or unselect the upper right check box to allow learning ";

std::string instance_text(const std::string& cls) {
    return " << Instance class:  \" " + cls + " \" >>   -   Must use [Confirm instance] or [Skip instance] to validate ";
}
}  // namespace

std::vector<std::string> TrainingDialog::status_texts() {
    return {kObserveText, kWalkText, kTagText, instance_text("W"), instance_text("WW"), kConfigText, kEditText,
            kViewOneText, kViewManyText};
}

std::string TrainingDialog::status_text() const {
    if (!status_override_.empty()) return status_override_;
    switch (state_) {
    case kObserving:
        return kObserveText;
    case kWalking: return kWalkText;
    case kTagging: return kTagText;
    case kWalkInstance:
    case kTagInstance: {
        const std::string cls =
            !class_.empty() ? class_.str()
                            : (instance_ >= 0 && instance_ < static_cast<int>(chars_.size()) ? chars_[instance_].cls : "^");
        return instance_text(cls);
    }
    case kConfigWalk:
    case kConfigTag: return kConfigText;
    case kEditing:
        return kEditText;
    case kViewOnly:
        return libs_.results_number() < 2
                   ? kViewOneText
                   : kViewManyText;
    }
    return std::string();
}

Enabling TrainingDialog::enabling() const {
    Enabling e;
    switch (state_) {
    case kObserving:
        e.prev = e.next = e.done = e.cancel = e.view_only_box = true;
        e.tag = e.unlearn = class_count() > 0;
        break;
    case kTagging:
        e.prev = e.next = e.done = e.cancel = e.view_only_box = e.tag = true;
        e.unlearn = class_count() > 0;
        break;
    case kWalkInstance:
    case kTagInstance:
    case kEditing:
        e.skip = true;
        e.confirm = confirm_enabled_ && state_ != kEditing;
        e.view_only_box = true;
        break;
    case kViewOnly:
        e.prev = e.next = e.done = e.cancel = e.view_only_box = true;
        e.unlearn = class_count() > 0;
        break;
    case kWalking:
    case kConfigWalk:
    case kConfigTag: break;
    }
    return e;
}

std::string TrainingDialog::visible_text() const {
    const std::string text = io_.text;
    int k = 0;
    const int n = static_cast<int>(chars_.size());
    while (k < n && chars_[k].box.right <= scroll_) ++k;
    if (k == 0 || k >= n) return k >= n && n > 0 ? std::string() : text;
    // Position of the k-th non-blank character of the text.
    std::size_t pos = 0;
    for (int seen = 0; pos < text.size(); ++pos) {
        if (text[pos] == ' ') continue;
        if (seen == k) break;
        ++seen;
    }
    std::size_t start = pos;
    for (int b = 0; b < 2 && start > 0 && text[start - 1] == ' '; ++b) --start;
    return text.substr(start);
}

}  // namespace learner
