// The annotated page: frame colours, pen widths and the gray page beneath.
#include <gtest/gtest.h>

#include <array>

#include "annotate.h"

using namespace platix;

namespace {

std::array<int, 3> at(const RgbPicture& p, int x, int y) {
    const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(p.width) + static_cast<std::size_t>(x)) * 3;
    return {p.rgb[i], p.rgb[i + 1], p.rgb[i + 2]};
}

}  // namespace

TEST(AnnotatePage, FirstFieldGreenOthersRedCharactersPink) {
    std::vector<unsigned char> page(40 * 30, 100);
    ImageResult r;
    r.maxcol = 40;
    r.maxlin = 30;
    FieldResult a;
    a.page_box = {5, 5, 20, 15};
    a.lines = 11;
    CharResult c;
    const int box[4] = {4, 2, 8, 8};
    std::copy(box, box + 4, c.bitmap_box);
    a.chars.push_back(c);
    FieldResult b;
    b.page_box = {25, 18, 35, 25};
    b.lines = 8;
    r.fields = {a, b};
    const RgbPicture p = annotate_page(page.data(), r);
    ASSERT_EQ(p.width, 40);
    ASSERT_EQ(p.height, 30);
    EXPECT_EQ(at(p, 0, 0), (std::array<int, 3>{100, 100, 100}));
    // A pen 4 wide covers rows 3 to 6 around the top edge at row 5.
    EXPECT_EQ(at(p, 12, 3), (std::array<int, 3>{0, 224, 0}));
    EXPECT_EQ(at(p, 12, 4), (std::array<int, 3>{0, 224, 0}));
    EXPECT_EQ(at(p, 2, 10), (std::array<int, 3>{100, 100, 100}));
    EXPECT_EQ(at(p, 3, 10), (std::array<int, 3>{0, 224, 0}));
    // Character frames are drawn over the field frames: top edge at row 6.
    EXPECT_EQ(at(p, 12, 6), (std::array<int, 3>{240, 120, 224}));
    EXPECT_EQ(at(p, 12, 2), (std::array<int, 3>{100, 100, 100}));
    EXPECT_EQ(at(p, 30, 25), (std::array<int, 3>{224, 0, 0}));
    // Character frame: box (4, 2)-(8, 8) with a pixel of margin: 8..14 across, 6..14 down.
    EXPECT_EQ(at(p, 8, 10), (std::array<int, 3>{240, 120, 224}));
    EXPECT_EQ(at(p, 11, 10), (std::array<int, 3>{100, 100, 100}));
}
