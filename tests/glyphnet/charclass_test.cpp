// The Windows-1252 table: classes and case mapping of plain and accented characters, any locale.
#include <gtest/gtest.h>

#include "charclass/cp1252_classes.h"

namespace {

TEST(Cp1252Classes, ClassifiesAndMapsCase) {
    // code, upper, lower, digit, punct, to_upper, to_lower
    const int cases[][7] = {
        {'A', 1, 0, 0, 0, 'A', 'a'},  {'z', 0, 1, 0, 0, 'Z', 'z'},   {0xC9, 1, 0, 0, 0, 0xC9, 0xE9},  // É
        {0xE0, 0, 1, 0, 0, 0xC0, 0xE0}, {0x9A, 0, 1, 0, 0, 0x8A, 0x9A}, {0x9F, 1, 0, 0, 0, 0x9F, 0xFF},  // à š Ÿ
        {0xDF, 0, 1, 0, 0, 0xDF, 0xDF},  // ß has no upper case
        {0xD7, 0, 0, 0, 1, 0xD7, 0xD7},  // ×
        {'5', 0, 0, 1, 0, '5', '5'},  {0xB2, 0, 0, 0, 1, 0xB2, 0xB2},  // ² is a symbol
        {'_', 0, 0, 0, 1, '_', '_'},  {' ', 0, 0, 0, 0, ' ', ' '},   {0x81, 0, 0, 0, 0, 0x81, 0x81},  // undefined
    };
    for (const auto& c : cases) {
        const auto ch = static_cast<unsigned char>(c[0]);
        SCOPED_TRACE(c[0]);
        EXPECT_EQ(cp1252::is_upper(ch), c[1] != 0);
        EXPECT_EQ(cp1252::is_lower(ch), c[2] != 0);
        EXPECT_EQ(cp1252::is_alpha(ch), c[1] + c[2] != 0);
        EXPECT_EQ(cp1252::is_digit(ch), c[3] != 0);
        EXPECT_EQ(cp1252::is_punct(ch), c[4] != 0);
        EXPECT_EQ(cp1252::to_upper(ch), c[5]);
        EXPECT_EQ(cp1252::to_lower(ch), c[6]);
    }
    EXPECT_TRUE(cp1252::is_blank(' '));
}

}  // namespace
