// The remaining commands and inputs of the shell: Next and Prev, About,
// KBase, the keys routed to the control bar, the slider, the mouse in the
// image view and the quit question.
#include "shell_fakes.h"

using desk::BarKey;
using fakes::exists;
using fakes::Field;
using fakes::read_file;

class ShellCommands : public fakes::ShellTest {};

TEST_F(ShellCommands, NextAndPrevWrapAroundTheListAndAnalyse) {
    start();
    lib.loadable = {"a.jpg", "b.jpg", "c.jpg"};
    choose({at("a.jpg")});
    shell->bar().key(BarKey::Letter, true, 'P');  // one image: nothing to step to
    pump();
    EXPECT_EQ(lib.opened, std::vector<std::string>{"a.jpg"});
    choose({at("a.jpg"), at("b.jpg"), at("c.jpg")});
    run(platix::kPrev);
    run(platix::kNext);
    run(platix::kNext);
    EXPECT_EQ(lib.opened, (std::vector<std::string>{"a.jpg", "a.jpg", "c.jpg", "a.jpg", "b.jpg"}));
    EXPECT_EQ(lib.depths.size(), 4u);  // the single image, then each step
    shell->bar().key(BarKey::Letter, true, 'N');
    EXPECT_EQ(shell->bar().table().focus(), platix::kBtnNext);
    shell->command(platix::kNext);  // and the focus goes to Start
    EXPECT_EQ(shell->bar().table().focus(), platix::kBtnStart);
    EXPECT_EQ(queue.posted.back(), platix::kAnalyse);
}

TEST_F(ShellCommands, AboutShowsAnInformationBox) {
    start();
    shell->bar().key(BarKey::Letter, true, 'A');
    pump();
    ASSERT_EQ(presenter.boxes.size(), 1u);
    EXPECT_EQ(presenter.boxes[0].title, "About");
    EXPECT_EQ(presenter.boxes[0].style & OSYS_MB_ICONS, static_cast<unsigned>(OSYS_MB_ICONINFORMATION));
    EXPECT_NE(presenter.boxes[0].text.find("Esc"), std::string::npos);
}

// The dialog is asked again for a path that is too long.
TEST_F(ShellCommands, KBaseWritesTheListAndStartsTheEngine) {
    start();
    lib.kb_type_value = 2;
    const std::string kb = at("letters.kbf");
    files.answers.push_back(scripted::chosen({"/" + std::string(300, 'k') + ".kbf"}));
    files.answers.push_back(scripted::chosen({kb}));
    run(platix::kKBase);
    ASSERT_EQ(files.requests.size(), 2u);
    EXPECT_EQ(files.requests[0].title, "Select knowledge file for recognition");
    EXPECT_EQ(files.requests[0].default_ext, "kbf");
    EXPECT_EQ(files.requests[0].initial_folder, dir.path);
    ASSERT_EQ(files.requests[0].filters.size(), 2u);
    EXPECT_EQ(files.requests[0].filters[0].pattern, "*.kbf");
    EXPECT_FALSE(files.requests[0].multiple);
    EXPECT_EQ(box_titles(), std::vector<std::string>{"Error: Sorry, selected path is too long! Selection buffer exceeded."});
    EXPECT_EQ(read_file(at("$kbflst$.$$$")), "[2] " + kb + "\r\n");
    EXPECT_EQ(lib.ocr_list_path, at("$kbflst$.$$$"));
    EXPECT_EQ(shell->kb_path(), kb);
    EXPECT_TRUE(lib.opened.empty());  // no outcome shown: no reload
}

TEST_F(ShellCommands, ANewBaseReloadsAShownOutcomeWithoutResults) {
    Field f{10, 10, 60, 30};
    start();
    lib.loadable = {"a.jpg"};
    lib.found = {&f.r};
    choose({at("a.jpg")});
    EXPECT_EQ(win.output, " None (no knowledge base loaded!)...");
    files.answers.push_back(scripted::chosen({at("k.kbf")}));
    shell->command(platix::kKBase);
    EXPECT_EQ(queue.posted, std::deque<unsigned>{platix::kLoad});
    pump();
    EXPECT_EQ(win.output, "");
    EXPECT_EQ(shell->result_count(), 0);
    EXPECT_EQ(lib.results(), nullptr);
    EXPECT_EQ(win.light, desk::Light::Gray);
}

TEST_F(ShellCommands, KeysRunTheirCommandsMoveTheFocusAndTheSlider) {
    start();
    shell->bar().key(BarKey::Letter, true, 'F');
    EXPECT_EQ(queue.posted, std::deque<unsigned>{platix::kFiles});
    pump();
    EXPECT_EQ(files.requests.size(), 1u);
    shell->bar().key(BarKey::Letter, true, 'B');
    EXPECT_EQ(shell->shared().show_bitmap, 0);
    EXPECT_EQ(shell->bar().table().focus(), platix::kChkBitmap);
    shell->bar().focus_control(platix::kBtnAbout);
    shell->bar().key(BarKey::Tab, true);
    EXPECT_EQ(shell->bar().table().focus(), platix::kBtnFiles);
    shell->bar().slider_scrolled(1);
    EXPECT_EQ(shell->shared().show_delay, 8000);
    EXPECT_EQ(label(platix::kTxtDelay), "8s.");
    shell->bar().focus_control(platix::kSlider);
    shell->bar().key(BarKey::Right, true);
    EXPECT_EQ(shell->shared().show_delay, 7000);
}

class ShellMouse : public fakes::ShellTest {
protected:
    Field left{10, 10, 59, 29};
    Field right{100, 10, 149, 29};
    void analysed() {
        lib.found = {&left.r, &right.r};
        lib.hit = [this](int x, int y) -> seg_result* {
            for (Field* f : {&left, &right})
                if (x >= f->r.left && x <= f->r.right && y >= f->r.top && y <= f->r.bottom) return &f->r;
            return nullptr;
        };
        choose({at("a.jpg")});  // opens the field window on the last field (right)
    }
};

TEST_F(ShellMouse, ACrossOverAFieldNotShownYet) {
    start();
    lib.loadable = {"a.jpg"};
    lib.hit = [this](int, int) { return &left.r; };
    EXPECT_EQ(shell->mouse_move(20, 20), desk::CursorKind::Arrow);  // no results yet
    analysed();
    ASSERT_EQ(shell->current_result(), &right.r);
    EXPECT_EQ(shell->mouse_move(20, 20), desk::CursorKind::Cross);
    EXPECT_EQ(shell->mouse_move(120, 20), desk::CursorKind::Arrow);  // shown already
    EXPECT_EQ(shell->mouse_move(80, 20), desk::CursorKind::Arrow);
}

TEST_F(ShellMouse, AClickMakesTheFieldCurrentOrFocusesItsWindow) {
    start();
    lib.loadable = {"a.jpg"};
    analysed();
    const int shown = win.field_shown;
    shell->mouse_press(20, 20);
    EXPECT_EQ(shell->current_result(), &left.r);
    EXPECT_EQ(win.field_shown, shown + 1);
    shell->mouse_press(20, 20);
    EXPECT_EQ(win.field_focused, 1);
    EXPECT_EQ(win.field_shown, shown + 1);
    shell->mouse_press(80, 20);  // no field (or overlapping ones): nothing changes
    EXPECT_EQ(shell->current_result(), &left.r);
}

// Esc asks; No keeps running, Yes releases everything and removes the list
// files; commands after the quit are ignored.
TEST_F(ShellCommands, QuitAsksAndReleasesEverything) {
    kb_in_settings();
    start();
    const std::string settings = read_file(ini());
    presenter.answers.push_back(OSYS_IDNO);
    shell->bar().key(BarKey::Esc, true);
    ASSERT_EQ(presenter.boxes.size(), 1u);
    EXPECT_EQ(presenter.boxes[0].text, "You are about to quit ORVO PLATIX now.\nAre you sure you want this?");
    EXPECT_EQ(presenter.boxes[0].title, "Warning");
    EXPECT_EQ(presenter.boxes[0].style & OSYS_MB_BUTTONS, static_cast<unsigned>(OSYS_MB_YESNO));
    EXPECT_EQ(win.quit_code, -1);
    EXPECT_EQ(read_file(ini()), settings);
    ASSERT_TRUE(exists(at("$kbflst$.$$$")));
    lib.calls.clear();
    EXPECT_TRUE(shell->close_request());
    EXPECT_EQ(win.quit_code, 0);
    EXPECT_EQ(lib.calls, (std::vector<std::string>{"clear", "close", "ocr cleanup"}));
    EXPECT_FALSE(exists(at("$kbflst$.$$$")));
    EXPECT_FALSE(exists(at("$imglst$.$$$")));
    EXPECT_NE(read_file(ini()), settings);
    run(platix::kFiles);
    EXPECT_TRUE(files.requests.empty());
}
