// Training sessions with the real engine and a scripted user, and the dialog's states and frame.
#include <gtest/gtest.h>

#include <algorithm>

#include "session_fixture.h"

namespace {

using learner::TrainingDialog;
using lrntest::exists;
using lrntest::Field;
using lrntest::ScriptedDialog;

// The letter drawn under a frame.
char letter_at(const learner::Box& b, const std::string& text) {
    const int i = (b.left + lrntest::kGlyphW / 2 - lrntest::kMargin) / (lrntest::kGlyphW + lrntest::kGap);
    return i >= 0 && i < static_cast<int>(text.size()) ? text[static_cast<std::size_t>(i)] : '?';
}

class TrainingSession : public ::testing::Test {
protected:
    void SetUp() override { init(); }
    void TearDown() override { OCR_cleanup(); }
    void init() {
        io = OCR_init(list.c_str(), 0);
        ASSERT_NE(io, nullptr);
        io->kb_index = 1;
    }
    testsupport::KbFolder folder{"$kbflst$.$$$"};
    const testsupport::TempDir& dir = folder.dir;
    const std::string &kb = folder.kb, &dat = folder.dat, &list = folder.list;
    ocr_io* io = nullptr;
    lrntest::ListLibs libs;
    lrntest::Presenter shown;
};

// A user who unticks "view only", names the letter under each frame (or jumps over the instances
// numbered in `skip`), confirms, tags every letter still read wrong, and is done once `text` reads.
struct Teacher {
    std::string text;
    std::vector<int> skip;
    int presented = 0, tags = 0;
    std::string letters;  // the letter under each instance presented
    bool operator()(TrainingDialog& d, ScriptedDialog& sd) {
        if (d.state() == learner::kViewOnly && presented == 0) return d.set_view_only(false), true;
        if (d.state() == learner::kEditing && sd.class_dialog_open) {
            const char c = letter_at(d.frame(), text);
            letters += c;
            if (std::find(skip.begin(), skip.end(), ++presented) != skip.end()) {
                sd.class_dialog_open = false;
                sd.poster.post(learner::kClassDialogEnded, learner::kSelJumpOver);
            } else {
                sd.answer_class(std::string(1, c));
            }
            return true;
        }
        if (d.state() == learner::kWalkInstance || d.state() == learner::kTagInstance)
            return d.confirm(), true;
        if (d.recognized_text() == text) return d.done(), true;
        if (d.state() == learner::kObserving)
            return d.toggle_tagging(), d.state() == learner::kTagging;
        if (d.state() == learner::kTagging && tags < 10) {
            const std::string t = d.recognized_text();
            for (std::size_t i = 0; i < text.size(); ++i)
                if (i >= t.size() || t[i] != text[i]) {
                    ++tags;
                    d.mouse_press(Field::char_x(static_cast<int>(i)), Field::char_y());
                    return true;
                }
        }
        return false;
    }
};

TEST_F(TrainingSession, WalksConfirmsSkipsTagsAndKeeps) {
    Field f("HLT");
    libs.list = {&f.record};
    ScriptedDialog s;
    Teacher t{"HLT", {3}, 0, 0, {}};
    s.user = std::ref(t);
    seg_result* current = nullptr;
    EXPECT_EQ(learner::run_training_session(io, &current, list.c_str(), libs, s), 1);
    // The walk presents H, L and T (jumped over); then T is tagged.
    EXPECT_EQ(t.letters + std::to_string(t.tags), "HLTT1");
    EXPECT_EQ(current, &f.record);
    EXPECT_TRUE(exists(kb) && exists(dat) && shown.shown.empty());
    EXPECT_FALSE(exists(dir.file("$kbfbak$.$$$")) || exists(dir.file("$datbak$.$$$")));
    OCR_cleanup();  // the files hold what was taught: a fresh engine reads the field right
    init();
    testsupport::show_whole_field(io, f.bitmap);
    OCR_recognize_field();
    EXPECT_STREQ(io->text, "HLT");
    char classes[512] = {};
    EXPECT_EQ(OCR_get_base_contents(classes), 6);
}

// The dialog alone, driven step by step.
class TrainingDialogActs : public TrainingSession {
protected:
    void open(Field& f, int view_width = 60, Field* next = nullptr) {
        libs.list.push_back(&f.record);
        if (next) libs.list.push_back(&next->record);
        s.view_width = view_width;
        d = std::make_unique<TrainingDialog>(*io, libs, libs.list[0], kb, s, s.poster);
        s.dialog = d.get();
        d->open(view_width);
    }
    // Opens on f with learning on: the walk waits in the class dialog.
    void learn(Field& f) {
        open(f);
        d->set_view_only(false);
        run_posted();
        ASSERT_TRUE(s.class_dialog_open);
    }
    void run_posted() { while (s.run_posted(*d)) {} }
    ScriptedDialog s;
    std::unique_ptr<TrainingDialog> d;
};

TEST_F(TrainingDialogActs, TheFrameEdgeMovesBetweenTheLeftEdgeAndTheLimit) {
    Field f("HL");
    learn(f);
    ASSERT_EQ(d->state(), learner::kEditing);
    const learner::Box box = d->chars()[0].box;
    EXPECT_EQ(d->frame(), box);
    // The character stands alone: the limit is the first blank column after it.
    EXPECT_EQ(d->limit(), box.right);
    const int beeps = shown.beeps;
    d->move_edge(+1);  // past the limit: a beep
    EXPECT_TRUE(shown.beeps == beeps + 1 && d->frame().right == box.right);
    d->move_edge(-1);
    EXPECT_EQ(d->frame().right, box.right - 1);
    EXPECT_EQ(d->cursor_at(box.right - 1, (box.top + box.bottom) / 2), desk::CursorKind::SizeHorizontal);
    EXPECT_EQ(d->cursor_at(box.right + 4, (box.top + box.bottom) / 2), desk::CursorKind::Arrow);
    d->mouse_press(box.right - 1, box.top + 1);
    d->mouse_drag(box.left - 10);
    EXPECT_EQ(d->frame().right, box.left + 1);
    d->mouse_drag(box.right + 30);
    EXPECT_EQ(d->frame().right, d->limit());
    d->mouse_release();
}

TEST_F(TrainingDialogActs, TaggingNeedsClassesAndShowsTheTargetCursor) {
    Field f("H");
    open(f);
    d->set_view_only(false);
    d->toggle_tagging();  // the base has no classes
    EXPECT_NE(d->state(), learner::kTagging);
    run_posted();
    s.answer_class("H");
    run_posted();
    d->confirm();
    run_posted();
    ASSERT_EQ(d->state(), learner::kObserving);
    EXPECT_EQ(d->class_count(), 1);
    d->toggle_tagging();
    EXPECT_TRUE(d->state() == learner::kTagging && d->tag_label() == "S&top tagging");
    EXPECT_EQ(d->cursor_at(2, 2), desk::CursorKind::Target);
    const int beeps = shown.beeps;
    d->mouse_press(1, 1);  // on no character
    EXPECT_TRUE(shown.beeps == beeps + 1 && d->state() == learner::kTagging);
    d->toggle_tagging();
    EXPECT_TRUE(d->state() == learner::kObserving && d->tag_label() == "&Tag confusion(s)");
}

TEST_F(TrainingDialogActs, NextAndPreviousFrameStepThroughTheFields) {
    Field a("HL"), b("T", 100, 150);
    open(a, 200, &b);
    run_posted();
    EXPECT_EQ(d->status_text(),
              " Navigate through image frame by frame or unselect the upper right check box to allow learning ");
    d->next_frame();
    EXPECT_TRUE(d->current() == &b.record && d->recognized_text() == "^" && d->state() == learner::kViewOnly);
    d->next_frame();  // no further field
    EXPECT_EQ(d->current(), &b.record);
    d->previous_frame();
    EXPECT_TRUE(d->current() == &a.record && d->recognized_text() == "^^");
    EXPECT_TRUE(std::find(s.statuses.begin(), s.statuses.end(), "Image frame segmentation. Please wait...") !=
                s.statuses.end());
}

TEST_F(TrainingDialogActs, ScrollsInStepsWithinTheField) {
    Field f("HLT");  // 88 columns
    open(f, 60);
    EXPECT_EQ(std::make_pair(d->scroll_min(), d->scroll_max()), std::make_pair(0, 88 - 60 + 2));
    std::vector<int> at;  // after a line, a page, two lines back, a page back
    for (const auto& [lines, pages] : {std::pair{1, 0}, {0, 1}, {-2, 0}, {0, -1}}) {
        lines != 0 ? d->scroll_line(lines) : d->scroll_page(pages);
        at.push_back(d->scroll());
    }
    EXPECT_EQ(at, (std::vector<int>{5, 30, 20, 0}));
    d->scroll_to(27);
    EXPECT_EQ(d->visible_text(), "^^");  // H ends at column 26: the text starts at the second character
}

}  // namespace
