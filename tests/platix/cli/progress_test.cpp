// The progress bar's text.
#include <gtest/gtest.h>

#include <cstdio>

#include "progress.h"

using namespace platix;

TEST(ProgressRender, CountsRateAndTimeLeft) {
    EXPECT_EQ(ProgressBar::render(5, 20, 2.5, 10), "[##........] 5/20  2.0 img/s  0:08 left");
    EXPECT_EQ(ProgressBar::render(0, 3, 0.0, 4), "[....] 0/3  -- img/s");
    EXPECT_EQ(ProgressBar::render(200, 200, 100.0, 4), "[####] 200/200  2.0 img/s  0:00 left");
}

TEST(ProgressDraw, SilentWhenDisabled) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    {
        ProgressBar off(3, false, f);
        off.step();
        off.step();
    }
    EXPECT_EQ(std::ftell(f), 0);
    {
        ProgressBar on(2, true, f);
        on.step();
    }
    EXPECT_GT(std::ftell(f), 0);
    std::fclose(f);
}
