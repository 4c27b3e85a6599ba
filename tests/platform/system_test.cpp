// Clock, local time, processor count and current directory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "orvosys.h"

namespace {

TEST(TickCount, AdvancesInMilliseconds) {
    const uint32_t a = osys_tick_count();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const uint32_t elapsed = osys_tick_count() - a;
    EXPECT_GE(elapsed, 25u);
    EXPECT_LT(elapsed, 10000u);
}

TEST(LocalTime, FieldsAreInRangeAndANullRecordIsIgnored) {
    osys_time t{};
    osys_local_time(&t);
    EXPECT_GE(t.year, 2020);
    EXPECT_TRUE(t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31) << t.month << "/" << t.day;
    osys_local_time(nullptr);
}

TEST(ProcessorCount, IsAtLeastOneAndAtMostTheConfiguredCount) {
    const int n = osys_processor_count();
    EXPECT_GE(n, 1);
    EXPECT_LE(n, static_cast<int>(sysconf(_SC_NPROCESSORS_CONF)));
}

TEST(CurrentDirectory, MatchesGetcwdAndRefusesSmallBuffers) {
    char expected[4096], buf[4096], tiny[2];
    ASSERT_NE(getcwd(expected, sizeof expected), nullptr);
    EXPECT_EQ(osys_current_directory(buf, sizeof buf), std::strlen(expected));
    EXPECT_STREQ(buf, expected);
    EXPECT_EQ(osys_current_directory(tiny, sizeof tiny), 0u);
    EXPECT_EQ(osys_current_directory(nullptr, 10), 0u);
}

}  // namespace
