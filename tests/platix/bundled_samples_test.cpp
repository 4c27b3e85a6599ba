// The README's first command: every bundled sample reads as labelled with the bundled model and base, said once.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "temp_dir.h"
#include "tool_run.h"

namespace fs = std::filesystem;

namespace {

// NAME -> PLATE from the label files of a folder.
std::map<std::string, std::string> labels_of(const std::string& folder) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) {
        std::ifstream in(e.path());
        std::string name, x, y, w, h, plate;
        if (e.path().extension() == ".txt" && in >> name >> x >> y >> w >> h && std::getline(in >> std::ws, plate))
            out[name] = plate;
    }
    return out;
}

}  // namespace

TEST(PlatixBundledSamples, EverySampleReadsAsItsLabel) {
    testsupport::TempDir dir;
    const std::string root = PLATIX_SOURCE_DIR;
    const auto labels = labels_of(root + "/data/samples");
    ASSERT_GE(labels.size(), 5u);
    for (const auto& [how, said] : {std::pair{"", "bundled learned model"}, {"--reader box ", "bundled knowledge base"}}) {
        const ToolRun r = platix(std::string("read ") + how + root + "/data/samples", dir.path());
        ASSERT_EQ(r.status, 0) << r.err;
        const auto at = r.err.find(said);
        EXPECT_TRUE(at != std::string::npos && r.err.find(said, at + 1) == std::string::npos) << r.err;
        std::map<std::string, std::string> read;  // the whole line is the plate: no field missed, none made up
        std::istringstream lines(r.out);
        for (std::string line; std::getline(lines, line);) {
            std::string text = line.substr(line.find('\t') + 1);
            text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == ' ' || c == '|'; }), text.end());
            read[fs::path(line.substr(0, line.find('\t'))).filename().string()] = text;
        }
        EXPECT_EQ(read, labels) << how << r.out;
    }
}
