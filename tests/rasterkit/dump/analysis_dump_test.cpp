// The analysis dump tool on a generated scene: the page picture and one
// bitmap per field, compared with an analysis made here; bad calls' exit codes.
#include <gtest/gtest.h>

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "own_format_writers.h"
#include "plate_scene.h"
#include "rasterkit.h"
#include "temp_dir.h"

namespace {

struct Png {
    bool ok = false;
    int width = 0, height = 0, bit_depth = 0, colour_type = -1;
    std::vector<std::vector<unsigned char>> rows;  // as stored: packed bits or RGB bytes
};

Png read_png(const std::string& path) {
    Png out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return out;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, f);
        png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
        out.width = static_cast<int>(png_get_image_width(png, info));
        out.height = static_cast<int>(png_get_image_height(png, info));
        out.bit_depth = png_get_bit_depth(png, info);
        out.colour_type = png_get_color_type(png, info);
        const std::size_t bytes = png_get_rowbytes(png, info);
        png_bytepp rows = png_get_rows(png, info);
        for (int y = 0; y < out.height; ++y) out.rows.emplace_back(rows[y], rows[y] + bytes);
        out.ok = true;
    }
    png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
    std::fclose(f);
    return out;
}

int run_tool(const std::string& args) {
    const std::string command = std::string(ANALYSIS_DUMP) + " " + args + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Field { int left, top, right, bottom, columns, lines, bpl; std::vector<unsigned char> bits; };

class AnalysisDump : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    testsupport::GrayImage scene;
    std::string image;

    void SetUp() override {
        samples::SceneOptions o;
        o.width = 800;
        o.height = 600;
        o.seed = 3;
        scene = samples::to_gray(samples::draw_scene(o));
        image = dir.file("scene.pgm");
        testsupport::write_bytes(image, testsupport::pgm_file(scene));
    }
    // The fields an analysis of the file at `depth` finds in this process.
    std::vector<Field> fields_here(int depth) {
        std::vector<Field> out;
        SEG_set_image_file(image.c_str());
        EXPECT_EQ(SEG_open_image(), 1);
        EXPECT_EQ(SEG_analyze_image(depth), 1);
        for (const seg_result* r = results; r != nullptr; r = r->next) {
            Field f{r->left, r->top, r->right, r->bottom, r->columns, r->lines, r->bpl, {}};
            f.bits.assign(r->bitmap, r->bitmap + static_cast<std::size_t>(r->bpl) * r->lines);
            out.push_back(std::move(f));
        }
        SEG_clear_analysis_results();
        SEG_close_image();
        return out;
    }
};

TEST_F(AnalysisDump, WritesThePageAndEveryFieldBitmap) {
    const std::vector<Field> fields = fields_here(3);
    ASSERT_GE(fields.size(), 1u);
    const std::string out = dir.file("out");
    ASSERT_EQ(run_tool(image + " " + out + " --depth 3"), 0);

    const Png page = read_png(out + "/page.png");
    ASSERT_TRUE(page.ok);
    EXPECT_EQ((std::vector<int>{page.width, page.height, page.bit_depth, page.colour_type}),
              (std::vector<int>{800, 600, 8, PNG_COLOR_TYPE_RGB}));
    // Each field frame's top left corner is red; the page corner keeps its gray.
    const auto rgb = [&](int x, int y) {
        const unsigned char* px = &page.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x) * 3];
        return std::vector<int>{px[0], px[1], px[2]};
    };
    for (const Field& f : fields) EXPECT_EQ(rgb(f.left, f.top), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(rgb(0, 0), std::vector<int>(3, scene.pixels[0]));

    for (std::size_t k = 0; k < fields.size(); ++k) {
        const Field& f = fields[k];
        const Png bitmap = read_png(out + "/field-" + std::to_string(k + 1) + ".png");
        ASSERT_TRUE(bitmap.ok) << k;
        EXPECT_EQ((std::vector<int>{bitmap.width, bitmap.height, bitmap.bit_depth, bitmap.colour_type}),
                  (std::vector<int>{f.columns, f.lines, 1, PNG_COLOR_TYPE_GRAY}))
            << k;
        // Every pixel as in the field bitmap, bits past the last column left out.
        const int whole = f.columns / 8, rest = f.columns % 8;
        for (int y = 0; y < f.lines && y < bitmap.height; ++y) {
            const unsigned char* want = &f.bits[static_cast<std::size_t>(y) * f.bpl];
            for (int b = 0; b < whole; ++b) ASSERT_EQ(bitmap.rows[y][b], want[b]) << k << " " << y << " " << b;
            if (rest > 0) {
                const unsigned mask = (0xFF00u >> rest) & 0xFFu;
                ASSERT_EQ(bitmap.rows[y][whole] & mask, want[whole] & mask) << k << " " << y;
            }
        }
    }
    EXPECT_FALSE(std::filesystem::exists(out + "/field-" + std::to_string(fields.size() + 1) + ".png"));
}

TEST_F(AnalysisDump, BadCallsGiveTheirExitCodes) {
    for (const char* args : {"", " --depth 6", " --pass 12", " --depth"})
        EXPECT_EQ(run_tool(image + (*args ? " " + dir.file("o") + args : "")), 2) << args;
    EXPECT_EQ(run_tool(dir.file("missing.pgm") + " " + dir.file("o")), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("o")));
}

}  // namespace
