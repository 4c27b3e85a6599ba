// Option parsing of the subcommands: defaults, values and the errors that
// end a run with status 2.
#include <gtest/gtest.h>

#include <functional>

#include "options.h"

using namespace platix;

TEST(ReadOptionsParse, DefaultsAndTheOptionsNoProgramRunGives) {
    const auto d = parse_read_options({"a.png"}, 4);
    EXPECT_TRUE(d.depth == 3 && d.jobs == 4 && d.recognition.text_template == "C" && d.max_pixels == 40000000);
    const auto o = parse_read_options({"--kb", "x.kbf", "--kb=d.kbf:digits", "--kind", "letters", "--template=noblanks",
                                       "--depth", "5", "dir", "--", "--odd-name.png"}, 1);
    ASSERT_EQ(o.kbs.size(), 2u);
    EXPECT_TRUE(o.kbs[0].type == -1 && o.kbs[1].path == "d.kbf" && o.kbs[1].type == 1);
    EXPECT_TRUE(o.recognition.kb_mode == 2 && o.recognition.text_template == "noblanks" && o.depth == 5);
    EXPECT_EQ(o.paths, (std::vector<std::string>{"dir", "--odd-name.png"}));
    EXPECT_TRUE(parse_read_options({"-h"}, 1).help);  // help needs no paths
}

TEST(OptionsRefuse, BadValuesUnknownOptionsAndMissingArguments) {
    using Parse = std::function<void()>;
    using A = std::vector<std::string>;
    const auto read = [](A a) -> Parse { return [a] { parse_read_options(a, 1); }; };
    const auto train = [](A a) -> Parse { return [a] { parse_train_options(a, 1); }; };
    const auto bench = [](A a) -> Parse { return [a] { parse_bench_options(a, 1); }; };
    const auto synth = [](A a) -> Parse { return [a] { parse_synth_options(a); }; };
    const std::vector<std::pair<const char*, Parse>> cases = {
        {"depth 0", read({"--depth", "0", "a"})}, {"depth 6", read({"--depth", "6", "a"})},
        {"depth 3x", read({"--depth", "3x", "a"})}, {"jobs 0", read({"--jobs", "0", "a"})},
        {"max-pixels 0", read({"--max-pixels", "0", "a"})}, {"format xml", read({"--format", "xml", "a"})},
        {"kind hex", read({"--kind", "hex", "a"})}, {"unknown", read({"--frobnicate", "a"})},
        {"value missing", read({"a", "--depth"})}, {"flag with value", read({"--quiet=yes", "a"})},
        {"no paths", read({})},
        {"train without kb", train({"labels"})}, {"train without labels", train({"--kb", "a.kbf"})},
        {"two kbs", train({"--kb", "a.kbf", "--kb", "b.kbf", "l"})}, {"passes 0", train({"--kb", "a.kbf", "--passes", "0", "l"})},
        {"augment 21", train({"--kb", "a.kbf", "--augment", "21", "l"})},
        {"augment -1", train({"--kb", "a.kbf", "--augment", "-1", "l"})},
        {"folds with kb", bench({"--folds", "5", "--kb", "a.kbf", "l"})}, {"folds 1", bench({"--folds", "1", "l"})},
        {"empty json", bench({"--kb", "a.kbf", "--json=", "l"})},
        {"synth without out", synth({"--count", "3"})}, {"synth extra", synth({"--out", "d", "extra"})},
        {"count -1", synth({"--out", "d", "--count", "-1"})}, {"gif", synth({"--out", "d", "--image-format", "gif"})},
    };
    for (const auto& [what, parse] : cases) EXPECT_THROW(parse(), UsageError) << what;
    try {
        parse_read_options({"--depth", "9", "a"}, 1);
        FAIL() << "no error";
    } catch (const UsageError& e) {
        EXPECT_STREQ(e.what(), "--depth: expected a whole number from 1 to 5, got '9'");
    }
}

TEST(KbArgParse, TypeSuffixOnlyWhenItIsAType) {
    EXPECT_EQ(parse_kb_arg("a.kbf:252").type, 252);
    EXPECT_EQ(parse_kb_arg("a.kbf:any").type, 0);
    const auto odd = parse_kb_arg("dir:name/a.kbf");
    EXPECT_EQ(odd.path, "dir:name/a.kbf");
    EXPECT_EQ(odd.type, -1);
    EXPECT_THROW(parse_kb_arg(":1"), UsageError);
    EXPECT_THROW(parse_kb_arg("a.kbf:300"), UsageError);
}

TEST(TrainBenchOptionsParse, ValuesAndDefaults) {
    const auto t = parse_train_options({"--kb", "a.kbf", "--passes", "3", "--augment=20", "--basic-analysis", "l1", "l2"}, 2);
    EXPECT_TRUE(t.passes == 3 && t.augment == 20 && t.labels.size() == 2 && t.analysis == AnalysisKind::basic);
    const auto td = parse_train_options({"--kb", "a.kbf", "l"}, 2);
    EXPECT_TRUE(td.passes == 5 && td.augment == kDefaultAugment && td.analysis == AnalysisKind::extended);
    const auto b = parse_bench_options({"--folds", "5", "--augment", "2", "--passes", "3", "--misses", "--json", "r.json", "l"}, 1);
    EXPECT_TRUE(b.folds == 5 && b.augment == 2 && b.passes == 3 && b.misses && b.json_path == "r.json");
    EXPECT_EQ(parse_bench_options({"l", "--basic-analysis"}, 1).analysis, AnalysisKind::basic);
    EXPECT_EQ(analysis_mode_of(AnalysisKind::extended), 1);
    EXPECT_EQ(analysis_mode_of(AnalysisKind::basic), 0);
}
