// The windows pass: where windows lie, boxes back to the page, which readings join, a plate found in a real page.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "coords.h"
#include "default_data.h"
#include "net_reading.h"
#include "options.h"
#include "rasterkit.h"
#include "window_pass.h"

using namespace platix;

namespace {

FieldResult reading(Box page_box, const char* text, const char* syntax, int ppm) {
    FieldResult f;
    f.page_box = page_box, f.text = text, f.syntax = syntax, f.confidence_ppm = ppm;
    return f;
}

}  // namespace

TEST(WindowPass, WindowsCoverThePageAndBoxesComeBackToIt) {
    const auto w = page_windows(1281, 721);
    ASSERT_EQ(w.size(), 9u);
    EXPECT_TRUE(w.front() == (Box{0, 0, 639, 359}) && w.back() == (Box{641, 361, 1280, 720}));  // the last at the page's edge
    EXPECT_TRUE(page_windows(127, 500).empty() && page_windows(128, 128).size() == 9u);

    const Box window{100, 50, 299, 149};
    const struct { const char* what; Box box; int scale; Box page; } cases[] = {
        {"window page at its own size", {10, 20, 30, 40}, 1, {110, 70, 130, 90}},
        {"enlarged twice", {10, 20, 31, 41}, 2, {105, 60, 115, 70}},
        {"reduced twice (a pixel covers two)", {10, 20, 30, 40}, -2, {120, 90, 161, 131}},
        {"clamped to the window", {150, 10, 400, 90}, 1, {250, 60, 299, 140}}};
    for (const auto& c : cases) EXPECT_EQ(window_to_page(c.box, window, c.scale, c.scale), c.page) << c.what;
}

TEST(WindowPass, OnlyPlateLikeReadingsJoinOrTakeAPlace) {
    const Box plate{100, 100, 200, 130};
    using Texts = std::vector<std::string>;
    struct Case { const char* what; std::vector<FieldResult> before; FieldResult found; bool region; bool windows; Texts after; };
    const Box there{90, 95, 150, 135};
    const FieldResult fits = reading(plate, "AB123CD", "LLDDDLL", 1000), sure = reading(plate, "AB123CD", "LLDDDLL", 900000);
    const std::vector<Case> cases = {
        {"a new place fitting a syntax joins", {reading({0, 0, 50, 20}, "AB", "", 900000)}, fits, true, true, {"AB", "AB123CD"}},
        {"fitting no syntax it is dropped", {}, reading(plate, "AB12", "", 990000), true, true, {}},
        {"it replaces a reading there that fits none", {reading(there, "B12", "", 990000)}, fits, true, true, {"AB123CD"}},
        {"or one that fits but is doubtful (not enough to spare the windows)", {reading(there, "AB12CD", "LLDDLL", 1000)}, sure, true, true, {"AB123CD"}},
        {"but not a surer one", {reading(there, "AB12CD", "LLDDLL", 900001)}, sure, true, false, {"AB12CD"}},
        {"without a region a confident reading joins", {}, reading(plate, "AB12", "", kPlateLikePpm), false, true, {"AB12"}},
        {"and a doubtful one does not", {}, reading(plate, "AB12", "", kPlateLikePpm - 1), false, true, {}},
        {"an empty reading never", {}, reading(plate, "", "", 999999), false, true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ImageResult r;
        r.fields = c.before;
        EXPECT_EQ(wants_windows(r, c.region), c.windows);
        merge_window_field(r.fields, c.found, c.region);
        std::vector<std::string> texts;
        for (const auto& f : r.fields) texts.push_back(f.text);
        EXPECT_EQ(texts, c.after);
    }
}

// The bundled sample scene (the plate PA51SYV at 165,488, 265 x 79 pixels) in the top left corner of a page twice its size.
TEST(WindowPass, FindsThePlateInAWindowAndHoldsThePageAsItWas) {
    const std::string model_path = bundled_model_path();
    ASSERT_FALSE(model_path.empty());
    const NetModel model(model_path);
    const std::string scene = bundled_data_dir() + "/samples/scene00001.jpg";
    ASSERT_EQ(SEG_set_image_file(scene.c_str()), 1) << scene;
    ASSERT_EQ(SEG_open_image(), 1);
    ASSERT_TRUE(XSCALE == 1 && YSCALE == 1);
    const int w = MAXCOL, h = MAXLIN;
    std::vector<unsigned char> canvas(static_cast<std::size_t>(4 * w * h), 128);
    for (int y = 0; y < h; ++y)
        std::copy_n(videobuffer + static_cast<std::size_t>(y) * BPL, w, canvas.begin() + static_cast<std::ptrdiff_t>(y) * 2 * w);
    ASSERT_EQ(SEG_open_gray_page(canvas.data(), 2 * w, 2 * h, 2 * w), 1);
    const int maxcol = MAXCOL, maxlin = MAXLIN, xscale = XSCALE, yscale = YSCALE;
    const std::vector<unsigned char> page(videobuffer, videobuffer + static_cast<std::size_t>(BPL) * MAXLIN);

    ImageResult r;
    r.maxcol = r.width = maxcol, r.maxlin = r.height = maxlin, r.xscale = xscale, r.yscale = yscale;
    AnalysisRequest request;
    request.model = model.get();
    request.recognition.region = Region::eu;
    ASSERT_TRUE(read_windows_net(r, request));
    const auto plate = std::find_if(r.fields.begin(), r.fields.end(), [](const FieldResult& f) {
        return centre_inside(f.file_box, 165, 488, 265, 79);
    });
    ASSERT_NE(plate, r.fields.end());
    EXPECT_TRUE(plate->text == "PA51SYV" && plate->reader == "net") << plate->text;
    EXPECT_TRUE(MAXCOL == maxcol && MAXLIN == maxlin && XSCALE == xscale && YSCALE == yscale);
    EXPECT_TRUE(std::equal(page.begin(), page.end(), videobuffer));
    EXPECT_EQ(results, nullptr);
    SEG_close_image();
}

TEST(WiderReading, AskedForWhenNoSyntaxFitsAndKeptWhenItReadsBetter) {
    const auto reading_of = [](int count, int constrained, float confidence) {
        pnet_reading r{};
        r.count = count, r.constrained = constrained, r.candidates[0].confidence = confidence;
        return r;
    };
    EXPECT_TRUE(wants_wider_reading(reading_of(3, 0, 0.9f), true));
    EXPECT_FALSE(wants_wider_reading(reading_of(3, 1, 0.01f), true));
    EXPECT_FALSE(wants_wider_reading(reading_of(3, 0, 0.01f), false));  // no syntaxes asked for
    EXPECT_FALSE(wants_wider_reading(reading_of(0, 0, 0), true));
    const struct { const char* what; pnet_reading wide, first; bool better; } cases[] = {
        {"fits where the first does not", reading_of(1, 1, 0.01f), reading_of(1, 0, 0.9f), true},
        {"fits neither, more probable", reading_of(1, 0, 0.5f), reading_of(1, 0, 0.4f), true},
        {"fits neither, less probable", reading_of(1, 0, 0.3f), reading_of(1, 0, 0.4f), false},
        {"read nothing", reading_of(0, 0, 0), reading_of(1, 0, 0.1f), false}};
    for (const auto& c : cases) EXPECT_EQ(reads_better(c.wide, c.first), c.better) << c.what;
}
