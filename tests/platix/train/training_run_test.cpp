// Training runs of the built program: European-style synthetic plates
// trained with variants and read on fresh scenes of the same style, and
// cross-validation over a labelled folder.
#include <gtest/gtest.h>

#include <regex>

#include "temp_dir.h"
#include "tool_run.h"


TEST(PlatixTrainingRun, EuropeanPlatesTrainedWithVariantsReadFreshOnes) {
    testsupport::TempDir dir;
    ASSERT_EQ(platix("synth --style eu --out " + dir.file("train") + " --count 60 --seed 11", dir.path()).status, 0);
    ASSERT_EQ(platix("synth --style eu --out " + dir.file("fresh") + " --count 20 --seed 12", dir.path()).status, 0);
    const ToolRun trained =
        platix("train --quiet --jobs 2 --augment 20 --kb " + dir.file("eu.kbf") + " " + dir.file("train"), dir.path());
    ASSERT_EQ(trained.status, 0) << trained.err;
    const std::regex variants("pass 1: .*characters taught (\\d+).*variants taught (\\d+)");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(trained.out, m, variants)) << trained.out;
    EXPECT_GT(std::stoi(m[2]), 0);
    const ToolRun bench = platix("bench --quiet --jobs 2 --kb " + dir.file("eu.kbf") + " --json " + dir.file("b.json") +
                                     " " + dir.file("fresh"),
                                 dir.path());
    ASSERT_EQ(bench.status, 0) << bench.err;
    const BenchTotals t = bench_totals(dir.file("b.json"));
    EXPECT_EQ(t.images, 20);
    EXPECT_GE(t.exact, PLATIX_EU_EXACT_FLOOR) << bench.out;
}

TEST(PlatixTrainingRun, FoldsReadEveryImageOnceWithBasesTrainedOnTheOthers) {
    testsupport::TempDir dir;
    ASSERT_EQ(platix("synth --out " + dir.file("scenes") + " --count 12 --seed 21", dir.path()).status, 0);
    const ToolRun r = platix("bench --quiet --jobs 2 --folds 3 --reader box --augment 2 --json " + dir.file("f.json") + " " +
                                 dir.file("scenes"),
                             dir.path());
    ASSERT_EQ(r.status, 0) << r.err;
    for (int f = 1; f <= 3; ++f)
        EXPECT_NE(r.err.find("fold " + std::to_string(f) + " of 3: trained on 8 images"), std::string::npos) << r.err;
    const BenchTotals t = bench_totals(dir.file("f.json"));
    EXPECT_EQ(t.images, 12);
    EXPECT_GT(t.located, 0.0);
    // --kb and --folds do not go together.
    EXPECT_EQ(platix("bench --folds 3 --kb " + dir.file("x.kbf") + " " + dir.file("scenes"), dir.path()).status, 2);
}
