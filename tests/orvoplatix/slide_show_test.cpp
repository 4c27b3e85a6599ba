// The slide show: Start/Stop, the countdown, moving on over the list with
// an image that cannot be loaded, and the controls enabled meanwhile.
#include "shell_fakes.h"

using fakes::Field;
using platix::kBtnStart;

class ShellSlideShow : public fakes::ShellTest {
protected:
    Field plate{10, 10, 109, 39};

    // Three images a, b, c chosen in the order c, a, b; b does not open.
    void three_images() {
        kb_in_settings();
        start();
        lib.loadable = {"a.jpg", "c.jpg"};
        lib.found = {&plate.r};
        choose({at("c.jpg"), at("a.jpg"), at("b.jpg")});
    }
};

TEST_F(ShellSlideShow, RunsOverTheListAndSkipsAnUnloadableImageAfterASecond) {
    three_images();
    lib.readings = {{"A1", {{0, 0, 1, 1}, {2, 0, 3, 1}}}, {"C3", {{0, 0, 1, 1}, {2, 0, 3, 1}}}};
    shell->bar().press(kBtnStart);
    EXPECT_EQ(label(kBtnStart), "&Stop ||");
    pump();  // Start/Stop -> Analyse -> Display of a
    EXPECT_NE(win.output.find(" A1   -   at  "), std::string::npos);
    EXPECT_NE(win.output.find("    [show 3s.]"), std::string::npos);
    EXPECT_TRUE(timer.on());
    EXPECT_EQ(timer.running[platix::kSlideTimer], 1000);
    EXPECT_EQ(enabled(), (std::vector<int>{2, 3, 6, 10}));

    shell->timer_tick();  // the first image's countdown was 0: move on
    EXPECT_EQ(lib.opened.back(), "b.jpg");
    EXPECT_EQ(win.title, "ORVO PLATIX 2.1 - b.jpg (Error!)");
    EXPECT_EQ(shell->countdown(), 1000);
    EXPECT_TRUE(timer.on());
    EXPECT_EQ(label(platix::kTxtDelay), "1s.");
    EXPECT_TRUE(queue.posted.empty());

    std::vector<int> enabled_while_loading;
    win.on_paint = [&] { enabled_while_loading = enabled(); };
    shell->timer_tick();  // one second later: the third image
    EXPECT_EQ(lib.opened.back(), "c.jpg");
    EXPECT_EQ(enabled_while_loading, std::vector<int>{kBtnStart});
    EXPECT_EQ(shell->countdown(), 3000);
    EXPECT_EQ(label(platix::kTxtPosition), "#3/3");
    pump();
    EXPECT_NE(win.output.find(" C3   -   at  "), std::string::npos);

    shell->timer_tick();
    EXPECT_EQ(label(platix::kTxtDelay), "2s.");
    shell->timer_tick();
    EXPECT_EQ(label(platix::kTxtDelay), "1s.");
    EXPECT_EQ(lib.opened.back(), "c.jpg");
    shell->timer_tick();  // wraps to the first
    EXPECT_EQ(lib.opened, (std::vector<std::string>{"a.jpg", "b.jpg", "c.jpg", "a.jpg"}));
    EXPECT_EQ(label(platix::kTxtPosition), "#1/3");
}

// An image without text moves on after one second; Stop ends the show.
TEST_F(ShellSlideShow, AnImageWithoutTextMovesOnAfterOneSecondAndStopEndsTheShow) {
    three_images();
    shell->bar().press(kBtnStart);
    pump();
    EXPECT_EQ(win.output, " None found...");
    EXPECT_EQ(shell->countdown(), 1000);
    EXPECT_EQ(label(platix::kTxtDelay), "1s.");
    EXPECT_TRUE(timer.on());
    shell->bar().key(desk::BarKey::Letter, true, 'S');
    EXPECT_EQ(label(kBtnStart), "&Start >>");
    pump();
    EXPECT_FALSE(timer.on());
    EXPECT_EQ(enabled(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 10}));
}

// With one image Start analyses it, or warns when it did not load.
TEST_F(ShellSlideShow, WithOneImageStartOnlyAnalysesIt) {
    start();
    choose({at("gone.jpg")});
    shell->bar().press(kBtnStart);
    pump();
    EXPECT_EQ(box_titles(), std::vector<std::string>{"Warning: Nothing to analyze/recognize. Image not loaded!"});
    EXPECT_TRUE(lib.depths.empty());
    lib.loadable = {"a.jpg"};
    choose({at("a.jpg")});
    shell->bar().key(desk::BarKey::Letter, true, 'S');
    EXPECT_EQ(label(kBtnStart), "&Start >>");
    pump();
    EXPECT_EQ(lib.depths.size(), 2u);
    EXPECT_FALSE(timer.on());
    EXPECT_EQ(shell->shared().slide_stopped, 1);
}

TEST_F(ShellSlideShow, StartingOnAnUnloadedImageWaitsASecond) {
    start();
    lib.loadable = {"a.jpg"};
    choose({at("b.jpg"), at("a.jpg")});  // a loads first
    shell->command(platix::kNext);       // b: not loadable
    queue.posted.clear();
    shell->bar().press(kBtnStart);
    pump();
    EXPECT_TRUE(lib.depths.empty());
    EXPECT_EQ(shell->countdown(), 1000);
    EXPECT_TRUE(timer.on());
}
