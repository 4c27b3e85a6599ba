// The built program end to end: synthesise, train (with variants, in folds), read, bench; exit statuses; coordinates.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>

#include "temp_dir.h"
#include "tool_run.h"

namespace fs = std::filesystem;

namespace {

class PlatixEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new testsupport::TempDir();
        ASSERT_EQ(platix("synth --out " + dir_->file("train") + " --count 60 --seed 3", dir_->path()).status, 0);
        ASSERT_EQ(platix("synth --out " + dir_->file("test") + " --count 16 --seed 77", dir_->path()).status, 0);
        trained_ = platix("train --quiet --jobs 2 --kb " + dir_->file("kb/plates.kbf") + " " + dir_->file("train"),
                          dir_->path());
    }
    static void TearDownTestSuite() { delete dir_; }
    static inline testsupport::TempDir* dir_ = nullptr;
    static inline ToolRun trained_;
};

}  // namespace

TEST_F(PlatixEndToEnd, TrainingWritesTheBaseAndHeldOutScenesAreReadAboveTheFloor) {
    ASSERT_EQ(trained_.status, 0) << trained_.err;
    EXPECT_TRUE(fs::exists(dir_->file("kb/plates.kbf")) && fs::exists(dir_->file("kb/plates.dat")));
    const ToolRun r = platix("bench --quiet --jobs 2 --kb " + dir_->file("kb/plates.kbf") + " --json " + dir_->file("b.json") +
                             " " + dir_->file("test"), dir_->path());
    ASSERT_EQ(r.status, 0) << r.err;
    const BenchTotals t = bench_totals(dir_->file("b.json"));
    EXPECT_TRUE(t.images == 16 && t.located >= PLATIX_LOCATED_FLOOR && t.exact >= PLATIX_EXACT_FLOOR) << r.out;
}

TEST(PlatixExitStatus, UsageErrorsGiveTwoAndOneLineHelpGivesZero) {
    testsupport::TempDir dir;
    // The message of a usage error: the --region run of plate_syntax_test.
    for (const std::string& args : {std::string("read --bogus x.png"), std::string("frobnicate"), "read --kb " + dir.file("none.kbf") + " x.png"})
        EXPECT_EQ(platix(args, dir.path()).status, 2) << args;
    const ToolRun help = platix("read --help", dir.path());
    EXPECT_TRUE(help.status == 0 && help.out.find("--annotate DIR") != std::string::npos) << help.out;
}

TEST(PlatixExitStatus, UnreadableAndOversizedImagesAreReportedAndTheRunGoesOn) {
    testsupport::TempDir dir;
    std::ofstream(dir.file("bad.png")) << "this is not a picture at all";
    ASSERT_EQ(platix("synth --out " + dir.file("s") + " --count 1 --seed 4", dir.path()).status, 0);
    const std::string scene = dir.file("s/scene00001.png");
    ToolRun r = platix("read --quiet " + dir.file("bad.png") + " " + dir.file("missing.png") + " " + scene, dir.path());
    EXPECT_TRUE(r.status == 1 && r.out.find(scene + "\t") != std::string::npos) << r.out;
    EXPECT_NE(r.err.find(dir.file("bad.png") + ": not a recognised image format"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(dir.file("missing.png") + ": cannot open the file"), std::string::npos) << r.err;
    r = platix("read --quiet --max-pixels 1000 " + scene, dir.path());
    EXPECT_TRUE(r.status == 1 && r.err.find(scene + ": the image has ") != std::string::npos &&
                r.err.find("pixels, more than 1000 (--max-pixels)") != std::string::npos) << r.err;
}

// A scene padded to 820 x 615 and doubled: read reduced by exactly 2, its boxes are the padded one's in file pixels.
TEST(PlatixCoordinates, ReducedImageBoxesAreInFilePixels) {
    testsupport::TempDir dir;
    ASSERT_EQ(platix("synth --image-format png --out " + dir.file("s") + " --count 3 --seed 21", dir.path()).status, 0);
    int compared = 0;
    for (int k = 1; k <= 3; ++k) {
        const Gray g = read_gray(dir.file("s/scene0000" + std::to_string(k) + ".png"));
        ASSERT_GT(g.w, 0);
        Gray small{820, 615, std::vector<unsigned char>(820 * 615, 255)}, big{1640, 1230, {}};
        for (int y = 0; y < g.h && y < small.h; ++y)
            std::copy_n(&g.px[static_cast<std::size_t>(y * g.w)], g.w, &small.px[static_cast<std::size_t>(y * 820)]);
        for (int i = 0; i < 1640 * 1230; ++i) big.px.push_back(small.px[static_cast<std::size_t>((i / 1640 / 2) * 820 + i % 1640 / 2)]);
        write_gray(dir.file("small.png"), small);
        write_gray(dir.file("big.png"), big);
        const ToolRun a = platix("read --quiet --format json " + dir.file("small.png"), dir.path()),
                      b = platix("read --quiet --format json " + dir.file("big.png"), dir.path());
        ASSERT_TRUE(a.status == 0 && b.status == 0) << a.err << b.err;
        EXPECT_NE(a.out.find("\"width\": 820, \"height\": 615, \"page\": [820, 615], \"scale\": [1, 1]"), std::string::npos) << a.out;
        EXPECT_NE(b.out.find("\"width\": 1640, \"height\": 1230, \"page\": [820, 615], \"scale\": [-2, -2]"), std::string::npos) << b.out;
        const auto sa = boxes(a.out), sb = boxes(b.out);
        ASSERT_EQ(sa.size(), sb.size());
        for (std::size_t i = 0; i < sa.size(); ++i, ++compared)
            EXPECT_EQ(sb[i], (std::array<int, 4>{2 * sa[i][0], 2 * sa[i][1], 2 * sa[i][2] + 1, 2 * sa[i][3] + 1})) << i;
    }
    EXPECT_GT(compared, 0);
}

// A 200 x 150 crop around a plate is enlarged 3 times; its boxes stay in the file.
TEST(PlatixCoordinates, EnlargedImageBoxesStayInTheFile) {
    testsupport::TempDir dir;
    ASSERT_EQ(platix("synth --image-format png --out " + dir.file("s") + " --count 1 --seed 8", dir.path()).status, 0);
    const Gray g = read_gray(dir.file("s/scene00001.png"));
    std::string name;
    int x = 0, y = 0, w = 0, h = 0;
    std::ifstream(dir.file("s/scene00001.txt")) >> name >> x >> y >> w >> h;
    const int x0 = std::clamp(x + w / 2 - 100, 0, g.w - 200), y0 = std::clamp(y + h / 2 - 75, 0, g.h - 150);
    Gray crop{200, 150, {}};
    for (int i = 0; i < 200 * 150; ++i) crop.px.push_back(g.px[static_cast<std::size_t>((y0 + i / 200) * g.w + x0 + i % 200)]);
    write_gray(dir.file("crop.png"), crop);
    for (const std::string analysis : {"extended", "basic"}) {
        ToolRun r = platix("read --quiet --format json " + std::string(analysis == "basic" ? "--basic-analysis " : "") +
                               dir.file("crop.png"), dir.path());
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("\"analysis\": \"" + analysis + "\""), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("\"width\": 200, \"height\": 150, \"page\": [600, 450], \"scale\": [3, 3]"), std::string::npos) << r.out;
        for (const auto& b : boxes(r.out))
            EXPECT_TRUE(b[0] >= 0 && b[1] >= 0 && b[2] <= 199 && b[3] <= 149 && b[0] <= b[2] && b[1] <= b[3])
                << b[0] << "," << b[1] << "," << b[2] << "," << b[3];
    }
}

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
    const ToolRun bench = platix("bench --quiet --jobs 2 --kb " + dir.file("eu.kbf") + " --json " + dir.file("b.json") + " " +
                                 dir.file("fresh"), dir.path());
    ASSERT_EQ(bench.status, 0) << bench.err;
    const BenchTotals t = bench_totals(dir.file("b.json"));
    EXPECT_TRUE(t.images == 20 && t.exact >= PLATIX_EU_EXACT_FLOOR) << bench.out;
}

TEST(PlatixTrainingRun, FoldsReadEveryImageOnceWithBasesTrainedOnTheOthers) {
    testsupport::TempDir dir;
    ASSERT_EQ(platix("synth --out " + dir.file("scenes") + " --count 12 --seed 21", dir.path()).status, 0);
    const ToolRun r = platix("bench --quiet --jobs 2 --folds 3 --reader box --augment 2 --json " + dir.file("f.json") + " " +
                             dir.file("scenes"), dir.path());
    ASSERT_EQ(r.status, 0) << r.err;
    for (int f = 1; f <= 3; ++f)
        EXPECT_NE(r.err.find("fold " + std::to_string(f) + " of 3: trained on 8 images"), std::string::npos) << r.err;
    const BenchTotals t = bench_totals(dir.file("f.json"));
    EXPECT_TRUE(t.images == 12 && t.located > 0.0) << r.out;
    EXPECT_EQ(platix("bench --folds 3 --kb " + dir.file("x.kbf") + " " + dir.file("scenes"), dir.path()).status, 2);
}
