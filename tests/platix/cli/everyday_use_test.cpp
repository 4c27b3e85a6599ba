// The program as a new user meets it: the bundled data taken by default, damaged knowledge bases
// refused before any image is read, standard input and --version.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "temp_dir.h"
#include "tool_run.h"

namespace fs = std::filesystem;

namespace {

const std::string kRoot = PLATIX_SOURCE_DIR;
const std::string kSample = kRoot + "/data/samples/scene00001.jpg";
const std::string kBundledKb = kRoot + "/data/kb/plates.kbf";

long line_count(const std::string& s) { return std::count(s.begin(), s.end(), '\n'); }

}  // namespace

TEST(PlatixDefaultData, WithoutKbOrModelTheBundledModelReadsAndSaysSoOnce) {
    testsupport::TempDir dir;
    for (const auto& [given_args, default_args, said] :
         {std::tuple<std::string, std::string, std::string>{"--model " + kRoot + "/data/models/plates.pnet", "",
                                                            "bundled learned model"},
          {"--kb " + kBundledKb, "--reader box", "bundled knowledge base"}}) {
        const ToolRun given = platix("read " + given_args + " " + kSample, dir.path());
        const ToolRun by_default = platix("read " + default_args + " " + kSample + " " + kSample, dir.path());
        ASSERT_TRUE(given.status == 0 && by_default.status == 0) << given.err << by_default.err;
        EXPECT_EQ(by_default.out, given.out + given.out);
        EXPECT_GT(given.out.size(), kSample.size() + 2) << "the sample should read some text: " << given.out;
        EXPECT_TRUE(line_count(by_default.err) == 1 && by_default.err.find(said) != std::string::npos) << by_default.err;
    }

    const ToolRun none = platix("read --kb none " + kSample, dir.path());
    EXPECT_TRUE(none.status == 0 && none.out == kSample + "\t\n" && none.err.empty()) << none.out << none.err;

    // Without the bundled data and without --kb the user is told what to give.
    ::setenv("ORVO_DATA_DIR", dir.path().c_str(), 1);
    const ToolRun missing = platix("read " + kSample, dir.path());
    ::unsetenv("ORVO_DATA_DIR");
    EXPECT_TRUE(missing.status == 2 && missing.out.empty() && missing.err.find("--kb none") != std::string::npos) << missing.err;
}

TEST(PlatixDamagedKb, RefusedWithOneLineAndStatus2BeforeAnyImage) {
    testsupport::TempDir dir;
    const auto bundled = testsupport::read_bytes(kBundledKb);
    std::vector<std::uint8_t> random(1000);
    unsigned s = 7;
    for (auto& b : random) b = static_cast<std::uint8_t>((s = s * 1103515245u + 12345u) >> 24);
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* why;
    } cases[] = {
        {"zero.kbf", {}, "empty or unreadable"},
        {"random.kbf", random, "damaged knowledge base"},
        {"truncated.kbf", {bundled.begin(), bundled.begin() + 1000}, "damaged knowledge base"},
        {"photo.kbf", testsupport::read_bytes(kSample), "damaged knowledge base"},
    };
    for (const auto& c : cases) {
        const std::string kb = dir.file(c.name);
        testsupport::write_bytes(kb, c.bytes);
        for (const std::string& command : std::vector<std::string>{"read --kb " + kb + " " + kSample,
                                          "bench --kb " + kb + " " + kRoot + "/data/samples"}) {
            const ToolRun r = platix(command, dir.path());
            EXPECT_TRUE(r.status == 2 && r.out.empty()) << command;
            EXPECT_TRUE(r.err.rfind("platix: " + kb + ": ", 0) == 0 && line_count(r.err) == 1) << r.err;
            EXPECT_NE(r.err.find(c.why), std::string::npos) << r.err;
        }
    }
    // A base copied without its patterns file reads, but is not trained.
    const std::string lone = dir.file("lone.kbf");
    fs::copy_file(kBundledKb, lone);
    EXPECT_EQ(platix("read --quiet --kb " + lone + " " + kSample, dir.path()).status, 0);
    const ToolRun train = platix("train --quiet --kb " + lone + " " + kRoot + "/data/samples", dir.path());
    EXPECT_EQ(train.status, 2);
    EXPECT_EQ(train.err, "platix: " + lone + ": its patterns file " + dir.file("lone.dat") +
                             " is missing or unreadable; training would drop every sample it held\n");
    EXPECT_EQ(testsupport::read_bytes(lone), bundled);
}

TEST(PlatixInputs, StandardInputReadsLikeTheFileVersionPrintsAndAPhotoGivenAsLabelsGivesOneLine) {
    testsupport::TempDir dir;
    const ToolRun file = platix("read --quiet " + kSample, dir.path());
    const ToolRun piped = platix("read --quiet - < " + kSample, dir.path());
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, "-" + file.out.substr(kSample.size()));
    const ToolRun version = platix("--version", dir.path());
    EXPECT_TRUE(version.status == 0 && version.out.rfind("platix ", 0) == 0 && line_count(version.out) == 1) << version.out;
    const ToolRun bench = platix("bench -q " + kSample, dir.path());
    EXPECT_TRUE(bench.status == 1 && bench.out.empty());
    // The file, then "no labelled image found".
    EXPECT_TRUE(line_count(bench.err) == 2 && bench.err.find(kSample + ":1: ") != std::string::npos) << bench.err;
}
