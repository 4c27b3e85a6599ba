#include "decode/ctc_decode.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

namespace platenet {

namespace {

constexpr double kNegInf = -std::numeric_limits<double>::infinity();
constexpr double kPrune = -9.2;  // log(1e-4)

double log_add(double a, double b) {
    if (a == kNegInf) return b;
    if (b == kNegInf) return a;
    const double m = std::max(a, b);
    return m + std::log1p(std::exp(-std::fabs(a - b)));
}

bool is_kind(char c, char kind) {
    if (kind == 'L') return c >= 'A' && c <= 'Z';
    if (kind == 'D') return c >= '0' && c <= '9';
    return false;
}

struct Beam {
    double blank = kNegInf;      // log p(prefix, ending in "no character")
    double non_blank = kNegInf;  // log p(prefix, ending in its last character)
    double total() const { return log_add(blank, non_blank); }
};

std::vector<std::pair<std::string, double>> beam_search(const FrameScores& s, const std::string& charset, int width,
                                                        const std::vector<std::string>* syntaxes) {
    struct Entry {
        std::string prefix;
        Beam beam;
    };
    std::vector<Entry> beams = {{"", {}}};
    beams[0].beam.blank = 0;
    std::vector<Entry> next;
    std::unordered_map<std::string, std::size_t> index;
    for (int t = 0; t < s.frames; ++t) {
        next.clear();
        index.clear();
        // The entry of `prefix` among this frame's beams, made when new.
        const auto slot = [&](const std::string& prefix) -> std::size_t {
            const auto [it, added] = index.try_emplace(prefix, next.size());
            if (added) next.push_back({prefix, {}});
            return it->second;
        };
        for (const auto& [prefix, b] : beams) {
            const double total = b.total();
            // "no character": the prefix stays, now ending in a blank.
            const std::size_t same = slot(prefix);
            next[same].beam.blank = log_add(next[same].beam.blank, total + s.at(t, 0));
            for (int c = 1; c < s.classes; ++c) {
                const double p = s.at(t, c);
                const char ch = charset[static_cast<std::size_t>(c - 1)];
                const bool repeat = !prefix.empty() && prefix.back() == ch;
                // Characters this improbable on a frame cannot reach the
                // beam's top; skipping them keeps the search linear.
                if (p < kPrune && !repeat) continue;
                if (repeat) {
                    // The same character again: a repeat merges unless a
                    // blank came between.
                    next[same].beam.non_blank = log_add(next[same].beam.non_blank, b.non_blank + p);
                    if (p < kPrune) continue;
                }
                if (prefix.size() >= kMaxTextLength) continue;
                std::string longer = prefix + ch;
                if (syntaxes && !fits_prefix(longer, *syntaxes, false)) continue;
                const std::size_t k = slot(longer);
                next[k].beam.non_blank = log_add(next[k].beam.non_blank, (repeat ? b.blank : total) + p);
            }
        }
        const std::size_t keep = std::min(next.size(), static_cast<std::size_t>(width));
        std::partial_sort(next.begin(), next.begin() + static_cast<std::ptrdiff_t>(keep), next.end(),
                          [](const Entry& x, const Entry& y) {
                              const double tx = x.beam.total(), ty = y.beam.total();
                              return tx > ty || (tx == ty && x.prefix < y.prefix);
                          });
        next.resize(keep);
        beams.swap(next);
    }
    std::vector<std::pair<std::string, double>> out;
    for (const auto& [prefix, b] : beams) {
        if (syntaxes && !fits_prefix(prefix, *syntaxes, true)) continue;
        out.emplace_back(prefix, b.total());
    }
    std::sort(out.begin(), out.end(), [](const auto& x, const auto& y) {
        return x.second > y.second || (x.second == y.second && x.first < y.first);
    });
    return out;
}

}  // namespace

bool parse_syntaxes(const std::string& list, std::vector<std::string>* out) {
    out->clear();
    if (list.empty()) return true;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        const std::string item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (item.empty()) return false;
        for (char c : item)
            if (c != 'L' && c != 'D') return false;
        out->push_back(item);
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

bool fits_prefix(const std::string& text, const std::vector<std::string>& syntaxes, bool complete) {
    for (const auto& syn : syntaxes) {
        if (text.size() > syn.size() || (complete && text.size() != syn.size())) continue;
        bool ok = true;
        for (std::size_t i = 0; i < text.size() && ok; ++i) ok = is_kind(text[i], syn[i]);
        if (ok) return true;
    }
    return false;
}

std::string greedy_text(const FrameScores& s, const std::string& charset) {
    std::string out;
    int last = 0;
    for (int t = 0; t < s.frames; ++t) {
        int best = 0;
        for (int c = 1; c < s.classes; ++c)
            if (s.at(t, c) > s.at(t, best)) best = c;
        if (best != 0 && best != last) out += charset[static_cast<std::size_t>(best - 1)];
        last = best;
    }
    return out;
}

std::vector<float> char_confidences(const FrameScores& s, const std::string& charset, const std::string& text) {
    // Viterbi over the extended label (blank, c1, blank, c2, ..., blank).
    std::vector<int> label;
    for (char ch : text) {
        const auto k = charset.find(ch);
        if (k == std::string::npos) return {};
        label.push_back(static_cast<int>(k) + 1);
    }
    const int states = 2 * static_cast<int>(label.size()) + 1;
    if (s.frames <= 0) return {};
    const auto cls = [&](int st) { return st % 2 == 0 ? 0 : label[static_cast<std::size_t>(st / 2)]; };
    std::vector<double> score(static_cast<std::size_t>(states), kNegInf);
    std::vector<int> back(static_cast<std::size_t>(states) * static_cast<std::size_t>(s.frames), -1);
    score[0] = s.at(0, 0);
    if (states > 1) score[1] = s.at(0, cls(1));
    for (int t = 1; t < s.frames; ++t) {
        std::vector<double> next(static_cast<std::size_t>(states), kNegInf);
        for (int st = 0; st < states; ++st) {
            int from = st;
            double best = score[static_cast<std::size_t>(st)];
            if (st >= 1 && score[static_cast<std::size_t>(st - 1)] > best) {
                best = score[static_cast<std::size_t>(st - 1)];
                from = st - 1;
            }
            if (st >= 2 && st % 2 == 1 && cls(st) != cls(st - 2) && score[static_cast<std::size_t>(st - 2)] > best) {
                best = score[static_cast<std::size_t>(st - 2)];
                from = st - 2;
            }
            if (best == kNegInf) continue;
            next[static_cast<std::size_t>(st)] = best + s.at(t, cls(st));
            back[static_cast<std::size_t>(t) * static_cast<std::size_t>(states) + static_cast<std::size_t>(st)] = from;
        }
        score.swap(next);
    }
    int st = states - 1;
    if (states > 1 && score[static_cast<std::size_t>(states - 2)] > score[static_cast<std::size_t>(st)]) st = states - 2;
    if (score[static_cast<std::size_t>(st)] == kNegInf) return {};
    std::vector<float> conf(label.size(), 0.0f);
    for (int t = s.frames - 1; t >= 0; --t) {
        if (st % 2 == 1) {
            auto& c = conf[static_cast<std::size_t>(st / 2)];
            c = std::max(c, static_cast<float>(std::exp(s.at(t, cls(st)))));
        }
        if (t > 0) st = back[static_cast<std::size_t>(t) * static_cast<std::size_t>(states) + static_cast<std::size_t>(st)];
    }
    return conf;
}

bool rank_candidates(std::vector<Candidate>& c, double prior) {
    double best = 0, best_fit = 0;
    for (const auto& x : c) {
        best = std::max(best, x.probability);
        if (x.fits_syntax) best_fit = std::max(best_fit, x.probability);
    }
    const bool fits_first = best_fit > 0 && best_fit >= prior * best;
    std::stable_sort(c.begin(), c.end(), [&](const Candidate& x, const Candidate& y) {
        if (fits_first && x.fits_syntax != y.fits_syntax) return x.fits_syntax;
        return x.probability > y.probability;
    });
    return fits_first;
}

std::vector<Candidate> decode(const FrameScores& s, const std::string& charset, int topn,
                              const std::vector<std::string>& syntaxes, int beam) {
    const int width = std::max(beam, topn);
    std::vector<Candidate> all;
    std::unordered_map<std::string, std::size_t> at;
    const auto add = [&](const std::vector<std::pair<std::string, double>>& found) {
        for (const auto& [text, lp] : found) {
            if (!at.try_emplace(text, all.size()).second) continue;
            Candidate c;
            c.text = text;
            c.probability = std::exp(lp);
            c.fits_syntax = !syntaxes.empty() && fits_prefix(text, syntaxes, true);
            all.push_back(std::move(c));
        }
    };
    if (!syntaxes.empty()) add(beam_search(s, charset, width, &syntaxes));
    add(beam_search(s, charset, width, nullptr));
    // When the syntaxes decide, only the texts that fit are listed.
    if (rank_candidates(all, kSyntaxPrior))
        all.erase(std::remove_if(all.begin(), all.end(), [](const Candidate& c) { return !c.fits_syntax; }), all.end());
    if (all.size() > static_cast<std::size_t>(std::max(0, topn))) all.resize(static_cast<std::size_t>(std::max(0, topn)));
    for (auto& c : all) {
        c.char_confidence = char_confidences(s, charset, c.text);
        c.char_confidence.resize(c.text.size(), 0.0f);
    }
    return all;
}

}  // namespace platenet
