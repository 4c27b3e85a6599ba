// The learned reader in platix: its options, its JSON fields and the rows of fields it reads together.
#include <gtest/gtest.h>

#include "default_data.h"
#include "net_reading.h"
#include "net_training.h"
#include "options.h"
#include "output_format.h"
#include "temp_dir.h"

using namespace platix;

namespace {

FieldResult net_field() {
    FieldResult f;
    f.file_box = {1, 2, 30, 12};
    f.text = f.raw = "O1", f.reader = "net", f.syntax = "LD", f.confidence_ppm = 612345;
    for (const auto& [c, ppm] : std::vector<std::pair<std::string, int>>{{"O", 900000}, {"1", 705000}}) {
        f.chars.emplace_back();
        f.chars.back().c = f.chars.back().raw = c, f.chars.back().file_box = f.file_box, f.chars.back().confidence_ppm = ppm;
    }
    f.candidates = {{"O1", 612345}, {"01", 200000}};
    return f;
}

}  // namespace

TEST(NetReaderOptions, ReaderModelAndTopNAndTheModelEachReaderTakes) {
    // The net reader's options themselves: options_test. --reader both trains a model beside the base.
    const TrainOptions t = parse_train_options({"--reader", "both", "--kb", "k/base.kbf", "labels"}, 1);
    EXPECT_TRUE(t.train_box && t.train_net && t.model == "k/base.pnet");
    // --reader net takes the bundled model even with bases given; the box reader takes none, even with --model.
    RecognitionSettings s;
    s.reader = ReaderKind::net;
    EXPECT_NE(model_for(s, true, true), nullptr);
    testsupport::TempDir empty;
    setenv("ORVO_DATA_DIR", empty.path().c_str(), 1);
    EXPECT_THROW(model_for(s, false, true), UsageError);  // nothing to be found
    s.reader = ReaderKind::automatic;
    EXPECT_EQ(model_for(s, false, true), nullptr);
    unsetenv("ORVO_DATA_DIR");
    s.reader = ReaderKind::box, s.model = "whatever.pnet";
    EXPECT_EQ(model_for(s, false, true), nullptr);
    EXPECT_EQ(start_model_path("scratch"), "");
    EXPECT_EQ(start_model_path(""), bundled_model_path());
}

TEST(NetReaderJson, ConfidencesCandidatesReaderAndSyntaxOnlyWhenAsked) {
    ImageResult r;
    r.path = "a.png", r.status = ImageStatus::ok, r.fields = {net_field(), FieldResult{}};
    r.fields[1].text = "X";
    const std::string line = format_json_line(r, AnalysisKind::extended, true);
    EXPECT_NE(line.find("{\"text\": \"O1\", \"raw\": \"O1\", \"syntax\": \"LD\", \"reader\": \"net\", "
                        "\"confidence\": 0.6123, \"candidates\": [{\"text\": \"O1\", \"confidence\": 0.6123}, "
                        "{\"text\": \"01\", \"confidence\": 0.2}], \"box\": [1, 2, 30, 12], \"chars\": "
                        "[{\"c\": \"O\", \"confidence\": 0.9, \"box\": [1, 2, 30, 12]}, {\"c\": \"1\", "
                        "\"confidence\": 0.705, \"box\": [1, 2, 30, 12]}]}"),
              std::string::npos) << line;
    EXPECT_NE(line.find("{\"text\": \"X\", \"raw\": \"\", \"syntax\": null, \"box\""), std::string::npos) << line;
    const std::string without = format_json_line(r, AnalysisKind::extended);
    EXPECT_EQ(without.find("syntax"), std::string::npos) << without;
    EXPECT_EQ(format_json_line(r, AnalysisKind::extended, false), without);
}

TEST(NetReaderRows, CloseFieldsOfOneRowFormGroups) {
    struct Case { const char* what; std::vector<Box> boxes; std::vector<std::vector<std::size_t>> groups; };
    const std::vector<Case> cases = {
        {"pieces listed out of order", {{100, 50, 140, 70}, {200, 51, 240, 71}, {150, 50, 190, 70}}, {{0, 1, 2}}},
        {"a gap wider than the height keeps them apart", {{0, 0, 40, 20}, {63, 0, 100, 20}}, {}},
        {"a gap of the height joins", {{0, 0, 40, 20}, {62, 0, 100, 20}}, {{0, 1}}},
        {"rows overlapping by less than half the lower height", {{0, 0, 40, 20}, {45, 12, 90, 32}}, {}},
        {"a caption above the plate is another row", {{0, 0, 100, 10}, {0, 14, 100, 40}}, {}},
        {"a field far higher than its neighbour", {{0, 0, 40, 20}, {42, 0, 80, 40}}, {}},
        {"two plates far apart, each in two pieces", {{0, 0, 40, 20}, {500, 300, 540, 330}, {45, 1, 90, 21}, {545, 301, 590, 331}},
         {{0, 2}, {1, 3}}},
        {"a lone field", {{0, 0, 40, 20}}, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(row_groups(c.boxes), c.groups) << c.what;
}
