// The README's first command: the built program reads every bundled sample
// scene with the bundled learned model (the default) and with the bundled
// knowledge base, and prints each plate as labelled.
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

// The line's text without the blanks and field separators.
std::string plate_of(std::string text) {
    text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == ' ' || c == '|'; }), text.end());
    return text;
}

}  // namespace

TEST(PlatixBundledSamples, EverySampleReadsAsItsLabel) {
    testsupport::TempDir dir;
    const std::string root = PLATIX_SOURCE_DIR;
    const auto labels = labels_of(root + "/data/samples");
    ASSERT_GE(labels.size(), 5u);
    for (const std::string& how : {std::string(), "--kb " + root + "/data/kb/plates.kbf "}) {
        ToolRun r = platix("read --quiet " + how + root + "/data/samples", dir.path());
        ASSERT_EQ(r.status, 0) << r.err;
        // The whole line is the plate: no field missed, none made up.
        std::map<std::string, std::string> read;
        std::istringstream lines(r.out);
        for (std::string line; std::getline(lines, line);)
            read[fs::path(line.substr(0, line.find('\t'))).filename().string()] = plate_of(line.substr(line.find('\t') + 1));
        EXPECT_EQ(read, labels) << how << r.out;
    }
}
