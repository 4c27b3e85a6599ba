// The analysis on real photographs at depths 1, 3, 5 in both modes: plates located, fields elsewhere.
#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <string>

#include "plate_labels.h"
#include "rasterkit.h"

namespace {

struct Figures { int images = 0, loaded = 0, located = 0, false_fields = 0; };

Figures measure(const std::string& folder, int depth) {
    Figures f;
    for (const photos::LabelledImage& l : photos::labelled_images(folder)) {
        ++f.images;
        SEG_clear_analysis_results();
        SEG_set_image_file(l.image.c_str());
        if (SEG_open_image() != 1) continue;
        ++f.loaded;
        EXPECT_EQ(SEG_analyze_image(depth), 1);
        bool found = false;
        for (const seg_result* r = results; r != nullptr; r = r->next) {
            const bool on = photos::on_plate(*r, XSCALE, YSCALE, l);
            found = found || on;
            f.false_fields += !on;
        }
        f.located += found;
    }
    SEG_clear_analysis_results();
    SEG_close_image();
    return f;
}

// Located share each folder reaches at depth 3: US plates are small and framed by text; mode 1 finds more.
double floor_of(const std::string& name, int mode) { return name == "eu" ? 1.0 : name == "br" ? 0.93 : mode ? 0.73 : 0.47; }

class Photographs : public ::testing::TestWithParam<const char*> {};

TEST_P(Photographs, PlatesAreLocated) {
    const std::string base = photos::plates_dir(), name = GetParam(), folder = base + "/" + name;
    if (base.empty()) GTEST_SKIP() << "no folder of labelled plates";
    if (photos::labelled_images(folder).empty()) GTEST_SKIP() << "no labelled images in " << folder;
#ifdef ORVO_PHOTOS_DEPTH3_ONLY
    const int depths[] = {3};  // the sanitizers make each pass several times slower
#else
    const int depths[] = {1, 3, 5};
#endif
    Figures basic[std::size(depths)];
    for (int mode : {0, 1}) {
        ASSERT_GE(SEG_set_analysis_mode(mode), 0);
        double at3 = 0;
        for (std::size_t d = 0; d < std::size(depths); ++d) {
            const Figures f = measure(folder, depths[d]);
            EXPECT_EQ(f.loaded, f.images);
            const double share = f.images > 0 ? static_cast<double>(f.located) / f.images : 0.0;
            if (depths[d] == 3) at3 = share;
            std::printf("%s mode %d depth %d: located %d of %d (%.1f%%), fields outside plates %d\n", name.c_str(), mode,
                        depths[d], f.located, f.images, 100.0 * share, f.false_fields);
            if (mode == 0) { basic[d] = f; continue; }
            // Mode 1 locates as many plates, and outside the US no more fields elsewhere.
            EXPECT_GE(f.located, basic[d].located) << "depth " << depths[d];
            if (name != "us") { EXPECT_LE(f.false_fields, basic[d].false_fields) << "depth " << depths[d]; }
        }
        EXPECT_GE(at3, floor_of(name, mode)) << "mode " << mode;
    }
    SEG_set_analysis_mode(0);
}

INSTANTIATE_TEST_SUITE_P(Folders, Photographs, ::testing::Values("eu", "us", "br"));

}  // namespace
