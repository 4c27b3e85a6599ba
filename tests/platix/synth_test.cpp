// Synthetic scenes: the same seed gives the same files, and each label
// frames a plate that is really drawn there.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <png.h>

#include "commands.h"
#include "labels.h"
#include "synth/glyph_renderer.h"
#include "synth/plate_render.h"
#include "synth/rng.h"
#include "temp_dir.h"

using namespace platix;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> listing(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(SynthRng, SequenceIsFixedBySeed) {
    synth::Rng a(7), b(7), c(8);
    const auto first = a.next();
    EXPECT_EQ(first, b.next());
    EXPECT_NE(first, c.next());
    for (int i = 0; i < 1000; ++i) {
        const int v = a.uniform(-3, 5);
        EXPECT_GE(v, -3);
        EXPECT_LE(v, 5);
    }
}

TEST(SynthScenes, SameSeedSameFiles) {
    testsupport::TempDir one, two, other;
    SynthOptions o;
    o.count = 4;
    o.seed = 11;
    o.out_dir = one.path();
    ASSERT_EQ(run_synth(o), 0);
    o.out_dir = two.path();
    ASSERT_EQ(run_synth(o), 0);
    o.seed = 12;
    o.out_dir = other.path();
    ASSERT_EQ(run_synth(o), 0);
    const auto names = listing(one.path());
    EXPECT_EQ(names, (std::vector<std::string>{"scene00001.png", "scene00001.txt", "scene00002.jpg", "scene00002.txt",
                                                "scene00003.png", "scene00003.txt", "scene00004.jpg", "scene00004.txt"}));
    for (const auto& n : names) {
        EXPECT_EQ(testsupport::read_bytes(one.file(n)), testsupport::read_bytes(two.file(n))) << n;
    }
    EXPECT_NE(testsupport::read_bytes(one.file("scene00001.png")), testsupport::read_bytes(other.file("scene00001.png")));
}

TEST(SynthScenes, LabelFramesADrawnPlate) {
    testsupport::TempDir dir;
    SynthOptions o;
    o.count = 3;
    o.seed = 5;
    o.out_dir = dir.path();
    o.image_format = "png";
    ASSERT_EQ(run_synth(o), 0);
    std::vector<std::string> problems;
    const auto labels = collect_labels({dir.path()}, problems);
    EXPECT_TRUE(problems.empty());
    ASSERT_EQ(labels.size(), 3u);
    for (const auto& l : labels) {
        EXPECT_GE(l.plate.size(), 6u);
        EXPECT_EQ(l.plate.find(' '), std::string::npos);
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&image, l.image_path.c_str()));
        image.format = PNG_FORMAT_GRAY;
        std::vector<unsigned char> px(PNG_IMAGE_SIZE(image));
        ASSERT_TRUE(png_image_finish_read(&image, nullptr, px.data(), 0, nullptr));
        const int W = static_cast<int>(image.width), H = static_cast<int>(image.height);
        ASSERT_GE(l.x, 0);
        ASSERT_LE(l.x + l.w, W);
        ASSERT_LE(l.y + l.h, H);
        // The middle of the plate holds both paper and ink.
        int dark = 0, light = 0;
        for (int y = l.y + l.h / 4; y < l.y + 3 * l.h / 4; ++y) {
            for (int x = l.x + l.w / 4; x < l.x + 3 * l.w / 4; ++x) {
                const int v = px[static_cast<std::size_t>(y * W + x)];
                dark += v < 90;
                light += v > 170;
            }
        }
        const int area = (l.w / 2) * (l.h / 2);
        EXPECT_GT(dark, area / 20) << l.image_path;
        EXPECT_GT(light, area / 5) << l.image_path;
    }
}

TEST(SynthScenes, UnwritableFolderFails) {
    testsupport::TempDir dir;
    std::ofstream(dir.file("file")) << "x";
    SynthOptions o;
    o.out_dir = dir.file("file");
    o.count = 1;
    EXPECT_EQ(run_synth(o), 1);
}

TEST(SynthPlateRows, TwoRowPlatesSplitEvenlyWithThreeCharactersAtLeast) {
    // At the blank that leaves both rows three characters or more.
    EXPECT_EQ(synth::split_rows("LLL DDDD"), (std::vector<std::string>{"LLL", "DDDD"}));
    EXPECT_EQ(synth::split_rows("DDD LLL"), (std::vector<std::string>{"DDD", "LLL"}));
    // The most even of two such blanks: 4 + 4 rather than 3 + 5.
    EXPECT_EQ(synth::split_rows("ABC D EFGH"), (std::vector<std::string>{"ABC D", "EFGH"}));
    // No blank leaves three on each side: the characters are halved.
    EXPECT_EQ(synth::split_rows("LL DDDD"), (std::vector<std::string>{"LLD", "DDD"}));
    EXPECT_EQ(synth::split_rows("AB 123 CD"), (std::vector<std::string>{"AB1", "23CD"}));
    EXPECT_EQ(synth::split_rows("ABCDEF"), (std::vector<std::string>{"ABC", "DEF"}));
}

TEST(SynthGlyphs, EveryCapitalEndsOnTheBaseline) {
    const auto fonts = synth::GlyphRenderer::available_fonts();
    ASSERT_FALSE(fonts.empty());
    synth::GlyphRenderer glyphs;
    // The lowest row with ink, over the whole mask.
    const auto last_ink_row = [](const synth::TextMask& m) {
        for (int y = m.height - 1; y >= 0; --y)
            for (int x = 0; x < m.width; ++x)
                if (m.alpha[static_cast<std::size_t>(y * m.width + x)] > 127) return y;
        return -1;
    };
    for (const auto& font : fonts) {
        const int h_bottom = last_ink_row(glyphs.render(font, "H", 30, 2));
        ASSERT_GT(h_bottom, 0) << font;
        // J and Q descend in some print fonts; on a plate they stand on the line.
        for (const char* s : {"J", "Q", "7", "0"}) EXPECT_NEAR(last_ink_row(glyphs.render(font, s, 30, 2)), h_bottom, 1) << font << " " << s;
    }
}
