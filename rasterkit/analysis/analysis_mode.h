// The two analysis modes and every rule in which they differ. Mode 0 is
// the documented analysis; mode 1 ("extended") also finds plates whose
// characters are only 10 to 20 pixels high, at the cost of some work on
// larger candidates. A reader compares the two rule sets below to see
// exactly how the modes differ.
#pragma once

namespace rk {

constexpr int kSpecifiedAnalysis = 0;
constexpr int kExtendedAnalysis = 1;

struct AnalysisRules {
    // A candidate is binarised through a 2 x enlarged copy when it is at
    // most enlarge_max_lines high and columns * enlarge_width_den >
    // lines * enlarge_width_num (it is wider than num/den times its height).
    int enlarge_max_lines;
    int enlarge_width_num;
    int enlarge_width_den;
    // A field whose right edge lies left of MAXCOL / 5 is dropped.
    bool right_edge_rule;
    // A candidate that only these rules enlarge (the documented ones would
    // not) is binarised as it is first and enlarged only when that finds no
    // character row. Fields the documented analysis finds then keep their
    // bitmaps, so the characters a knowledge base learnt from them keep
    // their size.
    bool enlarge_only_when_missed;
};

constexpr AnalysisRules kSpecifiedRules{40, 4, 1, true, false};
constexpr AnalysisRules kExtendedRules{60, 3, 2, false, true};

// True for the modes the analysis knows.
constexpr bool valid_analysis_mode(int mode) {
    return mode == kSpecifiedAnalysis || mode == kExtendedAnalysis;
}

// The rules of a mode; an unknown mode gets the documented ones.
constexpr const AnalysisRules& analysis_rules(int mode) {
    return mode == kExtendedAnalysis ? kExtendedRules : kSpecifiedRules;
}

// True when a candidate of columns x lines is enlarged before binarising.
constexpr bool enlarges(const AnalysisRules& rules, int columns, int lines) {
    return lines <= rules.enlarge_max_lines &&
           static_cast<long>(columns) * rules.enlarge_width_den > static_cast<long>(lines) * rules.enlarge_width_num;
}

}  // namespace rk
