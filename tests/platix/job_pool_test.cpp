// Worker processes give the same results in the same order as one process.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include "job_pool.h"

using namespace platix;

namespace {

ImageResult fake(std::size_t i) {
    ImageResult r;
    r.path = "img" + std::to_string(i);
    r.status = ImageStatus::ok;
    r.ms = static_cast<long>(i * 3);
    r.maxcol = static_cast<int>(::getpid() % 100000);  // which process did it
    // Uneven work so that workers finish out of order.
    if (i % 3 == 0) ::usleep(3000);
    return r;
}

std::vector<std::string> run(std::size_t count, int jobs, std::vector<int>* pids = nullptr) {
    std::vector<std::string> seen;
    run_images(
        count, jobs, fake,
        [&](std::size_t i, ImageResult&& r) {
            EXPECT_EQ(i, seen.size());
            seen.push_back(r.path + ":" + std::to_string(r.ms));
            if (pids) pids->push_back(r.maxcol);
        },
        [](std::size_t i) { return "img" + std::to_string(i); });
    return seen;
}

}  // namespace

TEST(JobPoolOrder, SameOutputForOneAndSeveralJobs) {
    const auto one = run(17, 1);
    ASSERT_EQ(one.size(), 17u);
    EXPECT_EQ(one[16], "img16:48");
    std::vector<int> pids;
    EXPECT_EQ(run(17, 3, &pids), one);
    EXPECT_EQ(run(17, 40), one);
    // Work really ran in other processes, spread over three of them.
    const int me = static_cast<int>(::getpid() % 100000);
    EXPECT_NE(pids[0], me);
    EXPECT_NE(pids[0], pids[1]);
    EXPECT_EQ(pids[0], pids[3]);
}

TEST(JobPoolFailure, DeadWorkerCostsOnlyItsImage) {
    std::vector<std::string> seen;
    run_images(
        9, 2,
        [](std::size_t i) {
            if (i == 2) ::raise(SIGKILL);
            return fake(i);
        },
        [&](std::size_t, ImageResult&& r) {
            seen.push_back(r.path + (r.status == ImageStatus::ok ? "" : " failed: " + r.error));
        },
        [](std::size_t i) { return "img" + std::to_string(i); });
    ASSERT_EQ(seen.size(), 9u);
    EXPECT_EQ(seen[2], "img2 failed: the analysis process ended unexpectedly");
    EXPECT_EQ(seen[4], "img4");  // the replacement worker went on
    EXPECT_EQ(seen[8], "img8");
    EXPECT_EQ(seen[3], "img3");
}
