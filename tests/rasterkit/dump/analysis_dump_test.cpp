// The analysis dump tool on a generated scene: the page and field bitmaps as analysed here; bad calls' exit codes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "own_format_writers.h"
#include "plate_scene.h"
#include "rasterkit.h"
#include "readers.h"
#include "temp_dir.h"

namespace {

int run_tool(const std::string& args) {
    const int status = std::system((std::string(ANALYSIS_DUMP) + " " + args + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A PNG file's IHDR: width, height, bit depth and colour type.
std::vector<int> png_header(const std::string& path) {
    const std::vector<std::uint8_t> b = testsupport::read_bytes(path);
    if (b.size() < 26) return {};
    return {b[16] << 24 | b[17] << 16 | b[18] << 8 | b[19], b[20] << 24 | b[21] << 16 | b[22] << 8 | b[23], b[24], b[25]};
}

class AnalysisDump : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    testsupport::GrayImage scene = samples::to_gray(samples::draw_scene({800, 600, "AB 123", 3}));
    std::string image = dir.file("scene.pgm");
    void SetUp() override { testsupport::write_bytes(image, testsupport::pgm_file(scene)); }
};

TEST_F(AnalysisDump, WritesThePageAndEveryFieldBitmap) {
    SEG_set_image_file(image.c_str());  // the fields an analysis at depth 3 finds in this process
    ASSERT_EQ(SEG_open_image(), 1);
    ASSERT_EQ(SEG_analyze_image(3), 1);
    ASSERT_GE(SEG_get_results_number(), 1);
    const std::string out = dir.file("out");
    ASSERT_EQ(run_tool(image + " " + out + " --depth 3"), 0);
    EXPECT_EQ(png_header(out + "/page.png"), (std::vector<int>{800, 600, 8, 2}));  // 8-bit RGB
    rk::ReadResult page = rk::read_png((out + "/page.png").c_str());
    ASSERT_TRUE(page.ok());
    EXPECT_EQ(page.page.row(0)[0], scene.pixels[0]);  // the page corner keeps its gray
    int k = 0;
    for (const seg_result* r = results; r != nullptr; r = r->next) {
        SCOPED_TRACE(++k);
        EXPECT_EQ(page.page.row(r->top)[r->left], 76);  // each field frame's top left corner is red
        const std::string name = out + "/field-" + std::to_string(k) + ".png";
        EXPECT_EQ(png_header(name), (std::vector<int>{r->columns, r->lines, 1, 0}));  // 1-bit gray
        rk::ReadResult bitmap = rk::read_png(name.c_str());
        ASSERT_TRUE(bitmap.ok());
        int wrong = 0;  // every pixel as in the field bitmap
        for (int y = 0; y < r->lines; ++y)
            for (int x = 0; x < r->columns; ++x)
                wrong += bitmap.page.row(y)[x] != ((r->bitmap[y * r->bpl + x / 8] >> (7 - x % 8) & 1) ? 255 : 0);
        EXPECT_EQ(wrong, 0);
    }
    EXPECT_FALSE(std::filesystem::exists(out + "/field-" + std::to_string(k + 1) + ".png"));
    SEG_clear_analysis_results();
    SEG_close_image();
}

TEST_F(AnalysisDump, BadCallsGiveTheirExitCodes) {
    for (const char* args : {"", " --depth 6", " --pass 12", " --depth"})
        EXPECT_EQ(run_tool(image + (*args ? " " + dir.file("o") + args : "")), 2) << args;
    EXPECT_EQ(run_tool(dir.file("missing.pgm") + " " + dir.file("o")), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("o")));
}

}  // namespace
