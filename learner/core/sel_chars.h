// The class dialog "Edit character(s)": its two-character edit box, the
// enabling of "&Ok", and the keys of the edit box and of its four buttons.
#pragma once

#include <string>

#include "class_buffer.h"

namespace learner {

// The dialog's results, posted to the training dialog.
enum SelCharsResult { kSelJumpOver = 0, kSelOk = 1, kSelSuspend = 2 };

class SelChars {
public:
    enum Focus { kEdit = 0, kOk, kJump, kTable, kSuspend };
    enum class Key { Enter, Space, Escape, Tab, ShiftTab, Left, Right, Up, Down, Letter };
    // What a key asks for.
    enum class Action { None, Ok, JumpOver, Table, Suspend, EdgeLeft, EdgeRight, Beep };

    // Opening clears the class buffer.
    explicit SelChars(ClassBuffer& buffer);

    void set_text(const std::string& text);  // at most 2 characters are kept
    const std::string& text() const { return text_; }
    bool ok_enabled() const { return !text_.empty(); }
    Focus focus() const { return focus_; }
    void set_focus(Focus f) { focus_ = f; }

    // "&Ok": the text goes to the buffer; true (end with 1) when not empty.
    bool ok();
    // "Characters &table", before the table opens: the text goes to the buffer.
    void table_opening();
    // After the table's "&Done": the chosen characters are typed into the
    // cleared edit box, which gets the focus.
    void table_done(const std::string& chosen);

    // A key press in the focused control (Enter in the edit box acts on
    // release: pass it here then).
    Action key(Key k, char letter = 0);

private:
    Action press(Focus f);
    ClassBuffer& buffer_;
    std::string text_;
    Focus focus_ = kEdit;
};

}  // namespace learner
