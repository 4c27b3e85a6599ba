// The Windows-1252 character table: classes and case mapping of plain and
// accented characters, whatever the process locale.
#include <gtest/gtest.h>

#include "charclass/cp1252_classes.h"

namespace {

TEST(Cp1252Classes, ClassifiesAsciiAndAccentedLetters) {
    EXPECT_TRUE(cp1252::is_upper('A'));
    EXPECT_TRUE(cp1252::is_lower('z'));
    EXPECT_TRUE(cp1252::is_upper(0xC9));   // É
    EXPECT_TRUE(cp1252::is_lower(0xE9));   // é
    EXPECT_TRUE(cp1252::is_alpha(0x8A));   // Š
    EXPECT_TRUE(cp1252::is_lower(0xDF));   // ß
    EXPECT_FALSE(cp1252::is_alpha(0xD7));  // ×
    EXPECT_TRUE(cp1252::is_punct(0xD7));
    EXPECT_FALSE(cp1252::is_alpha('5'));
    EXPECT_TRUE(cp1252::is_digit('5'));
    EXPECT_FALSE(cp1252::is_digit(0xB2));  // ² is a symbol
    EXPECT_TRUE(cp1252::is_punct('.'));
    EXPECT_TRUE(cp1252::is_punct('_'));
    EXPECT_TRUE(cp1252::is_blank(' '));
    EXPECT_FALSE(cp1252::is_punct(' '));
    EXPECT_FALSE(cp1252::is_punct(0x81));  // undefined code
}

TEST(Cp1252Classes, MapsCase) {
    EXPECT_EQ(cp1252::to_upper('o'), 'O');
    EXPECT_EQ(cp1252::to_lower('O'), 'o');
    EXPECT_EQ(cp1252::to_upper(0xE0), 0xC0);  // à -> À
    EXPECT_EQ(cp1252::to_lower(0x9F), 0xFF);  // Ÿ -> ÿ
    EXPECT_EQ(cp1252::to_upper(0x9A), 0x8A);  // š -> Š
    EXPECT_EQ(cp1252::to_upper(0xDF), 0xDF);  // ß has no upper case
    EXPECT_EQ(cp1252::to_lower('7'), '7');
}

}  // namespace
