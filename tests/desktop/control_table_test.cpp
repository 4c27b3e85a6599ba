// Focus movement, mnemonics and key routing of a control table.
#include <gtest/gtest.h>

#include "control_table.h"

using desk::BarKey;
using desk::Control;
using desk::ControlKind;
using desk::ControlTable;
using desk::KeyOutcome;

namespace {
ControlTable bar() {
    std::vector<Control> c = {
        {1000, ControlKind::PushButton, "&File(s)"}, {1001, ControlKind::PushButton, "&KBase"},
        {1002, ControlKind::Slider, ""},              {1003, ControlKind::Text, ""},
        {1004, ControlKind::PushButton, "&About"}};
    c[2].min = 1;
    c[2].max = 7;
    c[2].value = 6;
    c[3].enabled = false;
    return ControlTable(c);
}
}  // namespace

TEST(ControlTableFocus, TabSkipsDisabledAndWraps) {
    ControlTable t = bar();
    t.focus_control(4);
    t.key(BarKey::Tab, true, 0, 0);
    EXPECT_EQ(t.focus(), 0);
    t.focus_control(2);
    t.key(BarKey::Tab, true, 0, 0);
    EXPECT_EQ(t.focus(), 4);  // the text field is skipped
}

TEST(ControlTableFocus, ShiftTabAndLeftGoBack) {
    ControlTable t = bar();
    t.focus_control(0);
    t.key(BarKey::Shift, true, 0, 0);
    t.key(BarKey::Tab, true, 0, 0);
    EXPECT_EQ(t.focus(), 4);
    t.key(BarKey::Shift, false, 0, 0);
    EXPECT_FALSE(t.shift_pressed());
    t.key(BarKey::Left, true, 0, 0);
    EXPECT_EQ(t.focus(), 2);
}

TEST(ControlTableFocus, BarFocusGoesToLastOrNextEnabled) {
    ControlTable t = bar();
    t.focus_control(1);
    t.set_enabled(1, false);
    EXPECT_EQ(t.focus_bar(), 2);
    t.enable_all(false);
    EXPECT_EQ(t.focus_bar(), -1);
}

TEST(ControlTableKeys, SliderTakesArrowsButNotTab) {
    ControlTable t = bar();
    t.focus_control(2);
    KeyOutcome o = t.key(BarKey::Right, true, 0, 0);
    EXPECT_EQ(o.kind, KeyOutcome::SliderMoved);
    EXPECT_EQ(t.at(2).value, 7);
    t.key(BarKey::Down, true, 0, 0);
    EXPECT_EQ(t.at(2).value, 7);  // clamped at the top of the range
    t.key(BarKey::Up, true, 0, 0);
    EXPECT_EQ(t.at(2).value, 6);
    EXPECT_EQ(t.key(BarKey::Left, false, 0, 0).kind, KeyOutcome::SliderMoved);
    EXPECT_EQ(t.focus(), 2);
}

TEST(ControlTableKeys, EnterOnSliderActivatesTheTarget) {
    ControlTable t = bar();
    t.focus_control(2);
    KeyOutcome o = t.key(BarKey::Enter, true, 0, 4);
    EXPECT_EQ(o.kind, KeyOutcome::Activate);
    EXPECT_EQ(o.index, 4);
    EXPECT_EQ(t.focus(), 4);
}

TEST(ControlTableKeys, LettersActivateOnlyEnabledControls) {
    ControlTable t = bar();
    KeyOutcome o = t.key(BarKey::Letter, true, 'K', 0);
    EXPECT_EQ(o.kind, KeyOutcome::Activate);
    EXPECT_EQ(o.index, 1);
    t.set_enabled(4, false);
    EXPECT_EQ(t.key(BarKey::Letter, true, 'A', 0).kind, KeyOutcome::Nothing);
    EXPECT_EQ(t.focus(), 1);
    EXPECT_EQ(t.key(BarKey::Esc, true, 0, 0).kind, KeyOutcome::Close);
}
