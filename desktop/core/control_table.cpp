// Control-bar state and the routing of its keys.
#include "control_table.h"

#include <algorithm>
#include <cctype>

namespace desk {

ControlTable::ControlTable(std::vector<Control> controls) : controls_(std::move(controls)) {}

void ControlTable::enable_all(bool on) {
    for (auto& c : controls_) c.enabled = on;
}

void ControlTable::focus_control(int index) {
    if (index < 0 || index >= size()) return;
    focus_ = index;
    last_focus_ = index;
}

int ControlTable::focus_bar() {
    int target = last_focus_;
    if (target < 0 || target >= size() || !at(target).enabled) target = next_enabled(target);
    if (target >= 0) focus_control(target);
    return target;
}

int ControlTable::next_enabled(int from) const {
    const int n = size();
    for (int step = 1; step <= n; ++step) {
        const int i = ((from + step) % n + n) % n;
        if (at(i).enabled) return i;
    }
    return -1;
}

int ControlTable::previous_enabled(int from) const {
    const int n = size();
    for (int step = 1; step <= n; ++step) {
        const int i = ((from - step) % n + n) % n;
        if (at(i).enabled) return i;
    }
    return -1;
}

int ControlTable::mnemonic_index(char letter) const {
    const int want = std::toupper(static_cast<unsigned char>(letter));
    for (int i = 0; i < size(); ++i) {
        const std::string& s = at(i).label;
        const auto amp = s.find('&');
        if (amp != std::string::npos && amp + 1 < s.size() &&
            std::toupper(static_cast<unsigned char>(s[amp + 1])) == want)
            return i;
    }
    return -1;
}

int ControlTable::set_slider(int index, int position) {
    Control& c = at(index);
    c.value = std::clamp(position, c.min, c.max);
    return c.value;
}

KeyOutcome ControlTable::key(BarKey key, bool press, char letter, int enter_target) {
    KeyOutcome out;
    const bool on_slider = focus_ >= 0 && at(focus_).kind == ControlKind::Slider;
    if (key == BarKey::Shift) {
        shift_ = press;
        return out;
    }
    if (!press) {
        // Only the release of an arrow key reaches the slider (end of a move).
        if (on_slider && (key == BarKey::Left || key == BarKey::Right || key == BarKey::Up ||
                          key == BarKey::Down)) {
            out.kind = KeyOutcome::SliderMoved;
            out.index = focus_;
        }
        return out;
    }
    switch (key) {
    case BarKey::Esc:
        out.kind = KeyOutcome::Close;
        return out;
    case BarKey::Enter:
        if (on_slider) focus_control(enter_target);
        if (focus_ >= 0 && at(focus_).enabled) {
            out.kind = KeyOutcome::Activate;
            out.index = focus_;
        }
        return out;
    case BarKey::Letter: {
        const int i = mnemonic_index(letter);
        if (i >= 0 && at(i).enabled) {
            focus_control(i);
            out.kind = KeyOutcome::Activate;
            out.index = i;
        }
        return out;
    }
    default:
        break;
    }
    const bool forward =
        (key == BarKey::Tab && !shift_) || key == BarKey::Right || key == BarKey::Down;
    if (on_slider && key != BarKey::Tab) {
        // Right and Down move the slider up a line, Left and Up down a line.
        set_slider(focus_, at(focus_).value + (forward ? 1 : -1));
        out.kind = KeyOutcome::SliderMoved;
        out.index = focus_;
        return out;
    }
    const int from = focus_ >= 0 ? focus_ : last_focus_;
    const int to = forward ? next_enabled(from) : previous_enabled(from);
    if (to >= 0) focus_control(to);
    return out;
}

}  // namespace desk
