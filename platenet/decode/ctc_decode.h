// Decoding the network's per-frame probabilities (CTC, class 0 = "no
// character", class k + 1 = charset[k]) into texts.
//
// The prefix beam search keeps the `beam` most probable prefixes frame by
// frame, each with its probability of ending in "no character" and in its
// last character, so a prefix's probability sums over all its alignments;
// its final list gives the top-N candidates. With plate syntaxes it only
// extends a prefix by characters that keep it a prefix of some syntax, and
// at the end keeps only complete texts; a search without them runs beside
// it, and its reading is kept when no text fits or the best that fits is
// far less probable (kSyntaxPrior): a syntax settles O/0 and the like, but
// does not force a plate of another series into a wrong reading.
#pragma once

#include <string>
#include <vector>

namespace platenet {

// Per-frame log-probabilities: frames x classes, row-major.
struct FrameScores {
    int frames = 0;
    int classes = 0;
    std::vector<float> log_probs;
    float at(int t, int c) const {
        return log_probs[static_cast<std::size_t>(t) * static_cast<std::size_t>(classes) + static_cast<std::size_t>(c)];
    }
};

struct Candidate {
    std::string text;
    double probability = 0;            // summed over the text's alignments
    std::vector<float> char_confidence;  // one per character of text
    bool fits_syntax = false;
};

// No text grows beyond this many characters (the C interface's limit).
constexpr std::size_t kMaxTextLength = 16;

// Plate syntaxes: each a string of 'L' (letter A-Z) and 'D' (digit 0-9).
// Parses a comma-separated list; false for any other character or an
// empty entry. An empty list parses to no syntax.
bool parse_syntaxes(const std::string& list, std::vector<std::string>* out);
// True when `text` can still become a text of some syntax (complete: is
// one).
bool fits_prefix(const std::string& text, const std::vector<std::string>& syntaxes, bool complete);

// A text that fits a syntax is preferred unless it is under this share of
// the probability of the best text.
constexpr double kSyntaxPrior = 0.01;

// The most probable texts, best first, at most `topn`. With syntaxes, the
// texts that fit one; if none does, or the best that does is under
// kSyntaxPrior times the best unconstrained text, the unconstrained texts
// (fits_syntax says which of them fit).
std::vector<Candidate> decode(const FrameScores& s, const std::string& charset, int topn,
                              const std::vector<std::string>& syntaxes, int beam = 24);

// Orders candidates best first: those that fit a syntax before those that
// do not, unless the best that fits is under `prior` times the probability
// of the best candidate; then by probability. True when the texts that
// fit lead.
bool rank_candidates(std::vector<Candidate>& candidates, double prior);

// Best-path (greedy) text: the most probable class per frame, repeats
// merged, "no character" dropped.
std::string greedy_text(const FrameScores& s, const std::string& charset);

// Per-character confidences of `text`: the frames of its most probable
// alignment, and for each character the highest probability among the
// frames assigned to it. Empty when the text cannot be aligned (too long
// for the frames or a character outside the set).
std::vector<float> char_confidences(const FrameScores& s, const std::string& charset, const std::string& text);

}  // namespace platenet
