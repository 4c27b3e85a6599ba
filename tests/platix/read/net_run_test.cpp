// The learned reader through the program: a model refused with its cause (exit status 2).
#include <gtest/gtest.h>

#include "fresh_model.h"
#include "temp_dir.h"
#include "tool_run.h"

TEST(NetReaderRun, DamagedOrForeignModelExitsTwoWithItsCause) {
    testsupport::TempDir dir;
    write_fresh_model(dir.file("good.pnet"));
    const std::string bytes = file_text(dir.file("good.pnet"));
    std::string flipped = bytes;
    flipped[flipped.size() - 9] ^= 1;
    const std::pair<std::string, std::string> cases[] = {
        {bytes.substr(0, bytes.size() / 2), "model file truncated"},
        {flipped, "checksum mismatch"},
        {"GIF89a and more", "not a model file"},
        {"", "cannot open"},
    };
    for (const auto& [content, cause] : cases) {
        const std::string model = content.empty() ? dir.file("none.pnet") : dir.file("m.pnet");
        if (!content.empty()) std::ofstream(model, std::ios::binary) << content;
        const ToolRun r = platix("read --quiet --model " + model + " x.png", dir.path());
        EXPECT_EQ(r.status, 2) << cause;
        EXPECT_NE(r.err.find(cause), std::string::npos) << r.err;
    }
}
