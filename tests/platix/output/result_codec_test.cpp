// Results survive the trip between worker and printing process; every cut and trailing byte is refused.
#include <gtest/gtest.h>

#include "result_codec.h"

using namespace platix;

TEST(ResultCodec, RoundTripKeepsEveryFieldAndRefusesEveryCutAndTrailingByte) {
    ImageResult r;
    r.path = "p.png", r.status = ImageStatus::skipped, r.error = "why", r.width = 1, r.xscale = -2, r.ms = 99;
    FieldResult f;
    f.file_box = {5, 6, 7, 8}, f.text = "O1", f.raw = "A_B_", f.syntax = "LD", f.reader = "net";
    f.confidence_ppm = 612345, f.candidates = {{"O1", 612345}, {"01", 200000}}, f.bitmap = {0xFF, 0x00, 0x12, 0x34};
    f.chars.resize(1);
    f.chars[0].raw = "a", f.chars[0].bitmap_box[3] = 7, f.chars[0].file_box = {-1, 0, 1, 2}, f.chars[0].confidence_ppm = 705000;
    r.fields = {f, FieldResult{}};
    const auto bytes = encode_result(r);
    ImageResult back;
    ASSERT_TRUE(decode_result(bytes, &back));
    EXPECT_TRUE(back.path == "p.png" && back.status == ImageStatus::skipped && back.error == "why" && back.width == 1);
    EXPECT_TRUE(back.xscale == -2 && back.ms == 99);
    ASSERT_EQ(back.fields.size(), 2u);
    const FieldResult& g = back.fields[0];
    EXPECT_TRUE(g.file_box == f.file_box && g.bitmap == f.bitmap && g.syntax == "LD" && g.reader == "net");
    EXPECT_EQ(g.confidence_ppm, 612345);
    ASSERT_TRUE(g.candidates.size() == 2u && g.chars.size() == 1u);
    EXPECT_TRUE(g.candidates[1].text == "01" && g.candidates[1].confidence_ppm == 200000);
    EXPECT_TRUE(g.chars[0].raw == "a" && g.chars[0].bitmap_box[3] == 7 && g.chars[0].confidence_ppm == 705000);
    EXPECT_TRUE(g.chars[0].file_box == (Box{-1, 0, 1, 2}) && back.fields[1].syntax.empty());
    for (std::size_t n = 0; n < bytes.size(); ++n)
        EXPECT_FALSE(decode_result(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(n)), &back)) << n;
    auto longer = bytes;
    longer.push_back(0);
    EXPECT_FALSE(decode_result(longer, &back));
    EXPECT_FALSE(decode_result({0xFF, 0xFF, 0xFF, 0x7F}, &back));  // a string length past the end
}
