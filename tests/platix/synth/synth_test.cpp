// Synthetic scenes: the same seed gives the same files, each label frames
// a plate that is really drawn there, the region layouts draw their bands,
// captions and text patterns, and a training can take scenes in.
#include <gtest/gtest.h>

#include <cstdlib>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include <png.h>

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

namespace {

using synth::PlateRegion;

const PlateRegion kRegions[] = {PlateRegion::eu, PlateRegion::us, PlateRegion::br};

std::string bare(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != ' ') out += c;
    return out;
}

bool blue(const synth::Colour& c) { return c.b > c.r + 80 && c.b > c.g + 60; }
bool light(const synth::Colour& c) { return c.r > 150 && c.g > 150 && c.b > 150; }

// Rows (from the top) whose middle half holds ink darker than 100.
std::vector<bool> inked_rows(const synth::Canvas& c, int x0, int x1) {
    std::vector<bool> rows(static_cast<std::size_t>(c.height()), false);
    for (int y = 0; y < c.height(); ++y)
        for (int x = x0; x < x1; ++x) {
            const auto p = c.get(x, y);
            if ((p.r + p.g + p.b) / 3 < 100) rows[static_cast<std::size_t>(y)] = true;
        }
    return rows;
}

// Skips the calling test when a region has no installed font.
#define REQUIRE_REGION_FONTS(region)                                                                    \
    if (synth::region_fonts(region).empty())                                                           \
    GTEST_SKIP() << "no font of the " << synth::region_name(region) << " plates is installed (see "     \
                 << "scripts/install-deps.sh)"

}  // namespace

TEST(SynthRegionNames, RoundTripAndRefuseOthers) {
    for (PlateRegion r : kRegions) {
        PlateRegion back = PlateRegion::mixed;
        ASSERT_TRUE(synth::parse_region(synth::region_name(r), &back));
        EXPECT_EQ(back, r);
    }
    PlateRegion untouched = PlateRegion::us;
    for (const char* bad : {"", "EU", "fr", "mixed", "eu "}) {
        EXPECT_FALSE(synth::parse_region(bad, &untouched)) << bad;
        EXPECT_EQ(untouched, PlateRegion::us);
    }
}

TEST(SynthRegionFonts, InstalledCandidatesAreFoundInOrder) {
    for (PlateRegion r : kRegions) {
        const auto candidates = synth::region_font_candidates(r);
        ASSERT_EQ(candidates.size(), 3u);
        std::vector<std::string> installed;
        for (const auto& f : candidates)
            if (fs::is_regular_file(f)) installed.push_back(f);
        EXPECT_EQ(synth::region_fonts(r), installed) << synth::region_name(r);
    }
    EXPECT_TRUE(synth::region_fonts(PlateRegion::mixed).empty());
}

TEST(SynthRegionFonts, EuropeanAndBrazilianFacesAreNarrowerThanTheUsOnes) {
    REQUIRE_REGION_FONTS(PlateRegion::eu);
    REQUIRE_REGION_FONTS(PlateRegion::us);
    synth::GlyphRenderer glyphs;
    const auto width = [&](const std::string& font) { return glyphs.render(font, "ABC1234", 30, 0).width; };
    const auto mean_width = [&](const std::vector<std::string>& fonts) {
        int sum = 0;
        for (const auto& f : fonts) sum += width(f);
        return sum / static_cast<int>(fonts.size());
    };
    EXPECT_EQ(synth::region_fonts(PlateRegion::eu), synth::region_fonts(PlateRegion::br));
    // On average a tenth narrower at least.
    EXPECT_LT(mean_width(synth::region_fonts(PlateRegion::eu)) * 10, mean_width(synth::region_fonts(PlateRegion::us)) * 9);
}

TEST(SynthRegionText, PatternsAcceptTheirShapesOnly) {
    EXPECT_TRUE(synth::matches_region_pattern(PlateRegion::eu, "AB123CD"));
    EXPECT_TRUE(synth::matches_region_pattern(PlateRegion::eu, "AB12CDE"));
    EXPECT_TRUE(synth::matches_region_pattern(PlateRegion::eu, "1234BCD"));
    EXPECT_FALSE(synth::matches_region_pattern(PlateRegion::eu, "ABC1D23"));
    EXPECT_FALSE(synth::matches_region_pattern(PlateRegion::eu, "AB123C"));
    EXPECT_TRUE(synth::matches_region_pattern(PlateRegion::us, "ABC1234"));
    EXPECT_TRUE(synth::matches_region_pattern(PlateRegion::us, "1ABC234"));
    EXPECT_FALSE(synth::matches_region_pattern(PlateRegion::us, "AB123CD"));
    EXPECT_TRUE(synth::matches_region_pattern(PlateRegion::br, "ABC1D23"));
    EXPECT_TRUE(synth::matches_region_pattern(PlateRegion::br, "ABC1234"));
    EXPECT_FALSE(synth::matches_region_pattern(PlateRegion::br, "1ABC234"));
    EXPECT_FALSE(synth::matches_region_pattern(PlateRegion::br, "abc1234"));
    EXPECT_FALSE(synth::matches_region_pattern(PlateRegion::mixed, "ABC1234"));
}

TEST(SynthRegionText, RandomPlatesFollowTheirRegion) {
    const std::vector<std::string> fonts = {"unused.ttf"};
    for (PlateRegion r : kRegions) {
        synth::Rng rng(21);
        int mercosur = 0;
        std::set<std::string> texts;
        for (int i = 0; i < 300; ++i) {
            const auto p = synth::random_region_plate(r, rng, fonts);
            EXPECT_EQ(p.style.region, r);
            EXPECT_EQ(p.text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 "), std::string::npos) << p.text;
            EXPECT_TRUE(synth::matches_region_pattern(r, bare(p.text))) << p.text;
            texts.insert(p.text);
            if (r == PlateRegion::br) {
                // The Mercosur series on Mercosur plates, the older one on grey.
                EXPECT_EQ(p.style.mercosur, bare(p.text).size() == 7 && p.text.find(' ') == std::string::npos) << p.text;
                mercosur += p.style.mercosur;
            }
            EXPECT_EQ(p.style.side_band, r == PlateRegion::eu);
            // Small words go with the US states and the grey Brazilian cities only.
            EXPECT_EQ(!p.style.caption.empty(), r == PlateRegion::us || (r == PlateRegion::br && !p.style.mercosur));
        }
        EXPECT_GT(texts.size(), 290u);
        if (r == PlateRegion::br) {
            EXPECT_GT(mercosur, 100);
            EXPECT_LT(mercosur, 250);
        }
    }
    synth::Rng rng(1);
    EXPECT_THROW(synth::random_region_plate(PlateRegion::mixed, rng, fonts), std::invalid_argument);
    EXPECT_THROW(synth::random_region_plate(PlateRegion::eu, rng, {}), std::invalid_argument);
}

TEST(SynthRegionLayouts, EuropeanPlateHasTheBlueBandAtTheLeft) {
    REQUIRE_REGION_FONTS(PlateRegion::eu);
    synth::GlyphRenderer glyphs;
    synth::Rng rng(4);
    for (int i = 0; i < 6; ++i) {
        auto p = synth::random_region_plate(PlateRegion::eu, rng, synth::region_fonts(PlateRegion::eu));
        p.style.border = false;
        const auto c = synth::render_plate(glyphs, p.text, p.style);
        const int band = p.style.cap_height * 2 / 3 + 4;
        // A long plate, one row.
        EXPECT_GT(c.width(), 3 * c.height()) << p.text;
        int blue_left = 0, blue_right = 0;
        for (int y = 0; y < c.height(); ++y) {
            blue_left += blue(c.get(2, y));
            blue_right += blue(c.get(c.width() - 3, y));
        }
        EXPECT_EQ(blue_left, c.height());
        EXPECT_EQ(blue_right, 0);
        // Beyond the band the paper shows at the right end, and ink in between.
        EXPECT_FALSE(blue(c.get(band + 1, c.height() / 2)));
        const auto rows = inked_rows(c, band, c.width());
        EXPECT_GT(std::count(rows.begin(), rows.end(), true), p.style.cap_height * 9 / 10);
    }
}

TEST(SynthRegionLayouts, MercosurPlateHasTheBlueTopBandAndGreyPlatesNone) {
    REQUIRE_REGION_FONTS(PlateRegion::br);
    synth::GlyphRenderer glyphs;
    synth::Rng rng(9);
    int seen_mercosur = 0, seen_grey = 0;
    for (int i = 0; i < 10; ++i) {
        const auto p = synth::random_region_plate(PlateRegion::br, rng, synth::region_fonts(PlateRegion::br));
        const auto c = synth::render_plate(glyphs, p.text, p.style);
        const int edge = std::max(1, p.style.cap_height / 16);
        const synth::Colour top = c.get(c.width() / 5, edge + 1), bottom = c.get(c.width() / 5, c.height() - edge - 2);
        if (p.style.mercosur) {
            ++seen_mercosur;
            EXPECT_TRUE(blue(top)) << p.text;
            // Blue across the whole width, white below.
            int blue_top = 0;
            for (int x = edge; x < c.width() - edge; ++x) blue_top += blue(c.get(x, edge));
            EXPECT_GT(blue_top, c.width() * 3 / 4);
            EXPECT_TRUE(light(bottom));
            EXPECT_GT(bottom.r, 230);
        } else {
            ++seen_grey;
            EXPECT_FALSE(blue(top));
            // Grey paper: neither white nor coloured.
            const synth::Colour corner = c.get(c.width() - c.width() / 8, c.height() - c.height() / 6);
            EXPECT_GE(corner.r, 160);
            EXPECT_LE(corner.r, 196);
            EXPECT_NEAR(corner.r, corner.b, 5);
        }
    }
    EXPECT_GT(seen_mercosur, 0);
    EXPECT_GT(seen_grey, 0);
}

TEST(SynthRegionLayouts, UsPlateIsWiderProportionedWithASmallStateNameAbove) {
    REQUIRE_REGION_FONTS(PlateRegion::us);
    synth::GlyphRenderer glyphs;
    synth::Rng rng(13);
    for (int i = 0; i < 6; ++i) {
        auto p = synth::random_region_plate(PlateRegion::us, rng, synth::region_fonts(PlateRegion::us));
        p.style.border = false;
        p.style.ink = {20, 20, 20};
        const auto c = synth::render_plate(glyphs, p.text, p.style);
        EXPECT_LE(c.width(), 5 * c.height() / 2) << p.text;
        EXPECT_GE(c.width(), 3 * c.height() / 2) << p.text;
        // Two runs of inked rows: the caption, then the characters; the
        // caption is less than half their height.
        const auto rows = inked_rows(c, 0, c.width());
        std::vector<int> runs;
        int run = 0;
        for (std::size_t y = 0; y <= rows.size(); ++y) {
            if (y < rows.size() && rows[y]) ++run;
            else if (run > 0) runs.push_back(run), run = 0;
        }
        ASSERT_EQ(runs.size(), 2u) << p.text << " " << p.style.caption;
        EXPECT_LT(runs[0] * 2, runs[1]);
        EXPECT_GE(runs[1], p.style.cap_height * 9 / 10);
    }
}

TEST(SynthScenes, EachStyleWritesItsPatternsAndTheSameSeedTheSameFiles) {
    for (PlateRegion r : kRegions) {
        if (synth::region_fonts(r).empty()) GTEST_SKIP() << "no font of the " << synth::region_name(r) << " plates";
        testsupport::TempDir one, two;
        SynthOptions o;
        o.count = 4;
        o.seed = 3;
        o.style = synth::region_name(r);
        o.image_format = "png";
        o.out_dir = one.path();
        ASSERT_EQ(run_synth(o), 0);
        o.out_dir = two.path();
        ASSERT_EQ(run_synth(o), 0);
        for (const auto& n : listing(one.path()))
            EXPECT_EQ(testsupport::read_bytes(one.file(n)), testsupport::read_bytes(two.file(n))) << n;
        std::vector<std::string> problems;
        const auto labels = collect_labels({one.path()}, problems);
        EXPECT_TRUE(problems.empty());
        ASSERT_EQ(labels.size(), 4u);
        for (const auto& l : labels) EXPECT_TRUE(synth::matches_region_pattern(r, l.plate)) << l.plate;
    }
    // The mixed scenes of the same seed are others.
    testsupport::TempDir eu, mixed;
    SynthOptions o;
    o.count = 1;
    o.seed = 3;
    o.image_format = "png";
    o.out_dir = mixed.path();
    ASSERT_EQ(run_synth(o), 0);
    o.style = "eu";
    o.out_dir = eu.path();
    ASSERT_EQ(run_synth(o), 0);
    EXPECT_NE(testsupport::read_bytes(eu.file("scene00001.png")), testsupport::read_bytes(mixed.file("scene00001.png")));
}

TEST(SynthOptionsRefuse, UnknownStyleWithAUsageError) {
    try {
        parse_synth_options({"--out", "x", "--style", "fr"});
        FAIL() << "accepted --style fr";
    } catch (const UsageError& e) {
        EXPECT_STREQ(e.what(), "--style: expected eu, us or br, got 'fr'");
    }
    EXPECT_THROW(parse_synth_options({"--out", "x", "--style"}), UsageError);
    EXPECT_EQ(parse_synth_options({"--out", "x", "--style=br"}).style, "br");
    EXPECT_EQ(parse_synth_options({"--out", "x"}).style, "");
    // Called directly, the command refuses it the same way.
    testsupport::TempDir dir;
    SynthOptions o;
    o.out_dir = dir.path();
    o.style = "EU";
    EXPECT_THROW(run_synth(o), UsageError);
    EXPECT_TRUE(listing(dir.path()).empty());
}

TEST(SynthTrainingStyles, FollowTheFolderNamesElseAllThree) {
    testsupport::TempDir dir;
    fs::create_directories(dir.file("plates/br"));
    std::ofstream(dir.file("plates/br/labels.txt")) << "";
    using V = std::vector<PlateRegion>;
    EXPECT_EQ(synth::styles_for_labels({"data/plates/us", "x/eu/", "y/us"}), (V{PlateRegion::us, PlateRegion::eu}));
    EXPECT_EQ(synth::styles_for_labels({dir.file("plates/br/labels.txt")}), (V{PlateRegion::br}));
    EXPECT_EQ(synth::styles_for_labels({"plates", "europe"}), (V{PlateRegion::eu, PlateRegion::us, PlateRegion::br}));
    EXPECT_EQ(synth::styles_for_labels({}), (V{PlateRegion::eu, PlateRegion::us, PlateRegion::br}));
}

TEST(SynthTrainingScenes, StylesTakeTurnsAndTheFolderGoesAtTheEnd) {
    for (PlateRegion r : kRegions) REQUIRE_REGION_FONTS(r);
    std::string kept;
    std::vector<std::uint8_t> first_picture;
    {
        ScratchFolder folder("platix-synth");
        kept = folder.path();
        ASSERT_TRUE(fs::is_directory(kept));
        const auto files = synth::write_training_scenes(3, {PlateRegion::br, PlateRegion::us}, 5, folder.path());
        ASSERT_EQ(files.size(), 3u);
        const PlateRegion expected[] = {PlateRegion::br, PlateRegion::us, PlateRegion::br};
        for (std::size_t i = 0; i < files.size(); ++i) {
            std::vector<std::string> problems;
            const auto l = read_label_file(files[i], problems);
            ASSERT_EQ(l.size(), 1u);
            EXPECT_TRUE(problems.empty());
            EXPECT_TRUE(fs::is_regular_file(l[0].image_path));
            EXPECT_TRUE(synth::matches_region_pattern(expected[i], l[0].plate)) << l[0].plate;
        }
        first_picture = testsupport::read_bytes(fs::path(folder.path()) / "synth00001.png");
        testsupport::TempDir again;
        synth::write_training_scenes(1, {PlateRegion::br}, 5, again.path());
        EXPECT_EQ(testsupport::read_bytes(again.file("synth00001.png")), first_picture);
        EXPECT_THROW(synth::write_training_scenes(1, {}, 5, folder.path()), std::invalid_argument);
    }
    EXPECT_FALSE(fs::exists(kept));
}

TEST(SynthTraining, TrainTeachesFromTheSyntheticScenes) {
    REQUIRE_REGION_FONTS(PlateRegion::eu);
    testsupport::TempDir dir;
    fs::create_directories(dir.file("eu"));  // a label folder of its own, empty
    // Scratch folders go to a temporary folder of this test's own, so that
    // other tests running at the same time cannot add to what it counts.
    fs::create_directories(dir.file("tmp"));
    struct TmpdirFor {
        explicit TmpdirFor(const std::string& path) : had(std::getenv("TMPDIR") != nullptr) {
            if (had) old = std::getenv("TMPDIR");
            setenv("TMPDIR", path.c_str(), 1);
        }
        ~TmpdirFor() { had ? setenv("TMPDIR", old.c_str(), 1) : unsetenv("TMPDIR"); }
        bool had;
        std::string old;
    } private_tmpdir(dir.file("tmp"));
    const auto scratch_folders = [] {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(fs::temp_directory_path()))
            if (e.path().filename().string().rfind("platix-synth-", 0) == 0) names.insert(e.path().string());
        return names;
    };
    const auto before = scratch_folders();
    TrainOptions o;
    o.kb = dir.file("kb/base.kbf");
    o.labels = {dir.file("eu")};
    o.passes = 1;
    o.jobs = 1;
    o.quiet = true;
    // Without scenes there is nothing to learn from.
    testing::internal::CaptureStderr();
    EXPECT_EQ(run_train(o), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("no labelled image found"), std::string::npos);
    o.synth = 3;
    testing::internal::CaptureStdout();
    const int rc = run_train(o);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(rc, 0);
    int used = -1, skipped = -1, taught = -1;
    ASSERT_EQ(std::sscanf(out.c_str(), "pass 1: images used %d, skipped %d (no field %*d, count mismatch %*d), characters taught %d",
                          &used, &skipped, &taught), 3)
        << out;
    EXPECT_EQ(used + skipped, 3);
    EXPECT_GE(used, 1);
    EXPECT_GE(taught, 6);
    EXPECT_GT(fs::file_size(dir.file("kb/base.kbf")), 0u);
    EXPECT_GT(fs::file_size(dir.file("kb/base.dat")), 0u);
    EXPECT_EQ(scratch_folders(), before);
}

TEST(SynthPlateCrops, SameSeedSameCropsEachFramedWithRoomAround) {
    const std::vector<synth::PlateRegion> styles = {synth::PlateRegion::eu, synth::PlateRegion::us,
                                                    synth::PlateRegion::br};
    const auto crops = synth::make_plate_crops(30, styles, 5);
    const auto again = synth::make_plate_crops(30, styles, 5);
    ASSERT_EQ(crops.size(), 30u);
    for (std::size_t i = 0; i < crops.size(); ++i) {
        const auto& c = crops[i];
        EXPECT_EQ(c.gray, again[i].gray);
        EXPECT_EQ(c.text, again[i].text);
        EXPECT_TRUE(synth::matches_region_pattern(styles[i % 3], c.text)) << c.text;
        ASSERT_EQ(c.gray.size(), static_cast<std::size_t>(c.width) * static_cast<std::size_t>(c.height));
        const int h = c.bottom - c.top;
        // Seen at a camera's sizes, with room for the reader's margin.
        EXPECT_LE(h, 62) << i;
        EXPECT_GE(c.left + 1, h) << i;
        EXPECT_GE(c.width - c.right + 1, h) << i;
        EXPECT_GE(4 * (c.top + 1), 3 * h) << i;
        EXPECT_GE(4 * (c.height - c.bottom + 1), 3 * h) << i;
        // The plate is drawn in its box: its gray spread is far above the
        // noise of a blank patch.
        int lo = 255, hi = 0;
        for (int y = c.top; y < c.bottom; ++y)
            for (int x = c.left; x < c.right; ++x) {
                lo = std::min(lo, static_cast<int>(c.gray[static_cast<std::size_t>(y * c.width + x)]));
                hi = std::max(hi, static_cast<int>(c.gray[static_cast<std::size_t>(y * c.width + x)]));
            }
        EXPECT_GT(hi - lo, 40) << i;
        // The characters' row lies inside the plate, at least a third of its height.
        EXPECT_TRUE(c.left <= c.text_left && c.text_right <= c.right && c.top <= c.text_top &&
                    c.text_bottom <= c.bottom) << i;
        EXPECT_GE(3 * (c.text_bottom - c.text_top), h) << i;
    }
    EXPECT_NE(synth::make_plate_crops(1, styles, 6)[0].gray, crops[0].gray);
    EXPECT_THROW(synth::make_plate_crops(1, {synth::PlateRegion::mixed}, 1), std::invalid_argument);
}
