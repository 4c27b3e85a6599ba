// The program as a new user meets it: the bundled data taken by default, damaged knowledge bases and
// models refused before any image is read, standard input and --version.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "fresh_model.h"
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

TEST(PlatixDamagedData, KnowledgeBasesAndModelsRefusedWithOneLineAndStatus2BeforeAnyImage) {
    testsupport::TempDir dir;
    const auto bundled = testsupport::read_bytes(kBundledKb);
    std::vector<std::uint8_t> random(1000);
    unsigned s = 7;
    for (auto& b : random) b = static_cast<std::uint8_t>((s = s * 1103515245u + 12345u) >> 24);
    write_fresh_model(dir.file("good.pnet"));
    auto model = testsupport::read_bytes(dir.file("good.pnet")), flipped = model;
    flipped[flipped.size() - 9] ^= 1;
    model.resize(model.size() / 2);
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* why;
    } cases[] = {
        {"zero.kbf", {}, "empty or unreadable"},
        {"random.kbf", random, "damaged knowledge base"},
        {"truncated.kbf", {bundled.begin(), bundled.begin() + 1000}, "damaged knowledge base"},
        {"photo.kbf", testsupport::read_bytes(kSample), "damaged knowledge base"},
        {"cut.pnet", model, "model file truncated"},
        {"flipped.pnet", flipped, "checksum mismatch"},
        {"foreign.pnet", {'G', 'I', 'F', '8', '9', 'a', 0, 0}, "not a model file"},
        {"none.pnet", {}, "cannot open"},
    };
    for (const auto& c : cases) {
        const std::string file = dir.file(c.name), option = file.back() == 'f' ? " --kb " : " --model ";
        if (std::string(c.name) != "none.pnet") testsupport::write_bytes(file, c.bytes);
        for (const std::string& command : {"read" + option + file + " " + kSample, "bench" + option + file + " " + kRoot + "/data/samples"}) {
            const ToolRun r = platix(command, dir.path());
            EXPECT_TRUE(r.status == 2 && r.out.empty()) << command;
            const std::string named = option == " --kb " ? file : "--model " + file;  // a model is named with its option
            EXPECT_TRUE(r.err.rfind("platix: " + named + ": ", 0) == 0 && line_count(r.err) == 1) << r.err;
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
