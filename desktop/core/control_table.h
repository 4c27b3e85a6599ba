// The controls of a button bar as plain state: kind, label, enabling,
// check mark, slider position and the keyboard focus, with the routing of
// the navigation and shortcut keys. The widgets mirror this state; the
// program decides what a control's command does.
#pragma once

#include <string>
#include <vector>

namespace desk {

enum class ControlKind { PushButton, CheckBox, Slider, Text, Edit, Label };

struct Control {
    int id = 0;
    ControlKind kind = ControlKind::PushButton;
    std::string label;  // with its '&' mnemonic
    bool enabled = true;
    bool checked = false;
    int value = 0;  // slider position
    int min = 0;
    int max = 0;
};

// Keys the message loop routes to a bar wherever the focus is.
enum class BarKey { Shift, Enter, Esc, Tab, Left, Right, Up, Down, Letter };

// What a routed key asks of the program.
struct KeyOutcome {
    enum Kind { Nothing, Activate, Close, SliderMoved } kind = Nothing;
    int index = -1;  // the control to activate, or the slider
};

class ControlTable {
public:
    explicit ControlTable(std::vector<Control> controls);

    int size() const { return static_cast<int>(controls_.size()); }
    Control& at(int index) { return controls_.at(static_cast<std::size_t>(index)); }
    const Control& at(int index) const { return controls_.at(static_cast<std::size_t>(index)); }

    void enable_all(bool on);
    void set_enabled(int index, bool on) { at(index).enabled = on; }

    // The control with the focus (-1: none of the bar's controls).
    int focus() const { return focus_; }
    // The control that had the focus last.
    int last_focus() const { return last_focus_; }
    // Puts the focus on a control and remembers it.
    void focus_control(int index);
    // The bar itself receives the focus: it goes to the control that had it
    // last, or when that one is disabled to the next enabled one. Returns
    // the control focused (-1 when every control is disabled).
    int focus_bar();
    // Records a pressed control as the one that had the focus last.
    void pressed(int index) { focus_control(index); }

    // Next or previous enabled control after `from`, wrapping around the
    // table; -1 when none is enabled.
    int next_enabled(int from) const;
    int previous_enabled(int from) const;

    // The control whose label carries the mnemonic letter (case-blind), or -1.
    int mnemonic_index(char letter) const;

    // Sets the slider position, clamped to its range; returns the position.
    int set_slider(int index, int position);

    // Handles a routed key press (or release when `press` is false).
    // `enter_target` is the control that Enter activates when the slider
    // has the focus.
    KeyOutcome key(BarKey key, bool press, char letter, int enter_target);

    bool shift_pressed() const { return shift_; }

private:
    std::vector<Control> controls_;
    int focus_ = -1;
    int last_focus_ = 0;
    bool shift_ = false;
};

}  // namespace desk
