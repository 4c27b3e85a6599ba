// The annotated page: frame colours, pen widths and the gray page beneath.
#include <gtest/gtest.h>

#include <array>

#include "annotate.h"

using namespace platix;

TEST(AnnotatePage, FirstFieldGreenOthersRedCharactersPink) {
    std::vector<unsigned char> page(40 * 30, 100);
    ImageResult r;
    r.maxcol = 40;
    r.maxlin = 30;
    r.fields.resize(2);
    r.fields[0].page_box = {5, 5, 20, 15};
    r.fields[0].lines = 11;
    r.fields[0].chars.resize(1);
    const int box[4] = {4, 2, 8, 8};
    std::copy(box, box + 4, r.fields[0].chars[0].bitmap_box);
    r.fields[1].page_box = {25, 18, 35, 25};
    r.fields[1].lines = 8;
    const RgbPicture p = annotate_page(page.data(), r);
    ASSERT_EQ(p.width * p.height, 40 * 30);
    using C = std::array<int, 3>;
    const C gray{100, 100, 100}, green{0, 224, 0}, red{224, 0, 0}, pink{240, 120, 224};
    // Field pens 4 wide (rows 3 to 6 around the top edge at 5); character frames one pixel
    // outside their box, drawn over the field frames.
    const struct {
        int x, y;
        C colour;
    } cases[] = {{0, 0, gray},   {12, 3, green}, {12, 4, green}, {2, 10, gray}, {3, 10, green},
                 {12, 6, pink},  {12, 2, gray},  {30, 25, red},  {8, 10, pink}, {11, 10, gray}};
    for (const auto& c : cases) {
        const std::size_t i = (static_cast<std::size_t>(c.y) * 40 + static_cast<std::size_t>(c.x)) * 3;
        EXPECT_EQ((C{p.rgb[i], p.rgb[i + 1], p.rgb[i + 2]}), c.colour) << c.x << "," << c.y;
    }
}
