// Edit box, buttons and keys of the class dialog.
#include "sel_chars.h"

#include <cctype>

namespace learner {

SelChars::SelChars(ClassBuffer& buffer) : buffer_(buffer) { buffer_.clear(); }

void SelChars::set_text(const std::string& text) { text_ = text.substr(0, 2); }

bool SelChars::ok() {
    buffer_.set(text_);
    return !buffer_.empty();
}

void SelChars::table_opening() { buffer_.set(text_); }

void SelChars::table_done(const std::string& chosen) {
    text_.clear();
    for (char c : chosen) set_text(text_ + c);
    focus_ = kEdit;
}

SelChars::Action SelChars::press(Focus f) {
    switch (f) {
    case kOk: return ok_enabled() ? Action::Ok : Action::None;
    case kJump: return Action::JumpOver;
    case kTable: return Action::Table;
    case kSuspend: return Action::Suspend;
    case kEdit: break;
    }
    return Action::None;
}

SelChars::Action SelChars::key(Key k, char letter) {
    if (focus_ == kEdit) {
        switch (k) {
        case Key::Enter: return ok_enabled() ? Action::Ok : Action::None;
        case Key::Escape: return Action::JumpOver;
        case Key::Tab: focus_ = ok_enabled() ? kOk : kJump; return Action::None;
        case Key::ShiftTab: focus_ = kSuspend; return Action::None;
        case Key::Left: return Action::EdgeLeft;
        case Key::Right: return Action::EdgeRight;
        default: return Action::None;
        }
    }
    switch (k) {
    case Key::Enter:
    case Key::Space: return press(focus_);
    case Key::Escape: return Action::JumpOver;
    case Key::Letter: {
        const int up = std::toupper(static_cast<unsigned char>(letter));
        Focus f = kEdit;
        if (up == 'O' && ok_enabled()) f = kOk;
        if (up == 'J') f = kJump;
        if (up == 'T') f = kTable;
        if (up == 'S') f = kSuspend;
        if (f == kEdit) return Action::None;
        focus_ = f;
        return press(f);
    }
    case Key::Tab:
    case Key::Right:
    case Key::Down: {
        int f = focus_ + 1;
        if (f == kOk && !ok_enabled()) ++f;
        if (f > kSuspend) return Action::Beep;
        focus_ = static_cast<Focus>(f);
        return Action::None;
    }
    case Key::ShiftTab:
    case Key::Left:
    case Key::Up: {
        int f = focus_ - 1;
        if (f == kOk && !ok_enabled()) --f;
        if (f < kEdit) return Action::Beep;
        focus_ = static_cast<Focus>(f);
        return Action::None;
    }
    }
    return Action::None;
}

}  // namespace learner
