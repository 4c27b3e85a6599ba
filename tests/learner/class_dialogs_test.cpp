// The class dialogs' rules: the character table's layout, selection order
// and read-outs, the edit dialog's box and keys, and the unlearn list.
#include <gtest/gtest.h>

#include "char_table.h"
#include "sel_chars.h"
#include "session_fixture.h"
#include "unlearn_list.h"

namespace {

using learner::CharTable;
using learner::ClassBuffer;
using learner::SelChars;

TEST(CharTableLayout, ColumnsAreLowBitsAndRowsHighBits) {
    EXPECT_EQ(learner::table_index_of(32), 0);
    EXPECT_EQ(learner::table_index_of(33), 14);   // next column
    EXPECT_EQ(learner::table_index_of(48), 1);    // next row
    EXPECT_EQ(learner::table_index_of('A'), 1 * 14 + 2);
    EXPECT_EQ(learner::table_index_of(255), 15 * 14 + 13);
    for (int code = 32; code < 256; ++code)
        EXPECT_EQ(learner::table_code_of(learner::table_index_of(static_cast<unsigned char>(code))), code);
    EXPECT_EQ(learner::table_entry_text(learner::table_index_of('A')), " A");
}

TEST(CharTableSelects, TwoCharactersInTheOrderChosen) {
    lrntest::Presenter p;
    CharTable t{ClassBuffer{}};
    EXPECT_FALSE(t.done_enabled());
    EXPECT_EQ(t.class_text(), "");
    ASSERT_TRUE(t.toggle(learner::table_index_of('b')));
    EXPECT_EQ(t.class_text(), "\" b \"");
    EXPECT_EQ(t.ascii_text(), "98");
    ASSERT_TRUE(t.toggle(learner::table_index_of('A')));
    EXPECT_EQ(t.chosen(), "bA");
    EXPECT_EQ(t.ascii_text(), "98, 65");
    EXPECT_TRUE(t.done_enabled());
}

TEST(CharTableSelects, AThenBGivesAbAndUnselectingALeavesB) {
    lrntest::Presenter p;
    CharTable t{ClassBuffer{}};
    t.toggle(learner::table_index_of('A'));
    t.toggle(learner::table_index_of('b'));
    ClassBuffer out;
    t.done(out);
    EXPECT_EQ(out.str(), "Ab");
    t.toggle(learner::table_index_of('A'));
    EXPECT_EQ(t.chosen(), "b");
    EXPECT_EQ(t.ascii_text(), "98");
    t.toggle(learner::table_index_of('b'));
    EXPECT_EQ(t.class_text(), "");
    EXPECT_EQ(t.ascii_text(), "");
    EXPECT_FALSE(t.done_enabled());
}

TEST(CharTableSelects, AThirdSelectionIsRefusedWithAMessage) {
    lrntest::Presenter p;
    CharTable t{ClassBuffer{}};
    t.toggle(learner::table_index_of('1'));
    t.toggle(learner::table_index_of('2'));
    EXPECT_FALSE(t.toggle(learner::table_index_of('3')));
    ASSERT_EQ(p.shown.size(), 1u);
    EXPECT_EQ(p.shown[0].text, "Too many characters selected!");
    EXPECT_EQ(p.shown[0].title, "Error");
    EXPECT_EQ(p.shown[0].style, static_cast<unsigned>(OSYS_MB_OK | OSYS_MB_ICONERROR));
    EXPECT_EQ(t.chosen(), "12");
    EXPECT_FALSE(t.selected(learner::table_index_of('3')));
}

TEST(CharTableSelects, OpensOnTheBufferAndASecondDifferentCharacter) {
    ClassBuffer b;
    b.set("Xy");
    CharTable t{b};
    EXPECT_EQ(t.chosen(), "Xy");
    b.set("ZZ");
    CharTable same{b};
    EXPECT_EQ(same.chosen(), "Z");
}

TEST(SelCharsEdits, OkNeedsTextAndFillsTheBuffer) {
    ClassBuffer b;
    b.set("Q");
    SelChars s{b};
    EXPECT_TRUE(b.empty());  // cleared on opening
    EXPECT_FALSE(s.ok_enabled());
    EXPECT_FALSE(s.ok());
    s.set_text("abc");
    EXPECT_EQ(s.text(), "ab");
    EXPECT_TRUE(s.ok());
    EXPECT_EQ(b.str(), "ab");
}

TEST(SelCharsEdits, TheTableTypesItsChoiceIntoTheBox) {
    ClassBuffer b;
    SelChars s{b};
    s.set_text("q");
    s.set_focus(SelChars::kTable);
    s.table_opening();
    EXPECT_EQ(b.str(), "q");
    s.table_done("Ab");
    EXPECT_EQ(s.text(), "Ab");
    EXPECT_EQ(s.focus(), SelChars::kEdit);
}

TEST(SelCharsKeys, EditBoxKeys) {
    ClassBuffer b;
    SelChars s{b};
    using K = SelChars::Key;
    using A = SelChars::Action;
    EXPECT_EQ(s.key(K::Enter), A::None);  // nothing typed
    EXPECT_EQ(s.key(K::Escape), A::JumpOver);
    EXPECT_EQ(s.key(K::Left), A::EdgeLeft);
    EXPECT_EQ(s.key(K::Right), A::EdgeRight);
    s.key(K::Tab);
    EXPECT_EQ(s.focus(), SelChars::kJump);  // "&Ok" is disabled
    s.set_focus(SelChars::kEdit);
    s.set_text("x");
    s.key(K::Tab);
    EXPECT_EQ(s.focus(), SelChars::kOk);
    s.set_focus(SelChars::kEdit);
    s.key(K::ShiftTab);
    EXPECT_EQ(s.focus(), SelChars::kSuspend);
    s.set_focus(SelChars::kEdit);
    EXPECT_EQ(s.key(K::Enter), A::Ok);
}

TEST(SelCharsKeys, ButtonKeysAndTheFocusOrder) {
    ClassBuffer b;
    SelChars s{b};
    using K = SelChars::Key;
    using A = SelChars::Action;
    s.set_focus(SelChars::kJump);
    EXPECT_EQ(s.key(K::Left), A::None);
    EXPECT_EQ(s.focus(), SelChars::kEdit);  // "&Ok" disabled: skipped
    s.set_focus(SelChars::kSuspend);
    EXPECT_EQ(s.key(K::Down), A::Beep);
    EXPECT_EQ(s.key(K::Space), A::Suspend);
    EXPECT_EQ(s.key(K::Letter, 'o'), A::None);  // "&Ok" disabled
    EXPECT_EQ(s.key(K::Letter, 't'), A::Table);
    EXPECT_EQ(s.focus(), SelChars::kTable);
    EXPECT_EQ(s.key(K::Letter, 'J'), A::JumpOver);
    s.set_text("7");
    s.set_focus(SelChars::kJump);
    EXPECT_EQ(s.key(K::Letter, 'O'), A::Ok);
    EXPECT_EQ(s.key(K::Escape), A::JumpOver);
}

TEST(UnlearnListShows, ClassesAsCharactersAndCodes) {
    EXPECT_EQ(learner::unlearn_entry_text('A', '_'), "A  ( 65, 95)");
    EXPECT_EQ(learner::unlearn_entry_text('A', 'b'), "Ab ( 65, 98)");
    const char raw[] = {'A', '_', 'C', 'H', '\xE9', '_'};
    learner::UnlearnList l(raw, 6);
    ASSERT_EQ(l.size(), 3);
    EXPECT_EQ(l.text(1), "CH ( 67, 72)");
    EXPECT_EQ(l.text(2), "\xE9  (233, 95)");
}

TEST(UnlearnListSelects, EnablingFollowsTheSelection) {
    const char raw[] = {'A', '_', 'B', '_'};
    learner::UnlearnList l(raw, 4);
    EXPECT_FALSE(l.ok_enabled());
    EXPECT_TRUE(l.select_all_enabled());
    l.set_selected(0, true);
    EXPECT_TRUE(l.ok_enabled());
    EXPECT_TRUE(l.select_all_enabled());
    l.select_all();
    EXPECT_FALSE(l.select_all_enabled());
    l.unselect();
    EXPECT_FALSE(l.ok_enabled());
    EXPECT_FALSE(l.selected(1));
}

TEST(UnlearnListRemoves, AllSelectedAsksAndNoKeepsEverything) {
    lrntest::Presenter p;
    const char raw[] = {'A', '_', 'B', '_'};
    learner::UnlearnList l(raw, 4);
    l.select_all();
    ocr_io io{};
    struct Recorder : lrntest::ListLibs {
        std::vector<std::string> seen;
        ocr_io* io = nullptr;
        int unlearn() override {
            seen.emplace_back(io->taught_class);
            return 1;
        }
    } libs;
    libs.io = &io;
    p.answers.push_back(OSYS_IDNO);
    EXPECT_EQ(l.ok(io, libs), -1);
    ASSERT_EQ(p.shown.size(), 1u);
    EXPECT_EQ(p.shown[0].text, "All learned characters will be lost! Proceed?");
    EXPECT_EQ(p.shown[0].title, "Warning");
    EXPECT_TRUE(libs.seen.empty());
    EXPECT_EQ(l.ok(io, libs), 1);  // Yes this time
    EXPECT_EQ(libs.seen, (std::vector<std::string>{"A_", "B_"}));
}

TEST(UnlearnListRemoves, SomeSelectedAsksNothing) {
    lrntest::Presenter p;
    const char raw[] = {'A', '_', 'B', '_', 'C', '_'};
    learner::UnlearnList l(raw, 6);
    l.set_selected(2, true);
    ocr_io io{};
    struct Recorder : lrntest::ListLibs {
        std::vector<std::string> seen;
        ocr_io* io = nullptr;
        int unlearn() override {
            seen.emplace_back(io->taught_class);
            return 1;
        }
    } libs;
    libs.io = &io;
    EXPECT_EQ(l.ok(io, libs), 1);
    EXPECT_TRUE(p.shown.empty());
    EXPECT_EQ(libs.seen, std::vector<std::string>{"C_"});
}

}  // namespace
