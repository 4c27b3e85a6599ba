// Drawing helpers for the analysis tests (with <string> and <vector>): bitmaps, ink, records, gray images, pictures.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "field_bitmap.h"
#include "instance.h"
#include "rasterkit.h"
#include "zero_alloc.h"

namespace rktest {

// Gives `a` a new blank current bitmap of w x h.
inline void blank_bitmap(rk::AnalysisInstance& a, int w, int h) {
    a.BMP_columns = w;
    a.BMP_lines = h;
    a.BMP_bpl = (w + 7) / 8;
    a.bmp_size = a.BMP_bpl * h;
    a.objectbitmap = static_cast<unsigned char*>(orvo::zero_alloc(static_cast<std::size_t>(a.bmp_size)));
    std::memset(a.objectbitmap, 0xFF, static_cast<std::size_t>(a.bmp_size));
}

// Inks the inclusive rectangle.
inline void ink_rect(rk::AnalysisInstance& a, int l, int t, int r, int b) {
    for (int y = t; y <= b; ++y)
        for (int x = l; x <= r; ++x) rk::pixel_set_ink(a, x, y);
}

// The bitmap as text rows.
inline std::vector<std::string> picture(const rk::AnalysisInstance& a) {
    std::vector<std::string> out;
    for (int y = 0; y < a.BMP_lines; ++y) {
        std::string s;
        for (int x = 0; x < a.BMP_columns; ++x) s += rk::pixel_is_ink(a, x, y) ? '#' : '.';
        out.push_back(s);
    }
    return out;
}

inline int ink_count(const rk::AnalysisInstance& a) {
    int n = 0;
    for (int y = 0; y < a.BMP_lines; ++y)
        for (int x = 0; x < a.BMP_columns; ++x) n += rk::pixel_is_ink(a, x, y);
    return n;
}

// A result record on the allocation heap: its rectangle, its score (text[0]) and its next.
inline seg_result* record(int l, int t, int r, int b, int score = 0, seg_result* next = nullptr) {
    auto* rec = static_cast<seg_result*>(orvo::zero_alloc(sizeof(seg_result)));
    *rec = seg_result{nullptr, 0, 0, 0, l, t, r, b, {static_cast<char>(score)}, next};
    return rec;
}

// Gray image of w x h filled with `v`.
struct Gray {
    int w, h;
    std::vector<unsigned char> px;
    Gray(int w_, int h_, unsigned char v) : w(w_), h(h_), px(static_cast<std::size_t>(w_) * h_, v) {}
    unsigned char& at(int x, int y) { return px[static_cast<std::size_t>(y) * w + x]; }
    void fill(int l, int t, int r, int b, unsigned char v) {
        for (int y = t; y <= b; ++y)
            for (int x = l; x <= r; ++x) at(x, y) = v;
    }
};

}  // namespace rktest
