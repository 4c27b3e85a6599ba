// The slide show: the countdown, moving over the list past an image that fails, Start on one or an unloaded image.
#include "shell_fakes.h"

using platix::kBtnStart;

class ShellSlideShow : public fakes::ShellTest {};

// Over c, a, b (b does not open): no text or no load moves on after 1 s, text after the delay; wraps.
TEST_F(ShellSlideShow, CountsDownAndMovesOverTheList) {
    fakes::Field plate{10, 10, 109, 39};
    kb_in_settings();
    start();
    lib.loadable = {"a.jpg", "c.jpg"};
    lib.found = {&plate.r};
    choose({at("c.jpg"), at("a.jpg"), at("b.jpg")});
    lib.readings = {{"", {}}, {"C3", {{0, 0, 1, 1}, {2, 0, 3, 1}}}};
    press(kBtnStart);
    EXPECT_EQ(win.output, " None found...");
    EXPECT_EQ(timer.running[platix::kSlideTimer], 1000);
    EXPECT_EQ(enabled(), (std::vector<int>{2, 3, 6, 10}));
    std::vector<int> enabled_while_loading;
    win.on_paint = [&] { enabled_while_loading = enabled(); };
    for (const auto& [opened, countdown, delay_label] : std::vector<std::tuple<std::string, int, std::string>>{
             {"b.jpg", 1000, "1s."}, {"c.jpg", 3000, "3s."}, {"c.jpg", 2000, "2s."}, {"c.jpg", 1000, "1s."},
             {"a.jpg", 1000, "1s."}}) {
        shell->timer_tick();
        pump();
        EXPECT_EQ(lib.opened.back(), opened);
        EXPECT_EQ(shell->countdown(), countdown) << opened;
        EXPECT_EQ(label(platix::kTxtDelay), delay_label) << opened;
    }
    EXPECT_EQ(enabled_while_loading, std::vector<int>{kBtnStart});
    EXPECT_EQ(label(platix::kTxtPosition), "#1/3");
}

// With one image Start only analyses it, or warns when it did not load; on an unloaded one of several it waits 1 s.
TEST_F(ShellSlideShow, StartOnOneImageOnlyAnalysesItAndOnAnUnloadedOneWaits) {
    start();
    choose({at("gone.jpg")});
    press(kBtnStart);
    EXPECT_EQ(box_titles(), std::vector<std::string>{"Warning: Nothing to analyze/recognize. Image not loaded!"});
    EXPECT_TRUE(lib.depths.empty());
    lib.loadable = {"a.jpg"};
    choose({at("a.jpg")});
    shell->bar().key(desk::BarKey::Letter, true, 'S');
    EXPECT_EQ(label(kBtnStart), "&Start >>");
    pump();
    EXPECT_EQ(lib.depths.size(), 2u);
    EXPECT_FALSE(timer.on());
    choose({at("b.jpg"), at("a.jpg")});
    shell->command(platix::kNext);  // b: not loadable
    queue.posted.clear();
    press(kBtnStart);
    EXPECT_EQ(lib.depths.size(), 2u);
    EXPECT_EQ(shell->countdown(), 1000);
    EXPECT_TRUE(timer.on());
}
