// The progress bar: its text, and nothing drawn when it is disabled.
#include <gtest/gtest.h>

#include <cstdio>

#include "progress.h"

using namespace platix;

TEST(ProgressBar, RendersCountsRateAndTimeLeftAndIsSilentWhenDisabled) {
    EXPECT_EQ(ProgressBar::render(5, 20, 2.5, 10), "[##........] 5/20  2.0 img/s  0:08 left");
    EXPECT_EQ(ProgressBar::render(0, 3, 0.0, 4), "[....] 0/3  -- img/s");
    EXPECT_EQ(ProgressBar::render(200, 200, 100.0, 4), "[####] 200/200  2.0 img/s  0:00 left");
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    for (bool enabled : {false, true}) {
        ProgressBar bar(3, enabled, f);
        bar.step();
    }
    const long drawn = std::ftell(f);
    std::rewind(f);
    char first = 0;
    EXPECT_TRUE(drawn > 0 && std::fread(&first, 1, 1, f) == 1 && first == '\r') << drawn;  // only the enabled bar
    std::fclose(f);
}
