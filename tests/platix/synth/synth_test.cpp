// Synthetic scenes: fixed by their seed, the region fonts and text patterns, plate crops, and scenes taken into a training.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "commands.h"
#include "labels.h"
#include "synth/glyph_renderer.h"
#include "synth/plate_crops.h"
#include "synth/plate_render.h"
#include "synth/region_style.h"
#include "synth/rng.h"
#include "synth/training_scenes.h"
#include "temp_dir.h"

using namespace platix;
using synth::PlateRegion;
namespace fs = std::filesystem;

namespace {

const PlateRegion kRegions[] = {PlateRegion::eu, PlateRegion::us, PlateRegion::br};

std::vector<std::string> listing(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

#define REQUIRE_REGION_FONTS(region) \
    if (synth::region_fonts(region).empty()) GTEST_SKIP() << "no font of the " << synth::region_name(region) << " plates"

}  // namespace

TEST(SynthScenes, SameSeedSameFilesAndPatternsOfTheStyle) {
    for (const std::string style : {"", "eu", "us", "br"}) {
        SCOPED_TRACE(style);
        PlateRegion region = PlateRegion::mixed;
        if (!style.empty() && (synth::parse_region(style, &region), synth::region_fonts(region).empty())) continue;
        testsupport::TempDir one, two, other;
        SynthOptions o;
        o.count = 4, o.style = style;
        for (const auto& [d, seed] : {std::pair{&one, 3}, {&two, 3}, {&other, 4}}) {
            o.out_dir = d->path(), o.seed = static_cast<unsigned long>(seed);
            ASSERT_EQ(run_synth(o), 0);
        }
        const auto names = listing(one.path());
        ASSERT_EQ(names.size(), 8u);
        // Mixed scenes alternate PNG and JPEG (that labels frame the plates, the end-to-end bench shows).
        EXPECT_TRUE(!style.empty() || (names[2] == "scene00002.jpg" && names[4] == "scene00003.png"));
        for (const auto& n : names) EXPECT_EQ(testsupport::read_bytes(one.file(n)), testsupport::read_bytes(two.file(n))) << n;
        EXPECT_NE(testsupport::read_bytes(one.file(names[0])), testsupport::read_bytes(other.file(names[0])));
        std::vector<std::string> problems;
        const auto labels = collect_labels({one.path()}, problems);
        ASSERT_TRUE(problems.empty() && labels.size() == 4u);
        for (const auto& l : labels)
            EXPECT_TRUE(l.plate.find(' ') == std::string::npos && (style.empty() || synth::matches_region_pattern(region, l.plate)))
                << l.plate;
    }
}

TEST(SynthScenes, RefusesAnUnwritableFolderAndAnUnknownStyle) {
    testsupport::TempDir dir;
    std::ofstream(dir.file("file")) << "x";
    SynthOptions o;
    o.out_dir = dir.file("file"), o.count = 1;
    EXPECT_EQ(run_synth(o), 1);  // (the --style option's refusals: options_test)
    testsupport::TempDir empty;
    o.out_dir = empty.path(), o.style = "EU";
    EXPECT_THROW(run_synth(o), UsageError);
    EXPECT_TRUE(listing(empty.path()).empty());  // refused before writing
}

// J and Q descend in some print fonts; on a plate they stand on the line.
TEST(SynthGlyphs, EveryCapitalEndsOnTheBaseline) {
    const auto fonts = synth::GlyphRenderer::available_fonts();
    ASSERT_FALSE(fonts.empty());
    synth::GlyphRenderer glyphs;
    const auto last_ink_row = [](const synth::TextMask& m) {
        for (int i = m.width * m.height - 1; i >= 0; --i)
            if (m.alpha[static_cast<std::size_t>(i)] > 127) return i / m.width;
        return -1;
    };
    for (const auto& font : fonts) {
        const int h_bottom = last_ink_row(glyphs.render(font, "H", 30, 2));
        ASSERT_GT(h_bottom, 0) << font;
        for (const char* s : {"J", "Q", "7", "0"}) EXPECT_NEAR(last_ink_row(glyphs.render(font, s, 30, 2)), h_bottom, 1) << font << s;
    }
}

TEST(SynthRegionText, PatternsAcceptTheirShapesOnly) {
    using R = PlateRegion;
    const std::tuple<R, const char*, bool> cases[] = {
        {R::eu, "AB123CD", true},  {R::eu, "AB12CDE", true},  {R::eu, "1234BCD", true},  {R::eu, "ABC1D23", false},
        {R::eu, "AB123C", false},  {R::us, "ABC1234", true},  {R::us, "1ABC234", true},  {R::us, "AB123CD", false},
        {R::br, "ABC1D23", true},  {R::br, "ABC1234", true},  {R::br, "1ABC234", false}, {R::br, "abc1234", false},
        {R::mixed, "ABC1234", false}};
    for (const auto& [region, text, fits] : cases) EXPECT_EQ(synth::matches_region_pattern(region, text), fits) << text;
}

// What random plates look like per region is what the scenes show; here only what they refuse.
TEST(SynthRegionText, RandomPlatesRefuseNoRegionOrNoFont) {
    synth::Rng rng(1);
    EXPECT_THROW(synth::random_region_plate(PlateRegion::mixed, rng, {"unused.ttf"}), std::invalid_argument);
    EXPECT_THROW(synth::random_region_plate(PlateRegion::eu, rng, {}), std::invalid_argument);
    EXPECT_TRUE(synth::region_font_candidates(PlateRegion::mixed).empty());
    EXPECT_STREQ(synth::region_name(PlateRegion::mixed), "mixed");
}

TEST(SynthTrainingScenes, StylesFollowTheFolderNames) {
    using V = std::vector<PlateRegion>;
    testsupport::TempDir dir;
    fs::create_directories(dir.file("br"));
    std::ofstream(dir.file("br/labels.txt")) << "";
    EXPECT_EQ(synth::styles_for_labels({"data/plates/us", "x/eu/", "y/us"}), (V{PlateRegion::us, PlateRegion::eu}));
    EXPECT_EQ(synth::styles_for_labels({dir.file("br/labels.txt")}), (V{PlateRegion::br}));
    EXPECT_EQ(synth::styles_for_labels({"plates", "europe"}), (V{PlateRegion::eu, PlateRegion::us, PlateRegion::br}));
    EXPECT_EQ(synth::styles_for_labels({}), (V{PlateRegion::eu, PlateRegion::us, PlateRegion::br}));
    EXPECT_THROW(synth::write_training_scenes(1, {}, 5, dir.path()), std::invalid_argument);
    // The scenes themselves, their turns and their scratch folder: the training test below.
}

TEST(SynthTraining, TrainTeachesFromTheSyntheticScenesAndLeavesNoScratchFolder) {
    REQUIRE_REGION_FONTS(PlateRegion::eu);
    testsupport::TempDir dir;
    fs::create_directories(dir.file("eu"));
    fs::create_directories(dir.file("tmp"));  // this test's own, so that other tests cannot add to what it counts
    const char* old_tmp = std::getenv("TMPDIR");
    const std::string saved = old_tmp ? old_tmp : "";
    setenv("TMPDIR", dir.file("tmp").c_str(), 1);
    TrainOptions o;
    o.kb = dir.file("kb/base.kbf"), o.labels = {dir.file("eu")};
    o.passes = 1, o.jobs = 1, o.quiet = true;
    testing::internal::CaptureStderr();
    EXPECT_EQ(run_train(o), 1);  // an empty folder alone
    EXPECT_NE(testing::internal::GetCapturedStderr().find("no labelled image found"), std::string::npos);
    o.synth = 3;
    testing::internal::CaptureStdout();
    const int rc = run_train(o);
    const std::string out = testing::internal::GetCapturedStdout();
    const bool tmp_empty = fs::is_empty(dir.file("tmp"));
    old_tmp ? setenv("TMPDIR", saved.c_str(), 1) : unsetenv("TMPDIR");
    EXPECT_TRUE(rc == 0 && tmp_empty) << rc;  // the scratch folder of the scenes is gone
    int used = -1, skipped = -1, taught = -1;
    ASSERT_EQ(std::sscanf(out.c_str(), "pass 1: images used %d, skipped %d (no field %*d, count mismatch %*d), characters taught %d",
                          &used, &skipped, &taught), 3) << out;
    EXPECT_TRUE(used + skipped == 3 && used >= 1 && taught >= 6) << out;
    EXPECT_GT(fs::file_size(dir.file("kb/base.dat")), 0u);
}

TEST(SynthPlateCrops, SameSeedSameCropsEachFramedWithRoomAround) {
    const std::vector<PlateRegion> styles(std::begin(kRegions), std::end(kRegions));
    const auto crops = synth::make_plate_crops(30, styles, 5), again = synth::make_plate_crops(30, styles, 5);
    ASSERT_EQ(crops.size(), 30u);
    for (std::size_t i = 0; i < crops.size(); ++i) {
        const auto& c = crops[i];
        EXPECT_TRUE(c.gray == again[i].gray && c.text == again[i].text) << i;
        EXPECT_TRUE(synth::matches_region_pattern(styles[i % 3], c.text)) << c.text;
        ASSERT_EQ(c.gray.size(), static_cast<std::size_t>(c.width) * static_cast<std::size_t>(c.height));
        const int h = c.bottom - c.top;
        EXPECT_LE(h, 62) << i;  // camera sizes, with room for the reader's margin
        EXPECT_TRUE(c.left + 1 >= h && c.width - c.right + 1 >= h) << i;
        EXPECT_TRUE(4 * (c.top + 1) >= 3 * h && 4 * (c.height - c.bottom + 1) >= 3 * h) << i;
        int lo = 255, hi = 0;
        for (int y = c.top; y < c.bottom; ++y)
            for (int x = c.left; x < c.right; ++x) {
                const int v = c.gray[static_cast<std::size_t>(y * c.width + x)];
                lo = std::min(lo, v), hi = std::max(hi, v);
            }
        EXPECT_GT(hi - lo, 40) << i;
        EXPECT_TRUE(c.left <= c.text_left && c.text_right <= c.right && c.top <= c.text_top && c.text_bottom <= c.bottom) << i;
        EXPECT_GE(3 * (c.text_bottom - c.text_top), h) << i;
    }
    EXPECT_NE(synth::make_plate_crops(1, styles, 6)[0].gray, crops[0].gray);
    EXPECT_THROW(synth::make_plate_crops(1, {PlateRegion::mixed}, 1), std::invalid_argument);
}
