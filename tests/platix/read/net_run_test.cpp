// The learned reader through the program: a model refused with its cause
// (exit status 2), and a model read into the JSON.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <regex>

#include "fresh_model.h"
#include "temp_dir.h"
#include "tool_run.h"

TEST(NetReaderRun, DamagedOrForeignModelExitsTwoWithItsCause) {
    testsupport::TempDir dir;
    write_fresh_model(dir.file("good.pnet"));
    std::ifstream in(dir.file("good.pnet"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    {
        std::ofstream(dir.file("cut.pnet"), std::ios::binary) << bytes.substr(0, bytes.size() / 2);
        std::string flipped = bytes;
        flipped[flipped.size() - 9] ^= 1;
        std::ofstream(dir.file("flipped.pnet"), std::ios::binary) << flipped;
        std::ofstream(dir.file("foreign.pnet"), std::ios::binary) << "GIF89a and more";
    }
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"cut.pnet", "model file truncated"},
        {"flipped.pnet", "checksum mismatch"},
        {"foreign.pnet", "not a model file"},
        {"none.pnet", "cannot open"},
    };
    for (const auto& [file, cause] : cases) {
        ToolRun r = platix("read --quiet --model " + dir.file(file) + " x.png", dir.path());
        EXPECT_EQ(r.status, 2) << file;
        EXPECT_NE(r.err.find(cause), std::string::npos) << file << ": " << r.err;
    }
}

TEST(NetReaderRun, ModelReadsScenesIntoTheJson) {
    testsupport::TempDir dir;
    write_fresh_model(dir.file("m.pnet"));
    ASSERT_EQ(platix("synth --out " + dir.file("s") + " --count 2 --seed 4", dir.path()).status, 0);
    ToolRun r = platix("read --quiet --jobs 2 --format json --topn 3 --region eu --model " + dir.file("m.pnet") + " " +
                           dir.file("s"),
                       dir.path());
    EXPECT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string line;
    int fields = 0;
    while (std::getline(lines, line)) {
        std::smatch m;
        std::string rest = line;
        while (std::regex_search(rest, m, std::regex("\"reader\": \"net\", \"confidence\": ([0-9.]+), \"candidates\": \\[([^\\]]*)\\]"))) {
            ++fields;
            EXPECT_LE(std::stod(m[1]), 1.0);
            const std::string cands = m[2];
            const auto n = std::count(cands.begin(), cands.end(), '{');
            EXPECT_LE(n, 3) << cands;
            rest = m.suffix();
        }
    }
    EXPECT_GT(fields, 0) << r.out;
}
