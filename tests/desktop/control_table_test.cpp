// Focus movement, mnemonics and key routing of a control table.
#include <gtest/gtest.h>

#include "control_table.h"

using desk::BarKey;
using desk::KeyOutcome;

namespace {
// File(s), KBase, a slider 1..7 at 6, a disabled text, About.
desk::ControlTable bar() {
    std::vector<desk::Control> c = {{1000, desk::ControlKind::PushButton, "&File(s)"}, {1001, desk::ControlKind::PushButton, "&KBase"},
                                    {1002, desk::ControlKind::Slider, ""}, {1003, desk::ControlKind::Text, ""},
                                    {1004, desk::ControlKind::PushButton, "&About"}};
    c[2].min = 1, c[2].max = 7, c[2].value = 6;
    c[3].enabled = false;
    return desk::ControlTable(c);
}
}  // namespace

// The focus, slider and key outcome after keys from a control (Enter on the slider activates About).
TEST(ControlTableKeys, MoveTheFocusAndTheSliderAndActivate) {
    struct Key { BarKey key; bool press = true; char letter = 0; };
    struct Case { const char* what; int from; std::vector<Key> keys; int focus, slider;
                  KeyOutcome::Kind last; int index; } cases[] = {
        {"Tab wraps", 4, {{BarKey::Tab}}, 0, 6, KeyOutcome::Nothing, -1},
        {"Tab skips the disabled text", 2, {{BarKey::Tab}}, 4, 6, KeyOutcome::Nothing, -1},
        {"Shift+Tab goes back", 0, {{BarKey::Shift}, {BarKey::Tab}}, 4, 6, KeyOutcome::Nothing, -1},
        {"Left goes back over the text", 4, {{BarKey::Left}}, 2, 6, KeyOutcome::Nothing, -1},
        {"clamped at the top", 2, {{BarKey::Right}, {BarKey::Down}}, 2, 7, KeyOutcome::SliderMoved, 2},
        {"Up moves it back", 2, {{BarKey::Up}}, 2, 5, KeyOutcome::SliderMoved, 2},
        {"a released arrow reports it", 2, {{BarKey::Left, false}}, 2, 6, KeyOutcome::SliderMoved, 2},
        {"Enter on the slider", 2, {{BarKey::Enter}}, 4, 6, KeyOutcome::Activate, 4},
        {"a mnemonic", 0, {{BarKey::Letter, true, 'K'}}, 1, 6, KeyOutcome::Activate, 1},
        {"Esc", 1, {{BarKey::Esc}}, 1, 6, KeyOutcome::Close, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        desk::ControlTable t = bar();
        t.focus_control(c.from);
        KeyOutcome o;
        for (const Key& k : c.keys) o = t.key(k.key, k.press, k.letter, 4);
        const int index = c.last == KeyOutcome::Nothing ? c.index : o.index;
        EXPECT_EQ(std::vector<int>({t.focus(), t.at(2).value, o.kind == c.last, index}),
                  std::vector<int>({c.focus, c.slider, 1, c.index}));
    }
}

TEST(ControlTableKeys, DisabledControlsTakeNeitherLettersNorTheBarFocus) {
    desk::ControlTable t = bar();
    t.key(BarKey::Shift, true, 0, 0);
    t.key(BarKey::Shift, false, 0, 0);
    EXPECT_FALSE(t.shift_pressed());
    t.set_enabled(4, false);
    EXPECT_EQ(t.key(BarKey::Letter, true, 'A', 0).kind, KeyOutcome::Nothing);
    t.focus_control(1);
    t.set_enabled(1, false);
    EXPECT_EQ(t.focus_bar(), 2);
    t.enable_all(false);
    EXPECT_EQ(t.focus_bar(), -1);
}
