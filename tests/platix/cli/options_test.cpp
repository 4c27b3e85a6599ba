// Option parsing of the subcommands: defaults, values and the errors that
// end a run with status 2.
#include <gtest/gtest.h>

#include "options.h"

using namespace platix;

TEST(ReadOptionsParse, DefaultsFollowTheRecognitionProgram) {
    const auto o = parse_read_options({"a.png"}, 4);
    EXPECT_EQ(o.paths, std::vector<std::string>{"a.png"});
    EXPECT_EQ(o.depth, 3);
    EXPECT_EQ(o.jobs, 4);
    EXPECT_EQ(o.recognition.kb_mode, 0);
    EXPECT_EQ(o.recognition.text_template, "C");
    EXPECT_EQ(o.format, OutputFormat::text);
    EXPECT_TRUE(o.kbs.empty());
    EXPECT_EQ(o.max_pixels, 40000000);
}

TEST(ReadOptionsParse, TakesEveryOptionInBothSpellings) {
    const auto o = parse_read_options({"--kb", "x.kbf", "--kb=d.kbf:digits", "--kind", "letters", "--template=noblanks",
                                       "--depth", "5", "--jobs=2", "--format", "json", "--annotate", "out", "-q",
                                       "--max-pixels", "1000", "dir", "--", "--odd-name.png"},
                                      1);
    ASSERT_EQ(o.kbs.size(), 2u);
    EXPECT_EQ(o.kbs[0].path, "x.kbf");
    EXPECT_EQ(o.kbs[0].type, -1);
    EXPECT_EQ(o.kbs[1].path, "d.kbf");
    EXPECT_EQ(o.kbs[1].type, 1);
    EXPECT_EQ(o.recognition.kb_mode, 2);
    EXPECT_EQ(o.recognition.text_template, "noblanks");
    EXPECT_EQ(o.depth, 5);
    EXPECT_EQ(o.jobs, 2);
    EXPECT_EQ(o.format, OutputFormat::json);
    EXPECT_EQ(o.annotate_dir, "out");
    EXPECT_TRUE(o.quiet);
    EXPECT_EQ(o.max_pixels, 1000);
    EXPECT_EQ(o.paths, (std::vector<std::string>{"dir", "--odd-name.png"}));
}

TEST(ReadOptionsRejects, BadValuesAndUnknownOptions) {
    EXPECT_THROW(parse_read_options({"--depth", "0", "a"}, 1), UsageError);
    EXPECT_THROW(parse_read_options({"--depth", "6", "a"}, 1), UsageError);
    EXPECT_THROW(parse_read_options({"--depth", "3x", "a"}, 1), UsageError);
    EXPECT_THROW(parse_read_options({"--jobs", "0", "a"}, 1), UsageError);
    EXPECT_THROW(parse_read_options({"--max-pixels", "0", "a"}, 1), UsageError);
    EXPECT_THROW(parse_read_options({"--format", "xml", "a"}, 1), UsageError);
    EXPECT_THROW(parse_read_options({"--kind", "hex", "a"}, 1), UsageError);
    EXPECT_THROW(parse_read_options({"--frobnicate", "a"}, 1), UsageError);
    EXPECT_THROW(parse_read_options({"a", "--depth"}, 1), UsageError);
    EXPECT_THROW(parse_read_options({"--quiet=yes", "a"}, 1), UsageError);
    EXPECT_THROW(parse_read_options({}, 1), UsageError);
}

TEST(ReadOptionsRejects, MessageNamesTheOptionAndValue) {
    try {
        parse_read_options({"--depth", "9", "a"}, 1);
        FAIL() << "no error";
    } catch (const UsageError& e) {
        EXPECT_EQ(std::string(e.what()), "--depth: expected a whole number from 1 to 5, got '9'");
    }
}

TEST(ReadOptionsParse, HelpNeedsNoPaths) {
    EXPECT_TRUE(parse_read_options({"--help"}, 1).help);
    EXPECT_TRUE(parse_read_options({"-h"}, 1).help);
}

TEST(KbArgParse, TypeSuffixOnlyWhenItIsAType) {
    EXPECT_EQ(parse_kb_arg("a.kbf:2").type, 2);
    EXPECT_EQ(parse_kb_arg("a.kbf:252").type, 252);
    EXPECT_EQ(parse_kb_arg("a.kbf:any").type, 0);
    const auto odd = parse_kb_arg("dir:name/a.kbf");
    EXPECT_EQ(odd.path, "dir:name/a.kbf");
    EXPECT_EQ(odd.type, -1);
    EXPECT_THROW(parse_kb_arg(":1"), UsageError);
    EXPECT_THROW(parse_kb_arg("a.kbf:300"), UsageError);
}

TEST(TrainOptionsParse, RequiresKbAndLabels) {
    EXPECT_THROW(parse_train_options({"labels"}, 1), UsageError);
    EXPECT_THROW(parse_train_options({"--kb", "a.kbf"}, 1), UsageError);
    EXPECT_THROW(parse_train_options({"--kb", "a.kbf", "--kb", "b.kbf", "l"}, 1), UsageError);
    EXPECT_THROW(parse_train_options({"--kb", "a.kbf", "--passes", "0", "l"}, 1), UsageError);
    const auto o = parse_train_options({"--kb", "a.kbf", "--passes", "3", "l1", "l2"}, 2);
    EXPECT_EQ(o.kb, "a.kbf");
    EXPECT_EQ(o.passes, 3);
    EXPECT_EQ(o.labels.size(), 2u);
    EXPECT_EQ(parse_train_options({"--kb", "a.kbf", "l"}, 2).passes, 5);
}

TEST(TrainOptionsParse, AugmentCountsVariantsWithinTheirRange) {
    EXPECT_EQ(parse_train_options({"--kb", "a.kbf", "l"}, 1).augment, kDefaultAugment);
    EXPECT_EQ(parse_train_options({"--kb", "a.kbf", "--augment", "0", "l"}, 1).augment, 0);
    EXPECT_EQ(parse_train_options({"--kb", "a.kbf", "--augment=20", "l"}, 1).augment, 20);
    EXPECT_THROW(parse_train_options({"--kb", "a.kbf", "--augment", "21", "l"}, 1), UsageError);
    EXPECT_THROW(parse_train_options({"--kb", "a.kbf", "--augment", "-1", "l"}, 1), UsageError);
}

TEST(BenchOptionsParse, FoldsTrainTheirOwnBasesInsteadOfKb) {
    const auto o = parse_bench_options({"--folds", "5", "--augment", "2", "--passes", "3", "l"}, 1);
    EXPECT_EQ(o.folds, 5);
    EXPECT_EQ(o.augment, 2);
    EXPECT_EQ(o.passes, 3);
    EXPECT_TRUE(o.kbs.empty());
    EXPECT_THROW(parse_bench_options({"--folds", "5", "--kb", "a.kbf", "l"}, 1), UsageError);
    EXPECT_THROW(parse_bench_options({"--folds", "1", "l"}, 1), UsageError);
    EXPECT_EQ(parse_bench_options({"--kb", "a.kbf", "l"}, 1).folds, 0);
}

TEST(BenchOptionsParse, JsonFileAndOptionalKb) {
    EXPECT_TRUE(parse_bench_options({"l"}, 1).kbs.empty());  // the bundled base is taken later
    EXPECT_FALSE(parse_bench_options({"l"}, 1).misses);
    EXPECT_TRUE(parse_bench_options({"--misses", "l"}, 1).misses);
    const auto o = parse_bench_options({"--kb", "a.kbf", "--json", "r.json", "--jobs", "1", "l"}, 2);
    EXPECT_EQ(o.json_path, "r.json");
    EXPECT_EQ(o.jobs, 1);
    EXPECT_THROW(parse_bench_options({"--kb", "a.kbf", "--json=", "l"}, 1), UsageError);
}

TEST(SynthOptionsParse, CountSeedAndOut) {
    const auto o = parse_synth_options({"--out", "d", "--count", "7", "--seed", "42"});
    EXPECT_EQ(o.out_dir, "d");
    EXPECT_EQ(o.count, 7);
    EXPECT_EQ(o.seed, 42ul);
    EXPECT_THROW(parse_synth_options({"--count", "3"}), UsageError);
    EXPECT_THROW(parse_synth_options({"--out", "d", "extra"}), UsageError);
    EXPECT_THROW(parse_synth_options({"--out", "d", "--count", "-1"}), UsageError);
    EXPECT_THROW(parse_synth_options({"--out", "d", "--image-format", "gif"}), UsageError);
}

TEST(AnalysisOption, ExtendedByDefaultSpecifiedOnRequest) {
    EXPECT_EQ(parse_read_options({"a.png"}, 1).analysis, AnalysisKind::extended);
    EXPECT_EQ(parse_read_options({"--basic-analysis", "a.png"}, 1).analysis, AnalysisKind::basic);
    EXPECT_EQ(parse_train_options({"--kb", "a.kbf", "l"}, 1).analysis, AnalysisKind::extended);
    EXPECT_EQ(parse_train_options({"--kb", "a.kbf", "--basic-analysis", "l"}, 1).analysis, AnalysisKind::basic);
    EXPECT_EQ(parse_bench_options({"--kb", "a.kbf", "l"}, 1).analysis, AnalysisKind::extended);
    EXPECT_EQ(parse_bench_options({"--kb", "a.kbf", "l", "--basic-analysis"}, 1).analysis, AnalysisKind::basic);
    EXPECT_EQ(analysis_mode_of(AnalysisKind::extended), 1);
    EXPECT_EQ(analysis_mode_of(AnalysisKind::basic), 0);
    EXPECT_NE(read_help().find("--basic-analysis"), std::string::npos);
    EXPECT_NE(bench_help().find("--basic-analysis"), std::string::npos);
    EXPECT_NE(train_help().find("--basic-analysis"), std::string::npos);
}
