// Window sizes, the view fitted to the page, the page mapping and the placement of the field window.
#include <gtest/gtest.h>

#include "view_geometry.h"

using desk::Rect;

// Client 804 x 554 with bars of 20 and 30: a free area of 800 x 500 at (2, 22).
TEST(ViewLayout, FitsThePageIntoTheFreeArea) {
    for (const auto& [cols, lines, want] : {std::tuple{0, 0, Rect{2, 22, 800, 500}},  // no page fills it
                                            {640, 480, Rect{68, 22, 667, 500}},
                                            {400, 1000, Rect{302, 22, 200, 500}},  // tall
                                            {1000, 100, Rect{2, 232, 800, 80}}})   // wide
        EXPECT_EQ(desk::layout_view(804, 554, 20, 30, cols, lines), want) << cols << "x" << lines;
}

TEST(WindowSizes, FollowTheFrameFormulaAndTheBitmapLimits) {
    desk::SystemMetrics m;
    m.edge_width = m.edge_height = 2, m.caption_height = 20, m.version_edge = 4;
    EXPECT_EQ(desk::main_window_size(m, 25, 30), (Rect{0, 0, 818, 20 + 16 + 25 + 30 + 602}));
    m.border_width = m.border_height = 3, m.min_window_width = 112;
    EXPECT_EQ(desk::field_window_size(m, 1000, 300), (Rect{0, 0, 6 + 600, 20 + 301 + 9}));
    EXPECT_EQ(desk::field_window_size(m, 50, 1000), (Rect{0, 0, 112, 20 + 400 + 9}));
    for (const auto& [x, want] : {std::pair{-40, 3}, {750, 697}, {300, 300}})
        EXPECT_EQ(desk::clamp_field_window_x(x, 100, 0, 800, m), want) << x;
}

TEST(PageMappingConverts, BothWaysWithRounding) {
    desk::PageMapping m(640, 480, 319, 239);  // 320 x 240 mapped pixels
    EXPECT_EQ(m.to_view_x(100), 50);
    EXPECT_EQ(m.to_view_y(101), 51);  // 50.5 rounds up
    EXPECT_EQ(m.to_page_x(50), 100);
    EXPECT_EQ(m.pen_width(4), 2);
    EXPECT_EQ(m.pen_width(1), 1);  // never thinner than a pixel
}

// A 100 x 50 window for field (l, t, r, b) in the view: above, left, right, below, beside, clamped.
TEST(FieldWindowPlacement, AboveLeftRightOrBelowAndBeside) {
    struct Case { const char* what; bool beside, last; int results, l, t, r, b, vw, vh;
                  Rect want; } cases[] = {
        {"room above", false, false, 2, 200, 100, 300, 120, 800, 500, {200, 46, 100, 50}},
        {"no room above: left", false, false, 2, 200, 20, 300, 40, 800, 500, {96, 5, 100, 50}},
        {"nor left: right", false, false, 2, 50, 20, 150, 40, 800, 500, {155, 5, 100, 50}},
        {"nowhere but below", false, false, 2, 50, 20, 750, 40, 800, 500, {350, 45, 100, 50}},
        {"last: below", false, true, 1, 200, 100, 300, 120, 800, 500, {200, 125, 100, 50}},
        {"last at the bottom, alone: above", false, true, 1, 200, 400, 300, 480, 800, 500, {200, 346, 100, 50}},
        {"last at the bottom of several: right", false, true, 3, 200, 400, 300, 480, 800, 500, {305, 415, 100, 50}},
        {"last at the right edge of several: left", false, true, 3, 600, 400, 750, 480, 800, 500, {496, 415, 100, 50}},
        {"beside: right", true, false, 0, 200, 300, 300, 340, 800, 500, {305, 295, 100, 50}},
        {"beside: left at the right edge", true, false, 0, 600, 300, 750, 340, 800, 500, {495, 295, 100, 50}},
        {"beside: above a wide field", true, false, 0, 50, 300, 760, 340, 800, 500, {355, 245, 100, 50}},
        {"beside: below a wide field at the top", true, false, 0, 50, 20, 760, 40, 800, 500, {355, 45, 100, 50}},
        {"beside: right, pulled down into the view", true, false, 0, 200, 0, 300, 10, 800, 500, {305, 0, 100, 50}},
        {"beside: clamped into a small view", true, false, 0, 10, 10, 70, 30, 80, 40, {0, 0, 100, 50}},
    };
    const Rect s{0, 0, 100, 50};
    for (const Case& c : cases)
        EXPECT_EQ(c.beside ? desk::place_field_window_beside(s, c.l, c.t, c.r, c.b, c.vw, c.vh)
                           : desk::place_field_window(s, c.l, c.t, c.r, c.b, c.vw, c.vh, c.last, c.results),
                  c.want)
            << c.what;
}
