// Window sizes, the view's fitting to the page, the page mapping and the
// placement of the binarised-field window.
#include "view_geometry.h"

#include <algorithm>
#include <cstdint>

namespace desk {

namespace {
int frame_unit_x(const SystemMetrics& m) { return std::max(m.edge_width, m.version_edge); }
int frame_unit_y(const SystemMetrics& m) { return std::max(m.edge_height, m.version_edge); }

// a * b / c rounded to the nearest integer (halves away from zero).
int mul_div(int a, int b, int c) {
    if (c == 0) return 0;
    const std::int64_t p = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = (c > 0 ? c : -c) / 2;
    const std::int64_t q = p >= 0 ? (p + half) / c : (p - half) / c;
    return static_cast<int>(q);
}
}  // namespace

Rect main_window_size(const SystemMetrics& m, int control_bar_height, int output_bar_height) {
    Rect r;
    r.w = 4 * frame_unit_x(m) + 802;
    r.h = m.caption_height + 4 * frame_unit_y(m) + control_bar_height + output_bar_height + 602;
    return r;
}

Rect main_client_size(const SystemMetrics& m, int control_bar_height, int output_bar_height) {
    Rect r = main_window_size(m, control_bar_height, output_bar_height);
    r.w -= 4 * frame_unit_x(m);
    r.h -= m.caption_height + 4 * frame_unit_y(m);
    return r;
}

Rect centre_on_screen(Rect outer, int screen_w, int screen_h) {
    outer.x = (screen_w - outer.w) / 2;
    outer.y = (screen_h - outer.h) / 2;
    return outer;
}

Rect layout_view(int client_w, int client_h, int control_bar_height, int output_bar_height,
                 int cols, int lines) {
    Rect r{2, control_bar_height + 2, client_w - 4,
           client_h - control_bar_height - output_bar_height - 4};
    if (cols > 0 && lines > 0) {
        const std::int64_t d = static_cast<std::int64_t>(cols) * r.h -
                               static_cast<std::int64_t>(r.w) * lines;
        if (d > 0) {
            const int dd = static_cast<int>(d / cols);
            r.h -= dd;
            r.y += dd / 2;
        } else if (d < 0) {
            const int dd = static_cast<int>(d / lines);
            r.w += dd;
            r.x -= dd / 2;
        }
    }
    return r;
}

PageMapping::PageMapping(int cols, int lines, int view_w, int view_h)
    : cols_(cols), lines_(lines), ext_x_(view_w + 1), ext_y_(view_h + 1) {}

int PageMapping::to_view_x(int x) const { return valid() ? mul_div(x, ext_x_, cols_) : x; }
int PageMapping::to_view_y(int y) const { return valid() ? mul_div(y, ext_y_, lines_) : y; }
int PageMapping::to_page_x(int vx) const { return valid() ? mul_div(vx, cols_, ext_x_) : vx; }
int PageMapping::to_page_y(int vy) const { return valid() ? mul_div(vy, lines_, ext_y_) : vy; }
int PageMapping::pen_width(int units) const {
    return std::max(1, valid() ? mul_div(units, ext_x_, cols_) : units);
}

Rect field_window_size(const SystemMetrics& m, int cols, int lines) {
    Rect r;
    r.w = std::max(m.min_window_width, 2 * m.border_width + std::min(cols + 1, 600));
    r.h = m.caption_height + std::min(lines + 1, 400) + 3 * m.border_height;
    return r;
}

Rect place_field_window(Rect size, int L, int T, int R, int B, int VW, int VH, bool is_last,
                        int result_count) {
    const int W = size.w, H = size.h;
    int x = (L + R - W) / 2;
    int y = 0;
    if (!is_last) {
        if (H + 5 < T) {
            y = T - H - 4;
        } else {
            y = (T + B - H) / 2;
            if (W + 5 < L)
                x = L - W - 4;
            else if (R < VW - W - 5)
                x = R + 5;
            else if (B < VH - H - 5)
                y = B + 5;
        }
    } else if (B < VH - H - 5) {
        y = B + 5;
    } else if (result_count < 2) {
        if (H + 6 < T) {
            y = T - H - 4;
        } else {
            y = (T + B - H) / 2;
            if (R < VW - W - 5)
                x = R + 5;
            else if (W + 6 < L)
                x = L - W - 4;
        }
    } else {
        y = (T + B - H) / 2;
        if (R < VW - W - 5)
            x = R + 5;
        else if (W + 6 < L)
            x = L - W - 4;
        else if (H + 6 < T)
            y = T - H - 4;
    }
    return Rect{x, y, W, H};
}

Rect place_field_window_beside(Rect size, int left, int top, int right, int bottom, int view_w, int view_h) {
    constexpr int gap = 5;
    const int w = size.w, h = size.h;
    int x, y = (top + bottom - h) / 2;
    if (right + gap + w <= view_w) {
        x = right + gap;
    } else if (left - gap - w >= 0) {
        x = left - gap - w;
    } else {
        x = (left + right - w) / 2;
        y = top - gap - h >= 0 ? top - gap - h : bottom + gap;
    }
    x = std::max(0, std::min(x, view_w - w));
    y = std::max(0, std::min(y, view_h - h));
    return Rect{x, y, w, h};
}

int clamp_field_window_x(int x, int w, int main_left, int main_right, const SystemMetrics& m) {
    x = std::max(x, main_left + m.border_width);
    x = std::min(x, main_right - m.border_width - w);
    return x;
}

}  // namespace desk
