// Benchmark scoring on hand-made results with known answers.
#include <gtest/gtest.h>

#include "bench_images.h"
#include "bench_score.h"

using namespace platix;

namespace {

LabelledImage truth(const std::string& plate) {
    LabelledImage l;
    l.x = 100;
    l.y = 50;
    l.w = 200;
    l.h = 60;
    l.plate = plate;
    return l;
}

ImageResult read_as(std::vector<std::pair<std::string, Box>> fields) {
    ImageResult r;
    r.status = ImageStatus::ok;
    r.ms = 10;
    for (auto& [t, b] : fields) {
        FieldResult f;
        f.text = t;
        f.file_box = b;
        r.fields.push_back(f);
    }
    return r;
}

}  // namespace

TEST(EditDistance, CountsInsertionsDeletionsSubstitutions) {
    EXPECT_EQ(edit_distance("", ""), 0);
    EXPECT_EQ(edit_distance("ABC", ""), 3);
    EXPECT_EQ(edit_distance("ABC1234", "ABC1234"), 0);
    EXPECT_EQ(edit_distance("ABC1234", "A8C1234"), 1);
    EXPECT_EQ(edit_distance("ABC1234", "ABC234"), 1);
    EXPECT_EQ(edit_distance("kitten", "sitting"), 3);
}

TEST(PlateScoring, ExactWhenLocatedFieldsReadThePlate) {
    const auto s = score_plate(read_as({{"ab 123", {120, 60, 280, 100}}, {"ZZZ", {0, 0, 50, 20}}}), truth("AB123"));
    EXPECT_TRUE(s.located);
    EXPECT_TRUE(s.exact);
    EXPECT_DOUBLE_EQ(s.char_accuracy, 1.0);
}

TEST(PlateScoring, TwoRowsJoinInListOrderOrOneAlone) {
    const auto rows = score_plate(read_as({{"AB", {120, 55, 280, 75}}, {"123", {120, 80, 280, 105}}}), truth("AB123"));
    EXPECT_TRUE(rows.exact);
    const auto alone = score_plate(read_as({{"XX", {120, 55, 280, 75}}, {"AB123", {120, 80, 280, 105}}}), truth("AB123"));
    EXPECT_TRUE(alone.exact);
    const auto swapped = score_plate(read_as({{"123", {120, 55, 280, 75}}, {"AB", {120, 80, 280, 105}}}), truth("AB123"));
    EXPECT_FALSE(swapped.exact);
}

TEST(PlateScoring, FieldOutsideTheBoxIsNotLocated) {
    const auto s = score_plate(read_as({{"AB123", {0, 0, 90, 40}}}), truth("AB123"));
    EXPECT_FALSE(s.located);
    EXPECT_FALSE(s.exact);
    EXPECT_DOUBLE_EQ(s.char_accuracy, 0.0);
}

TEST(PlateScoring, CharacterAccuracyFromEditDistance) {
    const auto s = score_plate(read_as({{"AB1Z3", {120, 60, 280, 100}}}), truth("AB123"));
    EXPECT_TRUE(s.located);
    EXPECT_FALSE(s.exact);
    EXPECT_DOUBLE_EQ(s.char_accuracy, 0.8);
    const auto far = score_plate(read_as({{"QQQQQQQQQQ", {120, 60, 280, 100}}}), truth("AB"));
    EXPECT_DOUBLE_EQ(far.char_accuracy, 0.0);
}

TEST(FolderSummaryTotals, PercentagesMedianAndRate) {
    FolderSummary f;
    const LabelledImage t = truth("AB123");
    ImageResult good = read_as({{"AB123", {120, 60, 280, 100}}});
    good.ms = 30;
    ImageResult near = read_as({{"AB12", {120, 60, 280, 100}}});
    near.ms = 10;
    ImageResult none = read_as({});
    none.ms = 20;
    ImageResult broken;
    for (const auto* r : {&good, &near, &none, &broken}) f.add(*r, score_plate(*r, t));
    f.seconds = 2.0;
    EXPECT_EQ(f.images, 4);
    EXPECT_DOUBLE_EQ(f.located_pct(), 50.0);
    EXPECT_DOUBLE_EQ(f.exact_pct(), 25.0);
    EXPECT_DOUBLE_EQ(f.accuracy_pct(), 45.0);  // (1 + 0.8 + 0 + 0) / 4
    EXPECT_DOUBLE_EQ(f.median_ms(), 20.0);     // the unreadable image has no time
    EXPECT_DOUBLE_EQ(f.images_per_second(), 2.0);
    const std::string json = format_bench_json({f}, f, AnalysisKind::extended);
    EXPECT_EQ(json.rfind("{\"analysis\": \"extended\", \"folders\": [{\"folder\": ", 0), 0u) << json;
    EXPECT_EQ(format_bench_json({f}, f, AnalysisKind::basic).rfind("{\"analysis\": \"basic\", ", 0), 0u);
    EXPECT_NE(json.find("\"images\": 4, \"located\": 50.00, \"exact\": 25.00, \"char_accuracy\": 45.00, \"median_ms\": 20.0"),
              std::string::npos)
        << json;
}

TEST(BenchVerdicts, EveryImageWithTruthReadingAndVerdict) {
    const Box in{150, 60, 250, 100}, out{400, 300, 450, 320};
    LabelledImage t = truth("AB 123");
    t.image_path = "d/p.jpg";
    ImageResult failed;
    failed.error = "damaged JPEG file";
    const std::vector<ImageResult> results = {read_as({{"AB 123", in}, {"ZZ", out}}), read_as({{"AB", in}, {"12", in}}),
                                              read_as({{"AB 123", out}}), failed};
    std::vector<ImageVerdict> v;
    for (const auto& r : results) v.push_back(verdict_of(r, t, score_plate(r, t)));
    EXPECT_EQ(v[0].verdict, "exact");
    EXPECT_EQ(v[0].reading, "AB 123");
    EXPECT_EQ(v[1].verdict, "misread");
    EXPECT_EQ(v[1].reading, "AB | 12");
    EXPECT_EQ(v[2].verdict, "not located");
    EXPECT_EQ(v[2].reading, "");
    EXPECT_EQ(v[3].verdict, "failed");

    EXPECT_EQ(format_misses(v), "\nmisses: 3 of 4 images\n"
                                "d/p.jpg\tAB 123\tAB | 12\tmisread\n"
                                "d/p.jpg\tAB 123\t\tnot located\n"
                                "d/p.jpg\tAB 123\tdamaged JPEG file\tfailed\n");
    const std::string json = with_image_results("{\"total\": {}}\n", {v[0], v[3]});
    EXPECT_EQ(json, "{\"total\": {}, \"image_results\": ["
                    "{\"file\": \"d/p.jpg\", \"truth\": \"AB 123\", \"reading\": \"AB 123\", \"verdict\": \"exact\", "
                    "\"char_accuracy\": 1.000}, "
                    "{\"file\": \"d/p.jpg\", \"truth\": \"AB 123\", \"reading\": \"\", \"verdict\": \"failed\", "
                    "\"char_accuracy\": 0.000, \"error\": \"damaged JPEG file\"}]}\n");
}
