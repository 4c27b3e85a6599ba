// The plate syntaxes of each region, and the choice of the syntax that
// fits a field's reading best.
#include "plate_syntax.h"

namespace platix {

namespace {

// European plates. Separators, blanks, country strips and seals are left
// out; only letter and digit positions count.
const std::vector<PlateSyntax> kEurope = {
    {"LLDDDLL", "Italy, France (AB 123 CD); Slovakia, Croatia, Poland (two-letter district)"},
    {"DDDDLLL", "Spain since 2000 (1234 BCD)"},
    {"LLDDLLL", "United Kingdom since 2001 (AB12 CDE); Romania outside Bucharest (CJ 12 ABC)"},
    {"LLLDDDD", "Germany (three-letter district and one letter, or shorter parts, 1234); Greece (ABC 1234); Poland"},
    {"LLDDDD", "Germany (district, letters, up to four digits); Portugal 1992-2005 (AA-00-00); Latvia (AB-1234)"},
    {"LLLLDDDD", "Germany (longest form, KA AB 1234)"},
    {"LLLLDDD", "Germany (AB CD 123); Hungary since 2022 (AA AA-123)"},
    {"LLLDDD", "Germany; Finland, Lithuania, Sweden, Hungary until 2022 (ABC 123)"},
    {"LLLLLDDD", "Germany (ABC DE 123)"},
    {"LLDDD", "Germany short forms (B A 123)"},
    {"LLLDD", "Germany short forms (AB C 12)"},
    {"LLLDDL", "Sweden since 2019 (ABC 12A); Netherlands sidecode 11 (ABC-12-D)"},
    {"LLDDDDD", "Norway, Denmark (AB 12345); Poland (WA 12345); Switzerland (ZH 12345)"},
    {"LLDDDDL", "Poland (KR 1234A)"},
    {"LLDDDDDD", "Switzerland (ZH 123456)"},
    {"DLLLDDD", "Belgium since 2008 (1-ABC-123)"},
    {"LLDDLL", "Netherlands sidecode 4; Portugal since 2020 (AA-00-AA)"},
    {"LLLLDD", "Netherlands sidecode 5 (AB-CD-12)"},
    {"DDLLLL", "Netherlands sidecode 6 (12-AB-CD)"},
    {"DDLLLD", "Netherlands sidecode 7 (12-ABC-3)"},
    {"DLLLDD", "Netherlands sidecode 8 (1-ABC-23)"},
    {"LLDDDL", "Netherlands sidecode 9 (AB-123-C)"},
    {"LDDDLL", "Netherlands sidecode 10 (A-123-BC)"},
    {"DLLDDD", "Netherlands sidecode 12 (1-AB-234)"},
    {"DDLLDD", "Portugal 1992-2005 (00-AA-00)"},
    {"DDDDLL", "Portugal 1992-2005 (00-00-AA)"},
    {"DLDDDDD", "Czech Republic (1A2 3456)"},
    {"DLLDDDD", "Czech Republic since 2023 (1AB 2345)"},
    {"LDDLLL", "Romania, Bucharest (B 12 ABC)"},
    {"LDDDLLL", "Romania, Bucharest (B 123 ABC)"},
    {"LLDDDDLL", "Bulgaria (CA 1234 AB); Croatia (ZG 1234-AB)"},
    {"LDDDDLL", "Bulgaria, one-letter provinces (A 1234 BC)"},
    {"DDDLLL", "Estonia (123 ABC)"},
    {"DDDLDDDD", "Ireland since 2013 (191-D-1234)"},
    {"DDDLLDDDD", "Ireland since 2013, two-letter counties (191-KY-1234)"},
};

// United States plates: standard passenger series of the larger states.
const std::vector<PlateSyntax> kUnitedStates = {
    {"LLLDDDD", "New York, Texas, Pennsylvania, Ohio, Michigan, Georgia, North Carolina, Virginia, Arizona (ABC 1234)"},
    {"DLLLDDD", "California (7ABC123)"},
    {"LLLDDD", "Oklahoma, Iowa, Hawaii, South Carolina, Minnesota and others (ABC 123)"},
    {"DDDLLL", "Kentucky, Kansas, Oregon, Louisiana and others (123 ABC)"},
    {"LLDDDDD", "Illinois, Connecticut (AB 12345)"},
    {"DLLDDDD", "Maryland (1AB 2345)"},
    {"LDDLLL", "New Jersey (A12 BCD)"},
    {"DLLDDD", "Massachusetts (1AB 234)"},
    {"DLLLDD", "Massachusetts (1ABC 23)"},
    {"LLLLDD", "Florida, Colorado (ABC D12)"},
    {"LLDLDL", "Missouri (AB1 C2D)"},
    {"DDDLDD", "Nevada (123 A45)"},
    {"DDDDDDD", "New Hampshire (1234567)"},
    {"DDDDDD", "Delaware (123456)"},
};

// Brazilian plates.
const std::vector<PlateSyntax> kBrazil = {
    {"LLLDLDD", "Mercosur series since 2018 (ABC1D23)"},
    {"LLLDDDD", "series until 2018 (ABC-1234)"},
};

const std::vector<PlateSyntax> kNone = {};

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

Region parse_region(const std::string& name) {
    if (name == "eu") return Region::eu;
    if (name == "us") return Region::us;
    if (name == "br") return Region::br;
    throw UsageError("--region: expected eu, us or br, got '" + name + "'");
}

const char* region_name(Region region) {
    switch (region) {
    case Region::eu: return "eu";
    case Region::us: return "us";
    case Region::br: return "br";
    case Region::none: break;
    }
    return "";
}

const std::vector<PlateSyntax>& region_syntaxes(Region region) {
    switch (region) {
    case Region::eu: return kEurope;
    case Region::us: return kUnitedStates;
    case Region::br: return kBrazil;
    case Region::none: break;
    }
    return kNone;
}

std::string syntax_template(const std::string& pattern) {
    if (pattern.size() < 2) return "";
    std::string t;
    for (char c : pattern) {
        if (c == 'L') t += 'C';
        else if (c == 'D') t += 'N';
        else return "";
    }
    return t;
}

std::string without_blanks(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != ' ') out += c;
    return out;
}

SyntaxFit fit_syntax(const std::string& pattern, const std::string& plain, const std::string& shaped) {
    SyntaxFit fit;
    if (pattern.size() != plain.size() || shaped.size() != plain.size()) return fit;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const char p = plain[i];
        const char t = shaped[i];
        if (p == '^') continue;
        if (t == '^') return fit;
        const char kind = (t >= '0' && t <= '9') ? 'D' : 'L';
        if (kind != pattern[i]) return fit;
        if (upper(t) != upper(p)) ++fit.substitutions;
    }
    fit.fits = true;
    return fit;
}

int choose_syntax(const std::vector<std::string>& patterns, const std::string& plain,
                  const std::vector<std::string>& shaped) {
    int best = -1;
    int best_subs = 0;
    for (std::size_t i = 0; i < patterns.size() && i < shaped.size(); ++i) {
        const SyntaxFit fit = fit_syntax(patterns[i], plain, shaped[i]);
        if (!fit.fits) continue;
        if (best < 0 || fit.substitutions < best_subs) {
            best = static_cast<int>(i);
            best_subs = fit.substitutions;
        }
    }
    return best;
}

}  // namespace platix
