// The README's first command: the built program reads every bundled sample
// scene with the bundled learned model (the default) and with the bundled
// knowledge base, and prints each plate as labelled.
#include <gtest/gtest.h>

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
        if (e.path().extension() != ".txt") continue;
        std::ifstream in(e.path());
        std::string name, x, y, w, h, plate;
        std::getline(in, name, '\t');
        std::getline(in, x, '\t');
        std::getline(in, y, '\t');
        std::getline(in, w, '\t');
        std::getline(in, h, '\t');
        std::getline(in, plate);
        out[name] = plate;
    }
    return out;
}

// The line's text without the blanks and field separators.
std::string plate_of(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != ' ' && c != '|') out += c;
    return out;
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
        std::map<std::string, std::string> read;
        std::istringstream lines(r.out);
        std::string line;
        while (std::getline(lines, line)) {
            const auto tab = line.find('\t');
            ASSERT_NE(tab, std::string::npos) << line;
            read[fs::path(line.substr(0, tab)).filename().string()] = line.substr(tab + 1);
        }
        EXPECT_EQ(read.size(), labels.size()) << how << r.out;
        for (const auto& [name, plate] : labels) {
            ASSERT_TRUE(read.count(name)) << name << " was not read:\n" << r.out;
            // The whole line is the plate: no field missed, none made up.
            EXPECT_EQ(plate_of(read[name]), plate) << how << name << " read as '" << read[name] << "'";
        }
    }
}
