// The program as a new user meets it: the bundled data by default, damaged bases and models refused first, stdin, --version.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "temp_dir.h"
#include "tool_run.h"

namespace fs = std::filesystem;

namespace {

const std::string kRoot = PLATIX_SOURCE_DIR;
const std::string kSample = kRoot + "/data/samples/scene00001.jpg";
const std::string kBundledKb = kRoot + "/data/kb/plates.kbf";

long line_count(const std::string& s) { return std::count(s.begin(), s.end(), '\n'); }

}  // namespace

// The bundled model and base taken by default, and saying so once: bundled_samples_test.
TEST(PlatixDefaultData, KbNoneReadsNothingAndWithoutBundledDataTheUserIsToldWhatToGive) {
    testsupport::TempDir dir;
    const ToolRun none = platix("read --kb none " + kSample, dir.path());
    EXPECT_TRUE(none.status == 0 && none.out == kSample + "\t\n" && none.err.empty()) << none.out << none.err;
    ::setenv("ORVO_DATA_DIR", dir.path().c_str(), 1);
    const ToolRun missing = platix("read " + kSample, dir.path());
    ::unsetenv("ORVO_DATA_DIR");
    EXPECT_TRUE(missing.status == 2 && missing.out.empty() && missing.err.find("--kb none") != std::string::npos) << missing.err;
}

TEST(PlatixDamagedData, KnowledgeBasesAndModelsRefusedWithOneLineAndStatus2BeforeAnyImage) {
    testsupport::TempDir dir;
    const auto bundled = testsupport::read_bytes(kBundledKb);
    auto model = testsupport::read_bytes(kRoot + "/data/models/plates.pnet"), flipped = model;
    flipped[flipped.size() - 9] ^= 1;
    model.resize(model.size() / 2);
    const struct { const char* name; std::vector<std::uint8_t> bytes; const char* why; } cases[] = {
        {"zero.kbf", {}, "empty or unreadable"},
        {"truncated.kbf", {bundled.begin(), bundled.begin() + 1000}, "damaged knowledge base"},
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
    EXPECT_TRUE(train.status == 2 && train.err == "platix: " + lone + ": its patterns file " + dir.file("lone.dat") +
                                         " is missing or unreadable; training would drop every sample it held\n") << train.err;
    EXPECT_EQ(testsupport::read_bytes(lone), bundled);
}

TEST(PlatixInputs, StandardInputReadsLikeTheFileVersionPrintsAndAPhotoGivenAsLabelsGivesOneLine) {
    testsupport::TempDir dir;
    const ToolRun file = platix("read --quiet " + kSample, dir.path()), piped = platix("read --quiet - < " + kSample, dir.path());
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, "-" + file.out.substr(kSample.size()));
    const ToolRun version = platix("--version", dir.path());
    EXPECT_TRUE(version.status == 0 && version.out.rfind("platix ", 0) == 0 && line_count(version.out) == 1) << version.out;
    const ToolRun bench = platix("bench -q " + kSample, dir.path());  // the file's line, then "no labelled image found"
    EXPECT_TRUE(bench.status == 1 && bench.out.empty() && line_count(bench.err) == 2) << bench.err;
    EXPECT_NE(bench.err.find(kSample + ":1: "), std::string::npos) << bench.err;
}
