// Clock, local time, processor count and current directory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "orvosys.h"

namespace {

TEST(TickCount, AdvancesInMilliseconds) {
    uint32_t a = osys_tick_count();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    uint32_t elapsed = osys_tick_count() - a;
    EXPECT_GE(elapsed, 25u);
    EXPECT_LT(elapsed, 10000u);
}

TEST(LocalTime, FieldsAreInRange) {
    osys_time t{};
    osys_local_time(&t);
    EXPECT_GE(t.year, 2020);
    EXPECT_GE(t.month, 1);
    EXPECT_LE(t.month, 12);
    EXPECT_GE(t.day, 1);
    EXPECT_LE(t.day, 31);
    EXPECT_LE(t.hour, 23);
    EXPECT_LE(t.minute, 59);
    EXPECT_LE(t.second, 60);
    osys_local_time(nullptr);
}

TEST(ProcessorCount, IsAtLeastOneAndAtMostTheOnlineCount) {
    int n = osys_processor_count();
    EXPECT_GE(n, 1);
    EXPECT_LE(n, static_cast<int>(sysconf(_SC_NPROCESSORS_CONF)));
}

TEST(CurrentDirectory, MatchesGetcwdAndRefusesSmallBuffers) {
    char expected[4096];
    ASSERT_NE(getcwd(expected, sizeof expected), nullptr);
    char buf[4096];
    EXPECT_EQ(osys_current_directory(buf, sizeof buf), std::strlen(expected));
    EXPECT_STREQ(buf, expected);
    char tiny[2];
    EXPECT_EQ(osys_current_directory(tiny, sizeof tiny), 0u);
    EXPECT_EQ(osys_current_directory(nullptr, 10), 0u);
}

}  // namespace
