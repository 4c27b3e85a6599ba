// Plate syntaxes: the regions' tables, judging and choosing a syntax, fields read with a region by the real engine, and --region.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

#include "engine_session.h"
#include "field_page.h"
#include "field_reading.h"
#include "plate_syntax.h"
#include "temp_dir.h"
#include "tool_run.h"
#include "train_step.h"

namespace {
// The built program (named before the namespace platix comes into view).
ToolRun run_platix(const std::string& args, const std::string& dir) { return platix(args, dir); }
}  // namespace

using namespace platix;

namespace {

using platix_test::drawn_field;
using platix_test::page_with;

LabelledImage label_around(const FieldResult& f, const std::string& plate) {
    return platix_test::label(plate, f.page_box.left - 5, f.page_box.top - 5, f.page_box.right - f.page_box.left + 10,
                              f.page_box.bottom - f.page_box.top + 10);
}

// A base that knows the round glyph only as '0' and the bar only as '1'.
class PlateSyntaxReading : public ::testing::Test {
protected:
    void SetUp() override {
        session_ = std::make_unique<EngineSession>(std::vector<KbArg>{{dir_.file("s.kbf"), 0}});
        ASSERT_NE(session_->io(), nullptr) << session_->error();
        for (const std::string plate : {"HKA0471", "B2381"}) {
            ImageResult page = page_with({drawn_field(plate, 100, 200)});
            const auto l = label_around(page.fields[0], plate);
            int right = 0;
            for (int pass = 0; pass < 5 && right != static_cast<int>(plate.size()); ++pass) {
                const auto outcome = train_image(session_->io(), page, l);
                ASSERT_EQ(outcome.kind, TrainImageOutcome::used) << plate;
                right = outcome.right;
            }
            ASSERT_EQ(right, static_cast<int>(plate.size())) << plate;
        }
    }
    FieldResult read(const std::string& text, Region region) {
        ImageResult page = page_with({drawn_field(text, 120, 220)});
        FieldResult f = page.fields[0];
        RecognitionSettings settings;
        settings.region = region;
        read_field(session_->io(), f.bitmap.data(), f.columns, f.lines, f.bpl, settings, f, page);
        return f;
    }

    testsupport::TempDir dir_;
    std::unique_ptr<EngineSession> session_;
};

}  // namespace

TEST(PlateSyntaxTable, EveryRegionHasDistinctLetterDigitSyntaxesWithTheCommonPlates) {
    const std::multimap<Region, std::string> common = {{Region::eu, "LLDDDLL"}, {Region::eu, "DDDDLLL"},
                                                       {Region::us, "LLLDDDD"}, {Region::br, "LLLDLDD"}};
    for (Region region : {Region::eu, Region::us, Region::br}) {
        std::set<std::string> seen;
        for (const auto& s : region_syntaxes(region)) {
            EXPECT_TRUE(seen.insert(s.pattern).second) << s.pattern;
            // The template is applied position by position: one C or N per position.
            std::string t = s.pattern;
            for (char& c : t) c = c == 'L' ? 'C' : 'N';
            EXPECT_EQ(syntax_template(s.pattern), t);
        }
        for (auto [it, end] = common.equal_range(region); it != end; ++it) EXPECT_EQ(seen.count(it->second), 1u) << it->second;
    }
    EXPECT_TRUE(region_syntaxes(Region::none).empty());
    for (const char* bad : {"L", "", "LL DD", "LLX"}) EXPECT_EQ(syntax_template(bad), "") << bad;
}

// The boundaries of judging and choosing; the real engine's readings below run the ordinary cases.
TEST(PlateSyntaxFit, CaseUnreadAndLengthBoundariesAndTheChoiceAmongEquals) {
    const struct { const char *pattern, *raw, *text; bool fits; int substitutions; } cases[] = {
        {"LLDDD", "A0I23", "AO123", true, 2},  {"LLDDD", "ab123", "AB123", true, 0},  // case alone is no substitution
        {"LLDDD", "A7123", "A^123", false, 0}, {"LLDDD", "ABK23", "ABK23", false, 0}, // no look-alike; a letter kept
        {"LLDDDD", "AB123", "AB123", false, 0}, {"LLDDD", "AB123", "AB12", false, 0},
        {"LLDDD", "A^123", "A^123", true, 0},  // unread fits either kind
    };
    for (const auto& c : cases) {
        const auto fit = fit_syntax(c.pattern, c.raw, c.text);
        EXPECT_EQ(fit.fits, c.fits) << c.pattern << " " << c.text;
        EXPECT_EQ(c.fits ? fit.substitutions : 0, c.substitutions) << c.pattern << " " << c.text;
    }
    EXPECT_EQ(choose_syntax({"LLDDD", "LLDDD"}, "AO123", {"AO123", "AO123"}), 0);  // the first of equals
    EXPECT_EQ(choose_syntax({"LLLDLDD", "LLLDDDD"}, "AB77823", {"AB^7B23", "AB^7823"}), -1);
    EXPECT_EQ(choose_syntax({}, "AB123", {}), -1);
    EXPECT_EQ(with_blanks_of("AB 0I2 CD", "ABOI2CD"), "AB OI2 CD");
    EXPECT_EQ(with_blanks_of("AB", "ABC"), "ABC");  // lengths differ: as given
}

TEST_F(PlateSyntaxReading, TheRegionTurnsLookAlikesToFitItsSyntaxes) {
    const struct { const char* plate; Region region; const char *text, *syntax; } cases[] = {  // nullptr: as without a region
        {"OHK4711", Region::none, "0HK4711", ""},  {"OHK4711", Region::br, "OHK4711", "LLLDDDD"},
        {"HKI4711", Region::none, "HK14711", ""},  {"HKI4711", Region::br, "HKI4711", "LLLDDDD"},
        {"HKA1B23", Region::none, "HKAIB23", ""},  {"HKA1B23", Region::br, "HKA1B23", "LLLDLDD"},
        {"HKA1823", Region::br, "HKA1823", "LLLDDDD"},  // both fit: the one keeping the '8' as read
        {"HKA0B71", Region::br, "HKA0B71", "LLLDLDD"},  // the newer one needs fewer substitutions
        {"HK0A7", Region::br, nullptr, ""},             // too short for any Brazilian syntax
        {"H7K4711", Region::br, "H7K4711", ""},         // '7' where both want a letter
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.plate) + " " + region_name(c.region));
        const FieldResult f = read(c.plate, c.region);
        EXPECT_EQ(f.text, c.text ? std::string(c.text) : read(c.plate, Region::none).text);
        EXPECT_EQ(f.syntax, c.syntax);
    }
    // Only the text changes: the classes and boxes are the engine's own.
    const FieldResult plain = read("OHK4711", Region::none), br = read("OHK4711", Region::br);
    EXPECT_EQ(br.raw, plain.raw);
    ASSERT_EQ(br.chars.size(), 7u);
    EXPECT_TRUE(br.chars[0].c == "O" && br.chars[0].raw == "0");
    for (std::size_t i = 0; i < 7; ++i)
        EXPECT_EQ(std::vector<int>(br.chars[i].bitmap_box, br.chars[i].bitmap_box + 4),
                  std::vector<int>(plain.chars[i].bitmap_box, plain.chars[i].bitmap_box + 4));
}

TEST_F(PlateSyntaxReading, TrainingWithTheRegionTeachesOnlyWhatTheSyntaxLeavesWrong) {
    ImageResult page = page_with({drawn_field("OHK4711", 100, 200)});
    const auto l = label_around(page.fields[0], "OHK4711");
    const auto with = train_image(session_->io(), page, l, 0, Region::br);
    EXPECT_TRUE(with.kind == TrainImageOutcome::used && with.right == 7 && with.taught == 0 && page.fields[0].syntax == "LLLDDDD");
    const auto without = train_image(session_->io(), page, l, 0, Region::none);
    EXPECT_TRUE(without.right == 6 && without.taught == 1);
}

TEST(PlateSyntaxOption, ReadBenchAndTrainTakeARegionAndRefuseAnUnknownOne) {
    EXPECT_EQ(parse_read_options({"--region=br", "a.png"}, 1).recognition.region, Region::br);
    EXPECT_EQ(parse_bench_options({"--kb", "k.kbf", "--region", "us", "l.txt"}, 1).recognition.region, Region::us);
    EXPECT_EQ(parse_train_options({"--kb", "k.kbf", "--region", "eu", "l.txt"}, 1).region, Region::eu);
    testsupport::TempDir dir;
    for (const std::string command : {"read", "bench --kb k.kbf", "train --kb k.kbf"}) {
        const auto r = run_platix(command + " --region fr " + dir.path(), dir.path());
        EXPECT_TRUE(r.status == 2 && r.out.empty() && r.err == "platix: --region: expected eu, us or br, got 'fr'\n") << command;
    }
}
