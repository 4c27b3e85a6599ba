// The text rules: fillers, context fixes, character kinds and templates.
#include <gtest/gtest.h>

#include <string>

#include "text/text_rules.h"

namespace {

std::string fixed(const std::string& s) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s", s.c_str());
    gn::apply_context_fixes(buf);
    return buf;
}

std::string text_of(const std::string& slots, const char* tmpl, int mode) {
    char out[2048];
    gn::slots_to_text(slots.c_str(), tmpl, mode, out, sizeof out);
    return out;
}

std::string templated(const std::string& s, const char* tmpl, int mode) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s", s.c_str());
    gn::apply_kind(buf, mode);
    gn::apply_template(buf, sizeof buf, tmpl, mode);
    return buf;
}

TEST(TextRulesContext, FixesLookAlikesFromNeighbours) {
    EXPECT_EQ(fixed("5O1"), "501");
    EXPECT_EQ(fixed("B0B"), "BOB");
    EXPECT_EQ(fixed("b0b"), "bob");
    EXPECT_EQ(fixed("A1B"), "AIB");
    EXPECT_EQ(fixed("a9e"), "age");
    EXPECT_EQ(fixed("aIb"), "alb");
    EXPECT_EQ(fixed("2I3"), "213");
    EXPECT_EQ(fixed("2g3"), "293");
    EXPECT_EQ(fixed("1.o5"), "1.05");
    EXPECT_EQ(fixed("lAB"), "IAB");
    EXPECT_EQ(fixed("AB lC"), "AB IC");
    EXPECT_EQ(fixed("ABl"), "ABI");
    EXPECT_EQ(fixed("x. la"), "x. Ia");
    EXPECT_EQ(fixed("7l"), "71");
    EXPECT_EQ(fixed("a''b"), "a\"b");
    EXPECT_EQ(fixed(",,"), "\"");
}

TEST(TextRulesKind, ReplacesLookAlikes) {
    EXPECT_EQ(templated("85", "", 2), "Bs");
    EXPECT_EQ(templated("OIZhsbBg", "", 1), "01245689");
}

TEST(TextRulesTemplate, AppliesPositionsWhenLengthsMatch) {
    EXPECT_EQ(templated("A8C 123", "CCC NNN", 0), "ABC 123");
    EXPECT_EQ(templated("AB 12", "CCC NNN", 0), "AB 12");
    EXPECT_EQ(templated("ab1", "C", 0), "AB1");
    EXPECT_EQ(templated("AB1", "c", 0), "ab1");
    EXPECT_EQ(templated("A B", "noblanks", 0), "AB");
    EXPECT_EQ(templated("AB3", "CCC", 0), "AB^");
    EXPECT_EQ(templated("ABC", "CC-", 0), "ABC");  // '-' meets a letter
    EXPECT_EQ(templated("AB-", "CC-", 0), "AB-");
    EXPECT_EQ(templated("A 12", "CNN", 0), "A12");  // blanks go first
}

// Tab and no-break space are blanks as much as the space is.
TEST(TextRulesTemplate, RemovesEveryKindOfBlank) {
    EXPECT_EQ(templated("A\tB\xA0" "C D", "noblanks", 0), "ABCD");
    EXPECT_EQ(templated("A\t12", "CNN", 0), "A12");
    EXPECT_EQ(templated("A\xA0" "12", "CNN", 0), "A12");
    EXPECT_EQ(templated("12\t34", ".2", 1), "12.34");
}

TEST(TextRulesTemplate, PlacesTheDecimalMark) {
    EXPECT_EQ(templated("1234", ".2", 1), "12.34");
    EXPECT_EQ(templated("12,34", ".2", 1), "12.34");
    EXPECT_EQ(templated("12 34", ".2", 1), "12.34");
    EXPECT_EQ(templated("34", ".2", 1), ".34");
    EXPECT_EQ(templated("1^34", ".2", 1), "1^34");
    EXPECT_EQ(templated("12.34", ".2", 1), "12.34");
}

TEST(TextRulesSlots, DropFillersAndKeepBlanks) {
    EXPECT_EQ(text_of("A_B_ _1_", "", 0), "AB 1");
    EXPECT_EQ(text_of("a_b_ _1_", "C", 0), "AB 1");
    EXPECT_EQ(text_of("chA_", "", 0), "chA");
}

}  // namespace
