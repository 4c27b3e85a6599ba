// Placement arithmetic of the image view and of the binarised-field
// window, and the mapping between page coordinates and view pixels. All
// divisions truncate toward zero.
#pragma once

namespace desk {

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const Rect&) const = default;
};

// Frame and caption sizes the placement formulas take from the system.
struct SystemMetrics {
    int edge_width = 2;
    int edge_height = 2;
    int border_width = 3;
    int border_height = 3;
    int caption_height = 20;
    int min_window_width = 112;
    int version_edge = 1;  // e: 4 on the newest systems, else 1
};

// Outer size of the main window: 4 x max(edge, e) + 802 wide and caption +
// 4 x max(edge, e) + both bars + 602 high.
Rect main_window_size(const SystemMetrics& m, int control_bar_height, int output_bar_height);
// The client area left inside that outer size by the frame (2 x max(edge,
// e) on each side) and the caption.
Rect main_client_size(const SystemMetrics& m, int control_bar_height, int output_bar_height);
// The outer rectangle centred on a screen of the given size.
Rect centre_on_screen(Rect outer, int screen_w, int screen_h);

// The image view inside the client area between the bars with a 2-pixel
// margin, fitted to the page's proportions when a page is held (cols and
// lines above 0).
Rect layout_view(int client_w, int client_h, int control_bar_height, int output_bar_height,
                 int cols, int lines);

// Page coordinates 0..cols x 0..lines mapped onto a view of view_w x view_h
// client pixels (the mapping covers view_w + 1 by view_h + 1 pixels, with
// independent scales, rounded to the nearest pixel).
class PageMapping {
public:
    PageMapping() = default;
    PageMapping(int cols, int lines, int view_w, int view_h);
    bool valid() const { return cols_ > 0 && lines_ > 0; }
    int to_view_x(int x) const;
    int to_view_y(int y) const;
    int to_page_x(int vx) const;
    int to_page_y(int vy) const;
    // A page length along x as view pixels, at least 1.
    int pen_width(int units) const;

private:
    int cols_ = 0, lines_ = 0, ext_x_ = 0, ext_y_ = 0;
};

// Outer size of the binarised-field window for a bitmap of cols x lines.
Rect field_window_size(const SystemMetrics& m, int cols, int lines);

// Position of that window in view pixels for the field rectangle L, T, R, B
// (view pixels), the view's size, whether the field is the last result and
// the result count. Returns the window's top left.
Rect place_field_window(Rect size, int left, int top, int right, int bottom, int view_w,
                        int view_h, bool is_last, int result_count);

// Beyond the classic placement above (which puts the window below the last
// field, over the car under its plate): the window beside the field, right
// of it or else left of it, centred on it vertically; above it, else below
// it, only when neither side has room; then kept inside the view as far as
// its size allows. Field and view in view pixels; returns the top left.
Rect place_field_window_beside(Rect size, int left, int top, int right, int bottom, int view_w, int view_h);

// Keeps x inside the main window: at least main_left + border, at most
// main_right - border - w.
int clamp_field_window_x(int x, int w, int main_left, int main_right, const SystemMetrics& m);

}  // namespace desk
