// The region layouts: which fonts, which text patterns and which colours
// and small words each region's plates get.
#include "region_style.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

namespace platix::synth {

namespace {

// Letters as plates of the region use them: most European and US series
// leave out I, O and Q; Brazilian series use all 26.
constexpr const char* kPlateLetters = "ABCDEFGHJKLMNPRSTUVWXYZ";
constexpr const char* kAllLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

const char* const kRoboto = "/usr/share/fonts/truetype/roboto/unhinted/";
const char* const kDejaVu = "/usr/share/fonts/truetype/dejavu/";
const char* const kLiberation = "/usr/share/fonts/truetype/liberation/";

struct Country {
    const char* code;     // in the blue band
    const char* pattern;  // L letter, D digit, blank between groups
    bool yellow;          // rear plates may be yellow
};

// A few European series, one pattern each.
const Country kEuCountries[] = {
    {"I", "LL DDD LL", false},   // Italy
    {"F", "LL DDD LL", false},   // France
    {"D", "L LL DDDD", false},   // Germany, one-letter district
    {"D", "LLL LL DDD", false},  // Germany, three-letter district
    {"E", "DDDD LLL", false},    // Spain
    {"NL", "DD LLL D", true},    // Netherlands
    {"PL", "LL DDDDD", false},   // Poland
    {"UK", "LLDD LLL", true},    // United Kingdom
};

const char* const kUsPatterns[] = {"LLL DDDD", "DLLLDDD", "LLL DDD", "DDD LLL", "LLLDDDD"};
// The passenger series of many states, as the plates group them.
const char* const kUsSeries[] = {"LLL DDDD", "DLLL DDD", "LLL DDD", "DDD LLL", "LL DDDDD", "DLL DDDD", "LDD LLL",
                                 "DLL DDD",  "DLLL DD",  "LLL LDD", "LLD LDL", "DDD LDD", "DDD DDDD", "DDD DDD"};
const char* const kUsStates[] = {"California", "TEXAS", "NEW YORK", "Florida", "OHIO",
                                 "ARIZONA",    "Illinois", "GEORGIA", "NEVADA", "OREGON"};

const char* const kBrMercosur = "LLLDLDD";
const char* const kBrGrey = "LLL DDDD";
const char* const kBrCities[] = {"SP SAO PAULO", "RJ RIO DE JANEIRO", "MG BELO HORIZONTE",
                                 "PR CURITIBA",  "RS PORTO ALEGRE",   "BA SALVADOR"};

template <typename T, std::size_t N>
const T& pick(Rng& rng, const T (&items)[N]) {
    return items[static_cast<std::size_t>(rng.uniform(0, static_cast<int>(N) - 1))];
}

std::string fill_pattern(const std::string& pattern, const char* letters, Rng& rng) {
    const int last = static_cast<int>(std::char_traits<char>::length(letters)) - 1;
    std::string out;
    for (char c : pattern) {
        if (c == 'L') out += letters[rng.uniform(0, last)];
        else if (c == 'D') out += static_cast<char>('0' + rng.uniform(0, 9));
        else out += ' ';
    }
    return out;
}

bool fits(const std::string& pattern, const std::string& text) {
    std::string bare;
    for (char c : pattern)
        if (c != ' ') bare += c;
    if (bare.size() != text.size()) return false;
    for (std::size_t i = 0; i < bare.size(); ++i) {
        const char c = text[i];
        if (bare[i] == 'L' && !(c >= 'A' && c <= 'Z')) return false;
        if (bare[i] == 'D' && !(c >= '0' && c <= '9')) return false;
    }
    return true;
}

int pick_font(Rng& rng, const std::vector<std::string>& fonts) {
    if (fonts.empty()) throw std::invalid_argument("no font for the plate");
    return rng.uniform(0, static_cast<int>(fonts.size()) - 1);
}

}  // namespace

bool parse_region(const std::string& name, PlateRegion* out) {
    if (name == "eu") *out = PlateRegion::eu;
    else if (name == "us") *out = PlateRegion::us;
    else if (name == "br") *out = PlateRegion::br;
    else return false;
    return true;
}

const char* region_name(PlateRegion region) {
    switch (region) {
    case PlateRegion::eu: return "eu";
    case PlateRegion::us: return "us";
    case PlateRegion::br: return "br";
    case PlateRegion::mixed: break;
    }
    return "mixed";
}

std::vector<std::string> region_font_candidates(PlateRegion region) {
    const std::string roboto = kRoboto, dejavu = kDejaVu, liberation = kLiberation;
    switch (region) {
    case PlateRegion::eu:
    case PlateRegion::br:
        // Condensed grotesques, the nearest packaged relatives of the
        // narrow DIN and FE lettering of European and Mercosur plates.
        return {roboto + "RobotoCondensed-Bold.ttf", dejavu + "DejaVuSansCondensed-Bold.ttf",
                liberation + "LiberationSansNarrow-Bold.ttf"};
    case PlateRegion::us:
        // Wider bold faces, as the broad embossed US lettering.
        return {dejavu + "DejaVuSans-Bold.ttf", liberation + "LiberationSans-Bold.ttf",
                roboto + "RobotoTTF/Roboto-Bold.ttf"};
    case PlateRegion::mixed: break;
    }
    return {};
}

std::vector<std::string> region_fonts(PlateRegion region) {
    std::vector<std::string> found;
    for (const auto& f : region_font_candidates(region)) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(f, ec)) found.push_back(f);
    }
    return found;
}

RegionPlate random_region_plate(PlateRegion region, Rng& rng, const std::vector<std::string>& fonts) {
    RegionPlate p;
    PlateStyle& s = p.style;
    s.region = region;
    s.font = fonts.at(static_cast<std::size_t>(pick_font(rng, fonts)));
    s.cap_height = rng.uniform(22, 38);
    const int ink = rng.uniform(10, 45);
    s.ink = Colour{static_cast<double>(ink), static_cast<double>(ink), static_cast<double>(ink + 5)};
    switch (region) {
    case PlateRegion::eu: {
        const Country& c = pick(rng, kEuCountries);
        p.text = fill_pattern(c.pattern, kPlateLetters, rng);
        s.band_text = c.code;
        s.side_band = true;
        s.yellow = c.yellow && rng.chance(0.4);
        s.paper = s.yellow ? Colour{235, 200, 40} : Colour{238, 238, 232};
        s.border = rng.chance(0.6);
        s.spacing = std::max(1, s.cap_height * rng.uniform(8, 16) / 100);
        break;
    }
    case PlateRegion::us: {
        p.text = fill_pattern(pick(rng, kUsPatterns), kPlateLetters, rng);
        s.caption = pick(rng, kUsStates);
        static const Colour papers[] = {{240, 240, 236}, {240, 234, 212}, {222, 232, 244}};
        s.paper = pick(rng, papers);
        // Dark blue, black (the grey drawn above) or dark red characters.
        const int which = rng.uniform(0, 2);
        if (which == 0) s.ink = Colour{20, 30, 90};
        if (which == 2) s.ink = Colour{105, 20, 25};
        s.border = rng.chance(0.7);
        s.spacing = std::max(1, s.cap_height * rng.uniform(6, 14) / 100);
        break;
    }
    case PlateRegion::br: {
        s.mercosur = rng.chance(0.6);
        if (s.mercosur) {
            p.text = fill_pattern(kBrMercosur, kAllLetters, rng);
            s.band_text = "BRASIL";
            s.paper = Colour{240, 240, 238};
            s.border = true;
        } else {
            p.text = fill_pattern(kBrGrey, kAllLetters, rng);
            s.caption = pick(rng, kBrCities);
            const double g = rng.uniform(165, 195);
            s.paper = Colour{g, g, g - 4};
            s.border = rng.chance(0.7);
        }
        s.spacing = std::max(1, s.cap_height * rng.uniform(6, 12) / 100);
        break;
    }
    case PlateRegion::mixed: throw std::invalid_argument("the mixed plates have no region layout");
    }
    s.ink_level = static_cast<int>(s.ink.r);
    return p;
}

std::string random_us_series(Rng& rng) { return fill_pattern(pick(rng, kUsSeries), kPlateLetters, rng); }

bool matches_region_pattern(PlateRegion region, const std::string& text) {
    switch (region) {
    case PlateRegion::eu:
        return std::any_of(std::begin(kEuCountries), std::end(kEuCountries),
                           [&](const Country& c) { return fits(c.pattern, text); });
    case PlateRegion::us:
        // The scenes' few series are among the many.
        return std::any_of(std::begin(kUsSeries), std::end(kUsSeries), [&](const char* p) { return fits(p, text); });
    case PlateRegion::br: return fits(kBrMercosur, text) || fits(kBrGrey, text);
    case PlateRegion::mixed: break;
    }
    return false;
}

}  // namespace platix::synth
