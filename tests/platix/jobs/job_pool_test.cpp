// Worker processes: results in index order, an idle worker takes the next image, a dead one costs only its image.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <set>

#include "job_pool.h"

using namespace platix;

namespace {

// Image i as "imgI:MS/PID"; image 0 is slow, every third one a little slow, and image `fatal` kills its worker.
std::vector<std::string> run(std::size_t count, int jobs, std::size_t fatal, std::vector<int>* pids) {
    std::vector<std::string> seen;
    run_images(count, jobs,
        [fatal](std::size_t i) {
            if (i == fatal) ::raise(SIGKILL);
            ::usleep(i == 0 ? 300000 : i % 3 == 0 ? 3000 : 0);
            ImageResult r;
            r.path = "img" + std::to_string(i), r.status = ImageStatus::ok, r.ms = static_cast<long>(i * 3);
            r.maxcol = static_cast<int>(::getpid() % 100000);  // which process did it
            return r;
        },
        [&](std::size_t i, ImageResult&& r) {
            EXPECT_EQ(i, seen.size());
            seen.push_back(r.path + (r.status == ImageStatus::ok ? ":" + std::to_string(r.ms) : " failed: " + r.error));
            pids->push_back(r.maxcol);
        },
        [](std::size_t i) { return "img" + std::to_string(i); });
    return seen;
}

}  // namespace

TEST(JobPool, SameOrderedResultsForAnyJobCountIdleWorkersTakeTheNextImageAndADeadOneCostsItsImage) {
    std::vector<int> in_process, pids;
    const auto one = run(12, 1, 99, &in_process);
    ASSERT_TRUE(one.size() == 12u && one[11] == "img11:33") << one.size();
    EXPECT_EQ(run(12, 3, 99, &pids), one);
    // Three other processes did the work; the one with the slow image 0 did at most one more (the last).
    EXPECT_EQ(std::set<int>(pids.begin(), pids.end()).size(), 3u);
    EXPECT_EQ(std::set<int>(pids.begin(), pids.end()).count(in_process[0]), 0u);
    EXPECT_LE(std::count(pids.begin(), pids.end(), pids[0]), 2);
    auto dead = one;
    dead[2] = "img2 failed: the analysis process ended unexpectedly";
    EXPECT_EQ(run(12, 2, 2, &pids), dead);  // the replacement worker goes on with the rest
    pids.clear();
    EXPECT_EQ(run(12, 40, 99, &pids), one);
}
