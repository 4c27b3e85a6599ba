// The class dialogs' rules: the character table, the edit dialog's box and keys, the unlearn list.
#include <gtest/gtest.h>

#include "char_table.h"
#include "sel_chars.h"
#include "session_fixture.h"
#include "unlearn_list.h"

namespace {

using learner::CharTable;
using learner::ClassBuffer;
using learner::SelChars;
using learner::table_index_of;

TEST(CharTableSelects, TwoCharactersInTheOrderChosen) {
    lrntest::Presenter p;
    CharTable t{ClassBuffer{}};
    ASSERT_TRUE(t.toggle(table_index_of('A')) && t.toggle(table_index_of('b')));
    EXPECT_TRUE(t.class_text() == "\" Ab \"" && t.ascii_text() == "65, 98" && t.done_enabled());
    EXPECT_FALSE(t.toggle(table_index_of('3')));  // a third is refused
    EXPECT_TRUE(p.showed("Too many characters selected!") && !t.selected(table_index_of('3')));
    ClassBuffer out;
    t.done(out);
    EXPECT_EQ(out.str(), "Ab");
    t.toggle(table_index_of('A'));  // unselecting A leaves b
    EXPECT_EQ(t.chosen() + " " + t.ascii_text(), "b 98");
    out.set("ZZ");
    EXPECT_EQ(CharTable{out}.chosen(), "Z");  // opens on the buffer, a second different character only
}

TEST(SelCharsKeys, KeysActAndMoveTheFocusPastDisabledButtons) {
    using K = SelChars::Key;
    using A = SelChars::Action;
    constexpr auto edit = SelChars::kEdit, jump = SelChars::kJump, suspend = SelChars::kSuspend;
    struct Case { const char* text; SelChars::Focus focus; K key; char letter; A action; int focus_after; };  // -1: any
    const Case cases[] = {
        {"", edit, K::Enter, 0, A::None, -1},  // nothing typed
        {"x", edit, K::Enter, 0, A::Ok, -1},           {"", edit, K::Escape, 0, A::JumpOver, -1},
        {"", edit, K::Left, 0, A::EdgeLeft, -1},       {"", edit, K::Right, 0, A::EdgeRight, -1},
        {"x", edit, K::Tab, 0, A::None, SelChars::kOk}, {"", edit, K::Tab, 0, A::None, jump},  // empty: "&Ok" disabled
        {"", edit, K::ShiftTab, 0, A::None, suspend},  {"", jump, K::Left, 0, A::None, edit},
        {"", suspend, K::Down, 0, A::Beep, -1},        {"", suspend, K::Space, 0, A::Suspend, -1},
        {"", suspend, K::Letter, 'o', A::None, -1},    {"", suspend, K::Letter, 't', A::Table, SelChars::kTable},
        {"", SelChars::kTable, K::Letter, 'J', A::JumpOver, -1}, {"7", jump, K::Letter, 'O', A::Ok, -1},
        {"7", jump, K::Escape, 0, A::JumpOver, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " " + std::to_string(c.focus) + " " + std::to_string(int(c.key)) + c.letter);
        ClassBuffer b;
        SelChars s{b};
        s.set_text(c.text), s.set_focus(c.focus);
        EXPECT_EQ(s.key(c.key, c.letter), c.action);
        if (c.focus_after >= 0) { EXPECT_EQ(static_cast<int>(s.focus()), c.focus_after); }
    }
}

TEST(UnlearnList, ShowsClassesUnlearnsTheSelectedAndAsksBeforeAll) {
    struct Recorder : lrntest::ListLibs {
        std::vector<std::string> seen;
        ocr_io* io = nullptr;
        int unlearn() override { return seen.emplace_back(io->taught_class), 1; }
    } libs;
    ocr_io io{};
    libs.io = &io;
    lrntest::Presenter p;
    EXPECT_EQ(learner::unlearn_entry_text('A', '_'), "A  ( 65, 95)");
    const char raw[] = {'A', 'b', 'C', '_', '\xE9', '_'};
    learner::UnlearnList l(raw, 6);
    ASSERT_EQ(l.size(), 3);
    EXPECT_EQ(l.text(0) + "|" + l.text(2), "Ab ( 65, 98)|\xE9  (233, 95)");
    EXPECT_FALSE(l.ok_enabled());
    l.set_selected(2, true);
    EXPECT_TRUE(l.ok_enabled() && l.select_all_enabled());
    EXPECT_EQ(l.ok(io, libs), 1);
    EXPECT_TRUE(p.shown.empty() && libs.seen == std::vector<std::string>{"\xE9_"});
    l.unselect();
    EXPECT_FALSE(l.ok_enabled() || l.selected(2));
    l.select_all();
    p.answers.push_back(OSYS_IDNO);
    EXPECT_EQ(l.ok(io, libs), -1);  // every class and No: nothing is unlearned
    EXPECT_TRUE(p.showed("All learned characters will be lost! Proceed?") && libs.seen.size() == 1u);
}

}  // namespace
