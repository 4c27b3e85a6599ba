// Option parsing of the subcommands: values and the errors that end a run with status 2.
#include <gtest/gtest.h>

#include <functional>

#include "options.h"

using namespace platix;

TEST(OptionsParse, ValuesOfReadTrainAndBench) {
    const auto o = parse_read_options({"--kb", "x.kbf", "--kb=d.kbf:digits", "--kind", "letters", "--template=noblanks",
                                       "--depth", "5", "dir", "--", "--odd-name.png"}, 1);
    ASSERT_EQ(o.kbs.size(), 2u);
    EXPECT_TRUE(o.kbs[0].type == -1 && o.kbs[1].path == "d.kbf" && o.kbs[1].type == 1);
    EXPECT_TRUE(o.recognition.kb_mode == 2 && o.recognition.text_template == "noblanks" && o.depth == 5);
    EXPECT_EQ(o.paths, (std::vector<std::string>{"dir", "--odd-name.png"}));
    const auto t = parse_train_options({"--kb", "a.kbf", "--passes", "3", "--augment=20", "--basic-analysis", "l1", "l2"}, 2);
    EXPECT_TRUE(t.passes == 3 && t.augment == 20 && t.labels.size() == 2 && t.analysis == AnalysisKind::basic);
    const auto b = parse_bench_options({"--folds", "5", "--augment", "2", "--passes", "3", "--misses", "--json", "r.json", "l"}, 1);
    EXPECT_TRUE(b.folds == 5 && b.augment == 2 && b.passes == 3 && b.misses && b.json_path == "r.json");
    const auto n = parse_train_options({"--reader", "net", "--model", "m.pnet", "--synth-seed", "7", "--epochs", "4", "--synth",
                                        "9", "--synth-scenes"}, 1);
    EXPECT_TRUE(!n.train_box && n.synth_seed == 7 && n.epochs == 4 && n.synth == 9 && n.synth_scenes);
    const auto f = parse_bench_options({"--folds", "2", "--region", "auto", "--synth-seed", "9", "--minutes", "3", "--reader",
                                        "net", "--start", "s.pnet", "l"}, 1);
    EXPECT_TRUE(f.region_by_folder && f.synth_seed == 9 && f.minutes == 3 && f.recognition.reader == ReaderKind::net &&
                f.start_model == "s.pnet");
    EXPECT_TRUE(parse_read_options({"x.png"}, 1).recognition.windows);
    EXPECT_FALSE(parse_read_options({"--single-pass", "x.png"}, 1).recognition.windows);
    EXPECT_FALSE(parse_bench_options({"--single-pass", "l"}, 1).recognition.windows);
    EXPECT_TRUE(parse_synth_options({"--out", "d", "--crops", "--style", "us"}).crops);
    EXPECT_EQ(parse_synth_options({"--out", "x", "--style=br"}).style, "br");
    EXPECT_EQ(parse_kb_arg("a.kbf:252").type, 252);
    EXPECT_EQ(parse_kb_arg("a.kbf:any").type, 0);
    const auto odd = parse_kb_arg("dir:name/a.kbf");  // a suffix only when it is a type
    EXPECT_TRUE(odd.path == "dir:name/a.kbf" && odd.type == -1);
}

TEST(OptionsRefuse, BadValuesUnknownOptionsAndMissingArguments) {
    using A = std::vector<std::string>;
    const auto read = [](A a) { return std::function<void()>([a] { parse_read_options(a, 1); }); };
    const auto train = [](A a) { return std::function<void()>([a] { parse_train_options(a, 1); }); };
    const auto bench = [](A a) { return std::function<void()>([a] { parse_bench_options(a, 1); }); };
    const auto synth = [](A a) { return std::function<void()>([a] { parse_synth_options(a); }); };
    const std::function<void()> cases[] = {
        read({"--depth", "0", "a"}), read({"--depth", "6", "a"}), read({"--depth", "3x", "a"}),
        read({"--jobs", "0", "a"}), read({"--max-pixels", "0", "a"}), read({"--format", "xml", "a"}),
        read({"--kind", "hex", "a"}), read({"--frobnicate", "a"}), read({"a", "--depth"}), read({"--quiet=yes", "a"}),
        read({}), train({"labels"}), train({"--kb", "a.kbf"}), train({"--kb", "a.kbf", "--kb", "b.kbf", "l"}),
        train({"--kb", "a.kbf", "--passes", "0", "l"}), train({"--kb", "a.kbf", "--augment", "21", "l"}),
        train({"--kb", "a.kbf", "--augment", "-1", "l"}), bench({"--folds", "5", "--kb", "a.kbf", "l"}),
        bench({"--folds", "1", "l"}), bench({"--region", "auto", "l"}), train({"--reader", "cnn", "--kb", "a.kbf", "l"}), bench({"--kb", "a.kbf", "--json=", "l"}), synth({"--count", "3"}),
        synth({"--out", "d", "extra"}), synth({"--out", "d", "--count", "-1"}), synth({"--out", "d", "--image-format", "gif"}),
        [] { parse_kb_arg(":1"); }, [] { parse_kb_arg("a.kbf:300"); }, read({"--reader", "cnn", "x.png"}),
        read({"--topn", "0", "x.png"}), read({"--topn", "33", "x.png"}), train({"--reader", "net", "--model", "m.pnet"}),
        train({"--reader", "net", "labels"}),
        bench({"--folds", "3", "--model", "m.pnet", "labels"}), [] { parse_watch_options({"--single-pass", "v.mp4"}); },
        synth({"--out", "x", "--style", "fr"}), synth({"--out", "x", "--style"}),
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_THROW(cases[i](), UsageError) << "case " << i;
}

// Each command's help starts with its own usage line (what each option does is the help text itself).
TEST(OptionsHelp, EachCommandsHelpStartsWithItsUsage) {
    const std::pair<std::string, const char*> cases[] = {{main_help(), "COMMAND"}, {read_help(), "read"},
                                                         {train_help(), "train"},  {bench_help(), "bench"},
                                                         {synth_help(), "synth"},  {watch_help(), "watch"}};
    for (const auto& [text, command] : cases) EXPECT_EQ(text.rfind(std::string("usage: platix ") + command, 0), 0u) << text;
}
