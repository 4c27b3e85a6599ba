// Format recognition from the first bytes.
#include "format_sniff.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using F = rk::ImageFormat;

TEST(DetectFormat, KnowsEachSignatureAndRefusesNearMisses) {
    const std::pair<std::vector<std::uint8_t>, F> cases[] = {
        {{'I', 'I', 42, 0}, F::tiff},      {{'M', 'M', 0, 42}, F::tiff},     {{0xFF, 0xD8, 0xFF, 0xE0}, F::jpeg},
        {{0x0A, 0x05, 1, 8}, F::pcx},      {{'I', 'M', 0, 0}, F::itex},      {{'B', 'M', 0, 0}, F::bmp},
        {{0x89, 'P', 'N', 'G'}, F::png},   {{'P', '5', 0x0A, '8'}, F::pgm},
        {{'P', '5', ' ', '8'}, F::unknown},  // blank, not line feed
        {{'P', '6', 0x0A, '8'}, F::unknown}, {{0x0A, 0x03, 1, 8}, F::unknown},  // PCX version 3
        {{0x89, 'P', 'N', 'X'}, F::unknown}, {{0x89, 'P', 'N'}, F::unknown},
        {{'B'}, F::unknown},                 {{}, F::unknown},
    };
    for (const auto& [head, want] : cases) EXPECT_EQ(rk::detect_format(head), want) << head.size();
}

}  // namespace
