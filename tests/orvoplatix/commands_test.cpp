// The shell's other commands and inputs: Next and Prev, About, KBase, the slider and the mouse in the view.
#include "shell_fakes.h"

using desk::BarKey;
using fakes::Field;

class ShellCommands : public fakes::ShellTest {};

TEST_F(ShellCommands, NextAndPrevWrapAroundTheListAndAnalyse) {
    start();
    lib.loadable = {"a.jpg", "b.jpg", "c.jpg"};
    choose({at("a.jpg")});
    letter('P');  // one image: nothing to step to
    choose({at("a.jpg"), at("b.jpg"), at("c.jpg")});
    run(platix::kPrev);
    run(platix::kNext);
    EXPECT_EQ(lib.opened, (std::vector<std::string>{"a.jpg", "a.jpg", "c.jpg", "a.jpg"}));
    EXPECT_EQ(lib.depths.size(), 3u);  // the single image, then each step
    letter('N');
    EXPECT_EQ(shell->bar().table().focus(), platix::kBtnStart);  // Next hands the focus on
}

// About; KBase asks again after a path too long, writes the list, and reloads nothing not shown.
TEST_F(ShellCommands, AboutAndKBase) {
    start();
    letter('A');
    ASSERT_EQ(presenter.shown.size(), 1u);
    EXPECT_EQ(presenter.shown[0].style & OSYS_MB_ICONS, static_cast<unsigned>(OSYS_MB_ICONINFORMATION));
    lib.kb_type_value = 2;
    files.answers = {scripted::chosen({"/" + std::string(300, 'k') + ".kbf"}), scripted::chosen({at("l.kbf")})};
    run(platix::kKBase);
    ASSERT_EQ(files.requests.size(), 2u);
    const desk::OpenFileRequest& rq = files.requests[0];
    EXPECT_EQ(rq.title + " " + rq.default_ext + " " + rq.filters.at(0).pattern, "Select knowledge file for recognition kbf *.kbf");
    EXPECT_EQ(box_titles().back(), "Error: Sorry, selected path is too long! Selection buffer exceeded.");
    EXPECT_EQ(fakes::read_file(at("$kbflst$.$$$")), "[2] " + at("l.kbf") + "\r\n");
    EXPECT_TRUE(lib.opened.empty());
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
}

// The slider moves by scrolling or by the arrow keys when it has the focus.
TEST_F(ShellCommands, TheSliderSetsTheDelay) {
    start();
    shell->bar().slider_scrolled(1);
    EXPECT_EQ(shell->shared().show_delay, 8000);
    EXPECT_EQ(label(platix::kTxtDelay), "8s.");
    shell->bar().focus_control(platix::kSlider);
    shell->bar().key(BarKey::Right, true);
    EXPECT_EQ(shell->shared().show_delay, 7000);
}

// A cross over a field not shown; a click makes it current, a second focuses it, one beside does nothing.
TEST_F(ShellCommands, TheMouseOverTheFields) {
    Field left{10, 10, 59, 29}, right{100, 10, 149, 29};
    start();
    lib.loadable = {"a.jpg"};
    lib.hit = [&](int x, int) { return x < 60 ? &left.r : x >= 100 ? &right.r : nullptr; };
    EXPECT_EQ(shell->mouse_move(20, 20), desk::CursorKind::Arrow);  // no results yet
    lib.found = {&left.r, &right.r};
    choose({at("a.jpg")});
    ASSERT_EQ(shell->current_result(), &right.r);
    EXPECT_EQ(shell->mouse_move(20, 20), desk::CursorKind::Cross);
    EXPECT_EQ(shell->mouse_move(120, 20), desk::CursorKind::Arrow);  // shown already
    for (int x : {20, 20, 80}) shell->mouse_press(x, 20);
    EXPECT_EQ(shell->current_result(), &left.r);
    EXPECT_EQ(std::vector<int>({win.field_shown, win.field_focused}), std::vector<int>({2, 1}));
}
