// The training dialog's logic: the field shown and its characters as read,
// the nine dialog states with their status texts and button enabling, the
// walk over unreadable characters, clicks and the joining of characters
// into an edit frame with its limit, the frame's right edge, confirming,
// skipping, tagging, unlearning, frame navigation, scrolling and the end.
// The widgets show this state and forward the user's actions; the class
// and unlearn dialogs are reached through TrainingView.
#pragma once

#include <string>
#include <vector>

#include "class_buffer.h"
#include "session_libs.h"
#include "ui_ports.h"
#include "unlearn_list.h"

namespace learner {

enum State : int {
    kObserving = 0,
    kWalking = 1,
    kTagging = 2,
    kWalkInstance = 3,
    kTagInstance = 4,
    kConfigWalk = 5,
    kConfigTag = 6,
    kEditing = 7,
    kViewOnly = 8,
};

// Commands the dialog posts to itself.
enum DialogCommand : unsigned {
    kAnalysisStep = 1,
    kClassDialogEnded = 2,  // param: the class dialog's result
};

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    bool operator==(const Box&) const = default;
};

struct CharEntry {
    Box box;
    std::string cls;  // one or two characters
};

// What the buttons and the check box allow.
struct Enabling {
    bool prev = false, next = false, unlearn = false, tag = false, confirm = false, skip = false;
    bool done = false, cancel = false, view_only_box = false;
};

// The windows of the training dialog.
class TrainingView {
public:
    virtual ~TrainingView() = default;
    // Something shown changed: state, texts, frame, scroll, buttons.
    virtual void changed() = 0;
    virtual void open_class_dialog() = 0;
    virtual void close_class_dialog() = 0;
    // Runs the unlearn dialog modally over the list; 1 = OK, 0 = cancelled.
    virtual int run_unlearn(UnlearnList& list) = 0;
    // Ends the modal dialog with this result.
    virtual void end_dialog(int result) = 0;
};

inline constexpr const char* kTagLabel = "&Tag confusion(s)";
inline constexpr const char* kStopTagLabel = "S&top tagging";

class TrainingDialog {
public:
    TrainingDialog(ocr_io& io, SessionLibs& libs, seg_result* current, const std::string& kb_path,
                   TrainingView& view, desk::CommandPoster& poster);

    // Reads the field, sets the title and the scroll range, starts in view
    // only; posts the analysis step when characters were read.
    void open(int view_width);
    void command(unsigned command, std::intptr_t param);

    // User actions.
    void confirm();
    void skip();
    void previous_frame() { step_frame(0); }
    void next_frame() { step_frame(1); }
    void unlearn();
    void toggle_tagging();
    void set_view_only(bool on);
    void done();
    void cancel();  // also the window's close request
    // Mouse over the image frame, in field coordinates.
    desk::CursorKind cursor_at(int x, int y) const;
    void mouse_press(int x, int y);
    void mouse_drag(int x);
    void mouse_release() { dragging_ = false; }
    // Left/Right in the class dialog's edit box.
    void move_edge(int delta);
    // Scroll bar: line and page steps, thumb position.
    void scroll_line(int steps) { scroll_to(scroll_ + 5 * steps); }
    void scroll_page(int steps) { scroll_to(scroll_ + 50 * steps); }
    void scroll_to(int position);

    // What is shown.
    State state() const { return state_; }
    std::string status_text() const;
    // Every status text a dialog can show (instance texts with the widest
    // one- and two-character classes), for sizing the status line.
    static std::vector<std::string> status_texts();
    Enabling enabling() const;
    std::string tag_label() const { return state_ == kTagging ? kStopTagLabel : kTagLabel; }
    bool view_only_checked() const { return view_only_checked_; }
    const std::string& title() const { return title_; }
    const std::vector<CharEntry>& chars() const { return chars_; }
    std::string recognized_text() const { return io_.text; }
    // The text from the first character visible at the scroll position,
    // with up to two blanks before it.
    std::string visible_text() const;
    bool frame_shown() const { return frame_shown_; }
    const Box& frame() const { return frame_; }
    // The frame as drawn: tightened to the character's ink.
    Box drawn_frame();
    const Box& prior_frame() const { return prior_; }
    int limit() const { return limit_; }
    int scroll() const { return scroll_; }
    int scroll_min() const { return field_.left; }
    int scroll_max() const { return scroll_max_; }
    const Box& field() const { return field_; }
    seg_result* current() const { return current_; }
    bool changes_made() const { return changed_; }
    int walk_position() const { return walk_pos_; }
    int class_count() const { return contents_bytes_ / 2; }
    ClassBuffer& class_buffer() { return class_; }
    int result() const { return result_; }
    bool ended() const { return ended_; }

private:
    void analysis_step();
    void class_dialog_ended(int result);
    void load_field(seg_result* r);
    int recognize_whole();
    void rebuild_chars();
    void refresh_contents();
    bool click(int x, int y);
    bool gap_at(int column) const;
    void scroll_frame_visible();
    void step_frame(int direction);
    void leave_instance(State to);
    void end(int result);
    bool instance_state() const { return state_ == kWalkInstance || state_ == kTagInstance || state_ == kEditing; }
    void notify() { view_.changed(); }

    ocr_io& io_;
    SessionLibs& libs_;
    seg_result* current_;
    TrainingView& view_;
    desk::CommandPoster& poster_;
    std::string title_;
    Box field_;
    std::vector<CharEntry> chars_;
    State state_ = kViewOnly;
    State back_state_ = kObserving;  // where a walk or a failed click returns
    bool view_only_checked_ = true;
    bool result_ready_ = false;  // the field's reading is already in the record
    int walk_pos_ = 0;
    int skip_mark_ = 0;
    int instance_ = -1;  // character of the instance being taught
    bool from_tag_ = false;
    bool confirm_enabled_ = false;
    bool frame_shown_ = false;
    bool dragging_ = false;
    Box frame_, prior_, read_box_;
    int limit_ = 0;
    ClassBuffer class_;
    bool changed_ = false;
    int view_width_ = 0;
    int scroll_ = 0;
    int scroll_max_ = 0;
    char contents_[512] = {};
    int contents_bytes_ = 0;
    std::string status_override_;
    bool ended_ = false;
    int result_ = 0;
};

}  // namespace learner
