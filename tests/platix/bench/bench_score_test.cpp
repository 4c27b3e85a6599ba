// Benchmark scoring on hand-made results with known answers.
#include <gtest/gtest.h>

#include "bench_images.h"
#include "bench_score.h"

using namespace platix;

namespace {

LabelledImage truth(const std::string& plate) {
    LabelledImage l;
    l.x = 100, l.y = 50, l.w = 200, l.h = 60, l.plate = plate, l.image_path = "d/p.jpg";
    return l;
}

ImageResult read_as(std::vector<std::pair<std::string, Box>> fields, long ms = 10) {
    ImageResult r;
    r.status = ImageStatus::ok, r.ms = ms;
    for (auto& [t, b] : fields) r.fields.emplace_back(), r.fields.back().text = t, r.fields.back().file_box = b;
    return r;
}

}  // namespace

TEST(PlateScoring, LocatedExactAndCharacterAccuracy) {
    const Box in{120, 60, 280, 100}, top{120, 55, 280, 75}, bottom{120, 80, 280, 105};
    const struct { const char* what; ImageResult read; const char* plate; bool located, exact; double accuracy; } cases[] = {
        {"case and blanks aside", read_as({{"ab 123", in}, {"ZZZ", {0, 0, 50, 20}}}), "AB123", true, true, 1.0},
        {"two rows in list order", read_as({{"AB", top}, {"123", bottom}}), "AB123", true, true, 1.0},
        {"one row alone", read_as({{"XX", top}, {"AB123", bottom}}), "AB123", true, true, 1.0},
        {"rows swapped", read_as({{"123", top}, {"AB", bottom}}), "AB123", true, false, 0.0},
        {"outside the box", read_as({{"AB123", {0, 0, 90, 40}}}), "AB123", false, false, 0.0},
        {"one wrong", read_as({{"AB1Z3", in}}), "AB123", true, false, 0.8},
        {"far off", read_as({{"QQQQQQQQQQ", in}}), "AB", true, false, 0.0},
    };
    for (const auto& c : cases) {
        const auto s = score_plate(c.read, truth(c.plate));
        EXPECT_TRUE(s.located == c.located && s.exact == c.exact) << c.what;
        EXPECT_TRUE(!(c.exact || !c.located || c.accuracy > 0) || s.char_accuracy == c.accuracy) << c.what;
    }
}

TEST(FolderSummaryTotals, PercentagesMedianRateAndJson) {
    FolderSummary f;
    const LabelledImage t = truth("AB123");
    const ImageResult good = read_as({{"AB123", {120, 60, 280, 100}}}, 30), near = read_as({{"AB12", {120, 60, 280, 100}}}, 10),
                      none = read_as({}, 20), broken;
    for (const auto* r : {&good, &near, &none, &broken}) f.add(*r, score_plate(*r, t));
    f.seconds = 2.0;
    EXPECT_EQ(f.images, 4);
    // Accuracy (1 + 0.8 + 0 + 0) / 4; the unreadable image has no time.
    EXPECT_EQ((std::vector<double>{f.located_pct(), f.exact_pct(), f.accuracy_pct(), f.median_ms(), f.images_per_second()}),
              (std::vector<double>{50.0, 25.0, 45.0, 20.0, 2.0}));
    const std::string json = format_bench_json({f}, f, AnalysisKind::extended);
    EXPECT_EQ(json.rfind("{\"analysis\": \"extended\", \"folders\": [{\"folder\": ", 0), 0u) << json;
    EXPECT_NE(json.find("\"images\": 4, \"located\": 50.00, \"exact\": 25.00, \"char_accuracy\": 45.00, \"median_ms\": 20.0"),
              std::string::npos) << json;
}

TEST(BenchVerdicts, EveryImageWithTruthReadingAndVerdict) {
    const Box in{150, 60, 250, 100}, out{400, 300, 450, 320};
    const LabelledImage t = truth("AB 123");
    ImageResult failed;
    failed.error = "damaged JPEG file";
    std::vector<ImageVerdict> v;
    for (const auto& r : {read_as({{"AB 123", in}, {"ZZ", out}}), read_as({{"AB", in}, {"12", in}}), read_as({{"AB 123", out}}), failed})
        v.push_back(verdict_of(r, t, score_plate(r, t)));
    EXPECT_EQ(format_misses(v), "\nmisses: 3 of 4 images\n"
                                "d/p.jpg\tAB 123\tAB | 12\tmisread\n"
                                "d/p.jpg\tAB 123\t\tnot located\n"
                                "d/p.jpg\tAB 123\tdamaged JPEG file\tfailed\n");
    EXPECT_EQ(with_image_results("{\"total\": {}}\n", {v[0], v[3]}),
              "{\"total\": {}, \"image_results\": ["
              "{\"file\": \"d/p.jpg\", \"truth\": \"AB 123\", \"reading\": \"AB 123\", \"verdict\": \"exact\", "
              "\"char_accuracy\": 1.000}, "
              "{\"file\": \"d/p.jpg\", \"truth\": \"AB 123\", \"reading\": \"\", \"verdict\": \"failed\", "
              "\"char_accuracy\": 0.000, \"error\": \"damaged JPEG file\"}]}\n");
}
