// The text rules: context fixes, character kinds and templates.
#include <gtest/gtest.h>

#include <string>

#include "text/text_rules.h"

namespace {

TEST(TextRules, ContextFixesLookAlikesFromNeighbours) {
    const char* cases[][2] = {
        {"5O1", "501"}, {"B0B", "BOB"}, {"b0b", "bob"},   {"A1B", "AIB"},     {"a9e", "age"},   {"aIb", "alb"},
        {"2I3", "213"}, {"2g3", "293"}, {"1.o5", "1.05"}, {"lAB", "IAB"},     {"AB lC", "AB IC"}, {"ABl", "ABI"},
        {"x. la", "x. Ia"}, {"7l", "71"}, {"a''b", "a\"b"}, {",,", "\""},
    };
    for (const auto& c : cases) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%s", c[0]);
        gn::apply_context_fixes(buf);
        EXPECT_STREQ(buf, c[1]) << c[0];
    }
}

TEST(TextRules, KindsAndTemplates) {
    struct Case { const char *in, *tmpl; int mode; const char* out; };
    const Case cases[] = {
        {"85", "", 2, "Bs"}, {"OIZhsbBg", "", 1, "01245689"},  // kinds replace look-alikes
        {"A8C 123", "CCC NNN", 0, "ABC 123"}, {"AB 12", "CCC NNN", 0, "AB 12"},  // lengths differ: unchanged
        {"ab1", "C", 0, "AB1"}, {"AB1", "c", 0, "ab1"}, {"A B", "noblanks", 0, "AB"}, {"AB3", "CCC", 0, "AB^"},
        {"ABC", "CC-", 0, "ABC"}, {"AB-", "CC-", 0, "AB-"}, {"A 12", "CNN", 0, "A12"},  // blanks go first
        {"A\tB\xA0" "C D", "noblanks", 0, "ABCD"}, {"A\t12", "CNN", 0, "A12"}, {"A\xA0" "12", "CNN", 0, "A12"},
        {"1234", ".2", 1, "12.34"}, {"12,34", ".2", 1, "12.34"}, {"12 34", ".2", 1, "12.34"},
        {"12\t34", ".2", 1, "12.34"}, {"34", ".2", 1, ".34"}, {"1^34", ".2", 1, "1^34"}, {"12.34", ".2", 1, "12.34"},
    };
    for (const Case& c : cases) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%s", c.in);
        gn::apply_kind(buf, c.mode);
        gn::apply_template(buf, sizeof buf, c.tmpl, c.mode);
        EXPECT_STREQ(buf, c.out) << c.in << " / " << c.tmpl;
    }
}

}  // namespace
