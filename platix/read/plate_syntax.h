// Plate syntaxes: the letter and digit positions of the plates of a region,
// how each becomes an engine text template, and which of several fits a
// reading best.
#pragma once

#include <string>
#include <vector>

#include "options.h"

namespace platix {

// One plate syntax: 'L' for a letter position, 'D' for a digit position,
// from left to right, blanks and separators left out ("LLDDDLL").
struct PlateSyntax {
    const char* pattern;
    const char* where;  // the plates that use it
};

// The region named `name` ("eu", "us" or "br"); throws UsageError naming
// the accepted values for anything else (including "").
Region parse_region(const std::string& name);
// "eu", "us", "br", or "" for Region::none.
const char* region_name(Region region);

// The syntaxes of a region, most widespread first; empty for Region::none.
const std::vector<PlateSyntax>& region_syntaxes(Region region);

// The engine template of a syntax: 'C' (upper-case letter, digits turned
// into their look-alike letters) for 'L', 'N' (digit, letters turned into
// their look-alike digits) for 'D'. Returns "" when the pattern holds
// anything but 'L' and 'D' or is shorter than 2 (the engine applies
// shorter templates to the whole text, not position by position).
std::string syntax_template(const std::string& pattern);

// How far a reading with a syntax's template departs from the plain
// reading. `plain` is the text read without a syntax, `shaped` the text
// read with the syntax's template, both with blanks removed.
struct SyntaxFit {
    bool fits = false;      // the syntax can be taken for this reading
    int substitutions = 0;  // characters the template turned into their look-alike
};

// A syntax fits when its length equals the number of characters read, and
// at every position the shaped character is of the syntax's kind and is
// either the plain character or its look-alike. A position the engine
// could not read ('^' in the plain text) fits any kind. A position that
// the template had to leave unreadable, or where it kept a letter in a
// digit position, contradicts the reading: the syntax does not fit.
SyntaxFit fit_syntax(const std::string& pattern, const std::string& plain, const std::string& shaped);

// Among readings of the same field with several syntaxes (`shaped[i]` read
// with `patterns[i]`), the index of the one the engine agrees with most:
// a fitting syntax with the fewest substitutions, the first of equals.
// -1 when none fits.
int choose_syntax(const std::vector<std::string>& patterns, const std::string& plain,
                  const std::vector<std::string>& shaped);

// `text` with its blanks removed.
std::string without_blanks(const std::string& text);

}  // namespace platix
