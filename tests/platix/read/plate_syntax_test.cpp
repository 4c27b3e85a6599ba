// Plate syntaxes: the regions' tables, how a syntax is judged against a
// reading, fields read with a region by the real engine, the JSON field and
// the --region option.
#include <gtest/gtest.h>

#include <cstring>

#include <map>
#include <memory>
#include <set>

#include "engine_session.h"
#include "field_page.h"
#include "field_reading.h"
#include "output_format.h"
#include "plate_syntax.h"
#include "result_codec.h"
#include "temp_dir.h"
#include "tool_run.h"
#include "train_step.h"

namespace {
// The built program (named before the namespace platix comes into view).
ToolRun run_platix(const std::string& args, const std::string& dir) { return platix(args, dir); }
}  // namespace

using namespace platix;

namespace {

// A blocky plate lettering, 5 x 7 cells per character, each cell drawn as
// 3 x 3 pixels. Its letter O and digit 0 are one glyph, and so are its
// letter I and digit 1: a plate in this lettering is ambiguous by shape.
const std::map<char, std::vector<const char*>>& glyphs() {
    static const std::map<char, std::vector<const char*>> g = {
        {'0', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
        {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
        {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
        {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
        {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
        {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
        {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
        {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    };
    return g;
}

constexpr int kCell = 3, kGap = 6, kMargin = 4;

// A field bitmap of `text` in the blocky lettering at page position (x, y);
// 'O' is drawn with the glyph of '0' and 'I' with that of '1'.
FieldResult drawn_field(const std::string& text, int x, int y) {
    FieldResult f;
    const int n = static_cast<int>(text.size());
    f.columns = 2 * kMargin + n * 5 * kCell + (n - 1) * kGap;
    f.lines = 2 * kMargin + 7 * kCell;
    f.bpl = (f.columns + 7) / 8;
    f.bitmap.assign(static_cast<std::size_t>(f.bpl) * static_cast<std::size_t>(f.lines), 0xFF);
    for (int i = 0; i < n; ++i) {
        char c = text[static_cast<std::size_t>(i)];
        if (c == 'O') c = '0';
        if (c == 'I') c = '1';
        const auto& rows = glyphs().at(c);
        const int left = kMargin + i * (5 * kCell + kGap);
        for (int r = 0; r < 7; ++r)
            for (int k = 0; k < 5; ++k) {
                if (rows[static_cast<std::size_t>(r)][k] != '#') continue;
                for (int dy = 0; dy < kCell; ++dy)
                    for (int dx = 0; dx < kCell; ++dx) {
                        const int X = left + k * kCell + dx, Y = kMargin + r * kCell + dy;
                        f.bitmap[static_cast<std::size_t>(Y * f.bpl + X / 8)] &=
                            static_cast<std::uint8_t>(~(0x80 >> (X % 8)));
                    }
            }
    }
    f.page_box = {x, y, x + f.columns - 1, y + f.lines - 1};
    f.file_box = f.page_box;
    return f;
}

using platix_test::page_with;

LabelledImage label_around(const FieldResult& f, const std::string& plate) {
    LabelledImage l;
    l.plate = plate;
    l.x = f.page_box.left - 5;
    l.y = f.page_box.top - 5;
    l.w = f.page_box.right - f.page_box.left + 10;
    l.h = f.page_box.bottom - f.page_box.top + 10;
    return l;
}

// A small base taught the lettering's characters as digits only where
// they are ambiguous: it knows the round glyph as '0' and the bar as '1',
// never as 'O' or 'I'.
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
    void TearDown() override { session_.reset(); }

    // Reads the drawn plate `text` with the region.
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

// Trains one image with the region, without variants.
TrainImageOutcome train_in_region(ocr_io* io, ImageResult& page, const LabelledImage& l, Region region) {
    return train_image(io, page, l, 0, region);
}

}  // namespace

TEST(PlateSyntaxTable, EveryRegionHasWellFormedDistinctSyntaxes) {
    for (Region region : {Region::eu, Region::us, Region::br}) {
        const auto& table = region_syntaxes(region);
        EXPECT_GE(table.size(), 2u) << region_name(region);
        std::set<std::string> seen;
        for (const auto& s : table) {
            const std::string pattern = s.pattern;
            EXPECT_TRUE(seen.insert(pattern).second) << region_name(region) << " repeats " << pattern;
            EXPECT_GE(pattern.size(), 5u) << pattern;
            EXPECT_LE(pattern.size(), 9u) << pattern;
            EXPECT_EQ(pattern.find_first_not_of("LD"), std::string::npos) << pattern;
            EXPECT_NE(std::string(s.where), "") << pattern;
            // The engine applies a template position by position only when it
            // is at least 2 long, its second character is no digit, it holds
            // no "noblanks" and no blank (blanks of the text are then
            // dropped), and every position is C, c or N.
            const std::string t = syntax_template(pattern);
            ASSERT_EQ(t.size(), pattern.size()) << pattern;
            EXPECT_EQ(t.find_first_not_of("CN"), std::string::npos) << t;
            EXPECT_FALSE(t[1] >= '0' && t[1] <= '9') << t;
            for (std::size_t i = 0; i < t.size(); ++i) EXPECT_EQ(t[i], pattern[i] == 'L' ? 'C' : 'N') << t;
        }
    }
    EXPECT_TRUE(region_syntaxes(Region::none).empty());
}

TEST(PlateSyntaxTable, CommonPlatesOfEachRegionAreCovered) {
    const auto has = [](Region r, const std::string& p) {
        for (const auto& s : region_syntaxes(r))
            if (p == s.pattern) return true;
        return false;
    };
    EXPECT_TRUE(has(Region::eu, "LLDDDLL"));  // AB 123 CD
    EXPECT_TRUE(has(Region::eu, "DDDDLLL"));  // 1234 BCD
    EXPECT_TRUE(has(Region::eu, "LLDDLLL"));  // AB12 CDE
    EXPECT_TRUE(has(Region::us, "LLLDDDD"));  // ABC 1234
    EXPECT_TRUE(has(Region::us, "DLLLDDD"));  // 7ABC123
    EXPECT_EQ(region_syntaxes(Region::br).size(), 2u);
    EXPECT_TRUE(has(Region::br, "LLLDLDD"));
    EXPECT_TRUE(has(Region::br, "LLLDDDD"));
}

TEST(PlateSyntaxTable, TemplateRefusesOtherPatterns) {
    EXPECT_EQ(syntax_template("LLDDDLL"), "CCNNNCC");
    EXPECT_EQ(syntax_template("L"), "");
    EXPECT_EQ(syntax_template(""), "");
    EXPECT_EQ(syntax_template("LL DD"), "");
    EXPECT_EQ(syntax_template("LLX"), "");
}

TEST(PlateSyntaxRegion, NamesRoundTripAndOthersAreRefused) {
    for (Region r : {Region::eu, Region::us, Region::br}) EXPECT_EQ(parse_region(region_name(r)), r);
    EXPECT_STREQ(region_name(Region::none), "");
    EXPECT_THROW(parse_region("EU"), UsageError);
    EXPECT_THROW(parse_region(""), UsageError);
    try {
        parse_region("fr");
        FAIL() << "fr was taken";
    } catch (const UsageError& e) {
        EXPECT_STREQ(e.what(), "--region: expected eu, us or br, got 'fr'");
    }
}

TEST(PlateSyntaxFit, LookAlikesCountAsSubstitutions) {
    const auto fit = fit_syntax("LLDDD", "A0I23", "AO123");
    EXPECT_TRUE(fit.fits);
    EXPECT_EQ(fit.substitutions, 2);
    const auto same = fit_syntax("LLDDD", "AB123", "AB123");
    EXPECT_TRUE(same.fits);
    EXPECT_EQ(same.substitutions, 0);
    // Case alone is no substitution.
    EXPECT_EQ(fit_syntax("LLDDD", "ab123", "AB123").substitutions, 0);
}

TEST(PlateSyntaxFit, ContradictionsAndOtherLengthsDoNotFit) {
    // '7' in a letter position has no look-alike: the template leaves '^'.
    EXPECT_FALSE(fit_syntax("LLDDD", "A7123", "A^123").fits);
    // 'K' in a digit position is kept as a letter.
    EXPECT_FALSE(fit_syntax("LLDDD", "ABK23", "ABK23").fits);
    EXPECT_FALSE(fit_syntax("LLDDDD", "AB123", "AB123").fits);
    EXPECT_FALSE(fit_syntax("LLDDD", "AB123", "AB12").fits);
    // A character the engine could not read fits either kind.
    const auto unread = fit_syntax("LLDDD", "A^123", "A^123");
    EXPECT_TRUE(unread.fits);
    EXPECT_EQ(unread.substitutions, 0);
}

TEST(PlateSyntaxChoice, FewestSubstitutionsWinsThenTableOrder) {
    const std::vector<std::string> patterns = {"LLLDLDD", "LLLDDDD"};
    EXPECT_EQ(choose_syntax(patterns, "ABC1823", {"ABC1B23", "ABC1823"}), 1);
    EXPECT_EQ(choose_syntax(patterns, "ABC1B23", {"ABC1B23", "ABC1823"}), 0);
    // Equal substitutions: the first in table order.
    EXPECT_EQ(choose_syntax({"LLDDD", "LDDDD"}, "A0123", {"AO123", "A0123"}), 1);
    EXPECT_EQ(choose_syntax({"LLDDD", "LLDDD"}, "AO123", {"AO123", "AO123"}), 0);
    // A syntax that does not fit is never taken, however few substitutions.
    EXPECT_EQ(choose_syntax(patterns, "ABC7823", {"ABC^B23", "ABC7823"}), 1);
    EXPECT_EQ(choose_syntax(patterns, "AB77823", {"AB^7B23", "AB^7823"}), -1);
    EXPECT_EQ(choose_syntax({}, "AB123", {}), -1);
}

TEST(PlateSyntaxText, BlanksOfThePlainReadingAreKept) {
    EXPECT_EQ(with_blanks_of("AB 0I2 CD", "ABOI2CD"), "AB OI2 CD");
    EXPECT_EQ(with_blanks_of("AB12", "ABI2"), "ABI2");
    EXPECT_EQ(with_blanks_of("AB", "ABC"), "ABC");
    EXPECT_EQ(without_blanks(" A B  1 "), "AB1");
}

TEST_F(PlateSyntaxReading, RoundGlyphInALetterPositionBecomesO) {
    const FieldResult plain = read("OHK4711", Region::none);
    EXPECT_EQ(plain.text, "0HK4711");
    EXPECT_EQ(plain.syntax, "");
    const FieldResult br = read("OHK4711", Region::br);
    EXPECT_EQ(br.text, "OHK4711");
    EXPECT_EQ(br.syntax, "LLLDDDD");
    // Only the text changes: the classes and boxes are the engine's own.
    EXPECT_EQ(br.raw, plain.raw);
    ASSERT_EQ(br.chars.size(), 7u);
    EXPECT_EQ(br.chars[0].c, "O");
    EXPECT_EQ(br.chars[0].raw, "0");
    for (std::size_t i = 0; i < 7; ++i)
        EXPECT_EQ(std::vector<int>(br.chars[i].bitmap_box, br.chars[i].bitmap_box + 4),
                  std::vector<int>(plain.chars[i].bitmap_box, plain.chars[i].bitmap_box + 4));
}

TEST_F(PlateSyntaxReading, BarGlyphInALetterPositionBecomesI) {
    const FieldResult plain = read("HKI4711", Region::none);
    EXPECT_EQ(plain.text, "HK14711");
    const FieldResult br = read("HKI4711", Region::br);
    EXPECT_EQ(br.text, "HKI4711");
    EXPECT_EQ(br.syntax, "LLLDDDD");
}

TEST_F(PlateSyntaxReading, LetterGlyphsInDigitPositionsBecomeDigits) {
    // The bar between two letters is read as 'I'; the plate has '1' there.
    const FieldResult plain = read("HKA1B23", Region::none);
    EXPECT_EQ(plain.text, "HKAIB23");
    const FieldResult br = read("HKA1B23", Region::br);
    EXPECT_EQ(br.text, "HKA1B23");
    EXPECT_EQ(br.syntax, "LLLDLDD");
}

TEST_F(PlateSyntaxReading, SyntaxNeedingFewerSubstitutionsIsChosen) {
    // Both syntaxes of the region fit; the older one keeps the '8' as it
    // was read, the newer one would need it turned into 'B'.
    const FieldResult br = read("HKA1823", Region::br);
    EXPECT_EQ(br.text, "HKA1823");
    EXPECT_EQ(br.syntax, "LLLDDDD");
    // The newer one wins when it needs fewer.
    const FieldResult mercosur = read("HKA0B71", Region::br);
    EXPECT_EQ(mercosur.text, "HKA0B71");
    EXPECT_EQ(mercosur.syntax, "LLLDLDD");
}

TEST_F(PlateSyntaxReading, TheChosenTextIsWhatTheEngineReadsWithThatSyntaxTemplate) {
    // The field is read once; the syntax's template shapes that reading.
    // A reading of the field with the template itself must agree.
    for (const std::string plate : {"OHK4711", "HKA1B23", "HKA0B71", "HKA1823"}) {
        const FieldResult br = read(plate, Region::br);
        ASSERT_FALSE(br.syntax.empty()) << plate;
        ImageResult page = page_with({drawn_field(plate, 120, 220)});
        const FieldResult& f = page.fields[0];
        ocr_io* io = session_->io();
        io->image_bits = const_cast<unsigned char*>(f.bitmap.data());
        io->columns = f.columns;
        io->rows = f.lines;
        io->bytes_per_row = f.bpl;
        io->left = 0;
        io->top = 0;
        io->right = f.columns;
        io->bottom = f.lines;
        io->kb_mode = 0;
        std::memset(io->template_, 0, sizeof io->template_);
        const std::string tmpl = syntax_template(br.syntax);
        std::strncpy(io->template_, tmpl.c_str(), sizeof io->template_ - 1);
        ASSERT_GT(OCR_recognize_field(), 0) << plate;
        EXPECT_EQ(without_blanks(io->text), without_blanks(br.text)) << plate;
        EXPECT_EQ(std::string(io->raw_text), br.raw) << plate;
    }
}

TEST_F(PlateSyntaxReading, NoFittingSyntaxKeepsThePlainReading) {
    // Five characters: no Brazilian plate has so few.
    const FieldResult short_one = read("HK0A7", Region::br);
    EXPECT_EQ(short_one.text, read("HK0A7", Region::none).text);
    EXPECT_EQ(short_one.syntax, "");
    // '7' where both syntaxes want a letter.
    const FieldResult contradicted = read("H7K4711", Region::br);
    EXPECT_EQ(contradicted.text, "H7K4711");
    EXPECT_EQ(contradicted.syntax, "");
}

TEST_F(PlateSyntaxReading, TrainingWithTheRegionTeachesOnlyWhatTheSyntaxLeavesWrong) {
    ImageResult page = page_with({drawn_field("OHK4711", 100, 200)});
    const auto l = label_around(page.fields[0], "OHK4711");
    const auto with = train_in_region(session_->io(), page, l, Region::br);
    EXPECT_EQ(with.kind, TrainImageOutcome::used);
    EXPECT_EQ(with.right, 7);
    EXPECT_EQ(with.taught, 0);
    EXPECT_EQ(page.fields[0].syntax, "LLLDDDD");
    // Without the region the round glyph is read '0' and taught as 'O'.
    const auto without = train_in_region(session_->io(), page, l, Region::none);
    EXPECT_EQ(without.right, 6);
    EXPECT_EQ(without.taught, 1);
}

TEST(PlateSyntaxOutput, JsonNamesTheSyntaxOfEveryFieldWhenAsked) {
    ImageResult r;
    r.path = "p.png";
    r.status = ImageStatus::ok;
    FieldResult a;
    a.text = "AB 123 CD";
    a.syntax = "LLDDDLL";
    FieldResult b;
    b.text = "X";
    r.fields = {a, b};
    const std::string with = format_json_line(r, AnalysisKind::extended, true);
    EXPECT_NE(with.find("{\"text\": \"AB 123 CD\", \"raw\": \"\", \"syntax\": \"LLDDDLL\", \"box\""), std::string::npos)
        << with;
    EXPECT_NE(with.find("{\"text\": \"X\", \"raw\": \"\", \"syntax\": null, \"box\""), std::string::npos) << with;
    // Without a region the line is as it always was.
    const std::string without = format_json_line(r, AnalysisKind::extended);
    EXPECT_EQ(without.find("syntax"), std::string::npos) << without;
    EXPECT_EQ(format_json_line(r, AnalysisKind::extended, false), without);
}

TEST(PlateSyntaxOutput, SyntaxSurvivesTheWorkersEncoding) {
    ImageResult r;
    r.status = ImageStatus::ok;
    FieldResult a;
    a.text = "OHK4711";
    a.syntax = "LLLDDDD";
    r.fields = {a, FieldResult{}};
    ImageResult back;
    ASSERT_TRUE(decode_result(encode_result(r), &back));
    ASSERT_EQ(back.fields.size(), 2u);
    EXPECT_EQ(back.fields[0].syntax, "LLLDDDD");
    EXPECT_EQ(back.fields[1].syntax, "");
}

TEST(PlateSyntaxOption, ReadBenchAndTrainTakeARegion) {
    EXPECT_EQ(parse_read_options({"--region", "eu", "a.png"}, 1).recognition.region, Region::eu);
    EXPECT_EQ(parse_read_options({"--region=br", "a.png"}, 1).recognition.region, Region::br);
    EXPECT_EQ(parse_read_options({"a.png"}, 1).recognition.region, Region::none);
    EXPECT_EQ(parse_bench_options({"--kb", "k.kbf", "--region", "us", "l.txt"}, 1).recognition.region, Region::us);
    EXPECT_EQ(parse_train_options({"--kb", "k.kbf", "--region", "br", "l.txt"}, 1).region, Region::br);
    EXPECT_EQ(parse_train_options({"--kb", "k.kbf", "l.txt"}, 1).region, Region::none);
    EXPECT_THROW(parse_read_options({"--region", "xx", "a.png"}, 1), UsageError);
    EXPECT_THROW(parse_read_options({"--region"}, 1), UsageError);
    EXPECT_NE(read_help().find("  --region R "), std::string::npos);
    EXPECT_NE(bench_help().find("  --region R "), std::string::npos);
    EXPECT_NE(train_help().find("  --region R "), std::string::npos);
}

TEST(PlateSyntaxOption, UnknownRegionIsAUsageError) {
    testsupport::TempDir dir;
    for (const std::string command : {"read", "bench --kb k.kbf", "train --kb k.kbf"}) {
        const auto r = run_platix(command + " --region fr " + dir.path(), dir.path());
        EXPECT_EQ(r.status, 2) << command;
        EXPECT_EQ(r.err, "platix: --region: expected eu, us or br, got 'fr'\n") << command;
        EXPECT_EQ(r.out, "") << command;
    }
}
