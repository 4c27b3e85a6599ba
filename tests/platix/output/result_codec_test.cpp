// Results survive the trip between worker and printing process.
#include <gtest/gtest.h>

#include "result_codec.h"

using namespace platix;

TEST(ResultCodec, RoundTripKeepsEveryField) {
    ImageResult r;
    r.path = "p.png";
    r.status = ImageStatus::skipped;
    r.error = "why";
    r.width = 1;
    r.height = 2;
    r.maxcol = 3;
    r.maxlin = 4;
    r.xscale = -2;
    r.yscale = -2;
    r.ms = 99;
    FieldResult f;
    f.page_box = {1, 2, 3, 4};
    f.file_box = {5, 6, 7, 8};
    f.text = "AB";
    f.raw = "A_B_";
    f.columns = 9;
    f.lines = 2;
    f.bpl = 2;
    f.bitmap = {0xFF, 0x00, 0x12, 0x34};
    CharResult c;
    c.c = "A";
    c.raw = "a";
    c.bitmap_box[0] = 1;
    c.bitmap_box[3] = 7;
    c.page_box = {9, 9, 9, 9};
    c.file_box = {-1, 0, 1, 2};
    f.chars.push_back(c);
    r.fields.push_back(f);
    ImageResult back;
    ASSERT_TRUE(decode_result(encode_result(r), &back));
    EXPECT_EQ(back.path, "p.png");
    EXPECT_EQ(back.status, ImageStatus::skipped);
    EXPECT_EQ(back.error, "why");
    EXPECT_EQ(back.xscale, -2);
    EXPECT_EQ(back.ms, 99);
    ASSERT_EQ(back.fields.size(), 1u);
    EXPECT_EQ(back.fields[0].file_box, (Box{5, 6, 7, 8}));
    EXPECT_EQ(back.fields[0].bitmap, f.bitmap);
    ASSERT_EQ(back.fields[0].chars.size(), 1u);
    EXPECT_EQ(back.fields[0].chars[0].raw, "a");
    EXPECT_EQ(back.fields[0].chars[0].bitmap_box[3], 7);
    EXPECT_EQ(back.fields[0].chars[0].file_box, (Box{-1, 0, 1, 2}));
}

TEST(ResultCodec, RejectsTruncatedAndOverlongInput) {
    ImageResult r;
    r.path = "abc";
    r.fields.resize(2);
    auto bytes = encode_result(r);
    ImageResult back;
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
        EXPECT_FALSE(decode_result(cut, &back)) << n;
    }
    bytes.push_back(0);
    EXPECT_FALSE(decode_result(bytes, &back));
    // A string length pointing past the end.
    std::vector<std::uint8_t> lying = {0xFF, 0xFF, 0xFF, 0x7F};
    EXPECT_FALSE(decode_result(lying, &back));
}
