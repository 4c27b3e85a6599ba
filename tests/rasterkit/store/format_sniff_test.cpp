// Format recognition from the first bytes.
#include "format_sniff.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using rk::ImageFormat;

ImageFormat sniff(std::vector<std::uint8_t> head) { return rk::detect_format(head); }

TEST(DetectFormat, KnowsEachSignature) {
    EXPECT_EQ(sniff({'I', 'I', 42, 0}), ImageFormat::tiff);
    EXPECT_EQ(sniff({'M', 'M', 0, 42}), ImageFormat::tiff);
    EXPECT_EQ(sniff({0xFF, 0xD8, 0xFF, 0xE0}), ImageFormat::jpeg);
    EXPECT_EQ(sniff({0x0A, 0x05, 1, 8}), ImageFormat::pcx);
    EXPECT_EQ(sniff({'I', 'M', 0, 0}), ImageFormat::itex);
    EXPECT_EQ(sniff({'B', 'M', 0, 0}), ImageFormat::bmp);
    EXPECT_EQ(sniff({0x89, 'P', 'N', 'G'}), ImageFormat::png);
    EXPECT_EQ(sniff({'P', '5', 0x0A, '8'}), ImageFormat::pgm);
}

TEST(DetectFormat, RefusesNearMisses) {
    EXPECT_EQ(sniff({'P', '5', ' ', '8'}), ImageFormat::unknown);  // blank, not line feed
    EXPECT_EQ(sniff({'P', '6', 0x0A, '8'}), ImageFormat::unknown);
    EXPECT_EQ(sniff({0x0A, 0x03, 1, 8}), ImageFormat::unknown);  // PCX version 3
    EXPECT_EQ(sniff({0x89, 'P', 'N', 'X'}), ImageFormat::unknown);
    EXPECT_EQ(sniff({'B'}), ImageFormat::unknown);
    EXPECT_EQ(sniff({}), ImageFormat::unknown);
    EXPECT_EQ(sniff({0x89, 'P', 'N'}), ImageFormat::unknown);
}

}  // namespace
