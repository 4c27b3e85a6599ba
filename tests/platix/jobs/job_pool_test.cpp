// Worker processes give the same results in the same order as one process.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <set>

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
    std::set<int> workers(pids.begin(), pids.end());
    EXPECT_EQ(workers.count(me), 0u);
    EXPECT_EQ(workers.size(), 3u);
}

TEST(JobPoolBalance, AnIdleWorkerTakesTheNextImage) {
    // Image 0 is slow: its worker does no other image while the others share the rest.
    std::vector<int> pids;
    run_images(
        12, 3,
        [](std::size_t i) {
            ImageResult r = fake(i);
            if (i == 0) ::usleep(300000);
            return r;
        },
        [&](std::size_t, ImageResult&& r) { pids.push_back(r.maxcol); },
        [](std::size_t i) { return "img" + std::to_string(i); });
    ASSERT_EQ(pids.size(), 12u);
    int with_slow = 0;
    for (int p : pids) with_slow += p == pids[0] ? 1 : 0;
    EXPECT_LE(with_slow, 2);  // the slow image, and perhaps the last one
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
    // The replacement worker goes on with the rest.
    EXPECT_EQ(seen, (std::vector<std::string>{"img0", "img1", "img2 failed: the analysis process ended unexpectedly",
                                              "img3", "img4", "img5", "img6", "img7", "img8"}));
}
