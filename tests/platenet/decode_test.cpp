// CTC decoding: the beam against an enumeration of every alignment, syntax-constrained decoding, character confidences.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numeric>
#include <random>

#include "decode/ctc_decode.h"

using namespace platenet;

namespace {

// Frames from probability rows (normalised here), class 0 = no character.
FrameScores frames_of(const std::vector<std::vector<double>>& rows) {
    FrameScores s;
    s.frames = static_cast<int>(rows.size()), s.classes = static_cast<int>(rows[0].size());
    for (const auto& r : rows)
        for (double v : r) s.log_probs.push_back(static_cast<float>(std::log(v / std::accumulate(r.begin(), r.end(), 0.0))));
    return s;
}

// Every text's probability by summing over all class sequences.
std::map<std::string, double> enumerate(const FrameScores& s, const std::string& charset) {
    std::map<std::string, double> out;
    std::vector<int> seq(static_cast<std::size_t>(s.frames), 0);
    for (int t = 0; t < s.frames;) {  // every class sequence, counted like an odometer
        double p = 1;
        std::string text;
        for (int k = 0, last = 0; k < s.frames; last = seq[static_cast<std::size_t>(k++)]) {
            const int c = seq[static_cast<std::size_t>(k)];
            p *= std::exp(s.at(k, c));
            if (c != 0 && c != last) text += charset[static_cast<std::size_t>(c - 1)];
        }
        out[text] += p;
        for (t = 0; t < s.frames && ++seq[static_cast<std::size_t>(t)] == s.classes; ++t) seq[static_cast<std::size_t>(t)] = 0;
    }
    return out;
}

}  // namespace

TEST(CtcDecode, BeamProbabilitiesMatchEveryAlignmentSummed) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0.05, 1.0);
    const std::string charset = "AB1";
    for (int trial = 0; trial < 5; ++trial) {
        std::vector<std::vector<double>> rows(6, std::vector<double>(4));
        for (auto& r : rows)
            for (auto& v : r) v = u(rng);
        const FrameScores s = frames_of(rows);
        const auto truth = enumerate(s, charset);
        std::vector<double> ranked;
        for (const auto& [text, p] : truth) ranked.push_back(p);
        std::sort(ranked.rbegin(), ranked.rend());
        const auto got = decode(s, charset, 5, {}, 4096);  // a beam wide enough to hold every prefix is exact
        ASSERT_EQ(got.size(), 5u);
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i].probability, truth.at(got[i].text), 1e-6) << got[i].text;
            EXPECT_NEAR(got[i].probability, ranked[i], 1e-6) << "rank " << i;
        }
    }
}

TEST(CtcDecode, SyntaxPicksAFittingCandidateTheBestDoesNotFit) {
    // Charset "0O1I": the plain best is "0I" (0 at .55, I at .6), but the syntax LD wants a letter then a digit: "O1".
    const FrameScores s = frames_of({{.02, .55, .41, .01, .01}, {.9, .025, .025, .025, .025}, {.02, .01, .01, .36, .6}});
    const std::string charset = "0O1I";
    const auto plain = decode(s, charset, 3, {});
    ASSERT_FALSE(plain.empty());
    EXPECT_TRUE(plain[0].text == "0I" && !plain[0].fits_syntax);
    std::vector<std::string> syn;
    ASSERT_TRUE(parse_syntaxes("LD,LLL", &syn));
    const auto fitted = decode(s, charset, 3, syn);
    ASSERT_FALSE(fitted.empty());
    EXPECT_TRUE(fitted[0].text == "O1" && fitted[0].fits_syntax && fitted[0].probability < plain[0].probability);
    for (const auto& c : fitted) EXPECT_TRUE(fits_prefix(c.text, syn, true)) << c.text;
    ASSERT_EQ(fitted[0].char_confidence.size(), 2u);
    EXPECT_TRUE(std::abs(fitted[0].char_confidence[0] - 0.41) < 1e-3 && std::abs(fitted[0].char_confidence[1] - 0.36) < 1e-3);
    // No text of six digits can come out, and the best of three digits ("010", 0.00014) is under a
    // hundredth of "0I": the unconstrained reading stays.
    for (const char* list : {"DDDDDD", "DDD"}) {
        ASSERT_TRUE(parse_syntaxes(list, &syn));
        const auto fallback = decode(s, charset, 3, syn);
        ASSERT_FALSE(fallback.empty());
        EXPECT_TRUE(fallback[0].text == "0I" && !fallback[0].fits_syntax) << list;
    }
}

TEST(CtcDecode, SyntaxListsAndPrefixes) {
    std::vector<std::string> syn;
    EXPECT_TRUE(parse_syntaxes("", &syn) && syn.empty());
    EXPECT_TRUE(!parse_syntaxes("LLD,", &syn) && !parse_syntaxes("LxD", &syn));
    ASSERT_TRUE(parse_syntaxes("LLLDLDD,LLLDDDD", &syn));
    const struct { const char* text; bool whole, fits; } cases[] = {
        {"ABC1", false, true},   {"ABC1D", false, true},    {"ABC1D", true, false},     {"ABC1D23", true, true},
        {"ABC1234", true, true}, {"AB01234", false, false}, {"ABC12345", false, false}};
    for (const auto& c : cases) EXPECT_EQ(fits_prefix(c.text, syn, c.whole), c.fits) << c.text << " " << c.whole;
}

TEST(CtcDecode, ConfidencesOnlyForATextThatCanAlign) {
    const FrameScores s = frames_of({{.5, .5}, {.5, .5}});
    for (const char* text : {"AAA", "B", "AA"}) EXPECT_TRUE(char_confidences(s, "A", text).empty()) << text;  // AA: a repeat needs a blank
    EXPECT_EQ(char_confidences(s, "A", "A").size(), 1u);
    // "AAB" over frames A, A, blank, A, B: the repeat is read across the blank, each character surely.
    const FrameScores clear = frames_of({{.01, .97, .01, .01}, {.01, .97, .01, .01}, {.97, .01, .01, .01},
                                         {.01, .97, .01, .01}, {.01, .01, .97, .01}});
    EXPECT_EQ(greedy_text(clear, "AB1"), "AAB");
    const auto conf = char_confidences(clear, "AB1", "AAB");
    ASSERT_EQ(conf.size(), 3u);
    for (float c : conf) EXPECT_NEAR(c, 0.97, 1e-3);
}
