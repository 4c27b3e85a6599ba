// A fixture for the stages that read a gray page: an instance on a drawn page, MAXCOL and MAXLIN set to it.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "bitmap_draw.h"
#include "rasterkit.h"
#include "results.h"
#include "zero_alloc.h"

namespace rktest {

class OnGrayPage : public ::testing::Test {
protected:
    rk::AnalysisInstance a;
    Gray g;
    int saved_lin = ::MAXLIN, saved_col = ::MAXCOL;

    OnGrayPage(int w, int h) : g(w, h, 120) {}
    void SetUp() override {
        ::MAXCOL = a.image_bpl = g.w, ::MAXLIN = g.h;
        a.image = g.px.data();
        a.edgethreshold = 20;
    }
    void TearDown() override {
        orvo::alloc_fail_at(0);
        rk::clear_results(a);
        ::MAXLIN = saved_lin, ::MAXCOL = saved_col;
    }
    // A dark outlined character of w x h at (x, y), strokes 4 pixels thick.
    void outlined_char(int x, int y, int w, int h) {
        g.fill(x, y, x + w - 1, y + 3, 25);
        g.fill(x, y + h - 4, x + w - 1, y + h - 1, 25);
        g.fill(x, y, x + 3, y + h - 1, 25);
        g.fill(x + w - 4, y, x + w - 1, y + h - 1, 25);
    }
    // The records of the instance's list, first to last.
    std::vector<seg_result*> list() const {
        std::vector<seg_result*> v;
        for (seg_result* r = a.results; r != nullptr; r = r->next) v.push_back(r);
        return v;
    }
};

}  // namespace rktest
