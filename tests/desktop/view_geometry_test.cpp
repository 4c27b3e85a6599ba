// Window sizes, the view fitted to the page, the page mapping and the
// placement of the binarised-field window.
#include <gtest/gtest.h>

#include "view_geometry.h"

using namespace desk;

TEST(ViewLayout, FitsAWidePageIntoTheFreeArea) {
    // Client 804 x (20 + 30 + 504): free area 800 x 500 at x = 2.
    const Rect r = layout_view(804, 554, 20, 30, 640, 480);
    EXPECT_EQ(r, (Rect{68, 22, 667, 500}));
}

TEST(ViewLayout, FitsATallPageAndFillsWithoutPage) {
    EXPECT_EQ(layout_view(804, 554, 20, 30, 0, 0), (Rect{2, 22, 800, 500}));
    // d = 100 * 500 - 800 * 400 < 0 ... a tall page: 400 x 1000.
    const Rect r = layout_view(804, 554, 20, 30, 400, 1000);
    // d = 400*500 - 800*1000 = -600000, d' = -600: width 200, x = 2 + 300.
    EXPECT_EQ(r, (Rect{302, 22, 200, 500}));
    const Rect t = layout_view(804, 554, 20, 30, 1000, 100);
    // d = 1000*500 - 800*100 = 420000, d' = 420: height 80, y = 22 + 210.
    EXPECT_EQ(t, (Rect{2, 232, 800, 80}));
}

TEST(MainWindowSize, FollowsTheFrameFormula) {
    SystemMetrics m;
    m.edge_width = 2;
    m.edge_height = 2;
    m.caption_height = 20;
    m.version_edge = 1;
    EXPECT_EQ(main_window_size(m, 25, 30), (Rect{0, 0, 810, 20 + 8 + 25 + 30 + 602}));
    m.version_edge = 4;
    EXPECT_EQ(main_window_size(m, 25, 30), (Rect{0, 0, 818, 20 + 16 + 25 + 30 + 602}));
    EXPECT_EQ(main_client_size(m, 25, 30), (Rect{0, 0, 802, 25 + 30 + 602}));
    EXPECT_EQ(centre_on_screen(Rect{0, 0, 818, 700}, 1024, 768), (Rect{103, 34, 818, 700}));
}

TEST(PageMappingConverts, BothWaysWithRounding) {
    PageMapping m(640, 480, 319, 239);  // 320 x 240 mapped pixels
    EXPECT_EQ(m.to_view_x(100), 50);
    EXPECT_EQ(m.to_view_y(101), 51);  // 50.5 rounds up
    EXPECT_EQ(m.to_page_x(50), 100);
    EXPECT_EQ(m.pen_width(4), 2);
    EXPECT_EQ(m.pen_width(1), 1);  // never thinner than a pixel
}

TEST(FieldWindowSize, ClampsToTheMaximumBitmapArea) {
    SystemMetrics m;
    m.border_width = 3;
    m.border_height = 3;
    m.caption_height = 20;
    m.min_window_width = 112;
    EXPECT_EQ(field_window_size(m, 1000, 300), (Rect{0, 0, 6 + 600, 20 + 301 + 9}));
    EXPECT_EQ(field_window_size(m, 50, 1000), (Rect{0, 0, 112, 20 + 400 + 9}));
}

TEST(FieldWindowPlacement, AboveLeftRightOrBelowForEarlierFields) {
    const Rect s{0, 0, 100, 50};
    // Room above: centred over the field, above it.
    EXPECT_EQ(place_field_window(s, 200, 100, 300, 120, 800, 500, false, 2), (Rect{200, 46, 100, 50}));
    // No room above, room on the left.
    EXPECT_EQ(place_field_window(s, 200, 20, 300, 40, 800, 500, false, 2), (Rect{96, 5, 100, 50}));
    // No room above nor left: right of it.
    EXPECT_EQ(place_field_window(s, 50, 20, 150, 40, 800, 500, false, 2), (Rect{155, 5, 100, 50}));
    // Nowhere but below.
    EXPECT_EQ(place_field_window(s, 50, 20, 750, 40, 800, 500, false, 2), (Rect{350, 45, 100, 50}));
}

TEST(FieldWindowPlacement, LastFieldPrefersBelow) {
    const Rect s{0, 0, 100, 50};
    EXPECT_EQ(place_field_window(s, 200, 100, 300, 120, 800, 500, true, 1), (Rect{200, 125, 100, 50}));
    // At the bottom, one result: above.
    EXPECT_EQ(place_field_window(s, 200, 400, 300, 480, 800, 500, true, 1), (Rect{200, 346, 100, 50}));
    // At the bottom, several results: right of it first.
    EXPECT_EQ(place_field_window(s, 200, 400, 300, 480, 800, 500, true, 3), (Rect{305, 415, 100, 50}));
    // Right edge, several results: left of it.
    EXPECT_EQ(place_field_window(s, 600, 400, 750, 480, 800, 500, true, 3), (Rect{496, 415, 100, 50}));
}

TEST(FieldWindowPlacement, XStaysInsideTheMainWindow) {
    SystemMetrics m;
    m.border_width = 3;
    EXPECT_EQ(clamp_field_window_x(-40, 100, 0, 800, m), 3);
    EXPECT_EQ(clamp_field_window_x(750, 100, 0, 800, m), 697);
    EXPECT_EQ(clamp_field_window_x(300, 100, 0, 800, m), 300);
}

// The placement beside the field, with the field and the expected top left
// per case: right of it, left of it, above or below a field too wide for
// either side, and clamped into a view too small for the window.
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
        EXPECT_EQ(place_field_window_beside(s, c.l, c.t, c.r, c.b, c.vw, c.vh), c.want) << c.what;
}
