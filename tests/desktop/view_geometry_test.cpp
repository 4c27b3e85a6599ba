// Window sizes, the view fitted to the page, the page mapping and the
// placement of the binarised-field window.
#include <gtest/gtest.h>

#include "view_geometry.h"

using desk::Rect;

// Client 804 x 554 with bars of 20 and 30: a free area of 800 x 500 at (2, 22).
TEST(ViewLayout, FitsThePageIntoTheFreeArea) {
    struct Case {
        const char* what;
        int cols, lines;
        Rect want;
    } cases[] = {
        {"no page fills the area", 0, 0, {2, 22, 800, 500}},
        {"4:3, full height", 640, 480, {68, 22, 667, 500}},
        {"tall: d' = -600, width 200", 400, 1000, {302, 22, 200, 500}},
        {"wide: d' = 420, height 80", 1000, 100, {2, 232, 800, 80}},
    };
    for (const Case& c : cases) EXPECT_EQ(desk::layout_view(804, 554, 20, 30, c.cols, c.lines), c.want) << c.what;
}

TEST(MainWindowSize, FollowsTheFrameFormula) {
    desk::SystemMetrics m;
    m.edge_width = 2;
    m.edge_height = 2;
    m.caption_height = 20;
    m.version_edge = 1;
    EXPECT_EQ(desk::main_window_size(m, 25, 30), (Rect{0, 0, 810, 20 + 8 + 25 + 30 + 602}));
    m.version_edge = 4;
    EXPECT_EQ(desk::main_window_size(m, 25, 30), (Rect{0, 0, 818, 20 + 16 + 25 + 30 + 602}));
    EXPECT_EQ(desk::main_client_size(m, 25, 30), (Rect{0, 0, 802, 25 + 30 + 602}));
    EXPECT_EQ(desk::centre_on_screen(Rect{0, 0, 818, 700}, 1024, 768), (Rect{103, 34, 818, 700}));
}

TEST(PageMappingConverts, BothWaysWithRounding) {
    desk::PageMapping m(640, 480, 319, 239);  // 320 x 240 mapped pixels
    EXPECT_EQ(m.to_view_x(100), 50);
    EXPECT_EQ(m.to_view_y(101), 51);  // 50.5 rounds up
    EXPECT_EQ(m.to_page_x(50), 100);
    EXPECT_EQ(m.pen_width(4), 2);
    EXPECT_EQ(m.pen_width(1), 1);  // never thinner than a pixel
}

TEST(FieldWindowSize, ClampsToTheMaximumBitmapAreaAndTheMainWindow) {
    desk::SystemMetrics m;
    m.border_width = 3;
    m.border_height = 3;
    m.caption_height = 20;
    m.min_window_width = 112;
    EXPECT_EQ(desk::field_window_size(m, 1000, 300), (Rect{0, 0, 6 + 600, 20 + 301 + 9}));
    EXPECT_EQ(desk::field_window_size(m, 50, 1000), (Rect{0, 0, 112, 20 + 400 + 9}));
    EXPECT_EQ(desk::clamp_field_window_x(-40, 100, 0, 800, m), 3);
    EXPECT_EQ(desk::clamp_field_window_x(750, 100, 0, 800, m), 697);
    EXPECT_EQ(desk::clamp_field_window_x(300, 100, 0, 800, m), 300);
}

// A 100 x 50 window for the field (l, t, r, b) in an 800 x 500 view;
// earlier fields prefer above, the last one below.
TEST(FieldWindowPlacement, AboveLeftRightOrBelow) {
    const Rect s{0, 0, 100, 50};
    struct Case {
        const char* what;
        int l, t, r, b;
        bool last;
        int results;
        Rect want;
    } cases[] = {
        {"room above", 200, 100, 300, 120, false, 2, {200, 46, 100, 50}},
        {"no room above: left", 200, 20, 300, 40, false, 2, {96, 5, 100, 50}},
        {"nor left: right", 50, 20, 150, 40, false, 2, {155, 5, 100, 50}},
        {"nowhere but below", 50, 20, 750, 40, false, 2, {350, 45, 100, 50}},
        {"last: below", 200, 100, 300, 120, true, 1, {200, 125, 100, 50}},
        {"last at the bottom, alone: above", 200, 400, 300, 480, true, 1, {200, 346, 100, 50}},
        {"last at the bottom of several: right", 200, 400, 300, 480, true, 3, {305, 415, 100, 50}},
        {"last at the right edge of several: left", 600, 400, 750, 480, true, 3, {496, 415, 100, 50}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(desk::place_field_window(s, c.l, c.t, c.r, c.b, 800, 500, c.last, c.results), c.want) << c.what;
}

// The placement beside the field: right of it, left of it, above or below a
// field too wide for either side, and clamped into a view too small for it.
TEST(FieldWindowBeside, StaysBesideTheFieldAndInsideTheView) {
    const Rect s{0, 0, 100, 50};
    struct Case {
        const char* what;
        int l, t, r, b, vw, vh;
        Rect want;
    } cases[] = {
        {"right", 200, 300, 300, 340, 800, 500, {305, 295, 100, 50}},
        {"left at the right edge", 600, 300, 750, 340, 800, 500, {495, 295, 100, 50}},
        {"above a wide field", 50, 300, 760, 340, 800, 500, {355, 245, 100, 50}},
        {"below a wide field at the top", 50, 20, 760, 40, 800, 500, {355, 45, 100, 50}},
        {"right, pulled down into the view", 200, 0, 300, 10, 800, 500, {305, 0, 100, 50}},
        {"clamped into a small view", 10, 10, 70, 30, 80, 40, {0, 0, 100, 50}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(desk::place_field_window_beside(s, c.l, c.t, c.r, c.b, c.vw, c.vh), c.want) << c.what;
}
